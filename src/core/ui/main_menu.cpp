#include "core/ui/main_menu.h"

#include "core/ui/admin_commands.h"
#include "core/user_mode.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace zedora {
namespace {

using Access = AdminCommands::Access;
constexpr Access kAll = Access::Everyone;
constexpr Access kAdmin = Access::AdministratorOnly;

// Alt+S and Alt+N belong to the user-mode items although the menu titles
// "&Statistiken" and "A&nwender" use the same letters; without this the two
// would cancel each other out as ambiguous shortcuts.
class PriorityShortcuts : public QObject {
public:
    PriorityShortcuts(QObject* parent, QList<QAction*> actions) : QObject(parent), actions_(std::move(actions)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* action : actions_) {
            if (action->shortcut() != pressed)
                continue;
            key->accept();
            if (event->type() == QEvent::KeyPress && action->isEnabled())
                action->trigger();
            return true;
        }
        return false;
    }

private:
    QList<QAction*> actions_;
};

class Builder {
public:
    Builder(QMainWindow& window, AdminCommands& commands, MainMenu& result)
        : window_(window), commands_(commands), result_(result)
    {
    }

    QMenu* menu(QMenuBar* bar, const char* name, const char* caption)
    {
        return remember(bar->addMenu(text(caption)), name);
    }
    QMenu* submenu(QMenu* parent, const char* name, const char* caption, Access access = kAll)
    {
        QMenu* sub = remember(parent->addMenu(text(caption)), name);
        commands_.add(sub->menuAction(), access, true);
        return sub;
    }
    QMenu* popup(const char* name)
    {
        auto* popup = new QMenu(&window_);
        return remember(popup, name);
    }

