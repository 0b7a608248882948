#include "periphery/update_install.h"

#include "periphery/update_description.h"
#include "periphery/update_download.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

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
    // First every new file is written beside its target; only when all of
    // them are in place are they renamed over the old ones. A full disk or a
    // folder that cannot be written thus replaces nothing.
    struct Staged {
        QString staged;
        QString target;
        bool package;
    };
    QList<Staged> staged;
    const auto discard = [&staged] {
        for (const Staged& s : staged)
            QFile::remove(s.staged);
    };
    for (int i = 0; i < files.size(); ++i) {
        const UpdateFile& f = files.at(i);
        const bool package = i == 0 && !description.program.name.trimmed().isEmpty();
        const QString source = update.filePath(relativeName(f.name));
        const QString target = package ? QDir(binDir).filePath(QFileInfo(relativeName(f.name)).fileName())
                                       : QDir(programDir).filePath(relativeName(f.name));
        const QString beside = target + QStringLiteral(".kvbneu");
        QFile::remove(beside);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, beside)) {
            discard();
            out.error = QStringLiteral("Die Datei ") + target + QStringLiteral(" konnte nicht ersetzt werden.");
            return out;
        }
        if (package)
            QFile::setPermissions(beside, QFile::permissions(beside) | QFile::ExeOwner | QFile::ExeGroup
                                              | QFile::ExeOther | QFile::ReadOther | QFile::ReadGroup);
        staged << Staged{beside, target, package};
    }
    for (const Staged& s : staged) {
        std::error_code error;
        std::filesystem::rename(s.staged.toStdString(), s.target.toStdString(), error);
        if (error) {
            discard();
            out.error = QStringLiteral("Die Datei ") + s.target + QStringLiteral(" konnte nicht ersetzt werden.");
            return out;
        }
        out.installed << s.target;
    }
    QFile marker(QDir(programDir).filePath(QStringLiteral("nachsetup.txt")));
    if (marker.open(QIODevice::WriteOnly))
        marker.write("Update installiert\r\n");
    out.ok = true;
    return out;
}

} // namespace zedora
