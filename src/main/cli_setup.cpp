// zedora-cli setup: lays out a workspace as the program's first start does,
// for scripts and machines without a display.
#include "core/program_paths.h"
#include "app/workspace_setup.h"
#include "data/demo_directory.h"
#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "main/cli_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <ostream>

namespace zedora::cli {

int setupCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    QString workspace;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--workspace" && i + 1 < args.size()) {
            workspace = QString::fromStdString(args[++i]);
        } else {
            err << "Aufruf: zedora-cli setup [--workspace DIR]\n";
            return 2;
        }
    }
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const QString ws = withTrailingSlash(workspace.isEmpty() ? paths.defaultWorkspace
                                                             : QDir(workspace).absolutePath());
    if (!QDir().mkpath(ws) || !QFileInfo(ws).isWritable()) {
        err << "Fehler: Das Arbeitsverzeichnis " << ws.toStdString()
            << " kann nicht angelegt oder beschrieben werden.\n";
        return 1;
    }
    TNeueDateien reg(resolveIn(ws, QStringLiteral("angelegteDateien.txt")),
                     resolveIn(ws, QStringLiteral("angelegteVerzeichnisse.txt")));
    reg.endDefer();
    WorkspaceFiles files(reg);
    installShippedTemplates(paths.programDir, ws, files);
    runWorkspaceSetup(paths.programDir, ws, files);
    rebuildDemoDirectory(ws, files);
    if (!QFileInfo(resolveIn(ws, QStringLiteral("ZE-0000-0\\demo.dbf"))).isFile()) {
        err << "Fehler: Die Vorlagen des Programms fehlen in " << paths.programDir.toStdString() << "\n";
        return 1;
    }
    out << "Arbeitsverzeichnis eingerichtet: " << ws.toStdString() << "\n";
    return 0;
}

} // namespace zedora::cli
