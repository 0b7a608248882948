#include "exchange/export_medium.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "base/safe_file.h"
#include "base/workspace_files.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {
namespace {

bool inside(const QString& folder, const QString& workspace)
{
    const QString ws = QDir::cleanPath(QFileInfo(workspace).absoluteFilePath());
    const QString f = QDir::cleanPath(folder);
    return f == ws || f.startsWith(ws + QLatin1Char('/'));
}

} // namespace

QStringList transferToMedium(Interaction& ui, WorkspaceFiles& files, const QString& workspace,
                             const QString& openFile)
{
    const QFileInfo open(resolvePath(openFile));
    const auto chosen = ui.saveFile(QStringLiteral("Schülerdatei ") + open.fileName() +
                                        QStringLiteral(" exportieren nach ..."),
                                    QStringLiteral("Schülerdatei (*.DBF)"), workspace, open.fileName());
    if (!chosen || chosen->trimmed().isEmpty())
        return {};
    const QString folder = resolvePath(QDir::cleanPath(QFileInfo(*chosen).absolutePath()));
    // Copying the file onto itself would replace the table under the open
    // program (and under other computers) with a new file.
    if (QFileInfo(folder) == QFileInfo(open.absolutePath())) {
        ui.error(QStringLiteral("Die Schülerdatei liegt bereits in diesem Ordner!\n\nBitte einen anderen Ordner wählen."));
        return {};
    }
    ui.info(QDir::toNativeSeparators(folder + QLatin1Char('/')) + QStringLiteral("-----") + open.completeBaseName());

    const PendingMove pending = finishPendingMove(open.absoluteFilePath());
    if (pending == PendingMove::Busy || pending == PendingMove::Failed) {
        ui.error(pendingMoveMessage(open.absoluteFilePath(), pending));
        return {};
    }
    const QString base = open.absolutePath() + QLatin1Char('/') + open.completeBaseName();
    QStringList copied;
    bool failed[3] = {false, false, false};
    const char* const extensions[3] = {".DBF", ".DBT", ".MDX"};
    for (int i = 0; i < 3; ++i) {
        // The companions under whatever letter case they have on disk.
        const QString source = i == 0 ? open.absoluteFilePath() : resolvePath(base + QLatin1String(extensions[i]));
        const QString target = folder + QLatin1Char('/') + QFileInfo(source).fileName();
        // Files in the workspace go into the created-files register; a
        // stick or another folder is none of its business.
        const bool ok = QFileInfo(source).isFile() &&
                        (inside(folder, workspace) ? files.copyFile(source, target)
                                                   : copyFileSafely(source, resolvePath(target)));
        if (ok)
            copied << QFileInfo(target).fileName();
        failed[i] = !ok;
    }
    if (failed[0])
        ui.error(QStringLiteral("Fehler: DBF konnte nicht exportiert werden"));
    if (failed[2])
        ui.error(QStringLiteral("Fehler: MDX konnte nicht exportiert werden"));
    if (failed[1])
        ui.error(QStringLiteral("Fehler: DBT konnte nicht exportiert werden"));
    return copied;
}

} // namespace zedora
