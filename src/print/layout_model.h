#pragma once
// The print model: what the print-time reader makes of the current layout
// text and what the page renderer draws. Positions and lengths are tenths of
// a millimetre from the top left corner of the printable area, y downwards.
// The element arrays are fixed and indexed by section number (entry 100 is
// the first slot), so a section number always names the same slot.
#include <QChar>
#include <QString>

#include <array>
#include <cstdint>

namespace zedora {

// Section number ranges of the five element kinds.
inline constexpr int kEintragFirst = 100, kEintragLast = 300;
inline constexpr int kLinieFirst = 100, kLinieLast = 200;
inline constexpr int kNotenfeldFirst = 100, kNotenfeldLast = 130;
inline constexpr int kTextblockFirst = 100, kTextblockLast = 122;
inline constexpr int kBildFirst = 100, kBildLast = 110;

// Fixed string capacities of the model.
inline constexpr int kGlobalFontCapacity = 40;
inline constexpr int kElementTextCapacity = 250;   // Inhalt, Filter
inline constexpr int kFontNameCapacity = 32;       // Schriftart
inline constexpr int kPicturePathCapacity = 150;   // Bilddatei

// A text entry.
struct TLayEintrag {
    bool Aktiv = false;
    int x = 0;
    int y = 0;                 // bottom of the text line
    int LaengeMitFuell = 0;    // fill with dots up to x + this (left-aligned only)
    QString Inhalt;            // literal text and placeholders
    QChar Ausrichtung = u'L';  // 'L', 'R' or 'Z' (any other: left)
    bool Fett = false;
    bool Kursiv = false;
    QString Schriftart;        // never blank after parsing
    std::int16_t Grad = 0;     // points; never 0 after parsing
    int Winkel = 0;            // degrees counter-clockwise
    bool Kopf = false;         // header element: drawn for the first record only
    int Breite = 0;            // 0: unlimited
    int Farbe = 0;             // red + 256*green + 65536*blue
    int xe = 0;                // alternative x for values beginning with "--"
    QString Filter;            // value filter
};

// A straight line.
struct TLayLinie {
    bool Aktiv = false;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int Laenge = 0;            // > 0: horizontal line, end point already set from it
    int Dicke = 1;             // pen width, at least 1 after parsing
    bool Kopf = false;
    int Farbe = 0;
};

// A grade field: the patterned box under a grade.
struct TLayNotenfeld {
    bool Aktiv = false;
    int x = 0;                 // bottom left corner
    int y = 0;
    int Laenge = 350;          // width
    int Hoehe = 50;            // the box covers y - Hoehe .. y
    int Farbe = 0;
    bool Kopf = false;
};

// A word-wrapped paragraph.
struct TLayTextblock {
    bool Aktiv = false;
    int x = 0;
    int y = 0;                 // bottom of the first line
    QString Inhalt;
    int Vorschub = 40;         // line advance, at least 1 after parsing
    int Maxbreite = 0;         // line width
    int Maxzeilen = 1;         // at least 1 after parsing
    int EinzugZeile1 = 0;      // indent of the first line
    bool Kursiv = false;
    bool Fett = false;
    QChar Ausrichtung = u'L';
    QString Schriftart;
    std::int16_t Grad = 0;
    bool Kopf = false;
    int Farbe = 0;
};

// A picture.
struct TLayBild {
    bool Aktiv = false;
    int x = 0;                 // top left corner
    int y = 0;
    int x2 = 0;                // right edge; below x: the picture's own width
    int y2 = 0;                // stored, not used for drawing
    QString Bilddatei;         // full path (bare names get the layout's folder), or "%SCHFOTO%"
    bool Kopf = false;         // stored, not used for drawing
};

struct TDruckLayout {
    // General part.
    QString FormularName;
    QString GlobaleSchrift = QStringLiteral("ARIAL");
    std::int16_t GlobalerSchriftGrad = 12;
    int DatenSatzVorschub = 0;   // record advance of a table form
    int DatenAnzahl = 0;         // effective records per page; 0 = automatic
    int Automatisch = 0;         // as read: 1 = fixed count
    bool Tabellenmodus = false;  // DatenSatzVorschub != 0
    int Bereich = 0;
    int Bedeutung = 0;           // 0 meaning 1, 1 meaning 2, 2 abbreviation, -1 print centre's choice
    bool Querformat = false;
    bool PapierA4 = true;
    int Blattbreite = 2100;      // sheet width (x limit)
    int Blatthoehe = 2970;       // sheet height (y limit)
    int HoriKorrektur = 0;       // shift to the right
    int VertiKorrektur = 0;      // shift downwards

    // The layout file the model was parsed for.
    QString Dateiname;

    std::array<TLayEintrag, kEintragLast - kEintragFirst + 1> Eintraege{};
    std::array<TLayLinie, kLinieLast - kLinieFirst + 1> Linien{};
    std::array<TLayNotenfeld, kNotenfeldLast - kNotenfeldFirst + 1> Notenfelder{};
    std::array<TLayTextblock, kTextblockLast - kTextblockFirst + 1> Textbloecke{};
    std::array<TLayBild, kBildLast - kBildFirst + 1> Bilder{};

    // Access by section number (100 is the first slot of every kind).
    TLayEintrag& eintrag(int nr) { return Eintraege[std::size_t(nr - kEintragFirst)]; }
    const TLayEintrag& eintrag(int nr) const { return Eintraege[std::size_t(nr - kEintragFirst)]; }
    TLayLinie& linie(int nr) { return Linien[std::size_t(nr - kLinieFirst)]; }
    const TLayLinie& linie(int nr) const { return Linien[std::size_t(nr - kLinieFirst)]; }
    TLayNotenfeld& notenfeld(int nr) { return Notenfelder[std::size_t(nr - kNotenfeldFirst)]; }
    const TLayNotenfeld& notenfeld(int nr) const { return Notenfelder[std::size_t(nr - kNotenfeldFirst)]; }
    TLayTextblock& textblock(int nr) { return Textbloecke[std::size_t(nr - kTextblockFirst)]; }
    const TLayTextblock& textblock(int nr) const { return Textbloecke[std::size_t(nr - kTextblockFirst)]; }
    TLayBild& bild(int nr) { return Bilder[std::size_t(nr - kBildFirst)]; }
    const TLayBild& bild(int nr) const { return Bilder[std::size_t(nr - kBildFirst)]; }
};

} // namespace zedora
