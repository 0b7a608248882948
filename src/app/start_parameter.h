#pragma once
// The first command-line argument: /P:<directory> for a shared workspace,
// or any text containing FEHLER for a recovery start.
#include <QString>

namespace zedora {

class Interaction;

struct StartParameter {
    enum class Kind { None, Network, Recovery };
    Kind kind = Kind::None;
    QString candidate;  // Network: the directory named, with a trailing '/'
};

StartParameter parseStartParameter(const QString& firstArgument);

// Decides the workspace: the /P: candidate when it holds ZEDORA.INI,
// otherwise the default after a warning. Shows the recovery notice.
QString chooseWorkspace(const StartParameter& parameter, const QString& defaultWorkspace,
                        Interaction& ui);

} // namespace zedora
