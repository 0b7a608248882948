#include "app/ui/program_start.h"

#include "core/app_context.h"
#include "app/start_parameter.h"
#include "app/ui/TFMain.h"
#include "core/user_mode.h"
#include "app/workspace_setup.h"
#include "data/demo_directory.h"
#include "base/interaction.h"
#include "base/path_resolver.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QUrl>

namespace zedora {

std::unique_ptr<TFMain> startProgram(AppContext& ctx, const QStringList& arguments,
                                     PasswordPrompts& prompts)
{
    const StartParameter parameter =
        parseStartParameter(arguments.size() > 1 ? arguments.at(1) : QString());
    ctx.recovery = parameter.kind == StartParameter::Kind::Recovery;
    const QString workspace = chooseWorkspace(parameter, ctx.paths.defaultWorkspace, ctx.ui);
    QDir().mkpath(workspace);
    if (!QFileInfo(workspace).isDir() || !QFileInfo(workspace).isWritable()) {
        // The program still starts, so that data can be looked at and
        // printed; every later write reports its own failure.
        ctx.ui.error(QStringLiteral("Das Arbeitsverzeichnis ") + workspace
                     + QStringLiteral(" ist nicht vorhanden oder schreibgeschützt!\n\n")
                     + QStringLiteral("Einstellungen und Daten können nicht gespeichert werden."));
    }
    // The register lives in the workspace actually used, so that a shared
    // workspace logs its own files.
    ctx.openWorkspace(workspace);
    installShippedTemplates(ctx.paths.programDir, ctx.workspace, *ctx.files);

    ctx.settingsFiles->read(ctx.settings, ctx.recovery);

    auto window = std::make_unique<TFMain>(ctx, prompts);
    window->prepareFromSettings();
    window->findChild<QTabWidget*>(QStringLiteral("allreg"))->setCurrentIndex(0);

    ctx.createdFiles->endDefer();
    if (!checkStartPassword(ctx.settings.passwords, ctx.ui, prompts)) {
        window->close();
        return nullptr;
    }
    if (workspaceSetupNeeded(ctx.workspace))
        runWorkspaceSetup(ctx.paths.programDir, ctx.workspace, *ctx.files);
    if (postUpdatePending(ctx.paths.programDir, ctx.workspace) || ctx.recovery) {
        runPostUpdateStep(ctx.paths.programDir, ctx.workspace, *ctx.files, ctx.ui);
        ctx.recovery = false;
        ctx.postUpdateRan = true;
    }

    ctx.userMode.setModeAtStart();
    window->setUserMode(ctx.userMode.isAdministrator());

    ctx.helpTexts = HelpTexts::load(resolveIn(ctx.paths.programDir, QStringLiteral("HELPTEXT.TXT")));

    if (ctx.settings.NotenDatei.trimmed().isEmpty() || !pathExists(ctx.settings.NotenDatei))
        ctx.settings.NotenDatei = rebuildDemoDirectory(ctx.workspace, *ctx.files);

    window->setHelpTextsShown(ctx.settings.MitHilfe);
    window->fillDataDirectoryList();
    if (!window->openLastStudentFile())
        return nullptr;

    if (ctx.postUpdateRan) {
        const QString history = resolveIn(ctx.paths.programDir, QStringLiteral("PDF\\ZDR_HISTORY_7.PDF"));
        if (QFileInfo::exists(history))
            QDesktopServices::openUrl(QUrl::fromLocalFile(history));
        ctx.postUpdateRan = false;
    }
    ctx.createdFiles->endDefer();
    return window;
}

} // namespace zedora
