// The transfer of the open student file to a storage medium: the open
// file's name whatever name was chosen, the companions as they are named on
// disk, every failure reported in its order while the other copies still run.
#include "archive/export_frame.h"

#include <QDir>
#include <QFile>

namespace zedora::test {
namespace {

std::vector<Record> oneStudent()
{
    return {{{"NAME", "Berg"}, {"DE", "2"}, {"TB1", "Text"}}};
}

TEST(TransferToMedium, CopiesTheOpenFileUnderItsOwnNameWithWhatWasTyped)
{
    ExportFrame f(oneStudent(), {QStringLiteral("DE")});
    // Typed but not yet saved: the copy must hold it.
    f.file->table().edit();
    f.file->table().setValue(QStringLiteral("DE"), QStringLiteral("1"));
    TempDir elsewhere;
    const QString stick = QString::fromStdString(elsewhere.file("stick"));
    QDir().mkpath(stick);
    writeBytes((stick + QStringLiteral("/5a.dbf")).toStdString(), "alt");
    f.ws.ui.texts.enqueue(stick + QStringLiteral("/anders.dbf"));
    f.trigger("transferToMedium");

    ASSERT_EQ(f.ws.ui.shown.first().kind, ScriptedInteraction::Kind::SaveFile);
    EXPECT_EQ(f.ws.ui.shown.first().text, QStringLiteral("Schülerdatei 5A.DBF exportieren nach ..."));
    EXPECT_EQ(f.ws.ui.messages(), QStringList{QDir::cleanPath(stick) + QStringLiteral("/-----5A")});
    const QStringList there = QDir(stick).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(there, (QStringList{QStringLiteral("5A.DBT"), QStringLiteral("5A.MDX"), QStringLiteral("5a.dbf")}));
    EXPECT_EQ(readBytes((stick + QStringLiteral("/5a.dbf")).toStdString()), readBytes(f.classFile.toStdString()));
    EXPECT_FALSE(QFile::exists(stick + QStringLiteral("/anders.dbf")));
    auto copy = dbase::Table::open((stick + QStringLiteral("/5a.dbf")).toStdString());
    copy->first();
    EXPECT_EQ(copy->text(copy->fieldIndex("DE")), "1");
    EXPECT_EQ(copy->text(copy->fieldIndex("TB1")), "Text");
}

TEST(TransferToMedium, EveryFailedCopyIsReportedInItsOrderAndTheOthersStillRun)
{
    ExportFrame f(oneStudent(), {QStringLiteral("DE")});
    TempDir elsewhere;
    f.ws.ui.texts.enqueue(QString::fromStdString(elsewhere.file("fehlt/nirgends/5A.DBF")));
    f.trigger("transferToMedium");
    EXPECT_EQ(f.ws.ui.messages().mid(1), (QStringList{QStringLiteral("Fehler: DBF konnte nicht exportiert werden"),
                                                      QStringLiteral("Fehler: MDX konnte nicht exportiert werden"),
                                                      QStringLiteral("Fehler: DBT konnte nicht exportiert werden")}));

    // Only the memo file cannot be written: the table and its index still go.
    f.ws.ui.clear();
    const QString stick = QString::fromStdString(elsewhere.file("stick"));
    QDir().mkpath(stick + QStringLiteral("/5A.DBT"));
    f.ws.ui.texts.enqueue(stick + QStringLiteral("/5A.DBF"));
    f.trigger("transferToMedium");
    EXPECT_EQ(f.ws.ui.messages().mid(1), QStringList{QStringLiteral("Fehler: DBT konnte nicht exportiert werden")});
    EXPECT_TRUE(QFile::exists(stick + QStringLiteral("/5A.DBF")));
    EXPECT_TRUE(QFile::exists(stick + QStringLiteral("/5A.MDX")));
}

TEST(TransferToMedium, CompanionsAreFoundInTheLetterCaseTheyHaveOnDisk)
{
    ExportFrame f(oneStudent(), {QStringLiteral("DE")});
    const QString dir = f.ws.root + QStringLiteral("ZE-2324-1/");
    ASSERT_TRUE(QFile::rename(dir + QStringLiteral("5A.MDX"), dir + QStringLiteral("5a.mdx")));
    TempDir elsewhere;
    const QString stick = QString::fromStdString(elsewhere.file("stick"));
    QDir().mkpath(stick);
    f.ws.ui.texts.enqueue(stick + QStringLiteral("/5A.DBF"));
    f.trigger("transferToMedium");
    EXPECT_EQ(f.ws.ui.messages().size(), 1) << f.ws.ui.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(readBytes((stick + QStringLiteral("/5a.mdx")).toStdString()),
              readBytes((dir + QStringLiteral("5a.mdx")).toStdString()));
}

TEST(TransferToMedium, TheFilesOwnFolderIsRefusedAndTheOpenFileStaysIntact)
{
    ExportFrame f(oneStudent(), {QStringLiteral("DE")});
    const std::string before = readBytes(f.classFile.toStdString());
    f.ws.ui.texts.enqueue(f.ws.root + QStringLiteral("ze-2324-1/KOPIE.DBF"));
    f.trigger("transferToMedium");
    EXPECT_EQ(f.ws.ui.messages(), QStringList{QStringLiteral(
                                      "Die Schülerdatei liegt bereits in diesem Ordner!\n\nBitte einen anderen Ordner wählen.")});
    EXPECT_EQ(readBytes(f.classFile.toStdString()), before);
    EXPECT_TRUE(f.file->table().moveToRow(0));
    EXPECT_EQ(f.file->table().value(QStringLiteral("NAME")), QStringLiteral("Berg"));
}

} // namespace
} // namespace zedora::test
