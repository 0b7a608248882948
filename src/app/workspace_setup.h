#pragma once
// Laying out a workspace: at the first start (and at every start until the
// administrator places zdrlokal.ini), after an update, and when the last
// student file has gone missing.
#include <QString>

namespace zedora {

class Interaction;
class WorkspaceFiles;

// Copies the templates installed with the program into the workspace's
// MUSTER folder, each only when it is missing there.
void installShippedTemplates(const QString& programDir, const QString& workspace,
                             WorkspaceFiles& files);

// Whether the workspace set-up runs at this start (zdrlokal.ini missing).
bool workspaceSetupNeeded(const QString& workspace);
void runWorkspaceSetup(const QString& programDir, const QString& workspace, WorkspaceFiles& files);

// Whether nachsetup.txt lies in the program folder or the workspace.
bool postUpdatePending(const QString& programDir, const QString& workspace);
// Deletes the markers, runs the set-up, swaps in a new layout template
// folder and tells the user.
void runPostUpdateStep(const QString& programDir, const QString& workspace, WorkspaceFiles& files,
                       Interaction& ui);

// The temporary files and working folders removed when the program closes.
void removeTemporaryFiles(const QString& workspace, WorkspaceFiles& files);

} // namespace zedora
