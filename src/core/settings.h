#pragma once
// The settings of the run: the values of ZEDORA.INI, PW.INI and
// ZDR-<computer name>.ini, held in memory from start to end. Members are
// named like their keys (where reader and writer spell a key differently,
// like the reader). Settings{} holds the defaults; the few defaults that
// depend on the workspace or the screen come from Settings::defaults().
#include "core/passwords.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>

namespace zedora {

// Windows colour values are red + 256 * green + 65536 * blue.
QColor windowsColour(int value);
int windowsColourValue(const QColor& colour);

// The two panel colours of a colour scheme 1 to 4 (anything else: 1).
struct ColourScheme {
    QColor first;
    QColor second;
};
ColourScheme colourScheme(int farbschema);

// ";5;6;"-style grade lists as they are kept: framed by ';', ";;" empty,
// at most 20 characters.
QString normaliseGradeList(const QString& list);

inline constexpr int kLayoutSlots = 16;

bool operator==(const Passwords& a, const Passwords& b);

struct Settings {
    // ---- ZEDORA.INI [ALLGEMEINES]
    QString Schuljahr = QStringLiteral("2013/2014");
    QString NaechSchuljahr = QStringLiteral("2014/2015");
    QString Halbjahr = QStringLiteral("1.");
    QString Entwertung = QStringLiteral("----------");
    QString SibankDatei;
    QString SchulName1 = QStringLiteral("Demo-Schule");
    QString SchulName2 = QStringLiteral("Testhausen");
    QString SchulName3;
    QString AusgabeDatum;
    QString AusgabeDatum2;
    QString AusgabeOrt;
    QString EpZeichen = QStringLiteral("*)");
    int Sortierung = 1; // 1 classes, 2 girls/boys, 3 alphabet
    QString FreiFeld1 = QStringLiteral("KL_LEHRER");
    QString FreiFeld2 = QStringLiteral("VON_SCHULE");
    QString TolvoLogin = QStringLiteral("root");
    QString TolvoHost = QStringLiteral("localhost");
    int TolvoPort = 3306;
    QString TolvoDBName = QStringLiteral("TOLVO");
    bool TolvoWPKBez = true;
    bool TolvoAGBez = true;
    int TolvoVornamenOption = 0;
    bool AnsiKonvertierung = true;
    int Kursleselaenge = 1;
    bool AbgImport = false;
    QString Weiblich = QStringLiteral("w");
    QString Maennlich = QStringLiteral("m");
    QString Niveau0 = QStringLiteral("B");
    QString Niveau1 = QStringLiteral("A");
    QString Niveau2 = QStringLiteral("G");
    QString Niveau3 = QStringLiteral("E");
    QString Niveau4 = QStringLiteral("Z");
    QString ZedoraSpellPath = QStringLiteral("c:\\speller\\"); // read, never written
    int TabOben = 80;
    int TabUnten = 100;
    int TabLinks = 100;
    int TabRechts = 50;
    int FarbePosi = 16776960;
    int FarbeNegi = 65535;
    int Farbe01 = 11107325;
    int Farbe02 = 15191807;
    int Farbe03 = 8454016;
    QString F1Kette = QStringLiteral(";5;6;");
    QString F2Kette = QStringLiteral(";4;");
    QString F3Kette = QStringLiteral(";1;");
    int VglLaenge = 1;
    int ImportArt = 0;
    QString ip_Klasse = QStringLiteral("KL_NAME");
    QString ip_Name = QStringLiteral("NAME");
    QString ip_Vorname = QStringLiteral("VORNAME");
    QString ip_Geboren = QStringLiteral("GEB_DAT");
    QString ip_GebOrt = QStringLiteral("GEB_ORT");
    QString ip_Geschlecht = QStringLiteral("M_W");
    QString ip_Telefon = QStringLiteral("TELEFON");
    QString ip_Staat = QStringLiteral("STAATSANG");
    QString ip_Konf = QStringLiteral("KONFESSION");
    QString ip_plz = QStringLiteral("PLZ");
    QString ip_Wohnort = QStringLiteral("ORT");
    QString ip_Strasse = QStringLiteral("STRASSE");
    QString ip_ag1 = QStringLiteral("AG1");
    QString ip_ag2 = QStringLiteral("AG2");
    QString ip_ag3 = QStringLiteral("AG3");
    QString ip_Frei1 = QStringLiteral("KRANKENKAS");
    QString ip_Frei2 = QStringLiteral("ELTERN");
    // Written as the user mode at the time of writing; reading it decides nothing.
    bool SuperVisor = true;
    bool TBSFuerAlle = false;
    bool MitLaengentest = false;
    QString Kuerzeldateiname = QStringLiteral("KUERZEL.TXT");
    bool FesterDruckerGewaehlt = false;
    int FesterDruckerNummer = -1;
    QString ImEx1 = QStringLiteral("C:\\");
    bool DateienWahlBoxSichtbar = true;
    bool SperreOption = false;
    bool FDFAlt = false;
    bool Grid2Sichtbar = true;
    int BreiteGrid2 = 140;
    int BreiteGridSpalte0 = 64;
    // The second column of the fixed name grid. The stored value is not
    // read: the column gets the width the first one leaves, plus 50.
    int BreiteGridSpalte1 = 64;
    QString SchildDatei;        // defaults(): workspace + "schild/schueler-demo.txt"
    QString SchildSibankDatei;  // defaults(): workspace + "schild/s_2007.dbf"
    QString SibankFotoordner = QStringLiteral("C:\\sibwin\\bilder");
    QString fotoquellordner;    // defaults(): the workspace directory
    bool FotoAnzeigen = false;
    QString WebServerBorvath = QStringLiteral("https://www.tolvo.de/onlineupdate/");
    QString WebServerKVB = QStringLiteral("https://update.tolvo.de/");

