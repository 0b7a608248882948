#pragma once
// A table as a real .xlsx workbook: one sheet, the title in A1, the table
// from row 3 (its first line bold as the header). Cells that read as
// numbers are stored as numbers, everything else as text; cells are
// trimmed, cut to 250 characters and lose a leading "=", so no text becomes
// a formula.
#include <QString>
#include <QStringList>
#include <QVector>

namespace zedora {

struct XlsxTable {
    QString sheetName;   // cut to the 31 characters a sheet name may hold
    QString title;
    QVector<QStringList> rows;   // rows[0] is the header
};

// Writes beside the target and renames at the end, so a failed export never
// leaves a broken file under the name. Returns an empty string on success,
// else a German message.
QString writeXlsx(const QString& path, const XlsxTable& table);

// The sheet name with the characters a workbook refuses replaced.
QString xlsxSheetName(const QString& name);

} // namespace zedora
