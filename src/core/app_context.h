#pragma once
// The state of one run of the program: paths, settings, the created-files
// register and the user mode. Made once at start and handed to the windows,
// so a test can build a whole, isolated program state in a temporary
// workspace.
#include "core/held_tables.h"
#include "core/help_texts.h"
#include "core/program_paths.h"
#include "core/settings.h"
#include "core/settings_files.h"
#include "core/user_mode.h"
#include "base/created_files_register.h"
#include "base/workspace_files.h"

#include <memory>

namespace zedora {

class Interaction;

class AppContext {
public:
    // Chooses nothing yet: openWorkspace() fixes the workspace.
    AppContext(Interaction& ui, ProgramPaths paths);
    ~AppContext();

    // Fixes the workspace and creates what lives in it: the register with
    // its two lists and the settings files of this computer.
    void openWorkspace(const QString& workspaceDir);

    Interaction& ui;
    const ProgramPaths paths;
    QString workspace;  // with a trailing '/'
    std::unique_ptr<TNeueDateien> createdFiles;
    std::unique_ptr<WorkspaceFiles> files;
    std::unique_ptr<SettingsFiles> settingsFiles;
    Settings settings;
    UserMode userMode;
    HelpTexts helpTexts;
    HeldTables heldTables;

    bool recovery = false;       // FEHLER parameter, until the post-update step
    bool postUpdateRan = false;  // until the end of the start routine
};

} // namespace zedora
