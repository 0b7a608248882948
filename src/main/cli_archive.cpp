// zedora-cli archive: transfers a student file into an archive file of the
// workspace's ARCHIV folder, creating the archive when it is missing, with
// the same checks as the dialog.
#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "core/program_paths.h"
#include "data/student_files.h"
#include "main/cli_commands.h"
#include "main/cli_console.h"
#include "schoolyear/archive_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <ostream>

namespace zedora::cli {

int archiveCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    QString workspace, file, into;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& k = args[i];
        const bool hasValue = i + 1 < args.size();
        if (k == "--workspace" && hasValue) workspace = QString::fromStdString(args[++i]);
        else if (k == "--file" && hasValue) file = QString::fromStdString(args[++i]);
        else if (k == "--into" && hasValue) into = QString::fromStdString(args[++i]);
        else {
            err << "Unbekanntes oder unvollständiges Argument: " << k << "\n";
            file.clear();
            break;
        }
    }
    if (file.isEmpty() || into.isEmpty()) {
        err << "Aufruf: zedora-cli archive --workspace DIR --file SCHUELERDATEI --into A23-24-1\n";
        return 2;
    }
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const std::optional<QString> found = existingWorkspace(workspace, paths, err);
    if (!found)
        return 1;
    const QString ws = *found;
    TNeueDateien reg(resolveIn(ws, QStringLiteral("angelegteDateien.txt")),
                     resolveIn(ws, QStringLiteral("angelegteVerzeichnisse.txt")));
    reg.endDefer();
    WorkspaceFiles files(reg);
    ConsoleInteraction ui(err);
    const StudentFileContext context{ws, paths.computerName, files, ui};

    const std::optional<QString> foundFile = existingStudentFile(ws, file, err);
    if (!foundFile)
        return 1;
    const QString source = *foundFile;
    QString archive = archivePathFor(ws, into);
    if (!isArchiveName(QFileInfo(archive).completeBaseName())) {
        err << kArchiveNameError.toStdString() << "\n";
        return 2;
    }
    if (!pathExists(archive)) {
        const auto created = createArchiveFile(into, context);
        if (!created)
            return 1;
        archive = *created;
        out << "Archivdatei angelegt: " << QDir::toNativeSeparators(archive).toStdString() << "\n";
    }
    const auto result = transferIntoArchive(source, resolvePath(archive), context);
    if (!result)
        return 1;
    out << transferReport(archive, *result).toStdString() << "\n";
    return result->withoutId.isEmpty() && result->duplicateId.isEmpty() ? 0 : 3;
}

} // namespace zedora::cli
