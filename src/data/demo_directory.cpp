#include "data/demo_directory.h"

#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "data/table_in_use.h"

namespace zedora {

bool installDemoTemplate(const QString& workspace, WorkspaceFiles& files)
{
    const QString dir = joinPath(workspace, QStringLiteral("ZE-0000-0"));
    files.createDirectory(dir);
    const TableUse use = tableUse(resolveIn(dir, QStringLiteral("demo.dbf")));
    if (use != TableUse::Missing && use != TableUse::Unreadable)
        return false;
    files.copyFile(resolveIn(workspace, QStringLiteral("MUSTER\\demo.dbf")),
                   resolveIn(dir, QStringLiteral("demo.dbf")));
    files.copyFile(resolveIn(workspace, QStringLiteral("MUSTER\\demo.dbt")),
                   resolveIn(dir, QStringLiteral("demo.dbt")));
    return true;
}

QString rebuildDemoDirectory(const QString& workspace, WorkspaceFiles& files)
{
    const QString dir = joinPath(workspace, QStringLiteral("ZE-0000-0"));
    installDemoTemplate(workspace, files);
    deleteIndexesOfFreeTables(dir);
    // Laid out indexed, as the program's own files are; a demo class
    // another computer holds keeps its index (the build needs it alone).
    buildIndexes(resolveIn(dir, QStringLiteral("demo.dbf")), IndexKind::StudentFile, files);
    files.clearCopyLists();
    return resolveIn(dir, QStringLiteral("DEMO.DBF"));
}

} // namespace zedora
