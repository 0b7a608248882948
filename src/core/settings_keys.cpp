#include "core/settings_keys.h"

namespace zedora::settings_keys {
namespace {

constexpr File P = File::ProgramWide;
constexpr File C = File::PerComputer;
constexpr const char* ALLG = "ALLGEMEINES";
constexpr const char* HIST = "HISTORIE";
constexpr const char* LAY = "LAYOUT";
constexpr const char* DS = "DURCHSCHNITT";
constexpr const char* KURS = "KURS";
constexpr const char* AUS = "AUSSEHEN";
constexpr const char* VOR = "VORSCHAU";

using S = Settings;

} // namespace

const std::vector<Key>& keys()
{
    static const std::vector<Key> table = {
        // ZEDORA.INI [ALLGEMEINES]
        {P, ALLG, "Schuljahr", nullptr, &S::Schuljahr, 12, Plain},
        {P, ALLG, "NaechSchuljahr", nullptr, &S::NaechSchuljahr, 12, Plain},
        {P, ALLG, "Halbjahr", nullptr, &S::Halbjahr, 12, Plain},
        {P, ALLG, "Entwertung", nullptr, &S::Entwertung, 200, Plain},
        {P, ALLG, "SibankDatei", nullptr, &S::SibankDatei, 200, Plain},
        {P, ALLG, "SchulName1", "Schulname1", &S::SchulName1, 200, Plain},
        {P, ALLG, "SchulName2", "Schulname2", &S::SchulName2, 200, Plain},
        {P, ALLG, "SchulName3", "Schulname3", &S::SchulName3, 200, Plain},
        {P, ALLG, "AusgabeDatum", nullptr, &S::AusgabeDatum, 200, Plain},
        {P, ALLG, "AusgabeDatum2", nullptr, &S::AusgabeDatum2, 200, Plain},
        {P, ALLG, "AusgabeOrt", nullptr, &S::AusgabeOrt, 200, Plain},
        {P, ALLG, "EpZeichen", nullptr, &S::EpZeichen, 12, Plain},
        {P, ALLG, "Sortierung", nullptr, &S::Sortierung, 0, Plain},
        {P, ALLG, "FreiFeld1", nullptr, &S::FreiFeld1, 12, Plain},
        {P, ALLG, "FreiFeld2", nullptr, &S::FreiFeld2, 12, Plain},
        {P, ALLG, "TolvoLogin", nullptr, &S::TolvoLogin, 40, Plain},
        {P, ALLG, "TolvoHost", nullptr, &S::TolvoHost, 200, Plain},
        {P, ALLG, "TolvoPort", nullptr, &S::TolvoPort, 0, Plain},
        {P, ALLG, "TolvoDBName", nullptr, &S::TolvoDBName, 40, Plain},
        {P, ALLG, "TolvoWPKBez", nullptr, &S::TolvoWPKBez, 0, Plain},
        {P, ALLG, "TolvoAGBez", nullptr, &S::TolvoAGBez, 0, Plain},
        {P, ALLG, "TolvoVornamenOption", nullptr, &S::TolvoVornamenOption, 0, Plain},
        {P, ALLG, "AnsiKonvertierung", nullptr, &S::AnsiKonvertierung, 0, Plain},
        {P, ALLG, "Kursleselaenge", "KursLeselaenge", &S::Kursleselaenge, 0, Plain},
        {P, ALLG, "AbgImport", nullptr, &S::AbgImport, 0, Plain},
        // One character each: the width keeps only the first.
        {P, ALLG, "Weiblich", nullptr, &S::Weiblich, 1, Plain},
        {P, ALLG, "Maennlich", nullptr, &S::Maennlich, 1, Plain},
        {P, ALLG, "Niveau0", nullptr, &S::Niveau0, 1, Plain},
        {P, ALLG, "Niveau1", nullptr, &S::Niveau1, 1, Plain},
        {P, ALLG, "Niveau2", nullptr, &S::Niveau2, 1, Plain},
        {P, ALLG, "Niveau3", nullptr, &S::Niveau3, 1, Plain},
        {P, ALLG, "Niveau4", nullptr, &S::Niveau4, 1, Plain},
        {P, ALLG, "ZedoraSpellPath", nullptr, &S::ZedoraSpellPath, 200, NeverWritten},
        {P, ALLG, "TabOben", nullptr, &S::TabOben, 0, Plain},
        {P, ALLG, "TabUnten", nullptr, &S::TabUnten, 0, Plain},
        {P, ALLG, "TabLinks", nullptr, &S::TabLinks, 0, Plain},
        {P, ALLG, "TabRechts", nullptr, &S::TabRechts, 0, Plain},
        {P, ALLG, "FarbePosi", nullptr, &S::FarbePosi, 0, Plain},
        {P, ALLG, "FarbeNegi", nullptr, &S::FarbeNegi, 0, Plain},
        {P, ALLG, "Farbe01", nullptr, &S::Farbe01, 0, Plain},
        {P, ALLG, "Farbe02", nullptr, &S::Farbe02, 0, Plain},
        {P, ALLG, "Farbe03", nullptr, &S::Farbe03, 0, Plain},
        {P, ALLG, "F1Kette", nullptr, &S::F1Kette, 20, GradeList},
        {P, ALLG, "F2Kette", nullptr, &S::F2Kette, 20, GradeList},
        {P, ALLG, "F3Kette", nullptr, &S::F3Kette, 20, GradeList},
        {P, ALLG, "VglLaenge", nullptr, &S::VglLaenge, 0, Plain},
        {P, ALLG, "ImportArt", nullptr, &S::ImportArt, 0, Plain},
        {P, ALLG, "ip_Klasse", nullptr, &S::ip_Klasse, 30, Trimmed},
        {P, ALLG, "ip_Name", nullptr, &S::ip_Name, 30, Trimmed},
        {P, ALLG, "ip_Vorname", nullptr, &S::ip_Vorname, 30, Trimmed},
        {P, ALLG, "ip_Geboren", nullptr, &S::ip_Geboren, 30, Trimmed},
        {P, ALLG, "ip_GebOrt", nullptr, &S::ip_GebOrt, 30, Trimmed},
        {P, ALLG, "ip_Geschlecht", nullptr, &S::ip_Geschlecht, 30, Trimmed},
        {P, ALLG, "ip_Telefon", nullptr, &S::ip_Telefon, 30, Trimmed},
        {P, ALLG, "ip_Staat", nullptr, &S::ip_Staat, 30, Trimmed},
        {P, ALLG, "ip_Konf", nullptr, &S::ip_Konf, 30, Trimmed},
        {P, ALLG, "ip_plz", "ip_PLZ", &S::ip_plz, 30, Trimmed},
        {P, ALLG, "ip_Wohnort", nullptr, &S::ip_Wohnort, 30, Trimmed},
        {P, ALLG, "ip_Strasse", nullptr, &S::ip_Strasse, 30, Trimmed},
        {P, ALLG, "ip_ag1", nullptr, &S::ip_ag1, 30, Trimmed},
        {P, ALLG, "ip_ag2", nullptr, &S::ip_ag2, 30, Trimmed},
        {P, ALLG, "ip_ag3", nullptr, &S::ip_ag3, 30, Trimmed},
        {P, ALLG, "ip_Frei1", nullptr, &S::ip_Frei1, 30, Trimmed},
        {P, ALLG, "ip_Frei2", nullptr, &S::ip_Frei2, 30, Trimmed},
        {P, ALLG, "SuperVisor", "Supervisor", &S::SuperVisor, 0, Plain},
        {P, ALLG, "TBSFuerAlle", nullptr, &S::TBSFuerAlle, 0, Plain},
        {P, ALLG, "MitLaengentest", nullptr, &S::MitLaengentest, 0, Plain},
        {P, ALLG, "Kuerzeldateiname", nullptr, &S::Kuerzeldateiname, 50, Trimmed},
        {P, ALLG, "FesterDruckerGewaehlt", nullptr, &S::FesterDruckerGewaehlt, 0, Plain},
        {P, ALLG, "FesterDruckerNummer", nullptr, &S::FesterDruckerNummer, 0, Plain},
        {P, ALLG, "ImEx1", nullptr, &S::ImEx1, 180, WrittenTrimmed},
        {P, ALLG, "DateienWahlBoxSichtbar", nullptr, &S::DateienWahlBoxSichtbar, 0, Plain},
        {P, ALLG, "SperreOption", nullptr, &S::SperreOption, 0, Plain},
        {P, ALLG, "FDFAlt", nullptr, &S::FDFAlt, 0, Plain},
        {P, ALLG, "Grid2Sichtbar", nullptr, &S::Grid2Sichtbar, 0, Plain},
        {P, ALLG, "BreiteGrid2", nullptr, &S::BreiteGrid2, 0, Plain},
        {P, ALLG, "BreiteGridSpalte0", nullptr, &S::BreiteGridSpalte0, 0, Plain},
        {P, ALLG, "BreiteGridSpalte1", nullptr, &S::BreiteGridSpalte1, 0, NotRead},
        {P, ALLG, "SchildDatei", nullptr, &S::SchildDatei, 254, Plain},
        {P, ALLG, "SchildSibankDatei", nullptr, &S::SchildSibankDatei, 254, Plain},
        {P, ALLG, "SibankFotoordner", nullptr, &S::SibankFotoordner, 254, Plain},
        {P, ALLG, "fotoquellordner", nullptr, &S::fotoquellordner, 254, Plain},
        {P, ALLG, "FotoAnzeigen", nullptr, &S::FotoAnzeigen, 0, Plain},
        {P, ALLG, "WebServerBorvath", nullptr, &S::WebServerBorvath, 100, Plain},
        {P, ALLG, "WebServerKVB", nullptr, &S::WebServerKVB, 100, Plain},
        // ZEDORA.INI [HISTORIE]
        {P, HIST, "Histschriftgrad", nullptr, &S::Histschriftgrad, 0, Plain},
        {P, HIST, "Histspalte1", nullptr, &S::Histspalte1, 0, Plain},
        {P, HIST, "Histspalte2", nullptr, &S::Histspalte2, 0, Plain},
        {P, HIST, "Histspalte3", nullptr, &S::Histspalte3, 0, Plain},
        {P, HIST, "Histzeile", nullptr, &S::Histzeile, 0, Plain},
        {P, HIST, "HJSichtbar", nullptr, &S::HJSichtbar, 0, Plain},
        {P, HIST, "HistDruckzeilenhoehe", nullptr, &S::HistDruckzeilenhoehe, 0, Plain},
        {P, HIST, "WiederholeHistKopf", nullptr, &S::WiederholeHistKopf, 0, Plain},
        // ZEDORA.INI [LAYOUT]: the Layout-n slots, then Layout-12
        {P, LAY, "Layout-", nullptr, &S::Layout, 180, LayoutPath},
        {P, LAY, "Papierfach", nullptr, &S::Papierfach, 0, Plain},
        {P, LAY, "GebFormat", nullptr, &S::GebFormat, 0, Plain},
        {P, LAY, "Musterart", "MusterArt", &S::Musterart, 0, Plain},
        {P, LAY, "EditorVerzeichnis", nullptr, &S::EditorVerzeichnis, 200, Plain},
        {P, LAY, "EditorName", nullptr, &S::EditorName, 12, Plain},
        {P, LAY, "Warten", nullptr, &S::Warten, 0, Plain},
        {P, LAY, "ZeilenML", nullptr, &S::ZeilenML, 0, Plain},
        {P, LAY, "TBeinzeilig", nullptr, &S::TBeinzeilig, 0, Plain},
        {P, LAY, "Musterfarbe", nullptr, &S::Musterfarbe, 0, Plain},
        {P, LAY, "streckungGewuenscht", nullptr, &S::streckungGewuenscht, 0, Plain},
        // ZEDORA.INI [DURCHSCHNITT], [KURS], [AUSSEHEN]
        {P, DS, "DS1", nullptr, &S::DS1, 254, UpperCase},
        {P, DS, "DS2", nullptr, &S::DS2, 254, UpperCase},
        {P, DS, "DS3", nullptr, &S::DS3, 254, UpperCase},
        {P, KURS, "KE", nullptr, &S::KE, 0, Plain},
        {P, KURS, "KM", nullptr, &S::KM, 0, Plain},
        {P, KURS, "KD", nullptr, &S::KD, 0, Plain},
        {P, KURS, "KX", nullptr, &S::KX, 0, Plain},
        {P, AUS, "FARBSCHEMA", nullptr, &S::FARBSCHEMA, 0, Plain},

        // ZDR-<computer name>.ini
        {C, ALLG, "NotenDatei", nullptr, &S::NotenDatei, 200, StudentFilePath},
        {C, ALLG, "FloskelDatei", "Floskeldatei", &S::FloskelDatei, 50, Plain},
        {C, ALLG, "TBSOben", nullptr, &S::TBSOben, 0, Plain},
        {C, ALLG, "TBSLinks", nullptr, &S::TBSLinks, 0, Plain},
        {C, ALLG, "TBSHoehe", nullptr, &S::TBSHoehe, 0, Plain},
        {C, ALLG, "TBSBreite", nullptr, &S::TBSBreite, 0, Plain},
        {C, ALLG, "DBMHoehe", nullptr, &S::DBMHoehe, 0, Plain},
        {C, ALLG, "dbmemoZeichenGroesse", nullptr, &S::dbmemoZeichenGroesse, 0, Plain},
        {C, ALLG, "TMBBreite", nullptr, &S::TMBBreite, 0, Plain},
        {C, ALLG, "RangeFont", nullptr, &S::RangeFont, 0, Plain},
        {C, ALLG, "EditVertikal", nullptr, &S::EditVertikal, 0, Plain},
        {C, ALLG, "MitHilfe", nullptr, &S::MitHilfe, 0, Plain},
        {C, ALLG, "Stammdatengrau", nullptr, &S::Stammdatengrau, 0, Plain},
        {C, ALLG, "StartLinks", nullptr, &S::StartLinks, 0, Plain},
        {C, ALLG, "StartOben", nullptr, &S::StartOben, 0, Plain},
        {C, ALLG, "StartBreite", nullptr, &S::StartBreite, 0, Plain},
        {C, ALLG, "StartHoehe", nullptr, &S::StartHoehe, 0, Plain},
        {C, ALLG, "StartState", nullptr, &S::StartState, 0, Plain},
        {C, ALLG, "Contidruck", nullptr, &S::Contidruck, 0, Plain},
        {C, LAY, "LetztesLayout", nullptr, &S::LetztesLayout, 200, LayoutPath},
        {C, VOR, "vquerx", nullptr, &S::vquerx, 0, Plain},
        {C, VOR, "vquery", nullptr, &S::vquery, 0, Plain},
        {C, VOR, "vquerbreite", nullptr, &S::vquerbreite, 0, Plain},
        {C, VOR, "vquerhoehe", nullptr, &S::vquerhoehe, 0, Plain},
        {C, VOR, "vx", nullptr, &S::vx, 0, Plain},
        {C, VOR, "vy", nullptr, &S::vy, 0, Plain},
        {C, VOR, "vbreite", nullptr, &S::vbreite, 0, Plain},
        {C, VOR, "vhoehe", nullptr, &S::vhoehe, 0, Plain},
        {C, VOR, "vlayoutx", nullptr, &S::vlayoutx, 0, Plain},
        {C, VOR, "vlayouty", nullptr, &S::vlayouty, 0, Plain},
        {C, VOR, "vlayoutbreite", nullptr, &S::vlayoutbreite, 0, Plain},
        {C, VOR, "vlayouthoehe", nullptr, &S::vlayouthoehe, 0, Plain},
    };
    return table;
}

const std::vector<int>& layoutSlots()
{
    static const std::vector<int> numbers = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16};
    return numbers;
}

} // namespace zedora::settings_keys
