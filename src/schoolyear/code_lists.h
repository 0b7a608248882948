#pragma once
// The code lists AG.TXT and WPK.TXT beside the import file: lines of a
// code, '#' and a long name, which replace the codes of working groups and
// electives taken from the school administration's data.
#include <QString>
#include <QStringList>

namespace zedora {

// The lines of a list (Windows-1252); no lines when the file is missing.
QStringList readCodeList(const QString& path);

// The long name of the last line that holds "#" + value + "#" (letter case
// of a to z ignored), at most 60 characters; the value itself without one.
QString longNameOf(const QString& value, const QStringList& lines);

} // namespace zedora
