#pragma once
// The main window's menu bar and its two popup menus (the entry table's
// PopupMenu1 and the name grid's PopupMenu3). Every item carries its object
// name; items whose function is not built yet are registered as unavailable.
#include <QHash>
#include <QString>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace zedora {

class AdminCommands;
class PasswordPrompts;
class UserMode;

struct MainMenu {
    QMenuBar* bar = nullptr;
    QMenu* tablePopup = nullptr;     // PopupMenu1, for DBGrid1
    QMenu* fixedGridPopup = nullptr; // PopupMenu3, for DBGrid2
    // Radio groups: Tabelle / Einzel / Stamm, menverti / menhori, the three
    // sort orders, Supervisor1 / NormalerAnwender1.
    QActionGroup* pages = nullptr;
    QActionGroup* entryDirection = nullptr;
    QActionGroup* sortOrder = nullptr;
    QActionGroup* userMode = nullptr;
    // Every item and every menu's own action, by object name.
    QHash<QString, QAction*> actions;
    QHash<QString, QMenu*> menus;

    // nullptr for an unknown name.
    QAction* action(const QString& objectName) const { return actions.value(objectName); }
    QMenu* menu(const QString& objectName) const { return menus.value(objectName); }
    // The sort-order items in the order of the setting Sortierung (1, 2, 3).
    QAction* sortItem(int sortOrderValue) const;
};

// Builds the menu bar into window (setMenuBar) and the popup menus, and
// registers every item in commands. Items with a shortcut that live only in
// a popup are also added to window so their keys work.
MainMenu buildMainMenu(QMainWindow& window, AdminCommands& commands);

// The menu "A&nwender": "&Systembetreuer" asks for the administrator password
// when needed, "&Normaler Anwender" switches the mode off; every mode change
// updates the registered commands and the ticks. prompts must outlive window.
void connectUserModeMenu(const MainMenu& menu, UserMode& mode, AdminCommands& commands,
                         PasswordPrompts& prompts);

} // namespace zedora
