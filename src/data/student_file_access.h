#pragma once
// The one way every window and command opens, replaces or deletes a student
// file (archive and text-block files are kept the same way). On a shared
// workspace a file may be open on another computer, lack its index (the
// program deletes index files itself), carry a move or reorganisation that
// a killed process left half done, or be replaced under a reader; each entry
// point meets every one of these states the same way:
// - a half-done move is finished first, never read around;
// - a missing or damaged index is rebuilt when this computer may do so;
//   otherwise a reader reads without it, in record order;
// - replacing or deleting a file someone has open is refused.
#include "data/table_move_journal.h"

#include <QString>
#include <memory>

namespace zedora {
namespace dbase {
class Table;
}

class WorkspaceFiles;

struct OpenedTable {
    std::unique_ptr<dbase::Table> table;
    // The index was missing and could not be rebuilt here: the records come
    // in the order they are stored, not by class and name.
    bool withoutIndex = false;
};

// For reading (statistics, history, exports, printouts, transfer sources).
// Throws dbase::DbfError with a German message naming the file when the
// table cannot be read at all.
OpenedTable openToRead(const QString& path);
// For changing records: the index is needed and rebuilt when missing.
std::unique_ptr<dbase::Table> openToEdit(const QString& path);

// The sentence that tells why a file was not replaced or deleted:
// "Die Datei 5A.DBF wird an einem anderen Computer benutzt.\nSie kann nicht <action> werden!\n"
QString inUseMessage(const QString& path, const QString& action);
// Why an interrupted move keeps the file from being read.
QString pendingMoveMessage(const QString& path, PendingMove state);

enum class ReplaceOutcome { Done, InUse, Failed };

// Moves complete new files (lying beside target, in the same folder) over
// the table target as one. The old table is held alone meanwhile: when
// another process has it open nothing is changed and InUse comes back.
// Companions of target that parts do not name (.DBT, .MDX) are deleted, so
// the new table is never paired with old memos or an old index.
ReplaceOutcome replaceTable(const QString& target, const std::vector<MovePart>& parts, const MoveHook& hook = {});
// The .DBF, .DBT and .MDX of a staged table, as far as they exist, as the
// parts that replace another table; the index is renamed for target first.
std::vector<MovePart> stagedTableFor(const QString& target, const QString& stagingDbf);

// Deletes the table with its .DBT, .MDX and .INI through the file helpers.
// InUse when another process has it open.
ReplaceOutcome deleteTable(const QString& dbfPath, WorkspaceFiles& files);

} // namespace zedora
