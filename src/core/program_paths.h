#pragma once
// Where the program and its workspace live on this computer.
#include <QString>

namespace zedora {

struct ProgramPaths {
    // The program's data folder: help texts, manuals below PDF/, the MUSTER
    // templates and the post-update marker. Beside an installed or built
    // binary this is ../share; a binary without it uses its own folder.
    QString programDir;
    // Default workspace: $ZEDORA_WORKSPACE, else the user's data folder +
    // Tolvo/Zedora/. Always ends in '/'.
    QString defaultWorkspace;
    // The computer's name, at most 25 characters, trimmed.
    QString computerName;
};

ProgramPaths detectProgramPaths(const QString& executableDir);

// The directory with a trailing '/'.
QString withTrailingSlash(const QString& dir);

} // namespace zedora
