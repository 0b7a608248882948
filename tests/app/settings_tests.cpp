// Writing the settings files and reading them back.
#include "core/settings.h"
#include "core/settings_files.h"
#include "base/profile_file.h"
#include "base/scripted_interaction.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

const QString kFailureZedora = QStringLiteral(
    "Zedora.ini konnte nicht geschrieben werden!\n\nMögliche Ursachen:\n"
    "Schreibschutz, Arbeitsverzeichnis nicht vorhanden\n\n");
const QString kLaterFailure =
    QStringLiteral("Programmeinstellungen (ZEDORA.INI) konnten nicht gespeichert werden!");

// Every key as the writer spells it, section by section.
struct FileKeys {
    const char* section;
    QStringList keys;
};

QStringList layoutKeys()
{
    QStringList k;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 12})
        k << QStringLiteral("Layout-%1").arg(n);
    return k << "Papierfach" << "GebFormat" << "MusterArt" << "EditorVerzeichnis" << "EditorName"
             << "Warten" << "ZeilenML" << "TBeinzeilig" << "Musterfarbe" << "streckungGewuenscht";
}

const std::vector<FileKeys>& zedoraIniKeys()
{
    static const std::vector<FileKeys> k = {
        {"ALLGEMEINES",
         {"Schuljahr", "NaechSchuljahr", "Halbjahr", "Entwertung", "SibankDatei", "Schulname1", "Schulname2",
          "Schulname3", "AusgabeDatum", "AusgabeDatum2", "AusgabeOrt", "EpZeichen", "Sortierung", "FreiFeld1",
          "FreiFeld2", "TolvoLogin", "TolvoHost", "TolvoPort", "TolvoDBName", "TolvoWPKBez", "TolvoAGBez",
          "TolvoVornamenOption", "AnsiKonvertierung", "KursLeselaenge", "AbgImport", "Weiblich", "Maennlich",
          "Niveau0", "Niveau1", "Niveau2", "Niveau3", "Niveau4", "TabOben", "TabUnten", "TabLinks",
          "TabRechts", "FarbePosi", "FarbeNegi", "Farbe01", "Farbe02", "Farbe03", "F1Kette", "F2Kette",
          "F3Kette", "VglLaenge", "ImportArt", "ip_Klasse", "ip_Name", "ip_Vorname", "ip_Geboren",
          "ip_GebOrt", "ip_Geschlecht", "ip_Telefon", "ip_Staat", "ip_Konf", "ip_PLZ", "ip_Wohnort",
          "ip_Strasse", "ip_ag1", "ip_ag2", "ip_ag3", "ip_Frei1", "ip_Frei2", "Supervisor", "TBSFuerAlle",
          "MitLaengentest", "Kuerzeldateiname", "FesterDruckerGewaehlt", "FesterDruckerNummer", "ImEx1",
          "DateienWahlBoxSichtbar", "SperreOption", "FDFAlt", "Grid2Sichtbar", "BreiteGrid2",
          "BreiteGridSpalte0", "BreiteGridSpalte1", "SchildDatei", "SchildSibankDatei", "SibankFotoordner",
          "fotoquellordner", "FotoAnzeigen", "WebServerBorvath", "WebServerKVB"}},
        {"HISTORIE",
         {"Histschriftgrad", "Histspalte1", "Histspalte2", "Histspalte3", "Histzeile", "HJSichtbar",
          "HistDruckzeilenhoehe", "WiederholeHistKopf"}},
        {"LAYOUT", layoutKeys()},
        {"DURCHSCHNITT", {"DS1", "DS2", "DS3"}},
        {"KURS", {"KE", "KM", "KD", "KX"}},
        {"AUSSEHEN", {"FARBSCHEMA"}},
    };
    return k;
}

