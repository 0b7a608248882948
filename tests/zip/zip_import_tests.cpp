// The import: the round trip into a second workspace, the questions and
// refusals for users and administrators, and zips made to break in, each
// refused before the workspace changes.
#include "base/path_resolver.h"
#include "data/student_table.h"
#include "exchange/zip_export.h"
#include "exchange/zip_import.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace zedora::test {
namespace {

std::map<QString, QByteArray> withoutScratch(std::map<QString, QByteArray> listing)
{
    std::erase_if(listing, [](const auto& kv) { return kv.first.startsWith(QStringLiteral("zipimport")); });
    return listing;
}

// A full export of workspace A, imported into workspace B.
class ZipRoundTrip : public ::testing::Test {
protected:
    ZipRoundTrip()
    {
        file5a = a.addClass(QStringLiteral("5A"));
        a.addClass(QStringLiteral("5B"));
        a.addProgramFiles();
        writeFile(a.root + QStringLiteral("ZE-2021-1/5A.INI"), "[ZUORDNUNGEN]\r\nLayoutdatei=LAYOUT\\DEMO.LAY\r\n");
        zip = a.root + QStringLiteral("home.zip");
        ExportSelection s;
        s.workspace = a.root;
        s.studentFile = file5a;
        s.studentFiles = {QStringLiteral("5B.DBF"), QStringLiteral("5A.DBF")};
        s.textBlocksShown = s.layoutsShown = s.abbreviations = s.settings = true;
        s.textBlockFiles = {QStringLiteral("#DEMO.DBF")};
        s.layoutFolder = a.root + QStringLiteral("LAYOUT");
        s.layoutFiles = {QStringLiteral("DEMO.LAY"), QStringLiteral("RASTER1.WMF")};
        QString imex1;
        a.ui.texts.enqueue(zip);
        EXPECT_EQ(runExport(s, ExportMode::Export, a.ui, imex1).result, PackResult::Ok);
        // B: another computer with its own older copy of 5A and its index.
        b.addClass(QStringLiteral("5A"));
        writeFile(b.root + QStringLiteral("ZE-2021-1/5A.DBF"), "older");
        writeFile(b.root + QStringLiteral("ZE-2021-1/5A.MDX"), "index");
        writeFile(b.root + QStringLiteral("KUERZEL.TXT"), "mine");
        QDir(b.root).rmdir(QStringLiteral("LAYOUT"));
    }

