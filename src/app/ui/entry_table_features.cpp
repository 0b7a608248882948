#include "app/ui/entry_table_features.h"

#include "core/app_context.h"
#include "app/ui/TFFilterfrage.h"
#include "app/ui/TFMain.h"
#include "core/ui/admin_commands.h"
#include "app/ui/entry_grid_delegate.h"
#include "core/ui/main_menu.h"
#include "app/ui/main_window_search.h"
#include "app/ui/table_lock.h"
#include "base/interaction.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace zedora {

namespace {

QToolButton* barButton(TFMain& window, const char* name)
{
    return window.iconBar().findChild<QToolButton*>(QLatin1String(name));
}

void showFilterState(TFMain& window, bool on)
{
    if (QToolButton* b = barButton(window, "FilterButton")) {
        // A style sheet is dear to set; the state changes seldom.
        if (b->property("filterShown").isValid() && b->property("filterShown").toBool() == on)
            return;
        b->setProperty("filterShown", on);
        b->setText(on ? QStringLiteral("Filter aktiv") : QStringLiteral("Filter inaktiv"));
        b->setStyleSheet(on ? QStringLiteral("QToolButton { color: red; }")
                            : QStringLiteral("QToolButton { color: black; }"));
    }
}

// Runs command from a menu item and an icon-bar button, and marks both as
// working.
template <typename F>
void connectCommand(TFMain& window, QObject* item, F command)
{
    if (!item)
        return;
    window.adminCommands().setAvailable(item, true);
    if (auto* action = qobject_cast<QAction*>(item))
        QObject::connect(action, &QAction::triggered, &window, command);
    else if (auto* button = qobject_cast<QToolButton*>(item))
        QObject::connect(button, &QToolButton::clicked, &window, command);
}

} // namespace

void runFilterCommand(TFMain& window)
{
    const QModelIndex current = window.entryGrid().currentIndex();
    const ColumnSpec* column = window.entryModel().column(current.column());
    // Without a current cell there is no column to filter by.
    if (!current.isValid() || !column)
        return;
    if (column->kind == FieldKind::AssessmentText) {
        window.context().ui.info(QStringLiteral("HINWEIS: In einer Textblockspalte ist keine Filtersetzung möglich\n"));
        return;
    }
    StudentTable& table = window.studentFile().table();
    const int field = window.entryModel().fieldOfColumn(current.column());
    const QString caption = column->caption.trimmed().isEmpty() ? column->field : column->caption;
    TFFilterfrage dialog(caption, table.valueAt(current.row(), field), &window);
    dialog.exec();
    switch (dialog.choice()) {
    case TFFilterfrage::Cancel:
        return;
    case TFFilterfrage::Activate:
        // Off and on again, so the records are tested anew.
        table.clearFilter();
        table.setFilter(column->field, dialog.filterValue());
        showFilterState(window, table.filtered());
        return;
    case TFFilterfrage::Reset:
        table.clearFilter();
        showFilterState(window, false);
        return;
    }
}

void installEntryTableFeatures(TFMain& window)
{
    QTableView& grid = window.entryGrid();
    auto* lock = new TableLock(window);
    auto* delegate = new EntryGridDelegate(grid, window.entryModel(), window.studentFile().table(),
                                           window.context().settings, *lock, window.checkMessages());
    grid.setItemDelegate(delegate);
    QObject::connect(lock, &TableLock::changed, &grid, [&grid] { grid.viewport()->update(); });
    // The focused cell has its own colour, so the whole grid follows the cursor.
    QObject::connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, &grid,
                     [&grid] { grid.viewport()->update(); });

    const auto search = [&window] { searchStudent(window.studentFile().table(), window.context().ui); };
    connectCommand(window, window.menu().action(QStringLiteral("Schlerinsuchen1")), search);
    connectCommand(window, barButton(window, "SpeedButton7"), search);

    connectCommand(window, barButton(window, "FilterButton"), [&window] { runFilterCommand(window); });
    showFilterState(window, window.studentFile().table().filtered());
    // Opening another file ends the filter; a rebuild of the same one keeps it.
    QObject::connect(&window.studentFile().table(), &StudentTable::rowsReset, &window,
                     [&window] { showFilterState(window, window.studentFile().table().filtered()); });

    connectCommand(window, barButton(window, "SpeedButton19"), [lock] { lock->lock(); });
    connectCommand(window, barButton(window, "SpeedButton20"), [lock] { lock->unlock(); });
    connectCommand(window, window.menu().action(QStringLiteral("SperrungfraktuelleSpalteaufheben1")),
                   [lock, &grid, &window] {
                       // The key belongs to the table page.
                       if (window.pages().currentIndex() != 0)
                           return;
                       const QModelIndex current = grid.currentIndex();
                       if (current.isValid())
                           lock->toggleColumn(current.column());
                   });

    if (QMenu* popup = window.menu().tablePopup) {
        grid.setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(&grid, &QWidget::customContextMenuRequested, popup,
                         [popup, &grid](const QPoint& at) { popup->popup(grid.viewport()->mapToGlobal(at)); });
    }
}

} // namespace zedora
