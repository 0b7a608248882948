#include "entry/change_check.h"

#include "base/interaction.h"

namespace zedora {

void showRefusal(const ChangeCheckResult& result, Interaction& ui)
{
    if (result.outcome != ChangeCheckResult::Outcome::Refused)
        return;
    if (result.asWarning) {
        ui.beep();
        ui.warning(result.message);
    } else {
        ui.refusal(result.message);
    }
}

} // namespace zedora