const std::vector<FileKeys>& perComputerKeys()
{
    static const std::vector<FileKeys> k = {
        {"ALLGEMEINES",
         {"NotenDatei", "Floskeldatei", "TBSOben", "TBSLinks", "TBSHoehe", "TBSBreite", "DBMHoehe",
          "dbmemoZeichenGroesse", "TMBBreite", "RangeFont", "EditVertikal", "MitHilfe", "Stammdatengrau",
          "StartLinks", "StartOben", "StartBreite", "StartHoehe", "StartState", "Contidruck"}},
        {"LAYOUT", {"LetztesLayout"}},
        {"VORSCHAU",
         {"vquerx", "vquery", "vquerbreite", "vquerhoehe", "vx", "vy", "vbreite", "vhoehe", "vlayoutx",
          "vlayouty", "vlayoutbreite", "vlayouthoehe"}},
    };
    return k;
}

// A value other than the default in every member that is stored.
Settings everyValueChanged(const QString& ws)
{
    Settings s = Settings::defaults(ws, 1280);
    s.Schuljahr = "2025/2026";
    s.NaechSchuljahr = "2026/2027";
    s.Halbjahr = "2.";
    s.Entwertung = "xxxxx";
    s.SibankDatei = "/daten/sibank/SCHUELER.DBF";
    s.SchulName1 = "Gesamtschule Süd";
    s.SchulName2 = "Großstadt";
    s.SchulName3 = "Städtische Schule für Jungen und Mädchen";
    s.AusgabeDatum = "01.02.2026";
    s.AusgabeDatum2 = "24.06.2026";
    s.AusgabeOrt = "Köln";
    s.EpZeichen = "#)";
    s.Sortierung = 3;
    s.FreiFeld1 = "KLASSENLEH";
    s.FreiFeld2 = "HERKUNFT";
    s.TolvoLogin = "zeugnis";
    s.TolvoHost = "server.schule.local";
    s.TolvoPort = 3307;
    s.TolvoDBName = "SCHULE";
    s.TolvoWPKBez = false;
    s.TolvoAGBez = false;
    s.TolvoVornamenOption = 2;
    s.AnsiKonvertierung = false;
    s.Kursleselaenge = 2;
    s.AbgImport = true;
    s.Weiblich = "f";
    s.Maennlich = "j";
    s.Niveau0 = "0";
    s.Niveau1 = "1";
    s.Niveau2 = "2";
    s.Niveau3 = "3";
    s.Niveau4 = "4";
    s.ZedoraSpellPath = "/opt/speller"; // never written
    s.TabOben = 81;
    s.TabUnten = 101;
    s.TabLinks = 102;
    s.TabRechts = 51;
    s.FarbePosi = 255;
    s.FarbeNegi = 65280;
    s.Farbe01 = 1;
    s.Farbe02 = 2;
    s.Farbe03 = 16777215;
    s.F1Kette = ";6;";
    s.F2Kette = ";5;";
    s.F3Kette = ";1;2;";
    s.VglLaenge = 2;
    s.ImportArt = 2; // 0 and 1 replace FreiFeld1/2 when read
    s.ip_Klasse = "KLASSE";
    s.ip_Name = "NACHNAME";
    s.ip_Vorname = "RUFNAME";
    s.ip_Geboren = "GEBURT";
    s.ip_GebOrt = "GEBURTSORT";
    s.ip_Geschlecht = "GESCHLECHT";
    s.ip_Telefon = "TEL";
    s.ip_Staat = "NATION";
    s.ip_Konf = "RELIGION";
    s.ip_plz = "POSTLZ";
    s.ip_Wohnort = "WOHNORT";
    s.ip_Strasse = "ANSCHRIFT";
    s.ip_ag1 = "KURS1";
    s.ip_ag2 = "KURS2";
    s.ip_ag3 = "KURS3";
    s.ip_Frei1 = "FREI1";
    s.ip_Frei2 = "FREI2";
    s.SuperVisor = false; // written as the mode
    s.TBSFuerAlle = true;
    s.MitLaengentest = true;
    s.Kuerzeldateiname = "GYM.NKD";
    s.FesterDruckerGewaehlt = true;
    s.FesterDruckerNummer = 3;
    s.ImEx1 = "/home/lehrer/export/";
    s.DateienWahlBoxSichtbar = false;
    s.SperreOption = true;
    s.FDFAlt = true;
    s.Grid2Sichtbar = false;
    s.BreiteGrid2 = 200;
    s.BreiteGridSpalte0 = 80;
    s.BreiteGridSpalte1 = 170; // what reading derives from the two above
    s.SchildDatei = "/daten/schild.txt";
    s.SchildSibankDatei = "/daten/s_2025.dbf";
    s.SibankFotoordner = "/daten/fotos";
    s.fotoquellordner = "/daten/neu";
    s.FotoAnzeigen = true;
    s.WebServerBorvath = "https://alt.example.org/onlineupdate/";
    s.WebServerKVB = "https://neu.example.org/";
    s.Histschriftgrad = 11;
    s.Histspalte1 = 161;
    s.Histspalte2 = 101;
    s.Histspalte3 = 61;
    s.Histzeile = 21;
    s.HJSichtbar = 4;
    s.HistDruckzeilenhoehe = 45;
    s.WiederholeHistKopf = false;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16})
        s.Layout[n] = ws + QStringLiteral("LAYOUT/Zeugnis%1.LAY").arg(n);
    s.Papierfach = 2;
    s.GebFormat = 2;
    s.Musterart = 5;
    s.EditorVerzeichnis = "/usr/bin/";
    s.EditorName = "EDIT";
    s.Warten = 100;
    s.ZeilenML = 3;
    s.TBeinzeilig = true;
    s.Musterfarbe = 8421504;
    s.streckungGewuenscht = false; // always written as on
    s.DS1 = "#DE#";
    s.DS2 = "#MA#PH#";
    s.DS3 = "#EN#";
    s.KE = false;
    s.KM = false;
    s.KD = true;
    s.KX = true;
    s.setColourScheme(3);
    s.passwords.admin = "GEHEIM";
    s.passwords.start = "START1";
    s.passwords.adminWritable = true;
    s.NotenDatei = ws + "ZE-2526-1/10B.DBF";
    s.FloskelDatei = "#DEUTSCH.DBF";
    s.TBSOben = 11;
    s.TBSLinks = 12;
    s.TBSHoehe = 345;
    s.TBSBreite = 211;
    s.DBMHoehe = 151;
    s.dbmemoZeichenGroesse = 12;
    s.TMBBreite = 111;
    s.RangeFont = 9;
    s.EditVertikal = true;
    s.MitHilfe = false;
    s.Stammdatengrau = false;
    s.StartLinks = 13;
    s.StartOben = 14;
    s.StartBreite = 1000;
    s.StartHoehe = 700;
    s.StartState = 1;
    s.Contidruck = true;
    s.LetztesLayout = ws + "LAYOUT/Abschluss.LAY";
    s.vquerx = 341;
    s.vquery = 101;
    s.vquerbreite = 619;
    s.vquerhoehe = 422;
    s.vx = 519;
    s.vy = 21;
    s.vbreite = 425;
    s.vhoehe = 565;
    s.vlayoutx = 520;
    s.vlayouty = 22;
    s.vlayoutbreite = 426;
    s.vlayouthoehe = 566;
    return s;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsFilesTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString ws = tmp.path() + QLatin1Char('/');
    ScriptedInteraction ui;
    QStringList written;

    std::unique_ptr<SettingsFiles> files(const QString& workspace)
    {
        auto f = std::make_unique<SettingsFiles>(workspace, QStringLiteral("PC1"), ui);
        f->setScreenSize(QSize(1280, 1024));
        f->setWrittenCallback([this](const QString& p) { written << p; });
        return f;
    }
    std::unique_ptr<SettingsFiles> files() { return files(ws); }
};

