#include "core/app_context.h"

#include "core/program_paths.h"
#include "base/path_resolver.h"

namespace zedora {

AppContext::AppContext(Interaction& interaction, ProgramPaths programPaths)
    : ui(interaction), paths(std::move(programPaths)), userMode(settings.passwords, interaction)
{
}

AppContext::~AppContext() = default;

void AppContext::openWorkspace(const QString& workspaceDir)
{
    workspace = withTrailingSlash(workspaceDir);
    createdFiles = std::make_unique<TNeueDateien>(
        resolveIn(workspace, QStringLiteral("angelegteDateien.txt")),
        resolveIn(workspace, QStringLiteral("angelegteVerzeichnisse.txt")));
    files = std::make_unique<WorkspaceFiles>(*createdFiles);
    settingsFiles = std::make_unique<SettingsFiles>(workspace, paths.computerName, ui);
    settingsFiles->setProgramDirectory(paths.programDir);
    settingsFiles->setWrittenCallback(
        [this](const QString& path) { createdFiles->registerFile(path); });
}

} // namespace zedora
