#include "periphery/online_update.h"

#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/workspace_files.h"
#include "core/app_version.h"
#include "core/program_paths.h"
#include "periphery/update_download.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {

namespace {

const QString kInstalled = QString::number(kVersionNumber);

QString withDelimiter(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')) && !dir.endsWith(QLatin1Char('\\')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

OnlineUpdate::OnlineUpdate(Interaction& ui, WorkspaceFiles& files, UpdateDownloader& downloader,
                           QString programDir, QString serverBase)
    : ui_(ui), files_(files), downloader_(downloader), programDir_(withDelimiter(std::move(programDir)))
{
    serverBase = serverBase.trimmed();
    if (!serverBase.isEmpty() && !serverBase.endsWith(QLatin1Char('/')))
        serverBase += QLatin1Char('/');
    serverFolder_ = serverBase + QStringLiteral("zedora") + QStringLiteral("7/");
}

QUrl OnlineUpdate::historyAddress() const
{
    return QUrl(serverFolder_ + QStringLiteral("zdr_history_7.pdf"));
}

QUrl OnlineUpdate::addressOf(const QString& name) const
{
    QString relative = name.trimmed();
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QUrl(serverFolder_).resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(relative, "/"))));
}

QString OnlineUpdate::localPathOf(const QString& name) const
{
    QString relative = name.trimmed();
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return updateFolder() + relative;
}

void OnlineUpdate::line(const QString& text, QColor colour, bool bold, int points)
{
    if (addLine)
        addLine(MessageLine{text, colour, bold, points});
}

void OnlineUpdate::prepareFolder()
{
    files_.createDirectory(updateFolder());
}

bool OnlineUpdate::check()
{
    const QString address = serverFolder_ + QStringLiteral("update.cfg");
    const QString local = updateFolder() + QStringLiteral("update.cfg");
    {
        BusyScope busy(ui_);
        downloader_.reset();
        const DownloadResult result = downloader_.fetch(QUrl(address), local);
        if (result == DownloadResult::NotWritten) {
            ui_.info(QStringLiteral("Der Update-Ordner\n") + updateFolder()
                     + QStringLiteral("\nkann nicht beschrieben werden!"));
            return false;
        }
        if (result != DownloadResult::Ok) {
            ui_.info(QStringLiteral("Probleme beim Download der Versionsinformation!\n\nWebserververzeichnis: ")
                     + address);
            return false;
        }
    }
    files_.createdFiles().registerFile(local);
    if (clearLines)
        clearLines();
    description_ = readUpdateDescription(local);
    installAllowed_ = false;
    if (description_.version == 0) {
        downloadAllowed_ = false;
        line(QStringLiteral("Versionsinformation konnte nicht ermittelt werden!"), Qt::red, true);
        return false;
    }
    downloadAllowed_ = true;
    if (description_.version > kVersionNumber) {
        line(QStringLiteral("Es steht eine neue Version bereit!"), Qt::darkGreen, true);
        line(QString());
        downloadCaption_ = QStringLiteral("&DownLoad");
    } else {
        line(QStringLiteral("Sie verfügen bereits über die aktuelle Version ") + kInstalled, Qt::red, true);
        line(QString());
        downloadCaption_ = QStringLiteral("Trotzdem downloaden");
    }
    line(QStringLiteral("Auf diesem Computer installierte Version: ") + kInstalled);
    line(QStringLiteral("Version im Internet: ") + QString::number(description_.version), Qt::black, true);
    line(QStringLiteral("(") + address + QStringLiteral(")"), Qt::black, false, 8);
    line(QString());
    line(QStringLiteral("Hinweistext"), Qt::black, true);
    line(description_.note);
    line(QString());
    line(QStringLiteral("Dateien zum Download"), Qt::black, true);
    line(description_.program.name + QStringLiteral("     (Größe: ") + description_.program.size + QStringLiteral(")"));
    for (const UpdateFile& f : description_.further)
        line(f.name + QStringLiteral("     (Größe: ") + f.size + QStringLiteral(")"));
    for (const QString& name : description_.refused)
        line(name + QStringLiteral("     (ungültiger Dateiname, wird nicht geladen)"), Qt::red);
    return true;
}

