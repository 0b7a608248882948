#include "entry/ui/entry_direction.h"

#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/ui/memo_panel.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace zedora {

EntryDirection::EntryDirection(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("entryDirection"));
    const MainMenu& menu = frame.menu();
    for (const auto& [name, vertical] : {std::pair{"menverti", true}, std::pair{"menhori", false}}) {
        if (QAction* a = menu.action(QLatin1String(name))) {
            frame.adminCommands().setAvailable(a, true);
            connect(a, &QAction::triggered, this, [this, vertical = vertical] { setVertical(vertical); });
        }
    }
    // Only the button of the direction in force can be pressed; it switches
    // to the other one.
    connect(frame.window().findChild<QToolButton*>(QStringLiteral("EditRechts")), &QToolButton::clicked, this,
            [this] { setVertical(true); });
    connect(frame.window().findChild<QToolButton*>(QStringLiteral("EditUnten")), &QToolButton::clicked, this,
            [this] { setVertical(false); });
}

void EntryDirection::setVertical(bool vertical)
{
    frame_.context().settings.EditVertikal = vertical;
    frame_.window().findChild<QToolButton*>(QStringLiteral("EditRechts"))->setEnabled(!vertical);
    frame_.window().findChild<QToolButton*>(QStringLiteral("EditUnten"))->setEnabled(vertical);
    if (QAction* a = frame_.menu().action(vertical ? QStringLiteral("menverti") : QStringLiteral("menhori")))
        a->setChecked(true);
}

void EntryDirection::move()
{
    QTableView& grid = frame_.entryGrid();
    StudentTableModel& model = frame_.entryModel();
    const QModelIndex current = grid.currentIndex();
    if (!current.isValid())
        return;
    const ColumnSpec* c = model.column(current.column());
    if (c && c->kind == FieldKind::AssessmentText) {
        // A text-block column is written in the text field below the table.
        frame_.memoPanel().memo().setFocus();
        return;
    }
    StudentTable& t = frame_.studentFile().table();
    if (frame_.context().settings.EditVertikal) {
        if (!t.savePending() || t.atLast())
            return;
        const int column = current.column();
        t.next();
        grid.setCurrentIndex(model.index(t.currentRow(), column));
    } else if (current.column() + 1 < model.columnCount()) {
        grid.setCurrentIndex(model.index(current.row(), current.column() + 1));
    } else if (t.savePending() && !t.atLast()) {
        // Past the last column, like Tab: the next student's first column.
        t.next();
        grid.setCurrentIndex(model.index(t.currentRow(), 0));
    }
}

bool EntryDirection::eventFilter(QObject* watched, QEvent* event)
{
    QTableView& grid = frame_.entryGrid();
    if (watched == &grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // While a cell is being edited the Return comes up from its editor,
        // which hands over the value and moves on when it closes.
        QWidget* focus = QApplication::focusWidget();
        const bool fromEditor = focus && focus != &grid && grid.isAncestorOf(focus);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !fromEditor) {
            move();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void installEntryDirection(MainFrame& frame)
{
    auto* direction = new EntryDirection(frame);
    QTableView& grid = frame.entryGrid();
    grid.installEventFilter(direction);
    QObject::connect(grid.itemDelegate(), &QAbstractItemDelegate::closeEditor, direction,
            [direction](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache)
                    QTimer::singleShot(0, direction, &EntryDirection::move);
            });
}

} // namespace zedora