    // An item of a menu; not available until its function is connected.
    QAction* item(QMenu* menu, const char* name, const char* caption, Access access = kAll,
                  const char* shortcut = nullptr, bool available = false)
    {
        auto* action = new QAction(text(caption), &window_);
        action->setObjectName(QString::fromLatin1(name));
        if (shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        menu->addAction(action);
        result_.actions.insert(action->objectName(), action);
        commands_.add(action, access, available);
        return action;
    }
    QAction* radio(QMenu* menu, QActionGroup* group, const char* name, const char* caption,
                   const char* shortcut = nullptr, bool available = false)
    {
        QAction* action = item(menu, name, caption, kAll, shortcut, available);
        action->setCheckable(true);
        group->addAction(action);
        return action;
    }
    QActionGroup* group()
    {
        auto* group = new QActionGroup(&window_);
        group->setExclusive(true);
        return group;
    }

private:
    static QString text(const char* caption) { return QString::fromUtf8(caption); }
    QMenu* remember(QMenu* menu, const char* name)
    {
        const QString objectName = QString::fromLatin1(name);
        menu->setObjectName(objectName);
        menu->menuAction()->setObjectName(objectName);
        result_.menus.insert(objectName, menu);
        result_.actions.insert(objectName, menu->menuAction());
        return menu;
    }

    QMainWindow& window_;
    AdminCommands& commands_;
    MainMenu& result_;
};

void buildFileMenu(Builder& b, QMenuBar* bar)
{
    QMenu* m = b.menu(bar, "fileMenu", "&Datei");
    b.item(m, "openStudentFile", "Schülerdatei &öffnen ...");
    QMenu* create = b.submenu(m, "newFileMenu", "Neu ...");
    b.item(create, "MitDatenimportvonSchlerdatei1", "... mit Datenimport von Schülerdatei ...", kAdmin, "Shift+F2");
    b.item(create, "ErstelleeineleereDatei1", "... erstelle eine leere Datei ...", kAdmin);
    b.item(m, "SpeichUnter", "Schülerdatei speichern &unter (Fortschreibung) ...", kAdmin);
    b.item(m, "Dateienlschen1", "Schülerdatei &löschen ...", kAdmin);
    m->addSeparator();
    b.item(m, "reorganiseFile", "&Reorganisiere aktuelle Schülerdatei ...");
    b.item(m, "Komplett", "&Komplette Datenreorganisation ...", kAdmin);
    m->addSeparator();
    b.item(m, "assignColumnLayoutFile", "Fächerdatei &zuweisen");
    m->addSeparator();
    b.item(m, "Beenden1", "Beenden", kAll, nullptr, true);
}

void buildEditMenu(Builder& b, QMenuBar* bar)
{
    QMenu* m = b.menu(bar, "editMenu", "&Bearbeiten");
    b.item(m, "StammEd", "Stammdaten &editieren ein / aus", kAdmin, "F4");
    b.item(m, "merg", "Datensatz &ergänzen ...", kAdmin, "Shift+F10");
    b.item(m, "maend", "Datensatz &ändern ...", kAdmin);
    b.item(m, "mloesch", "Datensatz &löschen ...", kAdmin, "Ctrl+Del");
    m->addSeparator();
    b.item(m, "Schlerinsuchen1", "Schüler(-in)  &suchen ...", kAll, "Alt+F3");
    m->addSeparator();
    b.item(m, "Global", "&Globales Ändern im Datenfeld ...", kAll, "F5");
    b.item(m, "SpaLoesch1", "Einträge in Spalte löschen ...", kAll, "Alt+F8");
    b.item(m, "ZeiLoesch1", "Einträge in Zeile löschen ...");
    m->addSeparator();
    b.item(m, "a1", "TauschSTART in aktuellem Datenfeld ...");
    b.item(m, "uaschzielinaktuellerZelle1", "TauschZIEL in aktuellem Datenfeld ...");
    b.item(m, "auschstartinaktuellerSpalte1", "TauschSTART in aktueller Spalte ...");
    b.item(m, "auschzielinaktuellerSpalte1", "TauschZIEL in aktueller Spalte");
    m->addSeparator();
    b.item(m, "epochalSubjects", "&Epochalfächer festlegen ...");
    b.item(m, "textBlockWindow", "&Textbausteinfenster", kAll, "F3");
}

void buildViewMenu(Builder& b, QMenuBar* bar, MainMenu& result)
{
    QMenu* m = b.menu(bar, "viewMenu", "&Ansicht");
    result.pages = b.group();
    b.radio(m, result.pages, "Tabelle", "Ta&bellendarstellung")->setChecked(true);
    b.radio(m, result.pages, "Einzel", "&Einzeldarstellung");
    b.radio(m, result.pages, "Stamm", "&Stammdaten");
    m->addSeparator();
    result.entryDirection = b.group();
    b.radio(m, result.entryDirection, "menverti", "Eingaberichtung &vertikal");
    b.radio(m, result.entryDirection, "menhori", "Eingaberichtung &horizontal")->setChecked(true);
    m->addSeparator();
    // A heading for the three sort orders; never a command itself.
    QAction* heading = m->addAction(QStringLiteral("Sortierung:"));
    heading->setObjectName(QStringLiteral("sortHeading"));
    heading->setEnabled(false);
    result.sortOrder = b.group();
    b.radio(m, result.sortOrder, "sortClasses", "   - &Klassen")->setChecked(true);
    b.radio(m, result.sortOrder, "sortGirlsBoys", "   - &Mädchen/Jungen");
    b.radio(m, result.sortOrder, "sortAlphabet", "   - Al&phabet");
    m->addSeparator();
    b.item(m, "Leiste", "&Iconleiste ausblenden", kAll, "Alt+F7", true);
    QAction* help = b.item(m, "Hilfetexteanzeigen1", "Hilfetexte &anzeigen", kAll, nullptr, true);
    help->setCheckable(true);
    help->setChecked(true);
    b.item(m, "FixspaltenNameVornameeinausblenden1", "&Fixspalten (Name, Vorname) ein- / ausblenden");
    b.item(m, "toggleFileList", "Dateienauswahl ein- / ausblenden");
    m->addSeparator();
    b.item(m, "Tabellenrefresh", "Spalteninformation");
}

void buildPrintMenu(Builder& b, QMenuBar* bar)
{
    QMenu* m = b.menu(bar, "printMenu", "D&rucken");
    b.item(m, "printCentre", "&Druckzentrum ...");
    b.item(m, "tablePrint", "Tabellendruck ...");
    b.item(m, "printTextBlockColumn", "&Aktuelle Textblockspalte drucken ...");
    b.item(m, "printDataSheet", "Daten&blatt drucken ...");
    m->addSeparator();
    b.item(m, "documentArchive", "Dokumenten-Archiv");
    m->addSeparator();
    b.item(m, "Druckereinrichtung1", "Drucke&reinrichtung ...", kAdmin);
}

void buildExchangeMenu(Builder& b, QMenuBar* bar, const MainMenu& result)
{
    QMenu* m = b.menu(bar, "exchangeMenu", "&Import / Export");
    QMenu* mailMerge = b.submenu(m, "mailMergeMenu", "&Export für Seriendruck ...");
    b.item(mailMerge, "mailMergeMeaning1", "Notenbedeutung 1 ...");
    b.item(mailMerge, "mailMergeMeaning2", "Notenbedeutung 2 ...");
    b.item(m, "transferToMedium", "Schülerdatei auf Speicher&medium übertragen ...");
    m->addSeparator();
    b.item(m, "zipExport", "Dateien&export in Zedora-Exportdatei ...");
    b.item(m, "zipImport", "Dateien&import aus Zedora-Exportdatei ...");
    m->addSeparator();
    b.item(m, "readColumns", "&Spalten aus einer anderen Schülerdatei einlesen ...");
    b.item(m, "readRecord", "Schülerdaten&satz aus einer anderen Datei einlesen ... ");
    m->addSeparator();
    // The rollover is offered here too; one action keeps both entries alike.
    m->addAction(result.action(QStringLiteral("SpeichUnter")));
}

void buildExtrasMenu(Builder& b, QMenuBar* bar)
{
    QMenu* m = b.menu(bar, "extrasMenu", "E&xtras");
    b.item(m, "history", "&Historie ...");
    b.item(m, "Archivdateienbearbeiten1", "&Archivdateien bearbeiten ...", kAdmin);
    b.item(m, "backup", "&Datensicherung ...");
    m->addSeparator();
    b.item(m, "OnlineUpdate1", "Online-Update", kAdmin);
}

void buildStatisticsMenu(Builder& b, QMenuBar* bar)
{
    QMenu* m = b.menu(bar, "statisticsMenu", "&Statistiken");
    b.item(m, "StatistikberaktuelleSpalte3", "Statistik über &aktuelle Spalte ...", kAdmin);
    b.item(m, "StatistikberFehltageimgesamtenVerzeichnis1",
           "Statistik über &Fehltage im gesamten Verzeichnis ...", kAdmin);
    b.item(m, "StatitistikberAbschlsseimgesamtenVerzeichnis1",
           "Statistik über &Abschlüsse im gesamten Verzeichnis ...", kAdmin);
    m->addSeparator();
    b.item(m, "Notenstatistiken1", "Notenstatistiken ...", kAdmin, "F11");
}

void buildSettingsMenu(Builder& b, QMenuBar* bar, AdminCommands& commands)
{
    QMenu* m = b.menu(bar, "Einstellungen2", "&Einstellungen");
    commands.addAdminOnly(m->menuAction());
    b.item(m, "MEin1", "&Allgemeine Einstellungen ...", kAdmin);
    b.item(m, "Layoutbearbeiten2", "Druck- und Eingabe&layout bearbeiten ...", kAdmin);
    b.item(m, "MEin3", "&Kürzel und Bedeutung definieren ...", kAdmin);
    b.item(m, "Durchschnittsnotenfestlegen1", "&Durchschnittsnoten festlegen", kAdmin);
    m->addSeparator();
    b.item(m, "MEin4", "&Textbausteine bearbeiten ...", kAdmin);
}

void buildUserMenu(Builder& b, QMenuBar* bar, MainMenu& result)
{
    QMenu* m = b.menu(bar, "Benutzer1", "A&nwender");
    result.userMode = b.group();
    b.radio(m, result.userMode, "Supervisor1", "&Systembetreuer", "Alt+S", true);
    b.radio(m, result.userMode, "NormalerAnwender1", "&Normaler Anwender", "Alt+N", true);
}

void buildHelpMenu(Builder& b, QMenuBar* bar)
{
    QMenu* m = b.menu(bar, "helpMenu", "&Hilfe");
    b.item(m, "manualPdf", "Handbuch im &PDF-Format lesen ...");
    b.item(m, "faqPdf", "&Fragen und Antworten ...");
    b.item(m, "historyPdf", "&Zedora-Historie lesen ...");
    m->addSeparator();
    b.item(m, "systemInfo", "System&informationen ...");
    b.item(m, "about", "Ü&ber Zedora ...");
}

void buildTablePopup(Builder& b, MainMenu& result)
{
    QMenu* m = result.tablePopup = b.popup("PopupMenu1");
    b.item(m, "Zelleinhaltkopieren1", "Zelleninhalt kopieren");
    b.item(m, "Zelleinhaltausschneiden1", "Zelleninhalt ausschneiden");
    b.item(m, "Zelleninhalteinfgen1", "Zelleninhalt einfügen");
    m->addSeparator();
    b.item(m, "Kopieren1", "Kopieren", kAll, "Ctrl+Ins");
    b.item(m, "Einfgen1", "Einfügen", kAll, "Shift+Ins");
    m->addSeparator();
    b.item(m, "SperrungfraktuelleSpalteaufheben1", "Sperrung für aktuelle Spalte aufheben / setzen", kAll, "F2");
    b.item(m, "Spalteninformation1", "Spalteninformation ...", kAll, "F10");
    // Opens the layout editor like "Spalten ändern", so it is the administrator's too.
    b.item(m, "columnProperties", "&Spalteneigenschaften ändern", kAdmin);
    m->addSeparator();
    b.item(m, "EintrgeinZeilelschen2", "Einträge in Zeile löschen ...");
    b.item(m, "SpaLoesch2", "Einträge in Spalte löschen ...");
    m->addSeparator();
    QMenu* stats = b.submenu(m, "statisticsPopup", "Statistiken ...");
    b.item(stats, "StatistikberaktuelleSpalte1", "Statistik über aktuelle Spalte drucken ...", kAdmin);
    b.item(stats, "StatistikberFehltageimgesmatenDatenverzeichnisZE1",
           "Statistik über Fehltage im gesamten Datenverzeichnis ZE-...   ...", kAdmin);
    b.item(stats, "StatistikberAbschlsseimgesamtenDatenbverzeichnisZE1",
           "Statistik über Abschlüsse im gesamten Datenverzeichnis ZE-...   ...", kAdmin);
    b.item(m, "showHistory", "Historie anzeigen ...");
    m->addSeparator();
    b.item(m, "Voreinstellungen1", "Einstellungen", kAdmin);
}

void buildFixedGridPopup(Builder& b, MainMenu& result)
{
    QMenu* m = result.fixedGridPopup = b.popup("PopupMenu3");
    b.item(m, "Fensterbreiteverndern1", "&Fensterbreite verändern");
    b.item(m, "Spaltenbreiten1", "&Spaltenbreiten");
    b.item(m, "Ausblenden1", "&Ausblenden");
    m->addSeparator();
    b.item(m, "ZeigeSchlerfoto1", "Zeige Schülerfoto");
}

} // namespace

