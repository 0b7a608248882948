#include "core/ui/admin_commands.h"
#include "app/ui/icon_bar.h"
#include "core/ui/main_menu.h"
#include "core/user_mode.h"
#include "base/scripted_interaction.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QQueue>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

struct ScriptedPrompts : PasswordPrompts {
    QQueue<AdminPasswordAnswer> adminAnswers;
    int adminAsked = 0;
    QString askStartPassword() override { return {}; }
    AdminPasswordAnswer askAdminPassword() override
    {
        ++adminAsked;
        return adminAnswers.isEmpty() ? AdminPasswordAnswer{} : adminAnswers.dequeue();
    }
};

// The main window's administrator commands.
const char* const kAdminCommands[] = {
    "Einstellungen2", "MEin1", "Layoutbearbeiten2", "MEin3", "MEin4", "Voreinstellungen1",
    "SpeedButton16", "BtnSichern", "SpeedButton18", "MitDatenimportvonSchlerdatei1",
    "ErstelleeineleereDatei1", "SpeichUnter", "Dateienlschen1", "Komplett",
    "Archivdateienbearbeiten1", "Druckereinrichtung1", "OnlineUpdate1", "StammEd", "maend",
    "mloesch", "merg", "StatistikberaktuelleSpalte1",
    "StatistikberFehltageimgesmatenDatenverzeichnisZE1",
    "StatistikberAbschlsseimgesamtenDatenbverzeichnisZE1", "StatistikberaktuelleSpalte3",
    "StatistikberFehltageimgesamtenVerzeichnis1", "StatitistikberAbschlsseimgesamtenVerzeichnis1",
    "Notenstatistiken1",
};

class MainMenuTest : public ::testing::Test {
protected:
    MainMenuTest() : mode(passwords, ui)
    {
        menu = buildMainMenu(window, commands);
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        bar = buildIconBar(central, commands);
        layout->addWidget(bar.panel);
        layout->addStretch(1);
        window.setCentralWidget(central);
        attachIconBarToggle(*menu.action(QStringLiteral("Leiste")), *bar.panel);
        passwords.admin = QStringLiteral("CHEF");
        mode.setModeAtStart();
        connectUserModeMenu(menu, mode, commands, prompts);
    }

    QObject* command(const char* name)
    {
        QObject* found = window.findChild<QAction*>(QString::fromLatin1(name));
        if (!found)
            found = window.findChild<QToolButton*>(QString::fromLatin1(name));
        return found;
    }
    static bool enabled(QObject* item)
    {
        if (auto* a = qobject_cast<QAction*>(item))
            return a->isEnabled();
        return qobject_cast<QWidget*>(item)->isEnabled();
    }
    QAction* act(const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }

    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    Passwords passwords;
    UserMode mode;
    AdminCommands commands;
    QMainWindow window;
    MainMenu menu;
    IconBar bar;
};

} // namespace

TEST_F(MainMenuTest, MenusCaptionsAndShortcuts)
{
    QStringList titles;
    for (QAction* a : window.menuBar()->actions())
        if (a->menu())
            titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "D&rucken", "&Import / Export",
                                   "E&xtras", "&Statistiken", "&Einstellungen", "A&nwender", "&Hilfe"}));

    struct Expected { const char* name; const char* caption; const char* keys; };
    const Expected sample[] = {
        {"MitDatenimportvonSchlerdatei1", "... mit Datenimport von Schülerdatei ...", "Shift+F2"},
        {"MEin1", "&Allgemeine Einstellungen ...", ""},
        {"StammEd", "Stammdaten &editieren ein / aus", "F4"},
        {"merg", "Datensatz &ergänzen ...", "Shift+F10"},
        {"mloesch", "Datensatz &löschen ...", "Ctrl+Del"},
        {"Schlerinsuchen1", "Schüler(-in)  &suchen ...", "Alt+F3"},
        {"Global", "&Globales Ändern im Datenfeld ...", "F5"},
        {"SpaLoesch1", "Einträge in Spalte löschen ...", "Alt+F8"},
        {"Leiste", "&Iconleiste ausblenden", "Alt+F7"},
        {"Notenstatistiken1", "Notenstatistiken ...", "F11"},
        {"Spalteninformation1", "Spalteninformation ...", "F10"},
        {"SperrungfraktuelleSpalteaufheben1", "Sperrung für aktuelle Spalte aufheben / setzen", "F2"},
        {"Supervisor1", "&Systembetreuer", "Alt+S"},
        {"NormalerAnwender1", "&Normaler Anwender", "Alt+N"},
        {"sortGirlsBoys", "   - &Mädchen/Jungen", ""},
        {"readRecord", "Schülerdaten&satz aus einer anderen Datei einlesen ... ", ""},
    };
    for (const Expected& e : sample) {
        QAction* a = act(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(e.keys))) << e.name;
    }
    EXPECT_EQ(menu.sortItem(3), act("sortAlphabet"));
    EXPECT_EQ(menu.sortItem(4), nullptr);

    // The rollover sits in two menus as one command.
    QAction* rollover = act("SpeichUnter");
    EXPECT_TRUE(menu.menu("fileMenu")->actions().contains(rollover));
    EXPECT_TRUE(menu.menu("exchangeMenu")->actions().contains(rollover));

    // Object names are unique, so findChild finds the one meant.
    QSet<QString> names;
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->objectName().isEmpty() || a->menu())
            continue;
        EXPECT_FALSE(names.contains(a->objectName())) << a->objectName().toStdString();
        names.insert(a->objectName());
    }
}