TEST_F(SettingsFilesTest, EveryKeyComesBackUnchanged)
{
    const Settings out = everyValueChanged(ws);
    auto f = files();
    ASSERT_TRUE(f->writeProgramWide(out, true));
    ASSERT_TRUE(f->writePerComputer(out));
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(written, QStringList({ws + "ZEDORA.INI", ws + "PW.INI", ws + "ZDR-PC1.ini"}));

    Settings in;
    files()->read(in);
    Settings expected = out;
    expected.SuperVisor = true;          // the administrator wrote it
    expected.streckungGewuenscht = true; // always written as on
    expected.ZedoraSpellPath = Settings().ZedoraSpellPath;
    expected.spellCheckerDirectory = "c:/speller/";
    expected.passwords.adminWritable = false; // a password was read
    EXPECT_TRUE(in == expected);

    // Where the comparison fails, the files show which key: written again
    // from what was read, they must be the same bytes.
    QTemporaryDir again;
    const QString ws2 = again.path() + QLatin1Char('/');
    Settings moved = in;
    moved.passwords.adminWritable = true;
    for (QString* p : {&moved.NotenDatei, &moved.LetztesLayout})
        p->replace(ws, ws2);
    for (QString& l : moved.Layout)
        l.replace(ws, ws2);
    auto f2 = files(ws2);
    ASSERT_TRUE(f2->writeProgramWide(moved, true));
    ASSERT_TRUE(f2->writePerComputer(moved));
    EXPECT_EQ(QString::fromLatin1(fileBytes(ws2 + "ZEDORA.INI")), QString::fromLatin1(fileBytes(ws + "ZEDORA.INI")));
    EXPECT_EQ(fileBytes(ws2 + "ZDR-PC1.ini"), fileBytes(ws + "ZDR-PC1.ini"));
}

