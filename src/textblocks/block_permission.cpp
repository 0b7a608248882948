#include "textblocks/block_permission.h"

#include "base/interaction.h"
#include "core/settings.h"
#include "core/user_mode.h"

namespace zedora {

bool mayChangeBlocks(const Settings& settings, const UserMode& mode, Interaction& ui)
{
    if (settings.TBSFuerAlle || mode.isAdministrator())
        return true;
    ui.info(QStringLiteral("Nur dem Systembetreuer erlaubt!\n\n"));
    return false;
}

} // namespace zedora
