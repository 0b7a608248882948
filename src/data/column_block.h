#pragma once
// The column layout block of a layout text: a marker line "-FDFYYY-" and
// below it one column line per entry-table column. Column lines have fixed
// columns: field name 1-18, caption 20-59, width 60-69, exemption mark 70-71.
// Column-layout files (.fdf) hold only column lines.
#include <QString>
#include <QStringList>

namespace zedora {

inline constexpr const char* kBlockMarker = "-FDFYYY-";

// Used when a block has fewer than three column lines.
QStringList defaultColumnLines();

struct ColumnLine {
    QString name;    // columns 1-9, trimmed, upper case: the entry-table field
    QString name18;  // columns 1-18, trimmed, upper case: the name elsewhere
    QString caption; // columns 20-58, not trimmed
    QString width;   // columns 60-64, trimmed
    bool exempt = false; // columns 70-71 not blank: no abbreviation check
};

ColumnLine parseColumnLine(const QString& line);
// Columns 1-18 not blank.
bool isColumnLine(const QString& line);

// Index of the block's marker line, -1 when there is no block. A marker in
// the very first line starts no block: that text is no layout.
int blockMarkerIndex(const QStringList& lines);
inline bool hasBlock(const QStringList& lines) { return blockMarkerIndex(lines) > 0; }
// The lines after the marker that are column lines.
QStringList blockColumnLines(const QStringList& lines);

// Removes the marker and everything after it.
void cutBlock(QStringList& lines);
// Appends an empty line, the marker and the given column lines.
void replaceBlock(QStringList& lines, const QStringList& columnLines);
// Makes sure the block has at least three column lines. Returns true when
// nothing had to change, false when the default lines were added.
bool ensureBlock(QStringList& lines);

// The grade-abbreviation file a layout names in a KUERZELDATEINAME line
// among its lines 2 to 17; "KUERZEL.TXT" without one.
QString abbreviationFileName(const QStringList& layoutLines);

} // namespace zedora
