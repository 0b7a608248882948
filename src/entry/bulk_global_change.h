#pragma once
// The global change of one column of the open student file: a value for all
// records or only for those holding a given value, a text for a text-block
// column (appended or replacing, only for the records an active filter
// lets through), a new class name, and the column clearing built on it.
#include <QString>
#include <functional>
#include <optional>

namespace zedora {

class Interaction;
class StudentTable;

enum class GlobalChangeMode { Plain, TextBlock, Class };

// Decides how a column may be changed; shows the refusal and returns nothing
// when it may not (master-data editing on, an average, a locked column).
std::optional<GlobalChangeMode> globalChangeMode(const StudentTable& table, const QString& field,
                                                 bool masterDataEditing, Interaction& ui);

// The value the new-value box gives: trimmed; a chosen block ("ID  >text")
// gives only its text.
QString newValueFromBox(const QString& boxText);

struct GlobalChange {
    GlobalChangeMode mode = GlobalChangeMode::Plain;
    QString field;
    bool allFields = true;   // "Alle Felder der Spalte"
    QString search;          // "Felder mit folgendem Eintrag:"
    QString newValue;        // already taken from the box
    bool replaceText = true; // text-block mode: replace, else append to the last line
    QString oldClass;        // class mode: the class to rename
};

// Placeholders of the text are replaced for the current record.
using PlaceholderReplacer = std::function<QString(const QString& text)>;

struct GlobalChangeResult {
    int changed = 0;
    bool stoppedByCheck = false; // a value was refused; records before it keep theirs
};

// Writes every record (class mode in alphabetical order), keeps the
// current record, the sort order and an active filter. A value refused by
// the field's check ends the run after that record (the check has shown
// its message).
GlobalChangeResult runGlobalChange(StudentTable& table, const GlobalChange& change,
                                   const PlaceholderReplacer& replace = {});

// Alt+F8: asks "Soll Inhalt der Spalte ... wirklich gelöscht werden?" unless
// silent, then empties the column in all records. Returns whether it ran.
bool clearColumn(StudentTable& table, const QString& field, const QString& caption, bool silent,
                 Interaction& ui);

// Whether a global change is writing records now (other checks stay quiet).
bool globalChangeRunning();

} // namespace zedora
