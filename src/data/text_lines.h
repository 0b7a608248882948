#pragma once
// Line files of the workspace (layouts, column-layout files): Windows-1252,
// CR LF written, LF accepted.
#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

// The lines of a file; nothing when it does not exist or cannot be read.
// A final line break does not start another line.
std::optional<QStringList> readTextLines(const QString& path);
// Replaces the file safely; false when it could not be written completely.
bool writeTextLines(const QString& path, const QStringList& lines);

} // namespace zedora
