// zedora [/P:DIR | FEHLER]: the program with its main window.
#include "core/app_context.h"
#include "core/app_version.h"
#include "app/single_instance.h"
#include "app/ui/TFMain.h"
#include "app/ui/close_on_signals.h"
#include "app/ui/password_prompts.h"
#include "app/ui/program_start.h"
#include "base/ui/qt_interaction.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zedora::installQtTranslations(app);
    QApplication::setApplicationName(QStringLiteral("Zedora"));
    QApplication::setQuitOnLastWindowClosed(true);

    zedora::QtInteraction ui;
    zedora::SingleInstance instance(QStringLiteral("Tolvo-Zedora"));
    if (!instance.acquire()) {
        ui.info(QStringLiteral("\nTolvo-Zedora ist auf diesem Computer bereits geöffnet!\n"));
        return 0;
    }

    zedora::AppContext context(ui, zedora::detectProgramPaths(QApplication::applicationDirPath()));
    zedora::QtPasswordPrompts prompts(nullptr);
    std::unique_ptr<zedora::TFMain> window = zedora::startProgram(context, app.arguments(), prompts);
    if (!window)
        return 0;
    ui.setParent(window.get());
    zedora::closeOnSignals(*window);
    window->show();
    // For start-up timing and scripted smoke runs: report when the window is
    // up (the first turn of the event loop), and optionally close at once.
    QTimer::singleShot(0, window.get(), [&window] {
        if (qEnvironmentVariableIsSet("ZEDORA_REPORT_SHOWN")) {
            timespec now = {};
            clock_gettime(CLOCK_REALTIME, &now);
            std::fprintf(stderr, "zedora-shown %lld\n",
                         static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        }
        if (qEnvironmentVariableIsSet("ZEDORA_QUIT_AFTER_START"))
            window->close();
    });
    return app.exec();
}
