#include "data/demo_directory.h"

#include "base/path_resolver.h"
#include "base/workspace_files.h"

namespace zedora {

QString rebuildDemoDirectory(const QString& workspace, WorkspaceFiles& files)
{
    const QString dir = joinPath(workspace, QStringLiteral("ZE-0000-0"));
    files.createDirectory(dir);
    files.copyFile(resolveIn(workspace, QStringLiteral("MUSTER\\demo.dbf")),
                   resolveIn(dir, QStringLiteral("demo.dbf")));
    files.copyFile(resolveIn(workspace, QStringLiteral("MUSTER\\demo.dbt")),
                   resolveIn(dir, QStringLiteral("demo.dbt")));
    files.deleteByMask(dir, QStringLiteral("*"), QStringLiteral("MDX"));
    files.clearCopyLists();
    return resolveIn(dir, QStringLiteral("DEMO.DBF"));
}

} // namespace zedora
