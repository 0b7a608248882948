#pragma once
// Whether a student file may be replaced or re-indexed now: files another
// computer has open are left alone, whatever the set-up or a
// reorganisation would otherwise do with them.
#include <QString>

namespace zedora {

enum class TableUse {
    Missing,
    Free,        // readable as a student file, nobody has it open
    InUse,       // another process (here or on another computer) has it open
    Unreadable,  // exists, nobody has it open, but is no usable student file
};

// Looks at the .DBF; opens it for a moment without its index.
TableUse tableUse(const QString& dbfPath);
// Only the lock test: someone has the table open.
bool tableInUse(const QString& dbfPath);

// Deletes the .MDX files in dir whose table nobody has open (an index taken
// away under a running program would stop the next computer from opening
// the file until everyone has closed it). The register is not changed.
void deleteIndexesOfFreeTables(const QString& dir);

} // namespace zedora
