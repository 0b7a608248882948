#pragma once
// Creating, indexing and reorganising student files. A reorganisation
// rebuilds a file in the current schema with normalised birth dates and
// fresh identities, and never leaves the file missing or half written: the
// new file is complete before it replaces the old one, and an interrupted
// replacement is finished when the file is opened next.
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace zedora {

class Interaction;
class WorkspaceFiles;

struct StudentFileContext {
    QString workspace;     // with a trailing '/'
    QString computerName;  // names the scratch files, so computers do not collide
    WorkspaceFiles& files;
    Interaction& ui;
};

enum class IndexKind { StudentFile, TextBlocks };

// Deletes the .MDX, clears the production-index flag and builds the tags
// anew (student files: KLASSE, MW, NAME, ID; text-block files: ID).
bool buildIndexes(const QString& dbfPath, IndexKind kind, WorkspaceFiles& files);

// A new, empty student file from the workspace template MUSTER\MUSTER.MS1
// (with MUSTER.MS3), with its indexes. Asks before replacing a file.
bool createEmptyStudentFile(const QString& path, const StudentFileContext& context);
// The same, filled by fill (which may throw) before it takes the place of
// an existing file: a failure or a kill on the way leaves the old file.
using StudentFileFill = std::function<void(const QString& stagingDbf)>;
bool createStudentFile(const QString& path, const StudentFileContext& context, const StudentFileFill& fill);

// The steps of a reorganisation, for tests that interrupt it.
enum class ReorganisationStep {
    NewFileBuilt,      // the complete new file lies in TMP
    JournalWritten,    // the replacement may begin
    MemosReplaced,
    TableReplaced,
    IndexReplaced,
};
using ReorganisationHook = std::function<void(ReorganisationStep)>;

bool reorganiseStudentFile(const QString& path, const StudentFileContext& context,
                           const ReorganisationHook& hook = {});

// Whether the table's fields are those of a student file of this or an
// older schema (which holds the first fields of today's in the same order).
bool hasStudentFileFields(const std::vector<std::string>& fieldNames);

// Finishes a reorganisation that was interrupted while replacing the file.
// Returns true when there was one.
bool finishInterruptedReorganisation(const QString& dbfPath);

// The scratch prefix of this computer: workspace/TMP/<computer name>-.
QString scratchPrefix(const StudentFileContext& context);

} // namespace zedora
