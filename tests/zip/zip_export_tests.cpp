// The export: the list and its groups, default names, the numbering rule,
// a cancel that leaves no half zip, and zips other programs accept.
#include "exchange/zip_export.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace zedora::test {
namespace {

class ZipExport : public ::testing::Test {
protected:
    ZipExport()
    {
        file5a = ws.addClass(QStringLiteral("5A"));
        ws.addClass(QStringLiteral("5B"));
        ws.addProgramFiles();
        writeFile(ws.root + QStringLiteral("ZE-2021-1/5A.INI"), "[ZUORDNUNGEN]\r\nLayoutdatei=LAYOUT\\DEMO.LAY\r\n");
        writeFile(ws.root + QStringLiteral("ZE-2021-1/5A.MDX"), "index");
        out = ws.root + QStringLiteral("out/");
        QDir().mkpath(out);
    }

    ExportSelection everything() const
    {
        ExportSelection s;
        s.workspace = ws.root;
        s.studentFile = file5a;
        s.studentFiles = {QStringLiteral("5A.DBF"), QStringLiteral("5B.DBF")};
        s.textBlocksShown = true;
        s.textBlockFiles = {QStringLiteral("#DEMO.DBF")};
        s.layoutsShown = true;
        s.layoutFolder = ws.root + QStringLiteral("LAYOUT");
        s.layoutFiles = {QStringLiteral("DEMO.LAY"), QStringLiteral("RASTER1.WMF")};
        s.abbreviations = true;
        s.settings = true;
        return s;
    }

