#include "periphery/open_document.h"

#include "base/interaction.h"
#include "base/path_resolver.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace zedora {

DocumentOpener::Desktop DocumentOpener::systemDesktop()
{
    Desktop d;
    d.hasApplication = [](const QString& path) {
        // Without the desktop's tools the question cannot be asked; the
        // opening itself then tells.
        const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
        if (xdgMime.isEmpty())
            return true;
        const QString type = QMimeDatabase().mimeTypeForFile(path).name();
        QProcess query;
        query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
        if (!query.waitForFinished(5000))
            return true;
        return !query.readAllStandardOutput().trimmed().isEmpty();
    };
    d.open = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    d.openWith = [](const QString& program, const QString& path) {
        return QProcess::startDetached(program, {path});
    };
    return d;
}

DocumentOpener::Outcome DocumentOpener::open(const QString& given)
{
    const QString shown = given.left(250);
    const QString path = resolvePath(shown);
    if (!QFileInfo(path).isFile()) {
        ui_.info(QStringLiteral("Die zu öffnende Datei\n\"") + shown + QStringLiteral("\"\n")
                 + QStringLiteral("wurde nicht gefunden!"));
        return Outcome::NotFound;
    }
    if (!desktop_.hasApplication(path)) {
        const QString suffix = QFileInfo(path).suffix();
        const QString extension = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
        const Answer a = ui_.ask(QStringLiteral("Die Dateiendung \"") + extension
                                     + QStringLiteral("\" der zu öffnende Datei\n") + QStringLiteral("\"") + shown
                                     + QStringLiteral("\"\n")
                                     + QStringLiteral("ist mit keiner Anwendung verknüpft.\nMöchten Sie eine Anwendung wählen?"),
                                 Buttons::YesNo);
        if (a == Answer::Yes) {
            const std::optional<QString> program = ui_.openFile(QStringLiteral("Anwendung wählen"), QString(),
                                                                QStringLiteral("/usr/bin"), QString());
            if (program && !program->isEmpty() && desktop_.openWith(*program, path))
                return Outcome::Opened;
        }
        return Outcome::NoApplication;
    }
    if (!desktop_.open(path)) {
        ui_.info(QStringLiteral("Die Datei\n\"") + shown + QStringLiteral("\"\n")
                 + QStringLiteral("konnte nicht geöffnet werden!"));
        return Outcome::NoApplication;
    }
    return Outcome::Opened;
}

} // namespace zedora
