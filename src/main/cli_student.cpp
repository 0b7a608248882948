// zedora-cli reorg / create: student files without the window.
#include "core/program_paths.h"
#include "app/workspace_setup.h"
#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "main/cli_commands.h"
#include "main/cli_console.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <ostream>

namespace zedora::cli {
namespace {

struct StudentArgs {
    QString file;
    QString workspace;
    bool overwrite = false;
};

bool parse(const Args& args, StudentArgs& out, std::ostream& err)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--workspace" && i + 1 < args.size())
            out.workspace = QString::fromStdString(args[++i]);
        else if (a == "--ueberschreiben")
            out.overwrite = true;
        else if (!a.empty() && a[0] != '-' && out.file.isEmpty())
            out.file = QString::fromStdString(a);
        else {
            err << "Unbekanntes Argument: " << a << "\n";
            return false;
        }
    }
    if (out.file.isEmpty()) {
        err << "Keine Schülerdatei angegeben.\n";
        return false;
    }
    return true;
}

// The workspace: as given, else the program's default; it must hold the
// student-file template.
QString workspaceFor(const StudentArgs& a)
{
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    return withTrailingSlash(a.workspace.isEmpty() ? paths.defaultWorkspace
                                                   : QDir(a.workspace).absolutePath());
}

int run(const Args& args, std::ostream& out, std::ostream& err, bool create)
{
    StudentArgs a;
    if (!parse(args, a, err)) {
        err << (create ? "Aufruf: zedora-cli create DATEI.DBF [--workspace DIR] [--ueberschreiben]\n"
                       : "Aufruf: zedora-cli reorg DATEI.DBF [--workspace DIR]\n");
        return 2;
    }
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const QString ws = workspaceFor(a);
    TNeueDateien reg(resolveIn(ws, QStringLiteral("angelegteDateien.txt")),
                     resolveIn(ws, QStringLiteral("angelegteVerzeichnisse.txt")));
    reg.endDefer();
    WorkspaceFiles files(reg);
    installShippedTemplates(paths.programDir, ws, files);
    ConsoleInteraction ui(err, a.overwrite ? Answer::Yes : Answer::No);
    const StudentFileContext context{ws, paths.computerName, files, ui};
    const QString file = QFileInfo(a.file).absoluteFilePath();
    if (create) {
        if (!createEmptyStudentFile(file, context))
            return 1;
        out << "Angelegt: " << resolvePath(QFileInfo(file).path() + QLatin1Char('/')
                                           + QFileInfo(file).completeBaseName().toUpper() + ".DBF")
                                   .toStdString()
            << "\n";
        return 0;
    }
    if (!QFileInfo(resolvePath(file)).isFile()) {
        err << "Fehler: " << file.toStdString() << " nicht vorhanden!\n";
        return 1;
    }
    if (!reorganiseStudentFile(file, context)) {
        err << "Fehler: Reorganisation konnte NICHT durchgeführt werden!\n";
        return 1;
    }
    out << "Reorganisation war erfolgreich: " << resolvePath(file).toStdString() << "\n";
    return 0;
}

} // namespace

int reorgCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    return run(args, out, err, false);
}

int createCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    return run(args, out, err, true);
}

} // namespace zedora::cli