    ZipWorkspace a, b;
    QString file5a, zip;
};

TEST_F(ZipRoundTrip, AdministratorGetsEveryFileByteIdenticalAndTheClassOpens)
{
    b.ui.answers.append(QList<Answer>{Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
    b.ui.texts.enqueue(zip);
    ZipImport import(b.root, true, b.ui, &b.reg);
    const ZipImportResult r = import.run(QStringLiteral("C:\\"));
    ASSERT_TRUE(r.imported) << b.ui.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(b.ui.messages(),
              (QStringList{QString::fromUtf8(import_texts::kConfirm), QString::fromUtf8(import_texts::kLayoutAsk),
                           QString::fromUtf8(import_texts::kAbbrevAsk), QString::fromUtf8(import_texts::kSettingsAsk)}));
    for (const char* f : {"ZE-2021-1/5A.DBF", "ZE-2021-1/5A.DBT", "ZE-2021-1/5A.INI", "ZE-2021-1/5B.DBF",
                          "ZE-2021-1/5B.DBT", "DEFINI/#DEMO.DBF", "LAYOUT/DEMO.LAY", "LAYOUT/RASTER1.WMF",
                          "KUERZEL.TXT", "ABSCHL.TXT", "OBERSTUFE.NKD", "ZEDORA.INI"})
        EXPECT_EQ(readFile(resolveIn(b.root, QString::fromLatin1(f))), readFile(a.root + QString::fromLatin1(f))) << f;
    // Existing files are replaced under their own spelling, not doubled.
    EXPECT_EQ(QDir(b.root).entryList({QStringLiteral("kuerzel.txt")}, QDir::Files).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(b.root + QStringLiteral("ZE-2021-1/5A.MDX")));
    EXPECT_EQ(r.studentFile, QStringLiteral("ZE-2021-1\\5A.DBF"));
    EXPECT_EQ(r.layout, QStringLiteral("LAYOUT\\DEMO.LAY"));
    EXPECT_EQ(r.dataDirectory, QStringLiteral("ZE-2021-1"));
    EXPECT_TRUE(r.abbreviationsImported);
    EXPECT_TRUE(r.settingsImported);
    EXPECT_EQ(r.zipFolder, QDir::cleanPath(a.root));
    // New files and the new LAYOUT folder are in the register.
    EXPECT_TRUE(b.reg.files().join(QLatin1Char('|')).contains(QStringLiteral("5B.DBF")));
    EXPECT_TRUE(b.reg.directories().join(QLatin1Char('|')).contains(QStringLiteral("LAYOUT")));

    StudentTable table;
    table.open(b.root + QStringLiteral("ZE-2021-1/5A.DBF"));
    StudentTable original;
    original.open(file5a);
    EXPECT_GT(table.rowCount(), 0);
    EXPECT_EQ(table.rowCount(), original.rowCount());
    EXPECT_EQ(table.valueAt(0, table.findField(QStringLiteral("NAME"))),
              original.valueAt(0, original.findField(QStringLiteral("NAME"))));
}

TEST_F(ZipRoundTrip, UserGetsTheThreeRefusalsOnceAndOnlyClassAndBlockFiles)
{
    ZipImport import(b.root, false, b.ui);
    const ZipImportResult r = import.importZip(zip);
    ASSERT_TRUE(r.imported);
    EXPECT_EQ(b.ui.messages(),
              (QStringList{QString::fromUtf8(import_texts::kLayoutRefused), QString::fromUtf8(import_texts::kAbbrevRefused),
                           QString::fromUtf8(import_texts::kSettingsRefused)}));
    EXPECT_EQ(readFile(b.root + QStringLiteral("KUERZEL.TXT")), QByteArray("mine"));
    EXPECT_FALSE(QFileInfo::exists(b.root + QStringLiteral("ZEDORA.INI")));
    EXPECT_FALSE(QFileInfo::exists(b.root + QStringLiteral("LAYOUT")));
    EXPECT_EQ(readFile(b.root + QStringLiteral("ZE-2021-1/5A.DBF")), readFile(file5a));
    EXPECT_TRUE(QFileInfo::exists(b.root + QStringLiteral("DEFINI/#DEMO.DBF")));
    EXPECT_TRUE(r.layout.isEmpty());
    EXPECT_FALSE(r.abbreviationsImported);
}

TEST_F(ZipRoundTrip, NoToLayoutsSkipsPicturesTooAndKeepsTheLayoutEmpty)
{
    b.ui.answers.append(QList<Answer>{Answer::No, Answer::No, Answer::No});
    ZipImport import(b.root, true, b.ui);
    const ZipImportResult r = import.importZip(zip);
    ASSERT_TRUE(r.imported);
    EXPECT_TRUE(r.layout.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(b.root + QStringLiteral("LAYOUT")));
    EXPECT_FALSE(r.settingsImported);
    EXPECT_EQ(readFile(b.root + QStringLiteral("KUERZEL.TXT")), QByteArray("mine"));
}

TEST_F(ZipRoundTrip, RefusedReplaceAndFailedCopyLeaveTheWorkspaceAsItWas)
{
    const auto before = withoutScratch(b.listing());
    ZipImport refusing(b.root, false, b.ui);
    QStringList replaced;
    refusing.setReplaceCheck([&](const QStringList& r) { replaced = r; return false; });
    EXPECT_FALSE(refusing.importZip(zip).imported);
    EXPECT_EQ(replaced, QStringList{b.root + QStringLiteral("ZE-2021-1/5A.DBF")} + QStringList{b.root + QStringLiteral("ZE-2021-1/5A.DBT")});
    // Only the scratch folder of the unpacked files is new.
    EXPECT_TRUE(withoutScratch(b.listing()) == before);

    // DEFINI is a file here: the text-block file cannot be placed, so the
    // class files prepared before it must not land either.
    QDir(b.root).rmdir(QStringLiteral("DEFINI"));
    writeFile(b.root + QStringLiteral("DEFINI"), "not a folder");
    const auto before2 = withoutScratch(b.listing());
    b.ui.clear();
    ZipImport failing(b.root, false, b.ui);
    EXPECT_FALSE(failing.importZip(zip).imported);
    EXPECT_TRUE(b.ui.messages().last().endsWith(QStringLiteral("Es wurde nichts importiert.")))
        << b.ui.messages().last().toStdString();
    EXPECT_TRUE(withoutScratch(b.listing()) == before2);
}

TEST(ZipImportStart, NoAndCancelledDialogImportNothing)
{
    ZipWorkspace ws;
    ws.ui.answers.append(QList<Answer>{Answer::No});
    ZipImport import(ws.root, true, ws.ui);
    EXPECT_FALSE(import.run({}).imported);
    ws.ui.answers.append(QList<Answer>{Answer::Yes});
    ws.ui.texts.enqueue(std::nullopt);
    const ZipImportResult r = import.run({});
    EXPECT_FALSE(r.imported);
    EXPECT_TRUE(r.zipFolder.isEmpty());
    EXPECT_EQ(ws.ui.shown.last().text, QStringLiteral("Dateien aus Zedora-Exportdateien einlesen ..."));
}

TEST(ZipImportStart, OnlyEmptyLineImportsNothingAndSucceeds)
{
    ZipWorkspace ws;
    const QString zip = ws.root + QStringLiteral("empty.zip");
    ASSERT_TRUE(makeZip(zip, {{"export.log", "\r\n"}}));
    ZipImport import(ws.root, false, ws.ui);
    const ZipImportResult r = import.importZip(zip);
    EXPECT_TRUE(r.imported);
    EXPECT_TRUE(r.studentFile.isEmpty());
    EXPECT_TRUE(r.copied.isEmpty());
    EXPECT_TRUE(ws.ui.messages().isEmpty());
}

TEST(ZipImportStart, ZipOfAnotherProgramWithFoldersImports)
{
    ZipWorkspace ws;
    const QString dbf = ws.addClass(QStringLiteral("5A"), QStringLiteral("src"));
    const QString zip = ws.root + QStringLiteral("TMP/other.zip");
    // Python's zipfile stores folders as entries of their own.
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys,zipfile\n"
                                 "z=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n"
                                 "z.writestr('daten/','')\n"
                                 "z.write(sys.argv[2],'daten/5A.DBF')\n"
                                 "z.writestr('daten/export.log','ZE-2021-1\\\\5A.DBF\\r\\n\\r\\n')\n"
                                 "z.close()"),
                  zip, dbf});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    ZipImport import(ws.root, false, ws.ui);
    const ZipImportResult r = import.importZip(zip);
    ASSERT_TRUE(r.imported) << ws.ui.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(readFile(ws.root + QStringLiteral("ZE-2021-1/5A.DBF")), readFile(dbf));
    EXPECT_EQ(r.studentFile, QStringLiteral("ZE-2021-1\\5A.DBF"));
}

