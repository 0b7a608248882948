#include "print/layout_editor_edits.h"

#include "base/interaction.h"

#include <algorithm>

namespace zedora {

namespace {

constexpr int kXColumn = 3;
constexpr int kYColumn = 4;

std::optional<int> integerIn(const QString& cell)
{
    bool ok = false;
    const int n = cell.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

bool rowInUse(const QStringList& row)
{
    const auto x = integerIn(row[kXColumn]), y = integerIn(row[kYColumn]);
    return (x && *x >= 0) || (y && *y >= 0);
}

void emptyFromActive(QStringList& row)
{
    for (qsizetype c = 2; c < row.size(); ++c)
        row[c].clear();
}

// Moves the cells of rows, the "Nr." column staying where it is.
void setContent(QStringList& target, const QStringList& source)
{
    const QString nr = target[0];
    target = source;
    target[0] = nr;
}

bool makeRoom(LayoutGrid& grid, int row, Interaction& ui)
{
    const int n = int(grid.rows.size());
    if (row < 0 || row >= n)
        return false;
    if (rowInUse(grid.rows.back())) {
        ui.warning(QStringLiteral("Die letzte Zeile ist belegt!\nEs kann keine Zeile eingefügt werden.\n"));
        return false;
    }
    for (int r = n - 1; r > row; --r)
        setContent(grid.rows[std::size_t(r)], grid.rows[std::size_t(r - 1)]);
    return true;
}

QString sortKey(const QString& cell, bool numeric)
{
    const QString t = cell.trimmed();
    if (t.isEmpty())
        return QStringLiteral("Ü");
    return numeric ? t.rightJustified(5, QLatin1Char('0')) : t.toLower();
}

const QStringList& numericCaptions(ElementKind kind)
{
    static const QStringList lists[kElementKinds] = {
        {"x", "y", "LaengeMitFuell"},
        {"x1", "y1", "Laenge", "x2", "y2"},
        {"x", "y", "Laenge", "Hoehe"},
        {"x", "y", "Vorschub", "Maxbreite", "EinzugZeile1"},
        {"x", "y", "x2"},
    };
    return lists[int(kind)];
}

std::optional<int> boundValue(const QString& text)
{
    const auto v = integerIn(text);
    if (!v || *v >= 100000)
        return std::nullopt;
    return v;
}

} // namespace

bool insertRow(LayoutGrid& grid, int row, Interaction& ui)
{
    if (!makeRoom(grid, row, ui))
        return false;
    emptyFromActive(grid.rows[std::size_t(row)]);
    return true;
}

bool duplicateRow(LayoutGrid& grid, int row, Interaction& ui)
{
    return makeRoom(grid, row, ui);
}

bool deleteRow(LayoutGrid& grid, int row, Interaction& ui)
{
    const int n = int(grid.rows.size());
    if (row < 0 || row >= n)
        return false;
    if (ui.ask(QStringLiteral("Soll Zeile wirklich gelöscht werden?\n"), Buttons::YesNo) != Answer::Yes)
        return false;
    for (int r = row; r < n - 1; ++r)
        setContent(grid.rows[std::size_t(r)], grid.rows[std::size_t(r + 1)]);
    emptyFromActive(grid.rows.back());
    return true;
}

void moveRow(LayoutGrid& grid, int from, int to)
{
    const int n = int(grid.rows.size());
    if (from < 0 || from >= n || to < 0 || to >= n || from == to)
        return;
    QStringList moving = grid.rows[std::size_t(from)];
    const int step = to > from ? 1 : -1;
    for (int r = from; r != to; r += step)
        setContent(grid.rows[std::size_t(r)], grid.rows[std::size_t(r + step)]);
    setContent(grid.rows[std::size_t(to)], moving);
}

void sortRows(LayoutGrid& grid, int column)
{
    if (column < 1 || column >= grid.captions.size())
        return;
    const bool numeric = column == kXColumn || column == kYColumn;
    std::vector<QStringList> rows = grid.rows;
    std::stable_sort(rows.begin(), rows.end(), [&](const QStringList& a, const QStringList& b) {
        return QString::localeAwareCompare(sortKey(a[column], numeric), sortKey(b[column], numeric)) < 0;
    });
    for (std::size_t r = 0; r < rows.size(); ++r)
        setContent(grid.rows[r], rows[r]);
}

QString textBlockInEntryError(const LayoutEditorData& data)
{
    const LayoutGrid& entries = data.grid(ElementKind::Eintrag);
    const int content = entries.columnOf(QStringLiteral("Inhalt"));
    for (const QStringList& row : entries.rows) {
        if (row[2].trimmed() == QLatin1String("0"))
            continue;
        const qsizetype at = row[content].indexOf(QLatin1String("%TB"), 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        return QStringLiteral("Die Definition eines Textblocks innerhalb des Eintragsregisters\n\n(")
               + row[content].mid(at, 6) + QStringLiteral(" in Zeile ") + row[0].trimmed()
               + QStringLiteral(") ist nicht möglich!\n\n");
    }
    return {};
}

bool isNumericColumn(ElementKind kind, const QString& caption)
{
    return numericCaptions(kind).contains(caption);
}

std::optional<int> globalChangeStart(const LayoutGrid& grid, int row, int column, Interaction& ui)
{
    std::optional<int> value;
    if (row >= 0 && row < int(grid.rows.size()) && column > 0 && column < grid.captions.size()
        && isNumericColumn(grid.kind, grid.captions[column]))
        value = integerIn(grid.rows[std::size_t(row)][column]);
    if (!value || *value > 99999) {
        ui.error(QStringLiteral("FEHLER: \nDie Spalte ist nicht numerisch oder das Feld ist leer!"));
        return std::nullopt;
    }
    return value;
}

QString globalChangeDescription(const QString& lower, const QString& upper, const QString& amount,
                                ShiftScope scope)
{
    const bool equal = lower.trimmed() == upper.trimmed();
    if (scope == ShiftScope::CurrentColumn) {
        if (equal)
            return QStringLiteral("Verändere alle Werte der gewählten Spalte, die gleich ") + lower
                   + QStringLiteral(" sind, um ") + amount + QStringLiteral("!");
        return QStringLiteral("Verändere alle Werte der gewählten Spalte, die zwischen ") + lower
               + QStringLiteral(" und ") + upper + QStringLiteral(" liegen, um ") + amount + QStringLiteral("!");
    }
    if (equal)
        return QStringLiteral("Verschiebe alle Elemente, deren y-Wert gleich ") + lower + QStringLiteral(" sind, um ")
               + amount + QStringLiteral(" nach oben unten!");
    return QStringLiteral("Verschiebe alle Elemente, deren y-Wert zwischen ") + lower + QStringLiteral(" und ")
           + upper + QStringLiteral(" liegt, um ") + amount + QStringLiteral(" nach oben unten!");
}

int applyGlobalChange(LayoutEditorData& data, ElementKind kind, int column, int lower, int upper, int amount,
                      ShiftScope scope)
{
    int count = 0;
    auto change = [&](QString& cell, bool needNonNegative) {
        const auto v = integerIn(cell);
        if (!v || *v >= 100000 || *v < lower || *v > upper || (needNonNegative && *v < 0))
            return;
        cell = QString::number(std::max(0, *v + amount));
        ++count;
    };
    if (scope == ShiftScope::CurrentColumn) {
        LayoutGrid& grid = data.grid(kind);
        if (column < 1 || column >= grid.captions.size())
            return 0;
        for (QStringList& row : grid.rows)
            change(row[column], false);
        return count;
    }
    for (LayoutGrid& grid : data.grids) {
        if (grid.kind == ElementKind::Linie) {
            const int length = grid.columnOf(QStringLiteral("Laenge"));
            for (QStringList& row : grid.rows) {
                const auto l = integerIn(row[length]);
                if (l && *l > 0)
                    change(row[kYColumn], true);
            }
        } else {
            for (QStringList& row : grid.rows)
                change(row[kYColumn], true);
        }
    }
    return count;
}

std::optional<int> runGlobalChange(LayoutEditorData& data, ElementKind kind, int column, const QString& lower,
                                   const QString& upper, const QString& amount, ShiftScope scope,
                                   Interaction& ui, bool* stay)
{
    if (stay)
        *stay = false;
    const auto lo = boundValue(lower), hi = boundValue(upper);
    if (!lo || !hi)
        return std::nullopt;
    const auto by = integerIn(amount);
    if (!by || *by > 99999) {
        ui.error(QStringLiteral("Fehlerhafte Einträge!\n\n"));
        if (stay)
            *stay = true;
        return std::nullopt;
    }
    if (ui.ask(QStringLiteral("Änderung wirklich durchführen?\n\n"), Buttons::YesNoCancel) != Answer::Yes)
        return std::nullopt;
    const int count = applyGlobalChange(data, kind, column, *lo, *hi, *by, scope);
    ui.info(QStringLiteral("Es wurden ") + QString::number(count) + QStringLiteral(" Änderungen druchgeführt!"));
    return count;
}

} // namespace zedora
