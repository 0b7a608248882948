#pragma once
// The demo data directory ZE-0000-0, rebuilt from the workspace's templates
// when the last student file has gone missing.
#include <QString>

namespace zedora {

class WorkspaceFiles;

// Rebuilds the demo data directory from the templates and returns the path
// of its student file, which becomes the last student file.
QString rebuildDemoDirectory(const QString& workspace, WorkspaceFiles& files);

// Copies MUSTER\demo.dbf and demo.dbt into ZE-0000-0 when the demo file
// there is missing or unreadable. A demo file that is sound or that another
// computer has open is kept: replacing it would lose the work done in it.
// Returns whether it copied.
bool installDemoTemplate(const QString& workspace, WorkspaceFiles& files);

} // namespace zedora
