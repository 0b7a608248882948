#pragma once
// The demo data directory ZE-0000-0, rebuilt from the workspace's templates
// when the last student file has gone missing.
#include <QString>

namespace zedora {

class WorkspaceFiles;

// Rebuilds the demo data directory from the templates and returns the path
// of its student file, which becomes the last student file.
QString rebuildDemoDirectory(const QString& workspace, WorkspaceFiles& files);

} // namespace zedora
