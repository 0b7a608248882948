#include "entry/ui/master_data_commands.h"

#include "core/app_context.h"
#include "core/ui/main_frame.h"
#include "core/ui/admin_commands.h"
#include "core/ui/help_line.h"
#include "core/ui/main_menu.h"
#include "entry/ui/master_data_page.h"
#include "base/interaction.h"
#include "data/current_student_file.h"
#include "data/student_identity.h"
#include "data/student_table.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace zedora {

namespace {

constexpr int kMasterDataPage = 2;

// Posts the pending edit; an engine refusal is shown instead of escaping
// into the event loop, and the edit stays pending.
bool savePending(StudentTable& table, Interaction& ui)
{
    try {
        return table.savePending();
    } catch (const std::exception& e) {
        ui.error(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:\n")
                 + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

} // namespace

MasterDataCommands::MasterDataCommands(MainFrame& frame, MasterDataPage& page)
    : QObject(&frame.window()), frame_(frame), page_(page)
{
    AdminCommands& admin = frame.adminCommands();
    const MainMenu& menu = frame.menu();
    if (QAction* toggle = menu.action(QStringLiteral("StammEd"))) {
        connect(toggle, &QAction::triggered, this, [this] { toggleEditing(); });
        admin.setAvailable(toggle, true);
    }
    const auto command = [&](const char* name, void (MasterDataCommands::*run)()) {
        if (QAction* a = menu.action(QLatin1String(name)))
            connect(a, &QAction::triggered, this, run);
    };
    command("merg", &MasterDataCommands::addRecord);
    command("maend", &MasterDataCommands::changeRecord);
    command("mloesch", &MasterDataCommands::deleteRecord);
    if (QAction* show = menu.action(QStringLiteral("Stamm"))) {
        connect(show, &QAction::triggered, this, [this] { showPage(); });
        admin.setAvailable(show, true);
    }

    admin.addAdminOnly(page.stEin());
    admin.addAdminOnly(page.stAus());
    admin.addAdminOnly(page.btnNeu(), false);
    admin.addAdminOnly(page.btnloe(), false);
    connect(page.stEin(), &QPushButton::clicked, this, [this] { setEditing(true); });
    connect(page.stAus(), &QPushButton::clicked, this, [this] { setEditing(false); });
    connect(page.btnNeu(), &QPushButton::clicked, this, &MasterDataCommands::addRecord);
    connect(page.btnloe(), &QPushButton::clicked, this, &MasterDataCommands::deleteRecord);

    HelpLine& help = frame.helpLine();
    help.attach(page.stEin(), QStringLiteral("027"));
    help.attach(page.stAus(), QStringLiteral("028"));
    help.attach(page.btnNeu(), QStringLiteral("029"));
    help.attach(page.btnloe(), QStringLiteral("030"));
    for (QWidget* w : page.personalFields())
        help.attach(w, QStringLiteral("031"));
    for (QWidget* w : page.courseFields())
        help.attach(w, QStringLiteral("032"));

    QTabWidget& pages = frame.pages();
    // Only a tab the user selects runs the page steps; the menu items and
    // commands that switch pages just show them.
    connect(pages.tabBar(), &QTabBar::tabBarClicked, this, [this](int index) { clickedTab_ = index; });
    connect(&pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == kMasterDataPage)
            page_.updateSexCaption();
        if (index == clickedTab_)
            pageSelected(index);
        clickedTab_ = -1;
    });

    StudentTable& t = table();
    connect(&t, &StudentTable::stateChanged, this,
            [this](StudentTable::State s) { stateChanged(int(s)); });
    // A post ends the edit and then re-reads the rows; a cancel ends it
    // without. So a reset right after the edit ended is a save.
    connect(&t, &StudentTable::rowsReset, this, [this] {
        const bool saved = justLeftEditing_;
        justLeftEditing_ = false;
        if (saved && renewPending_ && !renewing_)
            renewIdentity();
    });
    connect(&t, &StudentTable::rowChanged, this, [this] { justLeftEditing_ = false; });
    connect(&t, &StudentTable::currentRowChanged, this, [this] { justLeftEditing_ = false; });
    // Another file opened: its fields get the kinds' read-only flags anew.
    connect(&frame.studentFile(), &CurrentStudentFile::opened, this, [this] {
        if (editing_)
            setEditing(false);
        page_.showCurrent();
    });
}

StudentTable& MasterDataCommands::table()
{
    return frame_.studentFile().table();
}

void MasterDataCommands::stateChanged(int state)
{
    const bool editingNow = state == int(StudentTable::State::Edit) || state == int(StudentTable::State::Insert);
    justLeftEditing_ = wasEditing_ && state == int(StudentTable::State::Browse);
    wasEditing_ = editingNow;
}

void MasterDataCommands::setEditing(bool on)
{
    Interaction& ui = frame_.context().ui;
    savePending(table(), ui);
    AdminCommands& admin = frame_.adminCommands();
    EditState state = frame_.studentFile().editState();
    state.masterDataEditing = on;
    editing_ = on;
    if (on) {
        showPage();
        renewPending_ = true;
    }
    frame_.studentFile().applyEditState(state);
    page_.setEditing(on);
    const MainMenu& menu = frame_.menu();
    for (const char* name : {"merg", "mloesch", "maend"}) {
        if (QAction* a = menu.action(QLatin1String(name)))
            admin.setAvailable(a, on);
    }
    admin.setAvailable(page_.btnNeu(), on);
    admin.setAvailable(page_.btnloe(), on);
    if (on && page_.nameField())
        page_.nameField()->setFocus();
}

void MasterDataCommands::showPage()
{
    frame_.pages().setCurrentIndex(kMasterDataPage);
    if (QAction* item = frame_.menu().action(QStringLiteral("Stamm")))
        item->setChecked(true);
}

void MasterDataCommands::pageSelected(int index)
{
    if (index != kMasterDataPage) {
        if (editing_)
            setEditing(false);
        if (index == 0)
            savePending(table(), frame_.context().ui);
        return;
    }
    if (page_.nameField())
        page_.nameField()->setFocus();
    page_.updateSexCaption();
    frame_.helpLine().show(QStringLiteral("Bearbeiten der Schülerstammdaten in Einzeldarstellung"));
    if (QAction* item = frame_.menu().action(QStringLiteral("Stamm")))
        item->setChecked(true);
}

bool MasterDataCommands::nameReadOnly()
{
    const int name = table().findField(QStringLiteral("NAME"));
    return !table().isOpen() || name < 0 || table().isReadOnly(name);
}

void MasterDataCommands::addRecord()
{
    if (nameReadOnly())
        return;
    showPage();
    if (!savePending(table(), frame_.context().ui))
        return;
    table().append();
    if (page_.nameField())
        page_.nameField()->setFocus();
}

void MasterDataCommands::changeRecord()
{
    if (nameReadOnly())
        return;
    showPage();
    table().edit();
    if (page_.nameField())
        page_.nameField()->setFocus();
}

void MasterDataCommands::deleteRecord()
{
    if (nameReadOnly())
        return;
    Interaction& ui = frame_.context().ui;
    ui.beep();
    if (ui.ask(QStringLiteral("Soll der aktuelle Datensatz\nwirklich gelöscht werden?\n"), Buttons::YesNoCancel)
        != Answer::Yes)
        return;
    if (!frame_.entryGrid().hasFocus() && frame_.pages().currentIndex() != kMasterDataPage)
        return;
    try {
        table().deleteCurrent();
    } catch (const std::exception& e) {
        ui.error(QStringLiteral("Der Datensatz konnte nicht gelöscht werden:\n") + QString::fromLocal8Bit(e.what()));
    }
}

void MasterDataCommands::renewIdentity()
{
    StudentTable& t = table();
    renewPending_ = false;
    const int id = t.findField(QStringLiteral("ID"));
    const int geboren = t.findField(QStringLiteral("GEBOREN"));
    if (id < 0 || geboren < 0 || t.currentRow() < 0)
        return;
    Interaction& ui = frame_.context().ui;
    const IdentityUpdate update = identityOnSave(t.value(geboren), t.value(QStringLiteral("NAME")),
                                                 t.value(QStringLiteral("VORNAME")), ui);
    const bool idReadOnly = t.isReadOnly(id);
    const bool geborenReadOnly = t.isReadOnly(geboren);
    renewing_ = true;
    t.setReadOnly(id, false);
    t.setReadOnly(geboren, false);
    t.edit();
    t.setValue(id, update.id);
    t.setValue(geboren, update.geboren);
    try {
        t.post();
    } catch (const std::exception& e) {
        t.cancel();
        ui.error(QStringLiteral("Die Schüler-ID konnte nicht gespeichert werden:\n") + QString::fromLocal8Bit(e.what()));
    }
    t.setReadOnly(id, idReadOnly);
    t.setReadOnly(geboren, geborenReadOnly);
    renewing_ = false;
}

void installMasterData(MainFrame& frame)
{
    QWidget* host = frame.pages().widget(kMasterDataPage);
    auto* page = new MasterDataPage(frame.studentFile().table(), frame.context().settings,
                                    frame.context().ui, host);
    new MasterDataCommands(frame, *page);
}

} // namespace zedora