    ZipWorkspace ws;
    QString file5a;
    QString out;
};

TEST_F(ZipExport, ListHasItsGroupsInOrderWithTheirEmptyLines)
{
    const ExportList list = buildExportList(everything());
    ASSERT_TRUE(list.problem.isEmpty()) << list.problem.toStdString();
    const QStringList expected = {
        QStringLiteral("ZE-2021-1\\5A.DBF"), QStringLiteral("ZE-2021-1\\5A.DBT"), QStringLiteral("ZE-2021-1\\5A.INI"),
        QStringLiteral("ZE-2021-1\\5B.DBF"), QStringLiteral("ZE-2021-1\\5B.DBT"), QString(),
        QStringLiteral("DEFINI\\#DEMO.DBF"), QString(),
        QStringLiteral("LAYOUT\\DEMO.LAY"), QStringLiteral("LAYOUT\\RASTER1.WMF"), QString(),
        QStringLiteral("kuerzel.txt"), QStringLiteral("abschl.txt"), QStringLiteral("OBERSTUFE.NKD"), QString(),
        QStringLiteral("zedora.ini")};
    EXPECT_EQ(list.lines, expected);
    // The index is never packed; every entry is named by its file name alone.
    ASSERT_EQ(list.entries.size(), 12u);
    for (const PackEntry& e : list.entries) {
        EXPECT_FALSE(e.name.contains(QLatin1Char('\\')));
        EXPECT_FALSE(e.name.endsWith(QLatin1String(".MDX"), Qt::CaseInsensitive));
        EXPECT_TRUE(QFileInfo(e.source).isFile()) << e.source.toStdString();
    }
}

TEST_F(ZipExport, NothingChosenGivesOneEmptyLineAndHiddenBoxesAddNothing)
{
    ExportSelection s = everything();
    s.studentFiles.clear();
    s.textBlocksShown = s.layoutsShown = s.abbreviations = s.settings = false;
    const ExportList list = buildExportList(s);
    EXPECT_EQ(list.lines, QStringList{QString()});
    EXPECT_TRUE(list.entries.empty());
}

TEST_F(ZipExport, MissingStudentFileAndTwoFilesOfOneNameAreRefused)
{
    ExportSelection s = everything();
    s.studentFiles << QStringLiteral("9Z.DBF");
    EXPECT_EQ(buildExportList(s).problem, QStringLiteral("Die Schülerdatei 9Z.DBF wurde nicht gefunden!"));

    // A layout sub-folder holding a file named like one in LAYOUT itself.
    writeFile(ws.root + QStringLiteral("LAYOUT/SUB/DEMO.LAY"), "x");
    ExportSelection t = everything();
    t.layoutFolder = ws.root + QStringLiteral("LAYOUT/SUB");
    t.layoutFiles = {QStringLiteral("DEMO.LAY")};
    t.textBlockFiles = {QStringLiteral("#DEMO.DBF")};
    t.studentFiles = {QStringLiteral("5A.DBF")};
    EXPECT_TRUE(buildExportList(t).problem.isEmpty());
    t.layoutFiles << QStringLiteral("../DEMO.LAY");
    EXPECT_TRUE(buildExportList(t).problem.startsWith(QStringLiteral("Export nicht möglich: Mehrere Dateien heißen")));
}

TEST(ZipExportNames, DataDirectoryAndDefaultNames)
{
    EXPECT_EQ(exportDataDirectory(QStringLiteral("/srv/ws/ZE-2021-1/5A.DBF")), QStringLiteral("ZE-2021-1"));
    EXPECT_EQ(exportDataDirectory(QStringLiteral("/srv/ws/ze-2021-1/5A.DBF")), QStringLiteral("ze-2021-1"));
    // A workspace inside a folder named like a data directory is not mistaken for one.
    EXPECT_EQ(exportDataDirectory(QStringLiteral("/home/ZE-x/ws/ZE-1920-2/5A.DBF"), QStringLiteral("/home/ZE-x/ws")),
              QStringLiteral("ZE-1920-2"));
    EXPECT_EQ(exportDataDirectory(QStringLiteral("/srv/ws/klassen/5A.DBF")), QStringLiteral("/srv/ws/k"));

    const QDate day(2021, 3, 5);
    EXPECT_EQ(defaultZipName(ExportMode::Backup, {}, QStringLiteral("ZE-2021-1"), day),
              QStringLiteral("ZE-2021-1-vom-5-3-2021.zip"));
    EXPECT_EQ(defaultZipName(ExportMode::Export, QStringLiteral("5A.DBF"), QStringLiteral("ZE-2021-1"), day),
              QStringLiteral("5A_in_ZE-2021-1_vom_5-3-2021.zip"));
    EXPECT_EQ(defaultZipName(ExportMode::Export, {}, QStringLiteral("ZE-2021-1"), QDate(2021, 12, 24)),
              QStringLiteral("ZE-2021-1_vom_24-12-2021.zip"));
}

TEST_F(ZipExport, WritesLogAndZipAndReportsSuccess)
{
    QString imex1 = QStringLiteral("C:\\");
    ws.ui.texts.enqueue(out + QStringLiteral("a.zip"));
    const ExportOutcome r = runExport(everything(), ExportMode::Export, ws.ui, imex1, {}, &ws.reg, QDate(2021, 3, 5));
    EXPECT_EQ(r.result, PackResult::Ok);
    EXPECT_EQ(ws.ui.messages(), QStringList{QStringLiteral("Komprimierung und Export verliefen erfolgreich!")});
    ASSERT_EQ(ws.ui.shown.first().kind, ScriptedInteraction::Kind::SaveFile);
    EXPECT_EQ(ws.ui.shown.first().text, QStringLiteral("Dateien komprimiert sichern bzw. exportieren ..."));
    EXPECT_EQ(imex1, QDir::cleanPath(out));
    const QStringList names = zipNames(out + QStringLiteral("a.zip"));
    ASSERT_EQ(names.size(), 13);
    EXPECT_EQ(names.last(), QStringLiteral("export.log"));
    EXPECT_EQ(names.first(), QStringLiteral("5A.DBF"));
    // export.log stays in the workspace in ANSI with CR LF.
    const QByteArray log = readFile(ws.root + QStringLiteral("export.log"));
    EXPECT_TRUE(log.startsWith("ZE-2021-1\\5A.DBF\r\nZE-2021-1\\5A.DBT\r\n"));
    EXPECT_TRUE(log.endsWith("\r\nzedora.ini\r\n"));
    EXPECT_TRUE(ws.reg.files().join(QLatin1Char('|')).contains(QStringLiteral("export.log")));

    // Other zip programs accept it and find the same bytes.
    QProcess unzip;
    unzip.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                                "assert z.testzip() is None; sys.stdout.buffer.write(z.read('5A.DBF'))"),
                 out + QStringLiteral("a.zip")});
    ASSERT_TRUE(unzip.waitForFinished(30000));
    EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAllStandardError().toStdString();
    EXPECT_EQ(unzip.readAllStandardOutput(), readFile(file5a));
}

