#include "core/user_mode.h"
#include "base/scripted_interaction.h"

#include <QQueue>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zedora;
using Kind = ScriptedInteraction::Kind;

namespace {

// Answers the password dialogs from queues and counts how often they came.
struct ScriptedPrompts : PasswordPrompts {
    QQueue<QString> startEntries;
    QQueue<AdminPasswordAnswer> adminAnswers;
    int startAsked = 0;
    int adminAsked = 0;

    QString askStartPassword() override
    {
        ++startAsked;
        return startEntries.isEmpty() ? QString() : startEntries.dequeue();
    }
    AdminPasswordAnswer askAdminPassword() override
    {
        ++adminAsked;
        return adminAnswers.isEmpty() ? AdminPasswordAnswer{} : adminAnswers.dequeue();
    }
};

QStringList errors(const ScriptedInteraction& ui)
{
    QStringList out;
    for (const auto& s : ui.shown)
        if (s.kind == Kind::Error)
            out << s.text;
    return out;
}

} // namespace

TEST(StartPassword, BlankPasswordMeansNoPrompt)
{
    for (const QString& stored : {QString(), QStringLiteral("   ")}) {
        Passwords pw;
        pw.start = stored;
        ScriptedInteraction ui;
        ScriptedPrompts prompts;
        EXPECT_TRUE(checkStartPassword(pw, ui, prompts));
        EXPECT_EQ(prompts.startAsked, 0);
        EXPECT_TRUE(ui.shown.isEmpty());
    }
}

TEST(StartPassword, MatchIsTrimmedAndCaseFree)
{
    Passwords pw;
    pw.start = QStringLiteral("GEHEIM ");
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    prompts.startEntries << QStringLiteral("  geheim");
    EXPECT_TRUE(checkStartPassword(pw, ui, prompts));
    EXPECT_EQ(prompts.startAsked, 1);
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST(StartPassword, SecondAttemptAfterOneMiss)
{
    Passwords pw;
    pw.start = QStringLiteral("GEHEIM");
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    prompts.startEntries << QStringLiteral("FALSCH") << QStringLiteral("GEHEIM");
    EXPECT_TRUE(checkStartPassword(pw, ui, prompts));
    EXPECT_EQ(prompts.startAsked, 2);
    EXPECT_EQ(errors(ui), QStringList{QStringLiteral("Falsches Passwort!\n\n")});
}

TEST(StartPassword, ThreeMissesEndTheStart)
{
    Passwords pw;
    pw.start = QStringLiteral("GEHEIM");
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    // An empty entry (the dialog closed with "&Abbruch") counts like a wrong one.
    prompts.startEntries << QString() << QStringLiteral("GEHEIMX") << QStringLiteral("GEHEI");
    prompts.startEntries << QStringLiteral("GEHEIM"); // never asked for
    EXPECT_FALSE(checkStartPassword(pw, ui, prompts));
    EXPECT_EQ(prompts.startAsked, 3);
    EXPECT_EQ(errors(ui), (QStringList{QStringLiteral("Falsches Passwort!\n\n"),
                                       QStringLiteral("Versuch 2: Falsches Passwort!\n\n"),
                                       QString::fromUtf8("Versuch 3: falsches Passwort!\n\n"
                                                         "Programmstart nicht möglich!\n")}));
    EXPECT_EQ(ui.shown.size(), 3);
}

TEST(UserMode, ModeAtStartFollowsAdministratorPassword)
{
    ScriptedInteraction ui;
    Passwords pw;
    UserMode mode(pw, ui);
    QSignalSpy spy(&mode, &UserMode::modeChanged);
    pw.admin = QStringLiteral("  ");
    mode.setModeAtStart();
    EXPECT_TRUE(mode.isAdministrator());
    pw.admin = QStringLiteral("CHEF");
    mode.setModeAtStart();
    EXPECT_FALSE(mode.isAdministrator());
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toBool(), true);
    EXPECT_EQ(spy.at(1).at(0).toBool(), false);
}

TEST(UserMode, RequestWithoutPasswordOrInAdministratorModeIsGrantedAtOnce)
{
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    Passwords pw;
    UserMode mode(pw, ui);
    mode.setAdministrator(false);
    EXPECT_TRUE(mode.requestAdministratorMode(prompts)); // no password
    pw.admin = QStringLiteral("CHEF");
    mode.setAdministrator(true);
    EXPECT_TRUE(mode.requestAdministratorMode(prompts)); // already administrator
    EXPECT_EQ(prompts.adminAsked, 0);
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST(UserMode, RequestGrantedRefusedAndCancelled)
{
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    Passwords pw;
    pw.admin = QStringLiteral("CHEF");
    UserMode mode(pw, ui);
    mode.setModeAtStart();

    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("chef "), true};
    EXPECT_TRUE(mode.requestAdministratorMode(prompts));
    EXPECT_TRUE(pw.adminWritable);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_FALSE(mode.isAdministrator()); // the request alone does not switch

    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("CHEFIN"), true};
    EXPECT_FALSE(mode.requestAdministratorMode(prompts));
    EXPECT_FALSE(pw.adminWritable);
    EXPECT_EQ(errors(ui), QStringList{QString::fromUtf8(
                              " F A L S C H E S    K E N N W O R T \n\n"
                              "Sie haben weiterhin den Status des normalen Anwenders!\n")});

    ui.clear();
    // Cancel refuses silently; the flag still follows what was typed.
    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("CHEF"), false};
    EXPECT_FALSE(mode.requestAdministratorMode(prompts));
    EXPECT_TRUE(pw.adminWritable);
    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("X"), false};
    EXPECT_FALSE(mode.requestAdministratorMode(prompts));
    EXPECT_FALSE(pw.adminWritable);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(prompts.adminAsked, 4);
}

