#include "app/start_parameter.h"

#include "core/program_paths.h"
#include "base/interaction.h"
#include "base/path_resolver.h"

#include <QFileInfo>

namespace zedora {

StartParameter parseStartParameter(const QString& firstArgument)
{
    StartParameter p;
    if (firstArgument.startsWith(QLatin1String("/P:"), Qt::CaseInsensitive)) {
        p.kind = StartParameter::Kind::Network;
        // Letter case is kept: the resolver finds the folder whatever its case.
        p.candidate = withTrailingSlash(toSlashes(firstArgument.mid(3, 100).trimmed()));
    } else if (firstArgument.trimmed().contains(QLatin1String("FEHLER"), Qt::CaseInsensitive)) {
        p.kind = StartParameter::Kind::Recovery;
    }
    return p;
}

QString chooseWorkspace(const StartParameter& parameter, const QString& defaultWorkspace,
                        Interaction& ui)
{
    if (parameter.kind == StartParameter::Kind::Recovery) {
        ui.info(QStringLiteral("Zedora - Start - Parameter wurden neu gesetzt !"));
        return defaultWorkspace;
    }
    if (parameter.kind != StartParameter::Kind::Network)
        return defaultWorkspace;

    const QString dir = resolvePath(parameter.candidate);
    if (!parameter.candidate.isEmpty() && QFileInfo(resolveIn(dir, QStringLiteral("ZEDORA.INI"))).isFile())
        return withTrailingSlash(dir);

    QString shown = parameter.candidate;
    if (shown.endsWith(QLatin1Char('/')))
        shown.chop(1);
    ui.beep();
    ui.warning(QStringLiteral("Zedora-Netzwerkbetrieb:\n\nDas gewählte Datenverzeichnis ") + shown
               + QStringLiteral(" existiert nicht\n") + QStringLiteral("oder ist unvollständig!\n\n")
               + QStringLiteral("Das Programm läuft jetzt als lokale Anwendung mit \n")
               + QStringLiteral("Daten aus dem Programmverzeichnis \n\n") + defaultWorkspace
               + QStringLiteral("\n"));
    return defaultWorkspace;
}

} // namespace zedora
