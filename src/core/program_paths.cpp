#include "core/program_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

namespace zedora {

QString withTrailingSlash(const QString& dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')))
        return dir;
    return dir + QLatin1Char('/');
}

ProgramPaths detectProgramPaths(const QString& executableDir)
{
    ProgramPaths p;
    // Installed: <prefix>/bin beside <prefix>/share/zedora; build tree:
    // build/bin beside build/share; otherwise the binary's own folder.
    const QDir exe(executableDir);
    const QString installed = exe.absoluteFilePath(QStringLiteral("../share/zedora"));
    const QString built = exe.absoluteFilePath(QStringLiteral("../share"));
    QString programDir = QDir::cleanPath(executableDir);
    if (QFileInfo(installed).isDir())
        programDir = QDir::cleanPath(installed);
    else if (QFileInfo(built).isDir())
        programDir = QDir::cleanPath(built);
    p.programDir = withTrailingSlash(programDir);

    const QString fromEnv = qEnvironmentVariable("ZEDORA_WORKSPACE");
    if (!fromEnv.trimmed().isEmpty()) {
        p.defaultWorkspace = withTrailingSlash(QDir::cleanPath(QDir(fromEnv.trimmed()).absolutePath()));
    } else {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        p.defaultWorkspace = withTrailingSlash(QDir::cleanPath(data + QStringLiteral("/Tolvo/Zedora")));
    }

    QString name = qEnvironmentVariable("ZEDORA_COMPUTERNAME");
    if (name.trimmed().isEmpty())
        name = QSysInfo::machineHostName();
    p.computerName = name.left(25).trimmed();
    if (p.computerName.isEmpty())
        p.computerName = QStringLiteral("PC");
    return p;
}

} // namespace zedora
