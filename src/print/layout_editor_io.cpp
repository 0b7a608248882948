#include "print/layout_editor_io.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/profile_file.h"
#include "data/column_block.h"

namespace zedora {

namespace {

struct KindInfo {
    const char* section;
    int rows;
    QStringList captions;
};

const KindInfo& info(ElementKind kind)
{
    static const KindInfo kinds[kElementKinds] = {
        {"EINTRAG", 201,
         {"Nr.", "GR", "Aktiv", "x", "y", "LaengeMitFuell", "Inhalt", "Ausrichtung", "Fett", "Kursiv",
          "Schriftart", "Grad", "Winkel", "Kopf", "Breite", "Farbe", "xe", "Filter"}},
        {"LINIE", 101,
         {"Nr.", "GR", "Aktiv", "x1", "y1", "Laenge", "x2", "y2", "Dicke", "Kopf", "Kommentar", "Farbe"}},
        {"NOTENFELD", 31, {"Nr.", "GR", "Aktiv", "x", "y", "Laenge", "Hoehe", "Kommentar", "Farbe"}},
        {"TEXTBLOCK", 23,
         {"Nr.", "GR", "Aktiv", "x", "y", "Inhalt", "Vorschub", "Maxbreite", "Maxzeilen", "EinzugZeile1",
          "Kursiv", "Fett", "Ausrichtung", "Schriftart", "Grad", "Kopf", "Farbe"}},
        {"BILD", 11, {"Nr.", "GR", "Aktiv", "x", "y", "x2", "Bilddatei"}},
    };
    return kinds[int(kind)];
}

constexpr int kXColumn = 3;
constexpr int kYColumn = 4;

bool isNonNegativeNumber(const QString& cell)
{
    bool ok = false;
    const int n = cell.trimmed().toInt(&ok);
    return ok && n >= 0;
}

QString number(int n) { return QString::number(n); }
QString blankUnless(bool show, int n) { return show ? number(n) : QString(); }
QString flag(bool on) { return on ? QStringLiteral("1") : QString(); }

// Profile-file access to one element section.
struct SectionReader {
    const ProfileFile& file;
    QString section;
    int integer(const char* key, int def) const { return file.readInt(section, QLatin1String(key), def); }
    QString text(const char* key) const { return file.readString(section, QLatin1String(key)).trimmed(); }
    bool boolean(const char* key) const { return integer(key, 0) > 0; }
};

void fillEntry(const SectionReader& s, QStringList& row)
{
    QString content = s.text("Inhalt");
    if (content.startsWith(QLatin1Char('$')))
        content.remove(0, 1);
    const int fill = s.integer("LaengeMitFuell", 0), size = s.integer("Grad", 0),
              angle = s.integer("Winkel", 0), width = s.integer("Breite", 0),
              colour = s.integer("Farbe", 0), xe = s.integer("xe", 0);
    row[5] = blankUnless(fill != 0, fill);
    row[6] = content.left(254);
    // The writer guards quoted cells with '$'; without taking it off here
    // every save would add another one.
    QString alignment = s.text("Ausrichtung");
    if (alignment.startsWith(QLatin1Char('$')) && alignment.contains(QLatin1Char('"')))
        alignment.remove(0, 1);
    row[7] = alignment;
    row[8] = flag(s.boolean("Fett"));
    row[9] = flag(s.boolean("Kursiv"));
    row[10] = s.text("Schriftart");
    row[11] = blankUnless(size != 0, size);
    row[12] = blankUnless(angle != 0, angle);
    row[13] = flag(s.boolean("Kopf"));
    row[14] = blankUnless(width != 0, width);
    row[15] = blankUnless(colour != 0, colour);
    row[16] = blankUnless(xe > 0, xe);
    row[17] = s.text("Filter");
}

void fillLine(const SectionReader& s, QStringList& row)
{
    const int length = s.integer("Laenge", 0), x2 = s.integer("x2", -1), y2 = s.integer("y2", -1),
              thickness = s.integer("Dicke", 0), colour = s.integer("Farbe", 0);
    row[5] = blankUnless(length > 0, length);
    row[6] = blankUnless(x2 >= 0, x2);
    row[7] = blankUnless(y2 >= 0, y2);
    row[8] = blankUnless(thickness > 0, thickness);
    row[9] = flag(s.boolean("Kopf"));
    row[10] = s.text("Kommentar");
    row[11] = blankUnless(colour > 0, colour);
}

void fillGradeField(const SectionReader& s, QStringList& row)
{
    const int length = s.integer("Laenge", 350), height = s.integer("Hoehe", 50),
              colour = s.integer("Farbe", 0);
    row[5] = number(length < 1 ? 350 : length);
    row[6] = number(height < 1 ? 50 : height);
    row[7] = s.text("Kommentar");
    row[8] = blankUnless(colour > 0, colour);
}

void fillTextBlock(const SectionReader& s, QStringList& row)
{
    const int indent = s.integer("EinzugZeile1", 0), size = s.integer("Grad", 0),
              colour = s.integer("Farbe", 0);
    row[5] = s.text("Inhalt");
    row[6] = number(s.integer("Vorschub", 40));
    row[7] = number(s.integer("Maxbreite", 0));
    row[8] = number(s.integer("Maxzeilen", 1));
    row[9] = blankUnless(indent > 0, indent);
    row[10] = flag(s.boolean("Kursiv"));
    row[11] = flag(s.boolean("Fett"));
    row[12] = s.text("Ausrichtung");
    row[13] = s.text("Schriftart");
    row[14] = blankUnless(size != 0, size);
    row[15] = flag(s.boolean("Kopf"));
    row[16] = blankUnless(colour != 0, colour);
}

void fillPicture(const SectionReader& s, QStringList& row)
{
    const int x2 = s.integer("x2", 0);
    row[5] = blankUnless(x2 > 0, x2);
    row[6] = upperAscii(s.text("Bilddatei"));
}

int lastNumber(ElementKind kind) { return 99 + info(kind).rows; }

void readGrid(const ProfileFile& file, LayoutGrid& grid)
{
    const bool isLine = grid.kind == ElementKind::Linie;
    int next = 0;
    for (int nr = 100; nr <= lastNumber(grid.kind); ++nr) {
        const SectionReader s{file, sectionName(grid.kind) + QLatin1Char('-') + number(nr)};
        if (!file.hasSection(s.section))
            continue;
        const int x = s.integer(isLine ? "x1" : "x", -1);
        const int y = s.integer(isLine ? "y1" : "y", -1);
        if (x < 0 || y < 0)
            continue;
        QStringList& row = grid.rows[std::size_t(next++)];
        row[1] = number(s.integer("GR", 0));
        row[2] = number(s.integer("Aktiv", 1));
        row[3] = number(x);
        row[4] = number(y);
        switch (grid.kind) {
        case ElementKind::Eintrag: fillEntry(s, row); break;
        case ElementKind::Linie: fillLine(s, row); break;
        case ElementKind::Notenfeld: fillGradeField(s, row); break;
        case ElementKind::Textblock: fillTextBlock(s, row); break;
        case ElementKind::Bild: fillPicture(s, row); break;
        }
    }
}

bool isGroup(const QString& cell)
{
    bool ok = false;
    const int g = cell.trimmed().toInt(&ok);
    return ok && g >= 0 && g <= 9;
}

void writeGeneral(const LayoutGeneral& g, QStringList& out)
{
    out << QStringLiteral("[ALLGEMEINES]");
    out << QStringLiteral("FormularName=") + g.FormularName;
    out << QStringLiteral("GlobaleSchrift=") + g.GlobaleSchrift;
    out << QStringLiteral("GlobalerSchriftGrad=") + number(g.GlobalerSchriftGrad);
    out << QStringLiteral("Bereich=") + number(g.DatenSatzVorschub > 0 ? 1 : 0);
    if (g.Bedeutung >= 0 && g.Bedeutung <= 3)
        out << QStringLiteral("Bedeutung=") + number(g.Bedeutung);
    out << QStringLiteral("Kuerzeldateiname=") + g.Kuerzeldateiname;
    out << QStringLiteral("HoriKorrektur=") + number(g.HoriKorrektur);
    out << QStringLiteral("VertiKorrektur=") + number(g.VertiKorrektur);
    if (g.DatenSatzVorschub > 0) {
        out << QStringLiteral("DatenSatzVorschub=") + number(g.DatenSatzVorschub);
        out << (g.Automatisch == 1 ? QStringLiteral("DatenAnzahl=") + g.DatenAnzahl.trimmed()
                                   : QStringLiteral("DatenAnzahl=  "));
    }
    out << QStringLiteral("Automatisch=") + number(g.Automatisch);
    out << QStringLiteral("Querformat=") + number(g.Querformat ? 1 : 0);
    out << QStringLiteral("PapierA4=") + number(g.PapierA4 ? 1 : 0);
    out << QString();
}

void writeRow(const LayoutGrid& grid, const QStringList& row, QStringList& out)
{
    out << QLatin1Char('[') + sectionName(grid.kind) + QLatin1Char('-') + row[0].trimmed()
               + QLatin1Char(']');
    const bool entry = grid.kind == ElementKind::Eintrag;
    for (int c = 1; c < grid.captions.size(); ++c) {
        const QString& cell = row[c];
        if (cell.trimmed().isEmpty()) {
            // Printing takes a missing "Aktiv" as inactive and a missing
            // coordinate as 0, the editor's reader would not: say it outright
            // so the saved file reads back the same in both.
            if (c == 2 || c == kXColumn || c == kYColumn)
                out << grid.captions[c].trimmed() + QStringLiteral("=0");
            continue;
        }
        // The '$' keeps profile readers from taking enclosing quotes away. An
        // entry text that begins with '$' needs it too: both readers take one off.
        const bool guard = entry && c <= 9
                           && (cell.contains(QLatin1Char('"'))
                               || (c == 6 && cell.startsWith(QLatin1Char('$'))));
        out << grid.captions[c].trimmed() + (guard ? QStringLiteral("=$") : QStringLiteral("=")) + cell;
    }
    out << QString();
}

} // namespace

QString LayoutGrid::cell(int row, const QString& caption) const
{
    const int c = columnOf(caption);
    if (c < 0 || row < 0 || row >= int(rows.size()))
        return {};
    return rows[std::size_t(row)][c];
}

void LayoutGrid::setCell(int row, const QString& caption, const QString& value)
{
    const int c = columnOf(caption);
    if (c >= 0 && row >= 0 && row < int(rows.size()))
        rows[std::size_t(row)][c] = value;
}

int LayoutGrid::usedRows() const
{
    int n = 0;
    for (const QStringList& row : rows)
        if (isNonNegativeNumber(row[kXColumn]) || isNonNegativeNumber(row[kYColumn]))
            ++n;
    return n;
}

QString sectionName(ElementKind kind) { return QLatin1String(info(kind).section); }
int gridRowCount(ElementKind kind) { return info(kind).rows; }

LayoutGrid emptyGrid(ElementKind kind)
{
    // Built once per kind; copies share the cells until they are changed.
    static const auto prototypes = [] {
        std::vector<LayoutGrid> grids;
        for (int k = 0; k < kElementKinds; ++k) {
            const KindInfo& ki = info(ElementKind(k));
            LayoutGrid grid;
            grid.kind = ElementKind(k);
            grid.captions = ki.captions;
            grid.rows.reserve(std::size_t(ki.rows));
            for (int r = 0; r < ki.rows; ++r) {
                QStringList row(ki.captions.size());
                row[0] = number(100 + r);
                row[1] = QStringLiteral("0");
                row[2] = QStringLiteral("1");
                grid.rows.push_back(row);
            }
            grids.push_back(grid);
        }
        return grids;
    }();
    return prototypes[std::size_t(kind)];
}

LayoutEditorData readLayoutForEditing(const QStringList& layoutLines, const QString& formDescriptionDefault,
                                      const QString& abbreviationFileDefault)
{
    // The column block is no part of the profile.
    QStringList profileLines = layoutLines;
    cutBlock(profileLines);
    const ProfileFile file = ProfileFile::fromText(profileLines.join(QLatin1Char('\n')));

    LayoutEditorData data;
    LayoutGeneral& g = data.general;
    const QString all = QStringLiteral("ALLGEMEINES");
    g.FormularName = file.readString(all, QStringLiteral("FormularName"), formDescriptionDefault).trimmed();
    g.GlobaleSchrift = file.readString(all, QStringLiteral("GlobaleSchrift"), QStringLiteral("ARIAL")).trimmed();
    g.GlobalerSchriftGrad = file.readInt(all, QStringLiteral("GlobalerSchriftGrad"), 12);
    g.Bedeutung = file.readInt(all, QStringLiteral("Bedeutung"), kBedeutungPrintCentre);
    // Printing leaves any other value to the print centre; so does the editor,
    // or saving would turn it into "meaning 1".
    if (g.Bedeutung < 0 || g.Bedeutung > 3)
        g.Bedeutung = kBedeutungPrintCentre;
    g.Kuerzeldateiname = file.readString(all, QStringLiteral("Kuerzeldateiname"), abbreviationFileDefault).trimmed();
    g.HoriKorrektur = file.readInt(all, QStringLiteral("HoriKorrektur"), 0);
    g.VertiKorrektur = file.readInt(all, QStringLiteral("VertiKorrektur"), 0);
    g.DatenSatzVorschub = file.readInt(all, QStringLiteral("DatenSatzVorschub"), 0);
    g.DatenAnzahl = file.readString(all, QStringLiteral("DatenAnzahl")).trimmed();
    g.Automatisch = file.readInt(all, QStringLiteral("Automatisch"), 0);
    g.Querformat = file.readInt(all, QStringLiteral("Querformat"), 0) != 0;
    g.PapierA4 = file.readInt(all, QStringLiteral("PapierA4"), 1) != 0;

    for (LayoutGrid& grid : data.grids)
        readGrid(file, grid);
    data.columnLines = blockColumnLines(layoutLines);
    return data;
}

QStringList buildLayoutText(LayoutEditorData& data, Interaction& ui)
{
    bool groupsFixed = false;
    for (LayoutGrid& grid : data.grids) {
        for (std::size_t r = 0; r < grid.rows.size(); ++r) {
            // Read through a const view: writing detaches the shared cells.
            const QStringList& cells = grid.rows[r];
            if (cells.at(0) != number(int(r) + 100))
                grid.rows[r][0] = number(int(r) + 100);
            if (!isGroup(cells.at(1))) {
                grid.rows[r][1] = QStringLiteral("0");
                groupsFixed = true;
            }
        }
    }
    if (groupsFixed)
        ui.info(QStringLiteral("Gruppeneinträge z. T. falsch (0 - 9)!\nAus falschen wurden \"0\" gemacht!"));

    QStringList out;
    writeGeneral(data.general, out);
    for (int g = 0; g <= 9; ++g) {
        out << QStringLiteral("==============   Gruppe ") + number(g) + QStringLiteral(" ==============");
        out << QString();
        for (const LayoutGrid& grid : data.grids) {
            for (const QStringList& row : grid.rows) {
                if (row[1].trimmed().toInt() != g)
                    continue;
                if (!isNonNegativeNumber(row[kXColumn]) && !isNonNegativeNumber(row[kYColumn]))
                    continue;
                writeRow(grid, row, out);
            }
        }
    }
    out << QString() << QString() << QLatin1String(kBlockMarker);
    out << data.columnLines;
    return out;
}

QString millimetreText(int tenths)
{
    return QStringLiteral("%1").arg(tenths / 10.0, 6, 'f', 1);
}

} // namespace zedora
