#pragma once
// Where each kind of file may live in the workspace: student files in data
// directories (ZE-...) or ARCHIV, layouts in LAYOUT, text-block and column
// layout files in DEFINI.
#include <QString>

namespace zedora {

class Interaction;

enum class FileKind : char { StudentFile = 'N', Layout = 'L', TextBlocks = 'T' };

// Whether path may hold a file of that kind. The demo files are refused
// silently; any other wrong place beeps and shows the convention warning.
bool checkDirectoryConvention(const QString& path, FileKind kind, Interaction& ui);

// Whether a name (or the last component of a path) is a data directory
// name like ZE-1920-1.
bool isDataDirectoryName(const QString& pathOrName);

} // namespace zedora