    // ---- ZEDORA.INI [HISTORIE]
    int Histschriftgrad = 10;
    int Histspalte1 = 160;
    int Histspalte2 = 100;
    int Histspalte3 = 60;
    int Histzeile = 20;
    int HJSichtbar = 6;
    int HistDruckzeilenhoehe = 44;
    bool WiederholeHistKopf = true;

    // ---- ZEDORA.INI [LAYOUT]
    // Layout[n] is the key Layout-n, n = 1..16; 12 and 13 are no slots
    // (Layout-12 is written with LetztesLayout and never read). Full paths
    // once read (slot 1 defaults to DEMO.LAY beside the settings files);
    // stored relative to the workspace.
    std::array<QString, kLayoutSlots + 1> Layout{QString(), QStringLiteral("DEMO.LAY")};
    int Papierfach = 8;
    int GebFormat = 1; // 0 "TT.MM.JJ", 1 "TT.MM.JJJJ", 2 "TT. %Monat% JJJJ "
    int Musterart = 13;
    QString EditorVerzeichnis = QStringLiteral("C:\\WINDOWS\\");
    QString EditorName = QStringLiteral("NOTEPAD.EXE");
    int Warten = 500;
    int ZeilenML = 2;
    bool TBeinzeilig = false;
    int Musterfarbe = 0;
    bool streckungGewuenscht = true; // always written as on

    // ---- ZEDORA.INI [DURCHSCHNITT], [KURS], [AUSSEHEN]
    QString DS1 = QStringLiteral("#DE#EN#MA#");
    QString DS2 = QStringLiteral(
        "#RE#GE#EK#SO#PH#CH#BI#MU#KU#WE#TG#AL#TE#HW#WP1#WP2#WP3#WP4#LA#FR#GR#WN#SP#WU#SF#SA#FFZ1#FFZ2#NOTE1#NOTE2#");
    QString DS3;
    bool KE = true;
    bool KM = true;
    bool KD = false;
    bool KX = false;
    int FARBSCHEMA = 1;

    // ---- PW.INI
    Passwords passwords;

    // ---- ZDR-<computer name>.ini [ALLGEMEINES]
    QString NotenDatei; // full path of the current student file; stored relative
    QString FloskelDatei;
    int TBSOben = 10;
    int TBSLinks = 10;
    int TBSHoehe = 344;
    int TBSBreite = 210;
    int DBMHoehe = 150;
    int dbmemoZeichenGroesse = 10; // font size of the main window's memo
    int TMBBreite = 110;
    int RangeFont = 8;
    bool EditVertikal = false;
    bool MitHilfe = true;
    bool Stammdatengrau = true;
    int StartLinks = 10;
    int StartOben = 10;
    int StartBreite = 750;
    int StartHoehe = 580;
    int StartState = 0; // 0 maximised, 1 normal
    bool Contidruck = false;
    // [LAYOUT]
    QString LetztesLayout; // defaults(): workspace + "LAYOUT/DEMO.LAY"; stored relative
    // [VORSCHAU]
    int vquerx = 340;
    int vquery = 100;
    int vquerbreite = 618;
    int vquerhoehe = 421;
    int vx = 518; // vx ... vlayouthoehe: defaults() picks them by screen width
    int vy = 20;
    int vbreite = 424;
    int vhoehe = 564;
    int vlayoutx = 518;
    int vlayouty = 20;
    int vlayoutbreite = 424;
    int vlayouthoehe = 564;

    // ---- derived while reading
    QColor firstColour = windowsColour(5876991);   // of FARBSCHEMA
    QColor secondColour = windowsColour(10086397);
    QString spellCheckerDirectory;
    bool spellCheckerAvailable = false;

    // The defaults with the workspace-dependent paths filled in and the
    // preview geometry chosen for the screen width.
    static Settings defaults(const QString& workspaceDir, int screenWidth);

    // Width of the second column of the fixed name grid DBGrid2.
    int nameGridSecondColumnWidth() const { return BreiteGrid2 - BreiteGridSpalte0 + 50; }
    // Main window position and size in the normal state, fitted to the screen.
    QRect mainWindowGeometry(const QSize& screen) const;
    // Sets FARBSCHEMA (1 outside 1..4) and the two scheme colours.
    void setColourScheme(int farbschema);

    bool operator==(const Settings&) const = default;
};

} // namespace zedora