// Zips made to break in: each is refused with its message before anything
// in the workspace changes.
struct Hostile {
    const char* label;
    std::vector<Entry> entries;
    const char* message; // the refusal, whole or its start
};

const QByteArray kLog = "ZE-2021-1\\5A.DBF\r\n\r\n";

std::vector<Hostile> hostileZips()
{
    const QByteArray zeros(20 << 20, '\0');
    return {
        {"parent entry", {{"../evil.txt", "x"}, {"export.log", ""}},
         "Der Name \"../evil.txt\" ist nicht zulässig: der Pfad führt aus dem Arbeitsverzeichnis heraus"},
        {"parent entry backslash", {{"ZE-2021-1\\..\\..\\evil.txt", "x"}, {"export.log", ""}},
         "Der Name \"ZE-2021-1\\..\\..\\evil.txt\" ist nicht zulässig: der Pfad führt aus dem Arbeitsverzeichnis heraus"},
        {"absolute entry", {{"/tmp/evil.txt", "x"}, {"export.log", ""}},
         "Der Name \"/tmp/evil.txt\" ist nicht zulässig: absoluter Pfad"},
        {"drive entry", {{"C:\\evil.txt", "x"}, {"export.log", ""}},
         "Der Name \"C:\\evil.txt\" ist nicht zulässig: Laufwerksangabe"},
        {"server entry", {{"\\\\server\\share\\evil.txt", "x"}, {"export.log", ""}},
         "Der Name \"\\\\server\\share\\evil.txt\" ist nicht zulässig: Netzwerkpfad"},
        {"symlink entry", {{"5A.DBF", "/etc/passwd", true}, {"export.log", kLog}},
         "\"5A.DBF\" ist eine symbolische Verknüpfung."},
        {"case twin entry", {{"ZE-2021-1/ze-2021-1/5A.DBF", "x"}, {"export.log", kLog}},
         "Der Name \"ZE-2021-1/ze-2021-1/5A.DBF\" ist nicht zulässig: \"ze-2021-1\" unterscheidet sich nur in der "
         "Schreibweise von einem übergeordneten Ordner"},
        {"parent line", {{"evil.txt", "x"}, {"export.log", "..\\..\\evil.txt\r\n"}},
         "Die Zeile \"..\\..\\evil.txt\" der Liste export.log ist nicht zulässig: der Pfad führt aus dem "
         "Arbeitsverzeichnis heraus"},
        {"absolute line", {{"evil.txt", "x"}, {"export.log", "/tmp/evil.txt\r\n"}},
         "Die Zeile \"/tmp/evil.txt\" der Liste export.log ist nicht zulässig: absoluter Pfad"},
        {"drive line", {{"evil.txt", "x"}, {"export.log", "D:evil.txt\r\n"}},
         "Die Zeile \"D:evil.txt\" der Liste export.log ist nicht zulässig: Laufwerksangabe"},
        {"server line", {{"evil.txt", "x"}, {"export.log", "\\\\server\\share\\evil.txt\r\n"}},
         "Die Zeile \"\\\\server\\share\\evil.txt\" der Liste export.log ist nicht zulässig: Netzwerkpfad"},
        {"case twin line", {{"5A.DBF", "x"}, {"export.log", "LAYOUT\\layout\\5A.DBF\r\n"}},
         "Die Zeile \"LAYOUT\\layout\\5A.DBF\" der Liste export.log ist nicht zulässig: \"layout\" unterscheidet "
         "sich nur in der Schreibweise von einem übergeordneten Ordner"},
        {"duplicate names", {{"a/5A.DBF", "one"}, {"b/5a.dbf", "two"}, {"export.log", kLog}},
         "Der Dateiname \"5a.dbf\" kommt mehrfach vor."},
        {"duplicate lines", {{"5A.DBF", "x"}, {"export.log", "ZE-2021-1\\5A.DBF\r\nze-2021-1\\5a.dbf\r\n"}},
         "Die Zeile \"ze-2021-1\\5a.dbf\" der Liste export.log ist nicht zulässig: sie kommt mehrfach vor"},
        {"missing file", {{"5A.DBF", "x"}, {"export.log", "ZE-2021-1\\5A.DBF\r\nZE-2021-1\\5A.DBT\r\n"}},
         "Die Liste export.log nennt \"ZE-2021-1\\5A.DBT\", die ZIP-Datei enthält diese Datei aber nicht."},
        {"password file line", {{"PW.INI", "[Kennwort]\r\n"}, {"export.log", "PW.INI\r\n"}},
         "Die Zeile \"PW.INI\" der Liste export.log ist nicht zulässig: sie gehört zu keiner Dateigruppe einer "
         "Zedora-Exportdatei"},
        {"program folder line", {{"zedora", "x"}, {"export.log", "MUSTER\\zedora\r\n"}},
         "Die Zeile \"MUSTER\\zedora\" der Liste export.log ist nicht zulässig: sie gehört zu keiner Dateigruppe einer "
         "Zedora-Exportdatei"},
        {"bomb by ratio", {{"5A.DBF", zeros}, {"export.log", kLog}},
         "Die Datei \"5A.DBF\" ist verdächtig stark komprimiert"},
        {"control character", {{"evil\n.txt", "x"}, {"export.log", ""}},
         "Der Name \"evil\n.txt\" ist nicht zulässig: Steuerzeichen im Namen"},
    };
}

