// What reading makes of missing, odd and long values.
#include "core/settings.h"
#include "core/settings_files.h"
#include "base/scripted_interaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class SettingsReadingTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString ws = tmp.path() + QLatin1Char('/');
    ScriptedInteraction ui;

    void put(const QString& name, const QByteArray& text)
    {
        QFile f(ws + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    Settings read(int screenWidth = 1280, const QString& programDir = {})
    {
        SettingsFiles files(ws, QStringLiteral("PC1"), ui);
        files.setScreenSize(QSize(screenWidth, 1024));
        files.setProgramDirectory(programDir);
        Settings s;
        files.read(s);
        return s;
    }
};

TEST_F(SettingsReadingTest, WithoutFilesTheDefaultsHold)
{
    const Settings s = read();
    Settings expected = Settings::defaults(ws, 1280);
    // What reading derives from the defaults.
    expected.FreiFeld1 = "NN";
    expected.BreiteGridSpalte1 = 140 - 64 + 50;
    expected.passwords.adminWritable = true;
    expected.spellCheckerDirectory = "c:/speller/";
    EXPECT_TRUE(s == expected);

    // The demo layout is looked for beside the settings, not below LAYOUT.
    EXPECT_EQ(s.Layout[1], ws + "DEMO.LAY");
    EXPECT_EQ(s.LetztesLayout, ws + "LAYOUT/DEMO.LAY");
    EXPECT_EQ(s.fotoquellordner, ws);
    EXPECT_EQ(s.SchildDatei, ws + "schild/schueler-demo.txt");
    EXPECT_EQ(s.firstColour, QColor(0xFF, 0xAC, 0x59)); // 5876991 = 0x59ACFF
    EXPECT_FALSE(s.spellCheckerAvailable);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(QDir(ws).entryList(QDir::Files).isEmpty()); // reading creates nothing
}

TEST_F(SettingsReadingTest, PreviewDefaultsFollowTheScreenWidth)
{
    const Settings narrow = read(1000);
    EXPECT_EQ(QList<int>({narrow.vx, narrow.vy, narrow.vbreite, narrow.vhoehe}), QList<int>({518, 20, 422, 482}));
    EXPECT_EQ(QList<int>({narrow.vlayoutbreite, narrow.vlayouthoehe}), QList<int>({422, 482}));
    const Settings wide = read(1001);
    EXPECT_EQ(QList<int>({wide.vx, wide.vy, wide.vbreite, wide.vhoehe}), QList<int>({518, 20, 424, 564}));
    EXPECT_EQ(QList<int>({wide.vlayoutbreite, wide.vlayouthoehe}), QList<int>({424, 564}));
}

TEST_F(SettingsReadingTest, LongTextsAreCutAndNonNumbersGiveDefaults)
{
    put("ZEDORA.INI", "[ALLGEMEINES]\r\n"
                      "Schuljahr=2025/2026 und noch mehr\r\n"
                      "Weiblich=weiblich\r\n"
                      "Niveau3=Erweitert\r\n"
                      "ip_Name=NAME                                   X\r\n"
                      "Kuerzeldateiname=  GYM.NKD  \r\n"
                      "TolvoLogin=" + QByteArray(60, 'a') + "\r\n"
                      "Sortierung=drei\r\n"
                      "TolvoPort=33o6\r\n"
                      "FesterDruckerNummer=-2\r\n"
                      "TolvoWPKBez=nein\r\n"
                      "AbgImport=5\r\n"
                      "[HISTORIE]\r\nHistzeile=\r\n"
                      "[DURCHSCHNITT]\r\nDS3=" + QByteArray(300, 'x') + "\r\n");
    put("ZDR-PC1.ini", "[ALLGEMEINES]\r\nFloskeldatei=" + QByteArray(70, 'f') + "\r\nStartBreite=breit\r\n");
    const Settings s = read();
    EXPECT_EQ(s.Schuljahr, QStringLiteral("2025/2026 un"));
    EXPECT_EQ(s.Weiblich, QStringLiteral("w"));
    EXPECT_EQ(s.Niveau3, QStringLiteral("E"));
    EXPECT_EQ(s.ip_Name, QStringLiteral("NAME")); // cut to 30, then trimmed
    EXPECT_EQ(s.Kuerzeldateiname, QStringLiteral("GYM.NKD"));
    EXPECT_EQ(s.TolvoLogin, QString(40, 'a'));
    EXPECT_EQ(s.DS3, QString(254, 'X'));
    EXPECT_EQ(s.FloskelDatei, QString(50, 'f'));
    EXPECT_EQ(s.Sortierung, 1);
    EXPECT_EQ(s.TolvoPort, 3306);
    EXPECT_EQ(s.FesterDruckerNummer, -2);
    EXPECT_TRUE(s.TolvoWPKBez);
    EXPECT_TRUE(s.AbgImport);
    EXPECT_EQ(s.Histzeile, 20);
    EXPECT_EQ(s.StartBreite, 750);
}

TEST_F(SettingsReadingTest, DerivedValues)
{
    put("zedora.ini", "[Allgemeines]\r\n"
                      "ImportArt=1\r\nFreiFeld1=KL_LEHRER\r\nFreiFeld2=HERKUNFT\r\n"
                      "F1Kette=5\r\nF2Kette=;;\r\nF3Kette=\r\n"
                      "BreiteGrid2=200\r\nBreiteGridSpalte0=70\r\nBreiteGridSpalte1=999\r\n"
                      "ZedoraSpellPath=  d:\\rechtschreibung \r\n"
                      "[layout]\r\nMusterArt=19\r\nLayout-3=  C:\\ALT\\Layout\\Zeugnis.lay \r\nLayout-4=\r\n"
                      "Layout-12=LAYOUT\\NIE.LAY\r\n"
                      "[DURCHSCHNITT]\r\nDS1=#de#En#\r\n"
                      "[AUSSEHEN]\r\nFARBSCHEMA=7\r\n");
    put("ZDR-PC1.ini", "[ALLGEMEINES]\r\nNotenDatei=  D:\\Schule\\ze-1920-1\\5a.dbf\r\n"
                       "[LAYOUT]\r\nLetztesLayout=" + ws.toLatin1() + "LAYOUT/DEMO.LAY\r\n");
    Settings s = read();
    EXPECT_EQ(s.ImportArt, 0);
    EXPECT_EQ(s.FreiFeld1, QStringLiteral("NN"));
    EXPECT_EQ(s.FreiFeld2, QStringLiteral("VON_SCHULE"));
    EXPECT_EQ(s.F1Kette, QStringLiteral(";5;"));
    EXPECT_EQ(s.F2Kette, QString());
    EXPECT_EQ(s.F3Kette, QStringLiteral(";"));
    EXPECT_EQ(s.BreiteGridSpalte1, 200 - 70 + 50);
    EXPECT_EQ(s.nameGridSecondColumnWidth(), 180);
    EXPECT_EQ(s.spellCheckerDirectory, QStringLiteral("d:/rechtschreibung/"));
    EXPECT_EQ(s.Musterart, 13);
    EXPECT_EQ(s.Layout[3], ws + "Layout/Zeugnis.lay");
    EXPECT_EQ(s.Layout[4], QString());
    EXPECT_EQ(s.Layout[12], QString());
    EXPECT_EQ(s.DS1, QStringLiteral("#DE#EN#"));
    EXPECT_EQ(s.FARBSCHEMA, 1);
    EXPECT_EQ(s.secondColour, windowsColour(10086397));
    EXPECT_EQ(s.NotenDatei, ws + "ze-1920-1/5a.dbf");
    EXPECT_EQ(s.LetztesLayout, ws + "LAYOUT/DEMO.LAY");

    put("zedora.ini", "[ALLGEMEINES]\r\nImportArt=2\r\nFreiFeld1=KL_LEHRER\r\n[LAYOUT]\r\nMusterart=18\r\n"
                      "[AUSSEHEN]\r\nFARBSCHEMA=2\r\n");
    s = read();
    EXPECT_EQ(s.ImportArt, 2);
    EXPECT_EQ(s.FreiFeld1, QStringLiteral("KL_LEHRER"));
    EXPECT_EQ(s.Musterart, 18);
    EXPECT_EQ(s.FARBSCHEMA, 2);
    // 7526694 = 0x72D926: blue 0x72, green 0xD9, red 0x26.
    EXPECT_EQ(s.firstColour, QColor(0x26, 0xD9, 0x72));
    EXPECT_EQ(windowsColourValue(s.secondColour), 8780491);
}

TEST_F(SettingsReadingTest, SpellCheckerOfTheProgramDirectoryComesFirst)
{
    const QString program = ws + "programm/";
    ASSERT_TRUE(QDir().mkpath(program + "Speller/Ispell/german"));
    QFile(program + "Speller/Ispell/german/german.hash").open(QIODevice::WriteOnly);
    const Settings s = read(1280, program);
    EXPECT_EQ(s.spellCheckerDirectory, program + "Speller/Ispell/");
    EXPECT_TRUE(s.spellCheckerAvailable);
}

TEST_F(SettingsReadingTest, RecoveryAndReadingAgain)
{
    put("ZEDORA.INI", "[ALLGEMEINES]\r\nSchuljahr=2024/2025\r\n");
    put("ZDR-PC1.ini", "[ALLGEMEINES]\r\nNotenDatei=ZE-2425-1\\7A.DBF\r\nFloskeldatei=#DEUTSCH.DBF\r\nRangeFont=12\r\n");
    SettingsFiles files(ws, "PC1", ui);
    Settings s;
    files.read(s, true);
    EXPECT_EQ(s.NotenDatei, QString());
    EXPECT_EQ(s.FloskelDatei, QString());
    EXPECT_EQ(s.RangeFont, 12);

    // Reading the program-wide files again resets what they do not hold and
    // keeps this computer's values.
    s.Schuljahr = "1999/2000";
    s.Sortierung = 3;
    s.NotenDatei = ws + "ZE-2425-2/7A.DBF";
    s.RangeFont = 9;
    files.readProgramWide(s);
    EXPECT_EQ(s.Schuljahr, QStringLiteral("2024/2025"));
    EXPECT_EQ(s.Sortierung, 1);
    EXPECT_EQ(s.NotenDatei, ws + "ZE-2425-2/7A.DBF");
    EXPECT_EQ(s.RangeFont, 9);
}

TEST(SettingsValues, MainWindowFitsTheScreen)
{
    Settings s;
    s.StartBreite = 2000;
    s.StartHoehe = 1200;
    s.StartLinks = -5;
    s.StartOben = -1;
    EXPECT_EQ(s.mainWindowGeometry(QSize(1280, 1024)), QRect(10, 10, 916, 450));
    s.StartLinks = 30;
    s.StartOben = 40;
    s.StartBreite = 1100;
    s.StartHoehe = 800;
    EXPECT_EQ(s.mainWindowGeometry(QSize(1280, 1024)), QRect(30, 40, 1100, 800));
}

TEST(SettingsValues, GradeListNormalisation)
{
    EXPECT_EQ(normaliseGradeList("5"), QStringLiteral(";5;"));
    EXPECT_EQ(normaliseGradeList(" ;5;6 "), QStringLiteral(";5;6;"));
    EXPECT_EQ(normaliseGradeList(";;"), QString());
    EXPECT_EQ(normaliseGradeList(""), QStringLiteral(";"));
    EXPECT_EQ(normaliseGradeList(";1;2;3;4;5;6;7;8;9;10;11"), QStringLiteral(";1;2;3;4;5;6;7;8;9;1"));
}

TEST(SettingsValues, ColourSchemes)
{
    EXPECT_EQ(windowsColourValue(colourScheme(3).first), 13482381);
    EXPECT_EQ(windowsColourValue(colourScheme(3).second), 10930173);
    EXPECT_EQ(windowsColourValue(colourScheme(4).first), 15780518);
    EXPECT_EQ(windowsColourValue(colourScheme(4).second), 12639424);
    EXPECT_EQ(windowsColourValue(colourScheme(0).first), 5876991);
    EXPECT_EQ(windowsColour(255), QColor(Qt::red));
    EXPECT_EQ(windowsColour(65536 * 255), QColor(Qt::blue));
}

} // namespace