TEST_F(ZipExport, ExistingNameNumberedOnNoReplacedOnYes)
{
    const QString chosen = out + QStringLiteral("k.zip");
    writeFile(chosen, "old");
    QString imex1;
    ExportSelection s = everything();
    s.studentFiles = {QStringLiteral("5A.DBF")};

    ws.ui.texts.enqueue(chosen);
    ws.ui.answers.enqueue(Answer::No);
    EXPECT_EQ(runExport(s, ExportMode::Export, ws.ui, imex1).zipPath, out + QStringLiteral("1_k.zip"));
    EXPECT_EQ(ws.ui.messages().first(), QString::fromUtf8(export_texts::kExists));
    ws.ui.texts.enqueue(chosen);
    ws.ui.answers.enqueue(Answer::No);
    EXPECT_EQ(runExport(s, ExportMode::Export, ws.ui, imex1).zipPath, out + QStringLiteral("2_k.zip"));
    EXPECT_EQ(readFile(chosen), QByteArray("old"));
    EXPECT_TRUE(zipNames(out + QStringLiteral("2_k.zip")).contains(QStringLiteral("5A.DBF")));

    ws.ui.texts.enqueue(chosen);
    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(runExport(s, ExportMode::Export, ws.ui, imex1).result, PackResult::Ok);
    EXPECT_TRUE(zipNames(chosen).contains(QStringLiteral("5A.DBF")));
}

TEST_F(ZipExport, CancelLeavesNoHalfZipAndKeepsTheOldFile)
{
    const QString chosen = out + QStringLiteral("c.zip");
    writeFile(chosen, "old");
    QString imex1;
    int calls = 0;
    ws.ui.texts.enqueue(chosen);
    ws.ui.answers.enqueue(Answer::Yes);
    const ExportOutcome r = runExport(everything(), ExportMode::Backup, ws.ui, imex1,
                                      [&](double fraction) { ++calls; return fraction < 0.3; });
    EXPECT_GT(calls, 0);
    EXPECT_EQ(r.result, PackResult::Cancelled);
    EXPECT_EQ(ws.ui.messages().last(), QStringLiteral("Der Komprimiervorgang wurde durch den Benutzer abgebrochen"));
    EXPECT_EQ(readFile(chosen), QByteArray("old"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("c.zip")});

    // A cancel without an old file leaves no file at all.
    ws.ui.clear();
    ws.ui.texts.enqueue(out + QStringLiteral("d.zip"));
    EXPECT_EQ(runExport(everything(), ExportMode::Backup, ws.ui, imex1, [](double) { return false; }).result,
              PackResult::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("d.zip")));
}

TEST_F(ZipExport, DialogCancelledPacksNothing)
{
    QString imex1 = QStringLiteral("C:\\");
    ws.ui.texts.enqueue(std::nullopt);
    const ExportOutcome r = runExport(everything(), ExportMode::Export, ws.ui, imex1);
    EXPECT_FALSE(r.packed);
    EXPECT_TRUE(ws.ui.messages().isEmpty());
    EXPECT_EQ(imex1, QStringLiteral("C:\\"));
    EXPECT_TRUE(QDir(out).isEmpty());
}

} // namespace
} // namespace zedora::test
