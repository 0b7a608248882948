#pragma once
// Moving a table's new files into place as one. The complete new files lie
// beside the table; a journal (<name>.REO) naming each of them is written
// before the first one moves, so a process killed half way leaves a journal
// that the next opener of the table finishes: the table is then the new one,
// whole. Without a journal the table is the old one, whole. The mover holds
// a lock on the journal, so a reader that meets it while the move is still
// running waits instead of finishing it at the same time.
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace zedora {

struct MovePart {
    QString ext;     // ".DBF", ".DBT", ".MDX", ...
    QString source;  // the complete new file; empty: the table's old file of this kind is deleted
};

using MoveHook = std::function<void(int partsMoved)>; // 0: the journal was just written

// Moves the parts over dbf's files. False when a part could not be moved;
// the journal then stays for the next opener to finish.
bool moveTableIntoPlace(const QString& dbfPath, const std::vector<MovePart>& parts, const MoveHook& hook = {});

enum class PendingMove {
    None,      // no journal: the table is whole
    Finished,  // a journal was found and carried out
    Busy,      // another process is moving the files right now
    Failed,    // a journal was found but could not be carried out here
};

// Finishes a move a killed process left, waiting a few seconds for one that
// is still running.
PendingMove finishPendingMove(const QString& dbfPath, int waitMs = 5000);

QString journalPathOf(const QString& dbfPath);

// The parts a journal's text names, when every line is one this program
// writes: ".DBF", ".DBT", ".MDX" or ".INI", a tab, and a source in the
// table's folder or in the TMP folder beside it (relative to the table's
// folder, or absolute as older journals have them). Nothing otherwise: a
// journal from elsewhere must not move or delete other files.
std::optional<std::vector<MovePart>> readJournal(const QString& dbfPath, const QByteArray& text);

} // namespace zedora