bool OnlineUpdate::fetch(const UpdateFile& file)
{
    if (fileStarted)
        fileStarted(file.name);
    const QString target = localPathOf(file.name);
    const bool existed = QFileInfo::exists(target);
    const bool ok = downloader_.fetch(addressOf(file.name), target, file.sha256) == DownloadResult::Ok;
    if (ok && !existed)
        files_.createdFiles().registerFile(target);
    return ok;
}

bool OnlineUpdate::download()
{
    if (!downloadAllowed_)
        return false;
    bool all = true;
    {
        BusyScope busy(ui_);
        downloader_.reset();
        line(QString());
        line(QStringLiteral("Downloadinformationen"), Qt::black, true);
        if (!description_.program.name.trimmed().isEmpty()) {
            const bool ok = fetch(description_.program);
            all = all && ok;
            line(description_.program.name
                 + (ok ? QStringLiteral(" ...  Download erfolgreich!") : QStringLiteral(" ...  Download misslungen!")),
                 ok ? QColor(Qt::black) : QColor(Qt::red));
        }
        for (const UpdateFile& f : description_.further) {
            const bool ok = fetch(f);
            all = all && ok;
            line(f.name + QStringLiteral(" ...   ")
                     + (ok ? QStringLiteral("Download erfolgreich!") : QStringLiteral("Download misslungen!")),
                 ok ? QColor(Qt::black) : QColor(Qt::red));
        }
        if (downloader_.cancelled()) {
            all = false;
            line(QStringLiteral("Download abgebrochen."), Qt::red, true);
        }
    }
    installAllowed_ = all;
    if (all) {
        line(QString());
        line(QStringLiteral("Weiter mit Klick auf Installation ..."), Qt::blue, true);
    }
    return all;
}

bool OnlineUpdate::downloadsIntact() const
{
    for (const UpdateFile& f : allFiles(description_)) {
        const QString path = localPathOf(f.name);
        if (!QFileInfo(path).isFile())
            return false;
        if (!f.sha256.isEmpty() && fileSha256(path) != f.sha256)
            return false;
    }
    return true;
}

QStringList OnlineUpdate::updaterArguments(const QString& programDir, const QString& workspace)
{
    return {QStringLiteral("KVB"), QStringLiteral("Zedora"), withDelimiter(programDir), withDelimiter(workspace)};
}

bool OnlineUpdate::install(const QString& updaterPath, const QString& workspace)
{
    if (!installAllowed_)
        return false;
    // What arrived may have been changed or removed since; nothing that
    // does not match is handed over.
    if (!downloadsIntact()) {
        installAllowed_ = false;
        ui_.warning(QStringLiteral("Die heruntergeladenen Dateien sind unvollständig oder beschädigt!\n\n"
                                   "Bitte laden Sie das Update erneut herunter."));
        return false;
    }
    const QString question = QStringLiteral("Das Programm ") + QStringLiteral("Zedora") + QStringLiteral(" wird jetzt beendet!\n\n")
                             + QStringLiteral("Automatisch wird damit ein Programm (kvbupdate) gestartet,\n")
                             + QStringLiteral("das die Updateinstallation abschließt und die neue ") + QStringLiteral("Zedora")
                             + QStringLiteral("-Version startet!\n\n") + QStringLiteral("Fortfahren?\n");
    if (ui_.ask(question, Buttons::YesNoCancel) != Answer::Yes)
        return false;
    if (!QFileInfo(updaterPath).isExecutable()
        || !(start && start(updaterPath, updaterArguments(programDir_, workspace), programDir_)))
        ui_.info(QStringLiteral("kvbupdate wurde nicht gefunden!"));
    return true;
}

} // namespace zedora
