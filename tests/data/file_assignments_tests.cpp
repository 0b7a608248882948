#include "data/file_assignments.h"

#include "base/profile_file.h"
#include "base/scripted_interaction.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zedora {
namespace {

using testing_support::fileLines;
using testing_support::putLines;

class Assignments : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ws = dir.path() + "/ws/";
        QDir().mkpath(ws + "ZE-1920-1");
    }
    QTemporaryDir dir;
    QString ws;
    ScriptedInteraction ui;
};

TEST_F(Assignments, RoundTripWithWorkspaceRelativeLayout)
{
    const QString file = ws + "ZE-1920-1/5A.DBF";
    FileAssignments a;
    a.Layoutdatei = ws + "LAYOUT/Sek1/Halbjahr.LAY";
    a.TBSdatei = "#SEK1.DBF";
    a.Faecherdatei = "SEK1.FDF";
    QStringList written;
    ASSERT_TRUE(writeAssignments(file, ws, a, ui, [&](const QString& p) { written << p; }));
    EXPECT_EQ(written, QStringList({ws + "ZE-1920-1/5A.INI"}));
    const QStringList lines = fileLines(ws + "ZE-1920-1/5A.INI");
    EXPECT_TRUE(lines.contains("Layoutdatei=LAYOUT\\Sek1\\Halbjahr.LAY")) << lines.join("|").toStdString();

    std::array<QString, kBlockSubjectSlots> ep{"ge", "", "EK"};
    ASSERT_TRUE(writeBlockSubjects(file, ep, ui));

    // The workspace has moved: the layout is found in the new place.
    QDir().mkpath(dir.path() + "/neu");
    ASSERT_TRUE(QDir().rename(dir.path() + "/ws", dir.path() + "/neu/ws"));
    const QString movedWs = dir.path() + "/neu/ws/";
    const FileAssignments back = readAssignments(movedWs + "ZE-1920-1/5a.dbf", movedWs, {});
    EXPECT_EQ(back.Layoutdatei, movedWs + "LAYOUT/Sek1/Halbjahr.LAY");
    EXPECT_EQ(back.TBSdatei, "#SEK1.DBF");
    EXPECT_EQ(back.Faecherdatei, "SEK1.FDF");
    EXPECT_EQ(back.EP[0], "GE");
    EXPECT_EQ(back.EP[1], "");
    EXPECT_EQ(back.EP[2], "EK");
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(Assignments, MissingKeysKeepThePreviousFile)
{
    FileAssignments previous;
    previous.Layoutdatei = ws + "LAYOUT/DEMO.LAY";
    previous.TBSdatei = "#DEMO.DBF";
    previous.Faecherdatei = "DEMO.FDF";
    previous.EP[0] = "MU";

    // No .INI at all: everything but the block subjects is taken over.
    FileAssignments a = readAssignments(ws + "ZE-1920-1/6B.DBF", ws, previous);
    EXPECT_EQ(a.Layoutdatei, previous.Layoutdatei);
    EXPECT_EQ(a.TBSdatei, "#DEMO.DBF");
    EXPECT_EQ(a.Faecherdatei, "DEMO.FDF");
    EXPECT_EQ(a.EP[0], "");

    // Only some keys: the others stay; values are cut to their widths.
    putLines(ws + "ZE-1920-1/6b.ini",
             {"[zuordnungen]", "tbsdatei=#" + QString(60, 'X'), "", "[EPOCHAL]",
              "EP10=" + QString("wahlpflichtkursnummer")});
    a = readAssignments(ws + "ZE-1920-1/6B.DBF", ws, previous);
    EXPECT_EQ(a.Layoutdatei, previous.Layoutdatei);
    EXPECT_EQ(a.TBSdatei, "#" + QString(49, 'X'));
    EXPECT_EQ(a.Faecherdatei, "DEMO.FDF");
    EXPECT_EQ(a.EP[9], "WAHLPFLICHTKURSNUMME");

    // Writing keeps the other sections of the existing file and its spelling.
    ASSERT_TRUE(writeAssignments(ws + "ZE-1920-1/6B.DBF", ws, a, ui));
    EXPECT_FALSE(QFile::exists(ws + "ZE-1920-1/6B.INI"));
    const ProfileFile ini = ProfileFile::fromFile(ws + "ZE-1920-1/6b.ini");
    EXPECT_EQ(ini.readString("EPOCHAL", "EP10"), "wahlpflichtkursnummer");
    EXPECT_EQ(ini.readString("ZUORDNUNGEN", "Faecherdatei"), "DEMO.FDF");
}

TEST_F(Assignments, WriteFailureShowsTheBox)
{
    // The data directory does not exist.
    const QString file = ws + "ZE-9999-1/5A.DBF";
    EXPECT_FALSE(writeAssignments(file, ws, FileAssignments{}, ui));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Error);
    EXPECT_TRUE(ui.shown[0].text.endsWith(
        "5A.INI konnte nicht geschrieben werden!\n\nMögliche Ursachen:\n"
        "Schreibschutz, Arbeitsverzeichnis nicht vorhanden\n\n"));
}

TEST(PreviousArchive, NamesOfTheHalfYearBefore)
{
    EXPECT_EQ(previousArchiveName("/ws/ZE-1920-2/5A.DBF"), "A19-20-1.DBF");
    EXPECT_EQ(previousArchiveName("/ws/ZE-1920-1/5A.DBF"), "A18-19-2.DBF");
    EXPECT_EQ(previousArchiveName("C:\\Zedora\\ze-1920-1\\5A.DBF"), "A18-19-2.DBF");
    EXPECT_EQ(previousArchiveName("ZE-1920-1"), "A18-19-2.DBF");
    // Across the century: 00 is 2000, so the year before is 99.
    EXPECT_EQ(previousArchiveName("/ws/ZE-0001-1/5A.DBF"), "A99-00-2.DBF");
    EXPECT_EQ(previousArchiveName("/ws/ZE-5051-1/5A.DBF"), "A49-50-2.DBF");
    EXPECT_EQ(previousArchiveName("/ws/ZE-5152-1/5A.DBF"), "A50-51-2.DBF");
    EXPECT_EQ(previousArchiveName("/ws/ZE-9900-2/5A.DBF"), "A99-00-1.DBF");
    // Not a half-year directory (the demo directory, the workspace itself).
    EXPECT_EQ(previousArchiveName("/ws/ZE-0000-0/DEMO.DBF"), "");
    EXPECT_EQ(previousArchiveName("/ws/DEMO.DBF"), "");
    EXPECT_EQ(previousArchiveName("/ws/ZE-19-1/5A.DBF"), "");
}

} // namespace
} // namespace zedora
