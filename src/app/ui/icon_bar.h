#pragma once
// The icon bar of the main window (Panel1): two rows of tool buttons.
#include <QHash>
#include <QIcon>
#include <QString>

class QAction;
class QFrame;
class QHBoxLayout;
class QToolButton;
class QWidget;

namespace zedora {

class AdminCommands;

struct IconBar {
    QFrame* panel = nullptr;               // Panel1
    QHBoxLayout* schoolYearSlot = nullptr; // the place of the school-year box sjbox
    QHash<QString, QToolButton*> buttons;  // by object name

    // nullptr for an unknown name.
    QToolButton* button(const QString& objectName) const { return buttons.value(objectName); }
};

// Builds Panel1 with its buttons and registers them in commands; buttons
// whose function is not built yet are registered as unavailable.
IconBar buildIconBar(QWidget* parent, AdminCommands& commands);

// The menu item that hides and shows the icon bar; its caption says what a
// click will do.
void attachIconBarToggle(QAction& toggle, QWidget& panel);

// The small pictures of the icon bar, drawn so they look alike everywhere.
enum class Glyph {
    History, Printer, Preview, SmallPage, TextBlocks, GlobalChange, Search, Filter,
    Export, Import, Settings, Layout, Columns, Lock, Unlock, SingleStudent, Refresh, Exit,
};
QIcon glyphIcon(Glyph glyph);

} // namespace zedora
