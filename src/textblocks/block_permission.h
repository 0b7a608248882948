#pragma once
// Who may change text blocks: everybody when TBSFuerAlle is on, otherwise
// only the system administrator.
namespace zedora {

class Interaction;
class UserMode;
struct Settings;

// Shows "Nur dem Systembetreuer erlaubt!" when refused.
bool mayChangeBlocks(const Settings& settings, const UserMode& mode, Interaction& ui);

} // namespace zedora
