#pragma once
// Workspace files are named the way a case-insensitive file system with '\'
// separators names them (MUSTER\demo.dbf, DEMO.DBF). On Linux every lookup of
// a workspace path goes through here: each component matches an existing
// entry regardless of letter case; what does not exist yet keeps the spelling
// given, so new files are created as the program names them.
#include <QString>

namespace zedora {

// Joins base and a relative path written with '\' or '/'.
QString joinPath(const QString& base, const QString& relative);

// The existing path that matches 'path' case-insensitively, component by
// component; components that match nothing keep their given spelling.
// Accepts '\' and '/'. An exact match is preferred over other spellings.
QString resolvePath(const QString& path);

// resolvePath(joinPath(base, relative)).
QString resolveIn(const QString& base, const QString& relative);

// Whether a file or directory exists under any letter case.
bool pathExists(const QString& path);

// The path with '/' replaced by '\', as stored in settings and lists that
// other computers read.
QString toWindowsSeparators(const QString& path);
// The path with '\' replaced by '/'.
QString toSlashes(const QString& path);

// The last component of a path written with '\' or '/'.
QString lastComponent(const QString& path);

} // namespace zedora
