#pragma once
// The layout editor's view of a layout file: the general settings and one
// grid of text cells per element kind, read from a file with profile-file
// rules and written back as the layout text. Row r of a grid is written as
// section 100 + r, so gaps in the numbering close on every save.
#include <QString>
#include <QStringList>
#include <vector>

namespace zedora {

class Interaction;

// Choices of "Bedeutung" in the editor; -1 when none is selected.
inline constexpr int kBedeutungPrintCentre = 3;

struct LayoutGeneral {
    QString FormularName;
    QString GlobaleSchrift = QStringLiteral("ARIAL");
    int GlobalerSchriftGrad = 12;
    int Bedeutung = kBedeutungPrintCentre;  // 0..3, -1 none selected
    QString Kuerzeldateiname;
    int HoriKorrektur = 0;
    int VertiKorrektur = 0;
    int DatenSatzVorschub = 0;
    QString DatenAnzahl;  // the box's text
    int Automatisch = 0;  // 0 "Automatisch", 1 "Fest"
    bool Querformat = false;
    bool PapierA4 = true;
};

enum class ElementKind { Eintrag = 0, Linie, Notenfeld, Textblock, Bild };
inline constexpr int kElementKinds = 5;

// One element grid: column 0 is "Nr.", x sits in column 3 and y in column 4.
struct LayoutGrid {
    ElementKind kind = ElementKind::Eintrag;
    QStringList captions;           // "Nr.", "GR", "Aktiv", ...
    std::vector<QStringList> rows;  // fixed number of rows, one cell per caption

    int columnOf(const QString& caption) const { return int(captions.indexOf(caption)); }
    QString cell(int row, const QString& caption) const;
    void setCell(int row, const QString& caption, const QString& value);
    // Rows whose x or y cell holds a number >= 0, as the writer sees them.
    int usedRows() const;
};

// An empty grid of the kind: every row in group "0", "Aktiv" "1".
LayoutGrid emptyGrid(ElementKind kind);
// The file's section name of a kind: "EINTRAG", "LINIE", ...
QString sectionName(ElementKind kind);
int gridRowCount(ElementKind kind);

struct LayoutEditorData {
    LayoutGeneral general;
    LayoutGrid grids[kElementKinds] = {emptyGrid(ElementKind::Eintrag), emptyGrid(ElementKind::Linie),
                                       emptyGrid(ElementKind::Notenfeld), emptyGrid(ElementKind::Textblock),
                                       emptyGrid(ElementKind::Bild)};
    QStringList columnLines;  // rows of the "-FDFYYY-" block

    LayoutGrid& grid(ElementKind k) { return grids[int(k)]; }
    const LayoutGrid& grid(ElementKind k) const { return grids[int(k)]; }
};

// Reads layout lines into the editor's grids. formDescriptionDefault is the
// file path, abbreviationFileDefault the active abbreviation file.
LayoutEditorData readLayoutForEditing(const QStringList& layoutLines,
                                      const QString& formDescriptionDefault,
                                      const QString& abbreviationFileDefault);

// Builds the layout text from the grids. Renumbers the grids and puts group
// cells that are no number 0-9 to "0", telling ui once.
QStringList buildLayoutText(LayoutEditorData& data, Interaction& ui);

// Distance values as the editor shows them in millimetres: width 6, one decimal.
QString millimetreText(int tenths);

} // namespace zedora
