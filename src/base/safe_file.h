#pragma once
// A file that replaces another is written beside it and renamed into place,
// so a crash leaves either the old or the new content, never a half file.
#include <QByteArray>
#include <QString>

namespace zedora {

// Returns false when the file could not be written completely; the old file
// is then untouched.
bool writeFileSafely(const QString& path, const QByteArray& content);

// Copies source to destination the same way (overwriting).
bool copyFileSafely(const QString& source, const QString& destination);

} // namespace zedora
