#include "entry/ui/entry_table_features.h"

#include "core/app_context.h"
#include "entry/ui/TFFilterfrage.h"
#include "core/ui/main_frame.h"
#include "core/ui/admin_commands.h"
#include "entry/ui/entry_grid_delegate.h"
#include "core/ui/main_menu.h"
#include "entry/ui/main_window_search.h"
#include "entry/ui/table_lock.h"
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

QToolButton* barButton(MainFrame& frame, const char* name)
{
    return frame.iconBar().findChild<QToolButton*>(QLatin1String(name));
}

void showFilterState(MainFrame& frame, bool on)
{
    if (QToolButton* b = barButton(frame, "FilterButton")) {
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
void connectCommand(MainFrame& frame, QObject* item, F command)
{
    if (!item)
        return;
    frame.adminCommands().setAvailable(item, true);
    if (auto* action = qobject_cast<QAction*>(item))
        QObject::connect(action, &QAction::triggered, &frame.window(), command);
    else if (auto* button = qobject_cast<QToolButton*>(item))
        QObject::connect(button, &QToolButton::clicked, &frame.window(), command);
}

} // namespace

void runFilterCommand(MainFrame& frame)
{
    const QModelIndex current = frame.entryGrid().currentIndex();
    const ColumnSpec* column = frame.entryModel().column(current.column());
    // Without a current cell there is no column to filter by.
    if (!current.isValid() || !column)
        return;
    if (column->kind == FieldKind::AssessmentText) {
        frame.context().ui.info(QStringLiteral("HINWEIS: In einer Textblockspalte ist keine Filtersetzung möglich\n"));
        return;
    }
    StudentTable& table = frame.studentFile().table();
    const int field = frame.entryModel().fieldOfColumn(current.column());
    const QString caption = column->caption.trimmed().isEmpty() ? column->field : column->caption;
    TFFilterfrage dialog(caption, table.valueAt(current.row(), field), &frame.window());
    dialog.exec();
    switch (dialog.choice()) {
    case TFFilterfrage::Cancel:
        return;
    case TFFilterfrage::Activate:
        // Off and on again, so the records are tested anew.
        table.clearFilter();
        table.setFilter(column->field, dialog.filterValue());
        showFilterState(frame, table.filtered());
        return;
    case TFFilterfrage::Reset:
        table.clearFilter();
        showFilterState(frame, false);
        return;
    }
}

void installEntryTableFeatures(MainFrame& frame)
{
    QTableView& grid = frame.entryGrid();
    auto* lock = new TableLock(frame);
    auto* delegate = new EntryGridDelegate(grid, frame.entryModel(), frame.studentFile().table(),
                                           frame.context().settings, *lock, frame.checkMessages());
    grid.setItemDelegate(delegate);
    QObject::connect(lock, &TableLock::changed, &grid, [&grid] { grid.viewport()->update(); });
    // The focused cell has its own colour, so the whole grid follows the cursor.
    QObject::connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, &grid,
                     [&grid] { grid.viewport()->update(); });

    const auto search = [&frame] { searchStudent(frame.studentFile().table(), frame.context().ui); };
    connectCommand(frame, frame.menu().action(QStringLiteral("Schlerinsuchen1")), search);
    connectCommand(frame, barButton(frame, "SpeedButton7"), search);

    connectCommand(frame, barButton(frame, "FilterButton"), [&frame] { runFilterCommand(frame); });
    showFilterState(frame, frame.studentFile().table().filtered());
    // Opening another file ends the filter; a rebuild of the same one keeps it.
    QObject::connect(&frame.studentFile().table(), &StudentTable::rowsReset, &frame.window(),
                     [&frame] { showFilterState(frame, frame.studentFile().table().filtered()); });

    connectCommand(frame, barButton(frame, "SpeedButton19"), [lock] { lock->lock(); });
    connectCommand(frame, barButton(frame, "SpeedButton20"), [lock] { lock->unlock(); });
    connectCommand(frame, frame.menu().action(QStringLiteral("SperrungfraktuelleSpalteaufheben1")),
                   [lock, &grid, &frame] {
                       // The key belongs to the table page.
                       if (frame.pages().currentIndex() != 0)
                           return;
                       const QModelIndex current = grid.currentIndex();
                       if (current.isValid())
                           lock->toggleColumn(current.column());
                   });

    if (QMenu* popup = frame.menu().tablePopup) {
        grid.setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(&grid, &QWidget::customContextMenuRequested, popup,
                         [popup, &grid](const QPoint& at) { popup->popup(grid.viewport()->mapToGlobal(at)); });
    }
}

} // namespace zedora