class ZipHostile : public ::testing::TestWithParam<int> {};

TEST_P(ZipHostile, RefusedBeforeAnythingChanges)
{
    const Hostile h = hostileZips()[size_t(GetParam())];
    ZipWorkspace ws;
    ws.addClass(QStringLiteral("5A"));
    const QString zip = ws.root + QStringLiteral("TMP/hostile.zip");
    ASSERT_TRUE(makeZip(zip, h.entries)) << h.label;
    const auto before = ws.listing();
    ZipImport import(ws.root, true, ws.ui);
    ws.ui.answers.append(QList<Answer>{Answer::Yes, Answer::Yes, Answer::Yes});
    EXPECT_FALSE(import.importZip(zip).imported) << h.label;
    ASSERT_EQ(ws.ui.messages().size(), 1) << h.label;
    EXPECT_EQ(ws.ui.shown.first().kind, ScriptedInteraction::Kind::Error);
    const QString expected = QString::fromUtf8(import_texts::kRefused) + QString::fromUtf8(h.message);
    EXPECT_TRUE(ws.ui.messages().first().startsWith(expected))
        << h.label << ": " << ws.ui.messages().first().toStdString();
    EXPECT_TRUE(ws.listing() == before) << h.label;
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(ws.root).dir().absolutePath() + QStringLiteral("/evil.txt")));
}

