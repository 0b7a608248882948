#pragma once
// The half-year rollover: the student file of the next half-year made from
// the current one, with new class names, the comparison with the school
// administration's data and the columns that start empty. The file it
// starts from is only read. The new file is built in TMP and moved into
// place only when complete, through a journal that the next open finishes,
// so a rollover killed at any moment leaves either no new file or a
// complete one.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zedora {

class Interaction;

struct RolloverRequest {
    QString workspace;      // the workspace directory
    QString sourcePath;     // the student file it starts from
    QString dataDirectory;  // "ZE-YYZZ-H" inside the workspace
    QString newName;        // file name; the extension becomes .DBF
    QString newClass;       // empty: every record keeps its class
    QStringList clearFields;
    bool compare = false;
    QString compareFile;    // a table in the Sibank format
    QString codeListFolder; // where AG.TXT and WPK.TXT lie
    bool keepWorkingGroups = true; // matched students keep AG1 to AG3
    bool keepElectives = true;     // matched students keep WPK1 to WPK4
};

struct RolloverSettings {
    QString computerName;   // names the scratch files
    bool leaversToo = false; // AbgImport
    QString female = QStringLiteral("w");
    QString male = QStringLiteral("m");
    QDateTime now = QDateTime::currentDateTime();
};

struct RolloverCounts {
    int copied = 0;    // records taken from the current file
    int left = 0;      // removed by the comparison
    int added = 0;     // new students from the comparison
    int refreshed = 0; // students found in the comparison file
    int cleared = 0;   // columns emptied
    bool compared = false;
};

// The points a test may interrupt.
enum class RolloverStep {
    Checked, Copied, ClassRenamed, Compared, ColumnsCleared, Indexed,
    JournalWritten, OldTargetRemoved, MemosPlaced, IndexPlaced, AssignmentsPlaced, TablePlaced, Done,
};
inline constexpr int kRolloverStepCount = int(RolloverStep::Done) + 1;
using RolloverHook = std::function<void(RolloverStep)>;

// The full path of the new file.
QString rolloverTarget(const RolloverRequest& request);

// Asks and checks as the dialog does, then runs. Nothing is returned when
// it stopped or failed (the messages were shown, the current file is as
// before, an existing target is kept unless the rollover replaced it whole).
std::optional<RolloverCounts> rollOver(const RolloverRequest& request, const RolloverSettings& settings,
                                       Interaction& ui, const RolloverHook& hook = {});

// The fields that must be in a comparison file.
QStringList comparisonFieldNames();

} // namespace zedora
