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
    const QString share = QDir(executableDir).absoluteFilePath(QStringLiteral("../share"));
    p.programDir = withTrailingSlash(QFileInfo(share).isDir() ? QDir::cleanPath(share)
                                                              : QDir::cleanPath(executableDir));

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