INSTANTIATE_TEST_SUITE_P(Zips, ZipHostile, ::testing::Range(0, int(hostileZips().size())));

TEST(ZipHostileLimits, SizeTotalCountAndMissingLogRefused)
{
    ZipWorkspace ws;
    const QString zip = ws.root + QStringLiteral("TMP/big.zip");
    QByteArray noise(3 << 20, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) ^ (i >> 5));
    ASSERT_TRUE(makeZip(zip, {{"5A.DBF", noise}, {"5A.DBT", noise}, {"export.log", kLog}}));
    const auto before = ws.listing();

    ZipImportLimits small;
    small.maxEntrySize = 2 << 20;
    ZipImport bySize(ws.root, true, ws.ui);
    bySize.setLimits(small);
    EXPECT_FALSE(bySize.importZip(zip).imported);
    EXPECT_EQ(ws.ui.messages().last(), QString::fromUtf8(import_texts::kRefused)
                                           + QStringLiteral("Die Datei \"5A.DBF\" ist zu groß (3145728 Bytes entpackt)."));

    ZipImportLimits total;
    total.maxTotalSize = 5 << 20;
    ZipImport byTotal(ws.root, true, ws.ui);
    byTotal.setLimits(total);
    EXPECT_FALSE(byTotal.importZip(zip).imported);
    EXPECT_EQ(ws.ui.messages().last(), QString::fromUtf8(import_texts::kRefused)
                                           + QStringLiteral("Die Dateien sind zusammen zu groß (6291456 Bytes entpackt)."));

    ZipImportLimits few;
    few.maxEntries = 2;
    ZipImport byCount(ws.root, true, ws.ui);
    byCount.setLimits(few);
    EXPECT_FALSE(byCount.importZip(zip).imported);
    EXPECT_EQ(ws.ui.messages().last(),
              QString::fromUtf8(import_texts::kRefused) + QStringLiteral("Die ZIP-Datei enthält zu viele Dateien (3)."));

    const QString noLog = ws.root + QStringLiteral("TMP/nolog.zip");
    ASSERT_TRUE(makeZip(noLog, {{"5A.DBF", "x"}}));
    const auto before2 = ws.listing();
    ZipImport missing(ws.root, true, ws.ui);
    EXPECT_FALSE(missing.importZip(noLog).imported);
    EXPECT_EQ(ws.ui.messages().last(), QString::fromUtf8(import_texts::kNoLog));
    EXPECT_TRUE(ws.listing() == before2);

    writeFile(ws.root + QStringLiteral("TMP/broken.zip"), "PK\x03\x04 not really a zip");
    const auto before3 = ws.listing();
    ZipImport broken(ws.root, true, ws.ui);
    EXPECT_FALSE(broken.importZip(ws.root + QStringLiteral("TMP/broken.zip")).imported);
    EXPECT_EQ(ws.ui.messages().last(),
              QString::fromUtf8(import_texts::kRefused) + QString::fromUtf8(import_texts::kUnreadable));
    EXPECT_TRUE(ws.listing() == before3);
    Q_UNUSED(before);
}

} // namespace
} // namespace zedora::test
