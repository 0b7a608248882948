// kvbupdate "KVB" "Zedora" "<program folder>/" "<workspace>/"
//
// Started by the online update just before the program closes. Waits until
// the program has ended, installs the files fetched into the update folder
// (all of them or, when one is missing or damaged, none), and starts the
// program again on the same workspace.
#include "app/single_instance.h"
#include "periphery/update_install.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>

namespace {

void report(const QString& folder, const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    QFile log(QDir(folder).filePath(QStringLiteral("kvbupdate.log")));
    if (log.open(QIODevice::Append)) {
        log.write((QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + text + QStringLiteral("\r\n"))
                      .toUtf8());
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 4 || args.at(0) != QLatin1String("KVB")) {
        std::fprintf(stderr, "Aufruf: kvbupdate \"KVB\" \"Zedora\" \"Programmordner/\" \"Arbeitsordner/\"\n");
        return 2;
    }
    const QString programDir = args.at(2);
    const QString workspace = args.at(3);
    const QString updateFolder = QDir(programDir).filePath(QStringLiteral("Update"));
    const QString binDir = QCoreApplication::applicationDirPath();

    // The program holds its single-instance lock until it has ended; holding
    // it here in turn keeps it from being started while files are replaced.
    int waitSeconds = qEnvironmentVariableIntValue("KVBUPDATE_WAIT_SECONDS");
    if (waitSeconds <= 0)
        waitSeconds = 120;
    auto instance = std::make_unique<zedora::SingleInstance>(QStringLiteral("Tolvo-Zedora"));
    bool ended = false;
    for (int i = 0; i < waitSeconds * 4 && !(ended = instance->acquire()); ++i)
        QThread::msleep(250);
    if (!ended) {
        report(updateFolder, QStringLiteral("Zedora läuft noch; das Update wurde nicht installiert."));
        return 1;
    }

    const zedora::UpdateInstallation done = zedora::installUpdate(updateFolder, programDir, binDir);
    if (done.ok)
        report(updateFolder, QStringLiteral("Update installiert: ") + done.installed.join(QStringLiteral(", ")));
    else
        report(updateFolder, QStringLiteral("Update nicht installiert: ") + done.error);
    instance.reset();

    const QString program = QDir(binDir).filePath(QStringLiteral("zedora"));
    if (QFileInfo(program).isExecutable()) {
        if (!QProcess::startDetached(program, {QStringLiteral("/P:") + workspace}, workspace))
            report(updateFolder, QStringLiteral("Zedora konnte nicht wieder gestartet werden."));
    } else {
        report(updateFolder, QStringLiteral("Zedora wurde im Ordner ") + binDir + QStringLiteral(" nicht gefunden."));
    }
    return done.ok ? 0 : 1;
}
