#pragma once
// Taking data from another student file into the open one: the contents of
// chosen columns for every student found in both files (by surname and first
// name), or one student's whole record.
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace zedora {

class Interaction;
class StudentTable;

// Master data, averages and the identity never take part in a transfer.
bool isTransferableField(const QString& field);

// Progress of one column: source records done of the open file's count.
using TransferProgress = std::function<void(int percent)>;

// Copies source field into target field of every record of the open file
// whose NAME and VORNAME (trimmed, case-sensitive) equal a source record's;
// every match gets the value, an empty source value empties the target.
// Returns the number of matched records written.
int transferColumn(StudentTable& target, const StudentTable& source, const QString& sourceField,
                   const QString& targetField, const TransferProgress& progress = {});

// Several columns at once, each (source field, target field); every matched
// record is saved once with all its columns. Returns the matched count.
int transferColumns(StudentTable& target, const StudentTable& source,
                    const std::vector<std::pair<QString, QString>>& columns, const TransferProgress& progress = {});

// What the window chose for the column transfer.
struct ColumnChoice {
    QStringList marked;         // marked source fields
    QString selectedSource;     // the source grid's selected column
    bool freeTarget = false;    // "Zielspalte frei wählbar"
    QString selectedTarget;     // the main table's selected field
    QString selectedTargetCaption;
    bool tableLocked = false;   // SperreOption
};

// The whole column transfer with its questions and messages; returns the
// count reported, or -1 when nothing was transferred.
int runColumnTransfer(StudentTable& target, const StudentTable& source, const ColumnChoice& choice,
                      Interaction& ui, const TransferProgress& progress = {});

// The record transfer of one source row with its question; the new record
// gets the class of the open file's current record (or the source's when
// that is empty). Returns whether a record was added.
bool runRecordTransfer(StudentTable& target, const StudentTable& source, int sourceRow, Interaction& ui);

namespace transfer_texts {
inline const char* const kLocked = "Übertragung nicht möglich, Haupttabelle ist gesperrt!";
inline const char* const kNoMark = "Übertragung nicht möglich, es wurde keine Spalte markiert!\n\nSpaltenkopf anklicken!";
inline const char* const kNoIdentity =
    "In der Datei kommen nicht die Felder NAME und VORNAME vor,\nso dass eine Identifizierung nicht möglich ist!\n\n"
    "Der Vorgang wird abgebrochen!";
inline const char* const kEmptyWarning =
    "ACHTUNG: Wenn die Quellspalten Leerfelder enthalten,\nwird in die Zielfelder ebenfalls ein Leertext eingetragen!\n";
inline const char* const kForbiddenTarget = "In diese Spalte darf nichts übertragen werden!\n";
inline const char* const kNotMarkable = "Aus dieser Spalte ist Übertrag nicht möglich!";
inline const char* const kFailed = "Misslungen!";
} // namespace transfer_texts

} // namespace zedora
