#pragma once
// The two user modes (normal user, system administrator) and the checks of
// the start and administrator passwords. The dialogs are reached through
// PasswordPrompts, every message through the interaction seam.
#include "core/passwords.h"

#include <QObject>
#include <QString>

namespace zedora {

class Interaction;

// The administrator's password dialog: what was typed and how it was closed.
struct AdminPasswordAnswer {
    QString entry;
    bool accepted = false; // OK (true) or Cancel / closed (false)
};

class PasswordPrompts {
public:
    virtual ~PasswordPrompts() = default;
    // The start dialog; returns what was typed, however it was closed.
    virtual QString askStartPassword() = 0;
    virtual AdminPasswordAnswer askAdminPassword() = 0;
};

// Asks for the start password when one is set, at most three times.
// Returns whether the program may start.
bool checkStartPassword(const Passwords& passwords, Interaction& ui, PasswordPrompts& prompts);

// One password pair of the settings dialog ("Neues Kennwort:" / "Wiederholen:").
struct PasswordPairEntry {
    QString newPassword;
    QString repeated;
    bool touched = false;
};

// The dialog's texts before any typing; the pair then counts as untouched.
inline constexpr const char* kPairPresetNew = "Z";
inline constexpr const char* kPairPresetRepeat = "G";

// Applies the touched pairs of the settings dialog to the passwords (the
// administrator pair first) and tells the user what became of each.
void applyPasswordPairs(Passwords& passwords, Interaction& ui,
                        const PasswordPairEntry& adminPair, const PasswordPairEntry& startPair);

// The current user mode for the run.
class UserMode : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kAdminOnlyText = "Diese Funktion ist im Systembetreuermodus möglich!";

    UserMode(Passwords& passwords, Interaction& ui, QObject* parent = nullptr);

    bool isAdministrator() const { return administrator_; }
    // Emits modeChanged every time, so menus can re-tick their items.
    void setAdministrator(bool on);
    // After the start password check: administrator when no administrator password is set.
    void setModeAtStart();

    // Granted at once without an administrator password or in administrator
    // mode; otherwise asks. Does not change the mode.
    bool requestAdministratorMode(PasswordPrompts& prompts);
    // The menu item "&Systembetreuer": request, then set the mode to the answer.
    void switchToAdministrator(PasswordPrompts& prompts);

    // For operations reserved to the administrator: in normal-user mode shows
    // the refusal box and returns false.
    bool requireAdministrator();

signals:
    void modeChanged(bool administrator);

private:
    Passwords& passwords_;
    Interaction& ui_;
    bool administrator_ = false;
};

} // namespace zedora
