#include "entry/ui/view_commands.h"

#include "base/interaction.h"
#include "core/app_context.h"
#include "core/help_texts.h"
#include "core/ui/admin_commands.h"
#include "core/ui/help_line.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>

namespace zedora {

namespace {

QAction* available(MainFrame& frame, const char* name)
{
    QAction* a = frame.menu().action(QLatin1String(name));
    if (a)
        frame.adminCommands().setAvailable(a, true);
    return a;
}

void connectPages(MainFrame& frame)
{
    QWidget& window = frame.window();
    QTabWidget& pages = frame.pages();
    if (QAction* a = available(frame, "Tabelle"))
        QObject::connect(a, &QAction::triggered, &window, [&pages] { pages.setCurrentIndex(0); });
    if (QAction* a = available(frame, "Einzel"))
        QObject::connect(a, &QAction::triggered, &window, [&pages] { pages.setCurrentIndex(1); });
    QObject::connect(&pages, &QTabWidget::currentChanged, &window, [&frame](int page) {
        const char* names[] = {"Tabelle", "Einzel", "Stamm"};
        if (QAction* a = frame.menu().action(QLatin1String(names[std::clamp(page, 0, 2)])))
            a->setChecked(true);
        // What was typed on the page left is saved with the record.
        frame.studentFile().table().savePending();
        QFrame* filePanel = frame.window().findChild<QFrame*>(QStringLiteral("Panel7"));
        if (page == 0) {
            filePanel->setVisible(frame.context().settings.DateienWahlBoxSichtbar);
            frame.entryGrid().setFocus();
        } else if (frame.window().width() <= 800) {
            filePanel->hide();
        }
        if (page == 1) {
            QWidget* mask = frame.pages().widget(1);
            if (QWidget* first = mask->findChild<QWidget*>(QStringLiteral("n01")); first && first->isVisible())
                first->setFocus();
        }
    });
}

// The cell clipboard: one value for the whole run, apart from the system
// clipboard.
void connectCellClipboard(MainFrame& frame)
{
    QWidget& window = frame.window();
    Interaction& ui = frame.context().ui;
    auto clipboard = std::make_shared<QString>();
    const auto currentField = [&frame] {
        return frame.entryModel().fieldOfColumn(frame.entryGrid().currentIndex().column());
    };
    const auto lockedRefusal = [&frame, &ui] {
        if (!frame.context().settings.SperreOption)
            return false;
        ui.info(QStringLiteral("Nicht möglich, Tabelle ist gesperrt!\n"));
        return true;
    };
    const auto putIntoCell = [&frame, &ui, currentField](const QString& value) {
        StudentTable& t = frame.studentFile().table();
        const int field = currentField();
        if (field < 0)
            return;
        if (t.isReadOnly(field)) {
            ui.error(QStringLiteral("Das Feld ") + t.fieldName(field)
                     + QStringLiteral(" ist schreibgeschützt und kann hier nicht verändert werden."));
            return;
        }
        if (t.setValue(field, value))
            t.savePending();
    };
    if (QAction* a = available(frame, "Zelleinhaltkopieren1"))
        QObject::connect(a, &QAction::triggered, &window, [&frame, clipboard, currentField] {
            if (currentField() >= 0)
                *clipboard = frame.studentFile().table().value(currentField());
        });
    if (QAction* a = available(frame, "Zelleinhaltausschneiden1"))
        QObject::connect(a, &QAction::triggered, &window,
                         [&frame, clipboard, currentField, lockedRefusal, putIntoCell] {
                             if (lockedRefusal() || currentField() < 0)
                                 return;
                             *clipboard = frame.studentFile().table().value(currentField());
                             putIntoCell(QString());
                         });
    if (QAction* a = available(frame, "Zelleninhalteinfgen1"))
        QObject::connect(a, &QAction::triggered, &window, [clipboard, lockedRefusal, putIntoCell] {
            if (!lockedRefusal())
                putIntoCell(*clipboard);
        });
}

// The fixed name grid and its popup menu.
void connectNameGrid(MainFrame& frame)
{
    QWidget& window = frame.window();
    Settings& settings = frame.context().settings;
    Interaction& ui = frame.context().ui;
    QTableView& names = frame.nameGrid();
    // The column layout leaves out name and first name while the fixed grid
    // shows them, so the table is built anew.
    const auto showFixedGrid = [&frame, &settings](bool on) {
        settings.Grid2Sichtbar = on;
        frame.rebuildTable();
    };
    if (QAction* a = available(frame, "FixspaltenNameVornameeinausblenden1"))
        QObject::connect(a, &QAction::triggered, &window,
                         [&settings, showFixedGrid] { showFixedGrid(!settings.Grid2Sichtbar); });
    if (QAction* a = available(frame, "Ausblenden1"))
        QObject::connect(a, &QAction::triggered, &window, [showFixedGrid] { showFixedGrid(false); });
    if (QAction* a = available(frame, "Spaltenbreiten1"))
        QObject::connect(a, &QAction::triggered, &window, [&ui] {
            ui.info(QStringLiteral("Die beiden Spaltenbreiten können durch Mausziehen verändert werden!"));
        });
    if (QAction* a = available(frame, "Fensterbreiteverndern1"))
        QObject::connect(a, &QAction::triggered, &window, [&frame, &settings, &ui] {
            const QString current = QString::number(settings.BreiteGrid2);
            const std::optional<QString> answer = ui.input(
                QStringLiteral("Breite in Bildschirmpunkten"), QStringLiteral("Wert zwischen 80 und 400"), current);
            bool ok = false;
            const int width = answer ? answer->trimmed().toInt(&ok) : 0;
            if (!answer || answer->trimmed() == current || !ok || width < 80 || width > 400)
                return;
            settings.BreiteGrid2 = width;
            frame.applyColumns();
        });
    names.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&names, &QWidget::customContextMenuRequested, &window, [&frame, &names](const QPoint& at) {
        if (QMenu* popup = frame.menu().fixedGridPopup)
            popup->popup(names.viewport()->mapToGlobal(at));
    });
    // The widths of the name grid reach the settings when the program ends.
    QObject::connect(names.horizontalHeader(), &QHeaderView::sectionResized, &window,
                     [&settings](int section, int, int size) {
                         if (section == 0)
                             settings.BreiteGridSpalte0 = size;
                         else if (section == 1)
                             settings.BreiteGridSpalte1 = size;
                     });
}

} // namespace

void installViewCommands(MainFrame& frame)
{
    connectPages(frame);
    connectCellClipboard(frame);
    // The help line over the entry grid depends on the column.
    frame.helpLine().attachText(&frame.entryGrid(), [&frame] {
        const ColumnSpec* c = frame.entryModel().column(frame.entryGrid().currentIndex().column());
        return frame.context().helpTexts.text(c && c->kind == 11 ? QStringLiteral("006") : QStringLiteral("007"));
    });
    connectNameGrid(frame);
}

} // namespace zedora