TEST_F(SettingsFilesTest, TheFilesHoldEveryKeyUnderTheWritersSpelling)
{
    QTemporaryDir plainDir;
    const QString plainWs = plainDir.path() + QLatin1Char('/');
    Settings plain;
    files(plainWs)->read(plain); // the state of a first start
    ASSERT_TRUE(files(plainWs)->writeProgramWide(plain, true));
    ASSERT_TRUE(files(plainWs)->writePerComputer(plain));

    const Settings changed = everyValueChanged(ws);
    ASSERT_TRUE(files()->writeProgramWide(changed, true));
    ASSERT_TRUE(files()->writePerComputer(changed));

    auto check = [&](const QString& name, const std::vector<FileKeys>& sections, const QSet<QString>& forced) {
        const ProfileFile a = ProfileFile::fromFile(plainWs + name);
        const ProfileFile b = ProfileFile::fromFile(ws + name);
        for (const FileKeys& fk : sections) {
            const QString section = QString::fromLatin1(fk.section);
            EXPECT_EQ(b.keys(section), fk.keys) << name.toStdString() << " [" << fk.section << "]";
            EXPECT_EQ(a.keys(section), fk.keys) << name.toStdString() << " [" << fk.section << "]";
            // The round trip above proves something only for keys it changed.
            for (const QString& key : fk.keys) {
                if (!forced.contains(key)) {
                    EXPECT_NE(a.readString(section, key), b.readString(section, key))
                        << name.toStdString() << " " << key.toStdString();
                }
            }
        }
    };
    check("ZEDORA.INI", zedoraIniKeys(), {"Supervisor", "streckungGewuenscht"});
    check("ZDR-PC1.ini", perComputerKeys(), {});
    EXPECT_FALSE(ProfileFile::fromFile(ws + "ZEDORA.INI").hasKey("ALLGEMEINES", "ZedoraSpellPath"));
    EXPECT_EQ(ProfileFile::fromFile(ws + "PW.INI").keys("ALLGEMEINES"), QStringList({"SB", "ST"}));

    // Paths are kept relative to the workspace, in Windows form.
    const ProfileFile zdr = ProfileFile::fromFile(ws + "ZDR-PC1.ini");
    EXPECT_EQ(zdr.readString("ALLGEMEINES", "NotenDatei"), QStringLiteral("ZE-2526-1\\10B.DBF"));
    EXPECT_EQ(zdr.readString("LAYOUT", "LetztesLayout"), QStringLiteral("LAYOUT\\Abschluss.LAY"));
    const ProfileFile zed = ProfileFile::fromFile(ws + "ZEDORA.INI");
    EXPECT_EQ(zed.readString("LAYOUT", "Layout-12"), QStringLiteral("LAYOUT\\Abschluss.LAY"));
    EXPECT_EQ(zed.readString("LAYOUT", "Layout-14"), QStringLiteral("LAYOUT\\Zeugnis14.LAY"));
    EXPECT_FALSE(zed.hasKey("LAYOUT", "Layout-13"));
    EXPECT_EQ(ProfileFile::fromFile(plainWs + "ZEDORA.INI").readString("LAYOUT", "Layout-1"),
              QStringLiteral("DEMO.LAY"));
    EXPECT_EQ(zed.readString("ALLGEMEINES", "Supervisor"), QStringLiteral("1"));
    // Windows-1252 on disk.
    EXPECT_TRUE(fileBytes(ws + "ZEDORA.INI").contains("Schulname1=Gesamtschule S\xFC" "d\r\n"));
}

