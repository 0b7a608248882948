#include "periphery/update_install.h"

#include "base/safe_file.h"
#include "periphery/update_description.h"
#include "periphery/update_download.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zedora {

namespace {

QString relativeName(QString name)
{
    name = name.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return name;
}

} // namespace

UpdateInstallation installUpdate(const QString& updateFolder, const QString& programDir, const QString& binDir)
{
    UpdateInstallation out;
    const QDir update(updateFolder);
    const QString cfg = update.filePath(QStringLiteral("update.cfg"));
    if (!QFileInfo(cfg).isFile()) {
        out.error = QStringLiteral("Keine Versionsbeschreibung (update.cfg) im Update-Ordner gefunden.");
        return out;
    }
    const UpdateDescription description = readUpdateDescription(cfg);
    const QList<UpdateFile> files = allFiles(description);
    if (description.version == 0 || files.isEmpty()) {
        out.error = QStringLiteral("Die Versionsbeschreibung (update.cfg) ist unbrauchbar.");
        return out;
    }
    for (const UpdateFile& f : files) {
        const QString source = update.filePath(relativeName(f.name));
        if (!QFileInfo(source).isFile()) {
            out.error = QStringLiteral("Die Datei ") + f.name + QStringLiteral(" fehlt im Update-Ordner.");
            return out;
        }
        if (!f.sha256.isEmpty() && fileSha256(source) != f.sha256) {
            out.error = QStringLiteral("Die Datei ") + f.name + QStringLiteral(" ist beschädigt (Prüfsumme falsch).");
            return out;
        }
    }
    for (const UpdateFile& f : files) {
        const bool package = &f == &files.first() && !description.program.name.trimmed().isEmpty();
        const QString source = update.filePath(relativeName(f.name));
        const QString target = package ? QDir(binDir).filePath(QFileInfo(relativeName(f.name)).fileName())
                                       : QDir(programDir).filePath(relativeName(f.name));
        QDir().mkpath(QFileInfo(target).absolutePath());
        // Written beside the target and renamed into place: a file is
        // either the old or the new one, never half of each.
        if (!copyFileSafely(source, target)) {
            out.error = QStringLiteral("Die Datei ") + target + QStringLiteral(" konnte nicht ersetzt werden.");
            return out;
        }
        if (package)
            QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner | QFile::ExeGroup
                                              | QFile::ExeOther | QFile::ReadOther | QFile::ReadGroup);
        out.installed << target;
    }
    QFile marker(QDir(programDir).filePath(QStringLiteral("nachsetup.txt")));
    if (marker.open(QIODevice::WriteOnly))
        marker.write("Update installiert\r\n");
    out.ok = true;
    return out;
}

} // namespace zedora
