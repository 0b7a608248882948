#pragma once
// Paths of student files and layouts are stored relative to the workspace,
// in Windows form ("ZE-1920-1\5A.DBF", "LAYOUT\DEMO.LAY"), so a workspace can
// move and be shared with Windows installations.
#include <QString>

namespace zedora {

enum class RelativeKind {
    StudentFile, // tail from the first "ZE-"
    Layout,      // tail from the first "LAYOUT\"
    Any,         // tail from whichever of the two comes first
};

// The stored short form: the tail from the marker (searched without regard
// to letter case; the tail keeps its own), else the whole trimmed path;
// separators as '\'. With a workspace directory given, a path inside it is
// searched only behind the workspace, so a workspace that itself lies in a
// folder named "ZE-..." or "LAYOUT" does not cut the path short, and a path
// inside it without a marker is stored as the part behind the workspace.
QString workspaceShortForm(const QString& path, RelativeKind kind,
                           const QString& workspaceDir = {});

// A stored value as the program uses it: empty stays empty; otherwise the
// trimmed short form is put behind the workspace directory ('/' separators).
// A short form that is still an absolute path (no marker in it) is kept as
// it is instead of being glued behind the workspace.
QString expandWorkspaceRelative(const QString& workspaceDir, const QString& stored,
                                RelativeKind kind);

} // namespace zedora
