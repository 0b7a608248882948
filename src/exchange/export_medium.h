#pragma once
// Copies the open student file (.DBF, .DBT, .MDX) into another folder, for
// example onto a memory stick, under the open file's own name.
#include <QString>
#include <QStringList>

namespace zedora {

class Interaction;
class WorkspaceFiles;

// Asks for the target through the save dialog; only its folder counts.
// Every failed copy is reported, the others still run. Returns the names of
// the files copied.
QStringList transferToMedium(Interaction& ui, WorkspaceFiles& files, const QString& workspace,
                             const QString& openFile);

} // namespace zedora