TEST_F(MainMenuTest, AdministratorCommandsFollowTheModeAndAvailability)
{
    for (const char* name : kAdminCommands) {
        QObject* item = command(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_TRUE(commands.isAdminOnly(item)) << name;
        EXPECT_FALSE(enabled(item)) << name;
    }
    // Functions that are not built yet stay disabled in administrator mode.
    mode.setAdministrator(true);
    EXPECT_TRUE(enabled(command("Einstellungen2")));
    EXPECT_FALSE(enabled(command("MEin1")));
    EXPECT_FALSE(enabled(command("SpeedButton16")));
    for (const char* name : kAdminCommands)
        commands.setAvailable(command(name), true);
    for (const char* name : kAdminCommands)
        EXPECT_TRUE(enabled(command(name))) << name;

    mode.setAdministrator(false);
    for (const char* name : kAdminCommands)
        EXPECT_FALSE(enabled(command(name))) << name;

    // Commands for everyone do not depend on the mode.
    for (const char* name : {"Beenden1", "Leiste", "Hilfetexteanzeigen1"})
        EXPECT_TRUE(enabled(command(name))) << name;
    EXPECT_TRUE(enabled(command("SpeedButton1")));
    EXPECT_FALSE(enabled(command("Global")));
    commands.setAvailable(command("Global"), true);
    EXPECT_TRUE(enabled(command("Global")));
}

TEST_F(MainMenuTest, ControlsOfOtherWindowsRegisterToo)
{
    auto* button = new QToolButton(&window);
    commands.addAdminOnly(button);
    EXPECT_FALSE(button->isEnabled());
    mode.setAdministrator(true);
    EXPECT_TRUE(button->isEnabled());
    delete button; // windows created per use go away again
    mode.setAdministrator(false);
    EXPECT_FALSE(commands.isAdminOnly(button));
}

TEST_F(MainMenuTest, UserMenuTicksTheModeInForce)
{
    QAction* supervisor = act("Supervisor1");
    QAction* normal = act("NormalerAnwender1");
    EXPECT_TRUE(normal->isChecked());
    EXPECT_FALSE(supervisor->isChecked());

    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("FALSCH"), true};
    supervisor->trigger();
    EXPECT_FALSE(mode.isAdministrator());
    EXPECT_TRUE(normal->isChecked());
    EXPECT_FALSE(supervisor->isChecked());
    EXPECT_EQ(ui.shown.size(), 1);

    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("chef"), true};
    supervisor->trigger();
    EXPECT_TRUE(mode.isAdministrator());
    EXPECT_TRUE(supervisor->isChecked());
    EXPECT_FALSE(normal->isChecked());
    EXPECT_TRUE(enabled(command("Einstellungen2")));

    normal->trigger();
    EXPECT_FALSE(mode.isAdministrator());
    EXPECT_TRUE(normal->isChecked());
    EXPECT_FALSE(enabled(command("Einstellungen2")));

    // Back to the administrator: the password is asked again, here cancelled.
    supervisor->trigger();
    EXPECT_EQ(prompts.adminAsked, 3);
    EXPECT_FALSE(mode.isAdministrator());
    EXPECT_TRUE(normal->isChecked());
}

TEST_F(MainMenuTest, AltSAndAltNWinOverTheMenuTitles)
{
    window.resize(1280, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    prompts.adminAnswers << AdminPasswordAnswer{QStringLiteral("CHEF"), true};
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(prompts.adminAsked, 1);
    EXPECT_TRUE(mode.isAdministrator());
    QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
    EXPECT_FALSE(mode.isAdministrator());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(MainMenuTest, LeisteHidesAndShowsTheIconBar)
{
    QAction* leiste = act("Leiste");
    QFrame* panel = window.findChild<QFrame*>(QStringLiteral("Panel1"));
    ASSERT_EQ(panel, bar.panel);
    leiste->trigger();
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(leiste->text(), QStringLiteral("&Iconleiste einblenden"));
    leiste->trigger();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(leiste->text(), QStringLiteral("&Iconleiste ausblenden"));
}

TEST_F(MainMenuTest, IconBarHasTwoRowsThatFitTheWindow)
{
    struct Expected { const char* name; const char* text; const char* hint; };
    const Expected sample[] = {
        {"SpeedButton4", "Historie", "Historie"},
        {"SpeedButton5", "Global Ändern F5", "Global Ändern F5"},
        {"smallPreviewButton", "Kleine Seite", "Ganze Seite im kleinen Fenster"},
        {"FilterButton", "Filter inaktiv", "Wenn Filter aktiv, keine Datenbearbeitung möglich!"},
        {"SpeedButton18", "Spalten ändern", "Spalten ändern"},
    };
    for (const Expected& e : sample) {
        QToolButton* b = bar.button(QString::fromLatin1(e.name));
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->text(), QString::fromUtf8(e.text));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(e.hint));
    }
    ASSERT_NE(bar.schoolYearSlot, nullptr);

    window.resize(1280, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSet<int> rows;
    for (QToolButton* b : bar.buttons) {
        rows.insert(b->y());
        EXPECT_LE(b->geometry().right(), bar.panel->width()) << b->objectName().toStdString();
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }
    EXPECT_EQ(rows.size(), 2);

    // A narrow window keeps the icons and moves the captions into the tool tips.
    window.resize(700, 600);
    QApplication::processEvents();
    EXPECT_EQ(bar.button(QStringLiteral("SpeedButton4"))->toolButtonStyle(), Qt::ToolButtonIconOnly);
}