QAction* MainMenu::sortItem(int sortOrderValue) const
{
    static const char* const names[] = {"sortClasses", "sortGirlsBoys", "sortAlphabet"};
    if (sortOrderValue < 1 || sortOrderValue > 3)
        return nullptr;
    return action(QString::fromLatin1(names[sortOrderValue - 1]));
}

MainMenu buildMainMenu(QMainWindow& window, AdminCommands& commands)
{
    MainMenu result;
    result.bar = new QMenuBar(&window);
    result.bar->setObjectName(QStringLiteral("MainMenu1"));
    Builder b(window, commands, result);

    buildFileMenu(b, result.bar);
    buildEditMenu(b, result.bar);
    buildViewMenu(b, result.bar, result);
    buildPrintMenu(b, result.bar);
    buildExchangeMenu(b, result.bar, result);
    buildExtrasMenu(b, result.bar);
    buildStatisticsMenu(b, result.bar);
    buildSettingsMenu(b, result.bar, commands);
    buildUserMenu(b, result.bar, result);
    buildHelpMenu(b, result.bar);

    // The open student file, shown at the end of the menu bar.
    auto* fileName = new QAction(QStringLiteral(">>>>      <<<<"), &window);
    fileName->setObjectName(QStringLiteral("dateiname1"));
    result.bar->addAction(fileName);
    result.actions.insert(fileName->objectName(), fileName);

    buildTablePopup(b, result);
    buildFixedGridPopup(b, result);
    // A popup's items only react to their keys while the popup is open;
    // these keys work anywhere in the window.
    for (const char* name : {"SperrungfraktuelleSpalteaufheben1", "Spalteninformation1"})
        window.addAction(result.action(QString::fromLatin1(name)));

    window.setMenuBar(result.bar);
    window.installEventFilter(new PriorityShortcuts(
        &window, {result.action(QStringLiteral("Supervisor1")), result.action(QStringLiteral("NormalerAnwender1"))}));
    return result;
}

void connectUserModeMenu(const MainMenu& menu, UserMode& mode, AdminCommands& commands,
                         PasswordPrompts& prompts)
{
    QAction* supervisor = menu.action(QStringLiteral("Supervisor1"));
    QAction* normalUser = menu.action(QStringLiteral("NormalerAnwender1"));
    commands.setModeItems(supervisor, normalUser);
    commands.setAdministratorMode(mode.isAdministrator());
    QObject::connect(&mode, &UserMode::modeChanged, supervisor,
                     [&commands](bool on) { commands.setAdministratorMode(on); });
    QObject::connect(supervisor, &QAction::triggered, &mode, [&mode, &prompts] { mode.switchToAdministrator(prompts); });
    QObject::connect(normalUser, &QAction::triggered, &mode, [&mode] { mode.setAdministrator(false); });
}

} // namespace zedora
