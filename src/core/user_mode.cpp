#include "core/user_mode.h"

#include "base/ansi_text.h"
#include "base/interaction.h"

namespace zedora {
namespace {

constexpr int kMaxPasswordLength = 10;

QString comparable(const QString& text) { return upperAscii(text.trimmed()); }

// Handles one touched pair; the texts name the password in the messages.
void applyPair(QString& password, Interaction& ui, const PasswordPairEntry& pair,
               const char* notIdentical, const char* activated, const char* none)
{
    if (!pair.touched)
        return;
    const QString first = pair.newPassword.trimmed();
    if (first != pair.repeated.trimmed()) {
        ui.info(QString::fromUtf8(notIdentical));
        return;
    }
    if (first.isEmpty()) {
        password.clear();
        ui.info(QString::fromUtf8(none));
        return;
    }
    // The fields upper-case and limit what is typed; text set otherwise is held the same way.
    password = upperAscii(first.left(kMaxPasswordLength)).trimmed();
    ui.info(QString::fromUtf8(activated));
}

} // namespace

bool checkStartPassword(const Passwords& passwords, Interaction& ui, PasswordPrompts& prompts)
{
    const QString expected = comparable(passwords.start);
    if (expected.isEmpty())
        return true;
    static const char* const misses[] = {
        "Falsches Passwort!\n\n",
        "Versuch 2: Falsches Passwort!\n\n",
        "Versuch 3: falsches Passwort!\n\nProgrammstart nicht möglich!\n",
    };
    for (const char* miss : misses) {
        if (comparable(prompts.askStartPassword()) == expected)
            return true;
        ui.error(QString::fromUtf8(miss));
    }
    return false;
}

void applyPasswordPairs(Passwords& passwords, Interaction& ui,
                        const PasswordPairEntry& adminPair, const PasswordPairEntry& startPair)
{
    applyPair(passwords.admin, ui, adminPair, "Kennworteingabe-Systembetreuer nicht identisch!",
              "Neues Systembetreuerkennwort aktiv!", "Kein Systembetreuerkennwort aktiv!");
    applyPair(passwords.start, ui, startPair, "Kennworteingabe-Start nicht identisch!",
              "Neues Startkennwort aktiv!", "Kein Startkennwort aktiv!");
}

UserMode::UserMode(Passwords& passwords, Interaction& ui, QObject* parent)
    : QObject(parent), passwords_(passwords), ui_(ui)
{
}

void UserMode::setAdministrator(bool on)
{
    administrator_ = on;
    emit modeChanged(on);
}

void UserMode::setModeAtStart()
{
    setAdministrator(passwords_.admin.trimmed().isEmpty());
}

bool UserMode::requestAdministratorMode(PasswordPrompts& prompts)
{
    const QString expected = comparable(passwords_.admin);
    if (expected.isEmpty() || administrator_)
        return true;
    const AdminPasswordAnswer answer = prompts.askAdminPassword();
    const bool match = comparable(answer.entry) == expected;
    passwords_.adminWritable = match;
    if (!answer.accepted)
        return false;
    if (!match) {
        ui_.error(QString::fromUtf8(" F A L S C H E S    K E N N W O R T \n\n"
                                    "Sie haben weiterhin den Status des normalen Anwenders!")
                  + "\n");
        return false;
    }
    return true;
}

void UserMode::switchToAdministrator(PasswordPrompts& prompts)
{
    setAdministrator(requestAdministratorMode(prompts));
}

bool UserMode::requireAdministrator()
{
    if (administrator_)
        return true;
    ui_.info(QString::fromUtf8(kAdminOnlyText));
    return false;
}

} // namespace zedora
