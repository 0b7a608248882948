// Archive files: the name check, creating from the template and transfers
// by ID, including the student files that would let one student overwrite
// another or scramble the archive.
#include "archive/archive_workspace.h"
#include "archive/statistics_fixture.h"
#include "base/path_resolver.h"
#include "schoolyear/archive_files.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace zedora {
namespace {

using test::ArchiveWorkspace;
using test::writeStudents;

std::map<std::string, std::map<std::string, std::string>> archiveById(const QString& path)
{
    std::map<std::string, std::map<std::string, std::string>> out;
    auto t = dbase::Table::open(path.toStdString());
    for (t->first(); !t->isEmpty() && !t->eof(); t->next()) {
        auto& r = out[fromAnsi(t->text("ID")).trimmed().toStdString()];
        for (const char* f : {"NAME", "DE", "KLASSE"})
            r[f] = fromAnsi(t->text(f)).trimmed().toStdString();
        r["TB1"] = t->memo(t->fieldIndex("TB1"));
    }
    return out;
}

TEST(ArchiveName, ChecksOnlyTheFixedPositions)
{
    for (const char* ok : {"A08-09-1", "a97-98-2", "A0X-0Y-1", "A19-10-2XYZ", "A23-24-1", "A29-30-2"})
        EXPECT_TRUE(isArchiveName(QString::fromLatin1(ok))) << ok;
    for (const char* bad : {"A08-09-3", "AX8-09-1", "A08-X9-1", "B08-09-1", "A08_09-1", "A08-09", "", "A08-09-0"})
        EXPECT_FALSE(isArchiveName(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(archivePathFor(QStringLiteral("/ws/"), QStringLiteral("/anderswo/a08-09-1.dbf")),
              QStringLiteral("/ws/ARCHIV/A08-09-1.DBF"));
}

TEST(ArchiveCreate, RefusesBadNamesAndExistingFilesAndBuildsFromTheTemplate)
{
    ArchiveWorkspace ws;
    EXPECT_FALSE(createArchiveFile(QStringLiteral("A08-09-3"), ws.context));
    EXPECT_EQ(ws.ui.messages(), QStringList{kArchiveNameError});
    EXPECT_FALSE(QFile::exists(ws.root + QStringLiteral("ARCHIV/A08-09-3.DBF")));

    const auto path = createArchiveFile(QStringLiteral("a08-09-1"), ws.context);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, ws.root + QStringLiteral("ARCHIV/A08-09-1.DBF"));
    EXPECT_TRUE(QFile::exists(ws.root + QStringLiteral("ARCHIV/A08-09-1.MDX")));
    EXPECT_TRUE(archiveById(*path).empty());

    ws.ui.clear();
    EXPECT_FALSE(createArchiveFile(QStringLiteral("A08-09-1.dbf"), ws.context));
    EXPECT_EQ(ws.ui.messages(), QStringList{kArchiveExists});
    EXPECT_EQ(ws.ui.beeps(), 1);
}

TEST(ArchiveTransfer, NewThenUpdatedByIdWithMemos)
{
    ArchiveWorkspace ws;
    const QString klasse = ws.root + QStringLiteral("ZE-0809-1/5A.DBF");
    writeStudents(klasse, {{{"NAME", "Ärger"}, {"ID", "ID1"}, {"DE", "2"}, {"KLASSE", "5A"}},
                           {{"NAME", "Bach"}, {"ID", "ID2"}, {"DE", "3"}, {"KLASSE", "5A"}}});
    {
        auto t = dbase::Table::open(klasse.toStdString());
        t->first();
        t->edit();
        t->setMemo(t->fieldIndex("TB1"), "Bemerkung eins");
        t->post();
    }
    const auto archive = createArchiveFile(QStringLiteral("A08-09-1"), ws.context);
    ASSERT_TRUE(archive);

    const auto first = transferIntoArchive(klasse, *archive, ws.context);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->added, 2);
    EXPECT_EQ(first->updated, 0);

    // The class moves on; a second transfer updates, a new student is added.
    writeStudents(ws.root + QStringLiteral("ZE-0809-1/5AX.DBF"),
                  {{{"NAME", "Bach"}, {"ID", "ID2"}, {"DE", "1"}, {"KLASSE", "5A"}},
                   {{"NAME", "Cem"}, {"ID", "ID3"}, {"DE", "4"}, {"KLASSE", "5A"}}});
    const auto second = transferIntoArchive(ws.root + QStringLiteral("ZE-0809-1/5AX.DBF"), *archive, ws.context);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->added, 1);
    EXPECT_EQ(second->updated, 1);
    EXPECT_EQ(transferReport(*archive, *second),
              QStringLiteral("Datei ") + QDir::toNativeSeparators(ws.root) +
                  QStringLiteral("ARCHIV/A08-09-1.DBF:\n\n   Datensätze neu angelegt: 1\n   Datensätze aktualisiert: 1"));