TEST(UserMode, SwitchingToNormalUserForgetsTheGrant)
{
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    Passwords pw;
    pw.admin = QStringLiteral("CHEF");
    UserMode mode(pw, ui);
    mode.setModeAtStart();

    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("CHEF"), true};
    mode.switchToAdministrator(prompts);
    EXPECT_TRUE(mode.isAdministrator());
    mode.switchToAdministrator(prompts); // no second question while on
    EXPECT_EQ(prompts.adminAsked, 1);

    mode.setAdministrator(false);
    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("FALSCH"), true};
    mode.switchToAdministrator(prompts);
    EXPECT_EQ(prompts.adminAsked, 2);
    EXPECT_FALSE(mode.isAdministrator());
}

TEST(UserMode, AdministratorOnlyRefusal)
{
    ScriptedInteraction ui;
    Passwords pw;
    UserMode mode(pw, ui);
    mode.setAdministrator(false);
    EXPECT_FALSE(mode.requireAdministrator());
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, Kind::Info);
    EXPECT_EQ(ui.shown[0].text, QString::fromUtf8("Diese Funktion ist im Systembetreuermodus möglich!"));
    ui.clear();
    mode.setAdministrator(true);
    EXPECT_TRUE(mode.requireAdministrator());
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST(PasswordPairs, UntouchedPairsLeaveThePasswords)
{
    ScriptedInteraction ui;
    Passwords pw;
    pw.admin = QStringLiteral("CHEF");
    pw.start = QStringLiteral("START");
    applyPasswordPairs(pw, ui, {QStringLiteral("Z"), QStringLiteral("G"), false}, {QString(), QString(), false});
    EXPECT_EQ(pw.admin, QStringLiteral("CHEF"));
    EXPECT_EQ(pw.start, QStringLiteral("START"));
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST(PasswordPairs, DifferingEntriesKeepTheOldPassword)
{
    ScriptedInteraction ui;
    Passwords pw;
    pw.admin = QStringLiteral("CHEF");
    pw.start = QStringLiteral("START");
    // Only "Neues Kennwort:" typed: "Wiederholen:" still holds its preset.
    applyPasswordPairs(pw, ui, {QStringLiteral("NEU"), QString::fromLatin1(kPairPresetRepeat), true},
                       {QStringLiteral("A"), QStringLiteral("B"), true});
    EXPECT_EQ(pw.admin, QStringLiteral("CHEF"));
    EXPECT_EQ(pw.start, QStringLiteral("START"));
    EXPECT_EQ(ui.messages(), (QStringList{QStringLiteral("Kennworteingabe-Systembetreuer nicht identisch!"),
                                          QStringLiteral("Kennworteingabe-Start nicht identisch!")}));
}

TEST(PasswordPairs, NewAndClearedPasswords)
{
    ScriptedInteraction ui;
    Passwords pw;
    pw.admin = QStringLiteral("CHEF");
    pw.start = QStringLiteral("START");
    applyPasswordPairs(pw, ui, {QStringLiteral("  NEU1 "), QStringLiteral("NEU1"), true},
                       {QStringLiteral("  "), QString(), true});
    EXPECT_EQ(pw.admin, QStringLiteral("NEU1"));
    EXPECT_EQ(pw.start, QString());
    EXPECT_EQ(ui.messages(), (QStringList{QStringLiteral("Neues Systembetreuerkennwort aktiv!"),
                                          QStringLiteral("Kein Startkennwort aktiv!")}));

    ui.clear();
    applyPasswordPairs(pw, ui, {QString(), QString(), true}, {QStringLiteral("abcdefghijkl"),
                                                               QStringLiteral("abcdefghijkl"), true});
    EXPECT_EQ(pw.admin, QString());
    // Held as the field would have taken it: upper case, ten characters.
    EXPECT_EQ(pw.start, QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(ui.messages(), (QStringList{QStringLiteral("Kein Systembetreuerkennwort aktiv!"),
                                          QStringLiteral("Neues Startkennwort aktiv!")}));
}

TEST(PasswordPairs, ClearedAdministratorPasswordStartsInAdministratorMode)
{
    ScriptedInteraction ui;
    Passwords pw;
    pw.admin = QStringLiteral("CHEF");
    applyPasswordPairs(pw, ui, {QString(), QString(), true}, {});
    UserMode mode(pw, ui);
    mode.setModeAtStart();
    EXPECT_TRUE(mode.isAdministrator());
}