TEST_F(SettingsFilesTest, PasswordsAreStoredScrambled)
{
    Settings s = Settings::defaults(ws, 1280);
    s.passwords = {"GEHEIM", "  START1 ", true};
    ASSERT_TRUE(files()->writeProgramWide(s, true));
    const ProfileFile pw = ProfileFile::fromFile(ws + "PW.INI");
    EXPECT_EQ(pw.readString("ALLGEMEINES", "SB"), scramblePassword("GEHEIM"));
    EXPECT_EQ(pw.readString("ALLGEMEINES", "ST"), scramblePassword("START1"));
    EXPECT_FALSE(fileBytes(ws + "PW.INI").contains("GEHEIM"));

    Settings in;
    in.passwords.adminWritable = true; // cleared before the first read
    files()->read(in);
    EXPECT_EQ(in.passwords.admin, QStringLiteral("GEHEIM"));
    EXPECT_EQ(in.passwords.start, QStringLiteral("START1"));
    EXPECT_FALSE(in.passwords.adminWritable);

    // Reading again keeps a granted permission.
    in.passwords.adminWritable = true;
    files()->readProgramWide(in);
    EXPECT_TRUE(in.passwords.adminWritable);

    // Without permission SB stays as it is; an empty start password is an empty value.
    in.passwords = {"ANDERS", " ", false};
    ASSERT_TRUE(files()->writeProgramWide(in, true));
    const ProfileFile pw2 = ProfileFile::fromFile(ws + "PW.INI");
    EXPECT_EQ(pw2.readString("ALLGEMEINES", "SB"), scramblePassword("GEHEIM"));
    EXPECT_TRUE(pw2.hasKey("ALLGEMEINES", "ST"));
    EXPECT_EQ(pw2.readString("ALLGEMEINES", "ST", "x"), QString());

    // An empty administrator password read makes it writable.
    ASSERT_EQ(ProfileFile::writeKey(ws + "PW.INI", "ALLGEMEINES", "SB", ""), ProfileFile::SaveStatus::Saved);
    Settings fresh;
    files()->read(fresh);
    EXPECT_TRUE(fresh.passwords.admin.isEmpty());
    EXPECT_TRUE(fresh.passwords.adminWritable);
}

TEST_F(SettingsFilesTest, NormalUserWritesOnlyThePerComputerFile)
{
    const Settings s = everyValueChanged(ws);
    EXPECT_TRUE(files()->writeProgramWide(s, false));
    EXPECT_FALSE(QFile::exists(ws + "ZEDORA.INI"));
    EXPECT_FALSE(QFile::exists(ws + "PW.INI"));
    EXPECT_TRUE(written.isEmpty());
    EXPECT_TRUE(files()->writePerComputer(s));
    EXPECT_EQ(written, QStringList({ws + "ZDR-PC1.ini"}));
    EXPECT_EQ(QDir(ws).entryList(QDir::Files), QStringList({"ZDR-PC1.ini"}));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(SettingsFilesTest, UnwritableWorkspaceShowsTheBoxAndChangesNothing)
{
    const QString missing = ws + "fehlt/";
    Settings s = everyValueChanged(missing);
    const Settings before = s;
    auto f = files(missing);
    EXPECT_FALSE(f->writeProgramWide(s, true));
    // The first failure ends it: PW.INI is not tried.
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Error);
    EXPECT_EQ(ui.shown[0].text, kFailureZedora);
    ui.clear();
    EXPECT_FALSE(f->writePerComputer(s));
    EXPECT_EQ(ui.messages(), QStringList({writeFailureText("ZDR-PC1.ini")}));
    EXPECT_TRUE(s == before);
    EXPECT_TRUE(written.isEmpty());
    EXPECT_FALSE(QDir(missing).exists());
}