    const auto stored = archiveById(*archive);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored.at("ID1").at("NAME"), "Ärger");
    EXPECT_EQ(stored.at("ID1").at("TB1"), "Bemerkung eins");
    EXPECT_EQ(stored.at("ID2").at("DE"), "1");
    EXPECT_EQ(stored.at("ID3").at("DE"), "4");

    const auto again = transferIntoArchive(klasse, *archive, ws.context);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->added, 0);
    EXPECT_EQ(again->updated, 2);
    EXPECT_EQ(archiveById(*archive).at("ID2").at("DE"), "3");
    EXPECT_TRUE(ws.ui.messages().isEmpty()) << ws.ui.messages().join(u'|').toStdString();
}

TEST(ArchiveTransfer, EmptyAndDuplicateIdsAreLeftOutAndNamed)
{
    ArchiveWorkspace ws;
    const QString klasse = ws.root + QStringLiteral("ZE-0809-1/6B.DBF");
    writeStudents(klasse, {{{"NAME", "Ohne"}, {"VORNAME", "Eins"}, {"ID", ""}, {"DE", "1"}},
                           {{"NAME", "Ohne"}, {"VORNAME", "Zwei"}, {"ID", ""}, {"DE", "5"}},
                           {{"NAME", "Doppel"}, {"VORNAME", "A"}, {"ID", "X1"}, {"DE", "2"}},
                           {{"NAME", "Doppel"}, {"VORNAME", "B"}, {"ID", "X1"}, {"DE", "6"}}});
    const auto archive = createArchiveFile(QStringLiteral("A08-09-2"), ws.context);
    ASSERT_TRUE(archive);
    const auto t = transferIntoArchive(klasse, *archive, ws.context);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->added, 1);
    EXPECT_EQ(t->updated, 0);
    EXPECT_EQ(t->withoutId, (QStringList{QStringLiteral("Ohne, Eins"), QStringLiteral("Ohne, Zwei")}));
    EXPECT_EQ(t->duplicateId.size(), 1);
    const auto stored = archiveById(*archive);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_TRUE(transferReport(*archive, *t).endsWith(
        QStringLiteral("\n\nOhne ID nicht übertragen: Ohne, Eins; Ohne, Zwei\n\nDoppelte ID, nicht übertragen: ") +
        t->duplicateId.first()));
}

TEST(ArchiveTransfer, AFileOfAnotherLayoutIsRefusedAndTheArchiveUntouched)
{
    ArchiveWorkspace ws;
    const auto archive = createArchiveFile(QStringLiteral("A08-09-1"), ws.context);
    ASSERT_TRUE(archive);
    writeStudents(ws.root + QStringLiteral("ZE-0809-1/5A.DBF"), {{{"NAME", "Alt"}, {"ID", "A"}}});
    ASSERT_TRUE(transferIntoArchive(ws.root + QStringLiteral("ZE-0809-1/5A.DBF"), *archive, ws.context));
    const std::string before = test::readBytes(archive->toStdString());

    const QString other = ws.root + QStringLiteral("FREMD.DBF");
    dbase::Table::create(other.toStdString(), {{"ID", 'C', 20, 0}, {"NAME", 'C', 25, 0}});
    {
        auto t = dbase::Table::open(other.toStdString(), dbase::OpenMode::Exclusive);
        t->addIndexTag("ID", "ID", false);
        t->append();
        t->setText("ID", "A");
        t->setText("NAME", "Fremd");
        t->post();
    }
    ws.ui.clear();
    EXPECT_FALSE(transferIntoArchive(other, *archive, ws.context));
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_TRUE(ws.ui.messages().first().startsWith(QStringLiteral("Die Datei ")));
    EXPECT_TRUE(ws.ui.messages().first().endsWith(QStringLiteral("!\n\nÜbertragung nicht möglich.")));
    EXPECT_EQ(test::readBytes(archive->toStdString()), before);
    EXPECT_EQ(archiveById(*archive).at("A").at("NAME"), "Alt");
}

TEST(ArchiveCommand, CreatesTheArchiveAndPrintsTheCounts)
{
    ArchiveWorkspace ws;
    writeStudents(ws.root + QStringLiteral("ZE-2324-1/7C.DBF"),
                  {{{"NAME", "Eins"}, {"ID", "I1"}}, {{"NAME", "Zwei"}, {"ID", "I2"}}});
    const auto run = [&](const QString& into) {
        QProcess p;
        p.start(QStringLiteral(ZEDORA_BINARY_DIR "/bin/zedora-cli"),
                {QStringLiteral("archive"), QStringLiteral("--workspace"), ws.root, QStringLiteral("--file"),
                 QStringLiteral("ze-2324-1/7c.dbf"), QStringLiteral("--into"), into});
        p.waitForFinished(60000);
        return std::make_tuple(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                               QString::fromUtf8(p.readAllStandardError()));
    };
    auto [code, out, err] = run(QStringLiteral("A23-24-1"));
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Datensätze neu angelegt: 2\n   Datensätze aktualisiert: 0"))) << out.toStdString();
    std::tie(code, out, err) = run(QStringLiteral("A23-24-1"));
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Datensätze neu angelegt: 0\n   Datensätze aktualisiert: 2"))) << out.toStdString();
    std::tie(code, out, err) = run(QStringLiteral("A23-24-3"));
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(err.contains(kArchiveNameError));
    EXPECT_FALSE(QFile::exists(ws.root + QStringLiteral("ARCHIV/A23-24-3.DBF")));
}

} // namespace
} // namespace zedora
