#include "entry/ui/memo_panel_commands.h"

#include "core/ui/admin_commands.h"
#include "core/ui/help_line.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "core/ui/progress_panel.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/ui/field_entry.h"
#include "entry/ui/memo_panel.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>

namespace zedora {

MemoPanelCommands::MemoPanelCommands(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("memoPanelCommands"));
    QTableView& grid = frame.entryGrid();
    connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (current.column() != previous.column())
                    columnEntered(current.isValid() ? current.column() : -1);
            });
    // Another file starts in the column the grid stands in.
    connect(&frame.studentFile(), &CurrentStudentFile::opened, this,
            [this] { columnEntered(frame_.entryGrid().currentIndex().column()); });
    // Entering or leaving the grid ends the entry in a text block.
    grid.installEventFilter(this);
    connectPanel();
    connectClipboardItems();
}

void MemoPanelCommands::columnEntered(int column)
{
    // Leaving a column makes the text blocks editable again.
    frame_.studentFile().setEntryTableFocus(false);
    MemoPanel& memo = frame_.memoPanel();
    memo.clearChanged();
    const ColumnSpec* c = frame_.entryModel().column(column);
    if (c && c->kind == FieldKind::AssessmentText)
        memo.showFor(c->caption.trimmed().isEmpty() ? c->title : c->caption, c->field);
    else
        memo.hidePanel();
}

void MemoPanelCommands::connectPanel()
{
    StudentTable& t = frame_.studentFile().table();
    MemoPanel& memo = frame_.memoPanel();
    frame_.helpLine().attach(&memo.memo(), QStringLiteral("002"));
    frame_.helpLine().attach(memo.findChild<QWidget*>(QStringLiteral("bitbtn1")), QStringLiteral("008"));
    connect(&memo, &MemoPanel::saveRequested, this, [&t] { t.savePending(); });
    connect(&memo, &MemoPanel::saveAndNextRequested, this, [this, &memo](bool refocus) {
        frame_.saveAndNext();
        if (refocus && memo.isVisible())
            memo.memo().setFocus();
    });
    connect(&memo, &MemoPanel::cancelRequested, this, [this, &t, &memo] {
        t.cancel();
        frame_.entryGrid().setFocus();
        memo.refresh();
    });
    // Leaving the text saves it; a failed save keeps the pending edit.
    connect(&memo, &MemoPanel::left, this, [this, &t] {
        frame_.progressPanel().hideProgress();
        t.savePending();
    });
    // A double click into a text-block column goes to the text field.
    connect(&frame_.entryGrid(), &QAbstractItemView::doubleClicked, this, [this, &memo](const QModelIndex& index) {
        const ColumnSpec* c = frame_.entryModel().column(index.column());
        if (!c || c->kind != FieldKind::AssessmentText || frame_.pages().currentIndex() != 0)
            return;
        memo.memo().setFocus();
    });
}

// The system clipboard items of the table menu work in the text field.
void MemoPanelCommands::connectClipboardItems()
{
    const MainMenu& menu = frame_.menu();
    QMenu* popup = menu.tablePopup;
    if (!popup)
        return;
    MemoPanel& memo = frame_.memoPanel();
    QAction* copy = menu.action(QStringLiteral("Kopieren1"));
    QAction* paste = menu.action(QStringLiteral("Einfgen1"));
    for (QAction* a : {copy, paste}) {
        if (a)
            frame_.adminCommands().setAvailable(a, true);
    }
    memo.memo().setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&memo.memo(), &QWidget::customContextMenuRequested, this, [&memo, popup](const QPoint& at) {
        popup->popup(memo.memo().viewport()->mapToGlobal(at));
    });
    connect(popup, &QMenu::aboutToShow, this, [&memo, &menu, copy, paste] {
        const bool inMemo = memo.textHasFocus();
        for (QAction* a : {copy, paste}) {
            if (a)
                a->setEnabled(inMemo);
        }
        for (const char* name : {"EintrgeinZeilelschen2", "SpaLoesch2"}) {
            if (QAction* a = menu.action(QLatin1String(name)); a && inMemo)
                a->setEnabled(false);
        }
    });
    if (copy)
        connect(copy, &QAction::triggered, this, [&memo] {
            if (memo.textHasFocus())
                memo.memo().copy();
        });
    if (paste)
        connect(paste, &QAction::triggered, this, [&memo] {
            if (memo.textHasFocus())
                memo.memo().paste();
        });
}

bool MemoPanelCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &frame_.entryGrid() && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        if (endsOrBeginsEntry(*event))
            frame_.studentFile().setEntryTableFocus(event->type() == QEvent::FocusIn);
    }
    return QObject::eventFilter(watched, event);
}

void installMemoPanelCommands(MainFrame& frame)
{
    new MemoPanelCommands(frame);
}

} // namespace zedora