TEST_F(SettingsFilesTest, PwIniFailureIsReportedOnItsOwn)
{
    ASSERT_TRUE(QDir(ws).mkdir("PW.INI")); // a folder where the file belongs
    EXPECT_FALSE(files()->writeProgramWide(everyValueChanged(ws), true));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Error);
    EXPECT_EQ(ui.shown[0].text, writeFailureText("pw.ini"));
    EXPECT_EQ(written, QStringList({ws + "ZEDORA.INI"}));
}

// A disk that fills up while ZEDORA.INI is written.
class IncompleteZedoraIni : public SettingsFiles {
public:
    using SettingsFiles::SettingsFiles;
protected:
    ProfileFile::SaveStatus saveFile(const ProfileFile& file, const QString& path) override
    {
        if (path.endsWith("ZEDORA.INI"))
            return ProfileFile::SaveStatus::NotCompleted;
        return SettingsFiles::saveFile(file, path);
    }
};

TEST_F(SettingsFilesTest, IncompleteZedoraIniStillWritesPwIni)
{
    IncompleteZedoraIni f(ws, "PC1", ui);
    f.setWrittenCallback([this](const QString& p) { written << p; });
    EXPECT_FALSE(f.writeProgramWide(everyValueChanged(ws), true));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Info);
    EXPECT_EQ(ui.shown[0].text, kLaterFailure);
    EXPECT_EQ(written, QStringList({ws + "PW.INI"}));
    EXPECT_FALSE(QFile::exists(ws + "ZEDORA.INI"));
}

TEST_F(SettingsFilesTest, FilesOfAnyLetterCaseAreFoundAndKept)
{
    {
        QFile f(ws + "zedora.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; gemeinsam mit anderen Rechnern\r\n[allgemeines]\r\nschuljahr=2020/2021\r\n"
                "FremderSchluessel=bleibt\r\n[FREMD]\r\nA=1\r\n");
        QFile z(ws + "zdr-pc1.INI");
        ASSERT_TRUE(z.open(QIODevice::WriteOnly));
        z.write("[Allgemeines]\r\nRangeFont=14\r\n");
    }
    Settings s;
    files()->read(s);
    EXPECT_EQ(s.Schuljahr, QStringLiteral("2020/2021"));
    EXPECT_EQ(s.RangeFont, 14);

    s.Schuljahr = "2021/2022";
    ASSERT_TRUE(files()->writeProgramWide(s, true));
    ASSERT_TRUE(files()->writePerComputer(s));
    EXPECT_EQ(QDir(ws).entryList(QDir::Files, QDir::Name),
              QStringList({"PW.INI", "zdr-pc1.INI", "zedora.ini"}));
    const ProfileFile ini = ProfileFile::fromFile(ws + "zedora.ini");
    EXPECT_EQ(ini.readString("ALLGEMEINES", "Schuljahr"), QStringLiteral("2021/2022"));
    EXPECT_EQ(ini.readString("ALLGEMEINES", "FremderSchluessel"), QStringLiteral("bleibt"));
    EXPECT_EQ(ini.readInt("FREMD", "A", 0), 1);
    EXPECT_TRUE(fileBytes(ws + "zedora.ini").startsWith("; gemeinsam mit anderen Rechnern\r\n[allgemeines]\r\n"));
}

} // namespace
