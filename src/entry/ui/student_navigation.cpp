#include "entry/ui/student_navigation.h"

#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "data/current_student_file.h"
#include "entry/ui/entry_grid_delegate.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QShortcut>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>

namespace zedora {

namespace {

EntryGridDelegate* cellEditors(MainFrame& frame)
{
    return qobject_cast<EntryGridDelegate*>(frame.entryGrid().itemDelegate());
}

} // namespace

StudentNavigation::StudentNavigation(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("studentNavigation"));
    connectButtons();
    connectSaving();
    // The mouse wheel moves the record cursor, not just the view.
    for (QTableView* grid : {&frame.entryGrid(), &frame.nameGrid()}) {
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
    }
    // Another student file starts on its first record.
    connect(&frame.studentFile(), &CurrentStudentFile::opened, this, [this] { standAtBeginning(); });
}

void StudentNavigation::standAtBeginning()
{
    atBegin_ = true;
    atEnd_ = false;
}

void StudentNavigation::connectButtons()
{
    StudentTable& t = frame_.studentFile().table();
    Interaction& ui = frame_.context().ui;
    // Like a dBase cursor: a step before the first (after the last) record
    // stays put; only the step after that says the end is reached.
    const std::pair<const char*, std::function<void()>> moves[] = {
        {"erster", [this, &t] { if (t.first()) { atBegin_ = true; atEnd_ = false; } }},
        {"zur", [this, &t, &ui] {
             if (!t.savePending())
                 return;
             if (atBegin_) {
                 ui.info(QStringLiteral("Anfang erreicht!\n"));
             } else if (t.atFirst()) {
                 atBegin_ = true;
             } else {
                 t.prior();
                 atEnd_ = false;
             }
         }},
        {"vor", [this, &t, &ui] {
             if (!t.savePending())
                 return;
             if (atEnd_) {
                 ui.info(QStringLiteral("Ende erreicht!\n"));
             } else if (t.atLast()) {
                 atEnd_ = true;
             } else {
                 t.next();
                 atBegin_ = false;
             }
         }},
        {"letzter", [this, &t] { if (t.last()) { atEnd_ = true; atBegin_ = false; } }},
    };
    for (const auto& [name, move] : moves) {
        if (QToolButton* b = frame_.window().findChild<QToolButton*>(QLatin1String(name))) {
            b->setEnabled(true);
            connect(b, &QToolButton::clicked, this, [this, move = move] {
                navigating_ = true;
                move();
                navigating_ = false;
            });
        }
    }
    // Any other move (a click, the wheel, the search) leaves both ends.
    connect(&t, &StudentTable::currentRowChanged, this, [this] {
        if (!navigating_)
            atBegin_ = atEnd_ = false;
    });
}

void StudentNavigation::connectSaving()
{
    QWidget& window = frame_.window();
    StudentTable& t = frame_.studentFile().table();
    QTableView& grid = frame_.entryGrid();
    const auto button = [&window](const char* name) { return window.findChild<QToolButton*>(QLatin1String(name)); };
    connect(button("btnspei"), &QToolButton::clicked, this, [&t] { t.savePending(); });
    connect(button("btnabbr"), &QToolButton::clicked, this, [this, &t] {
        if (EntryGridDelegate* editors = cellEditors(frame_))
            editors->discardInput();
        t.cancel();
    });
    connect(&t, &StudentTable::stateChanged, this, &StudentNavigation::updateSaveButtons);
    if (EntryGridDelegate* editors = cellEditors(frame_))
        connect(editors, &EntryGridDelegate::inputChanged, this, &StudentNavigation::updateSaveButtons);
    for (QToolButton* refresh :
         {button("SpeedButton13"), frame_.iconBar().findChild<QToolButton*>(QStringLiteral("SpeedButton21"))}) {
        if (!refresh)
            continue;
        frame_.adminCommands().setAvailable(refresh, true);
        refresh->setEnabled(true);
        connect(refresh, &QToolButton::clicked, this, [this] { frame_.rebuildTable(); });
    }
    // F8 saves, F9 saves and moves on, Esc drops the pending edit.
    const auto key = [this, &grid](QKeySequence seq, std::function<void()> act) {
        auto* sc = new QShortcut(seq, &grid, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, this, std::move(act));
    };
    key(QKeySequence(Qt::Key_F8), [&t] { t.savePending(); });
    key(QKeySequence(Qt::Key_F9), [this] { frame_.saveAndNext(); });
    key(QKeySequence(Qt::Key_Escape), [this, &t, &grid] {
        // In a cell editor Esc drops what was typed there; in the grid the
        // pending edit.
        EntryGridDelegate* editors = cellEditors(frame_);
        if (editors && QApplication::focusWidget() != &grid)
            editors->discardInput();
        else if (QApplication::focusWidget() == &grid)
            t.cancel();
    });
}

void StudentNavigation::updateSaveButtons()
{
    EntryGridDelegate* editors = cellEditors(frame_);
    const bool editing = frame_.studentFile().table().isEditing() || (editors && editors->hasTypedInput());
    for (const char* name : {"btnabbr", "btnspei"}) {
        if (QToolButton* b = frame_.window().findChild<QToolButton*>(QLatin1String(name)))
            b->setEnabled(editing);
    }
}

bool StudentNavigation::eventFilter(QObject* watched, QEvent* event)
{
    QTableView& entryGrid = frame_.entryGrid();
    QTableView& nameGrid = frame_.nameGrid();
    if ((watched == entryGrid.viewport() || watched == nameGrid.viewport()) && event->type() == QEvent::Wheel) {
        // Touchpads turn in small steps; they add up to whole notches.
        wheelRest_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int notches = wheelRest_ / 120;
        wheelRest_ -= notches * 120;
        StudentTable& t = frame_.studentFile().table();
        if (notches != 0 && t.rowCount() > 0) {
            const int target = std::clamp(t.currentRow() - notches * QApplication::wheelScrollLines(), 0,
                                          t.rowCount() - 1);
            t.moveToRow(target);
        }
        return true;
    }
    if ((watched == &entryGrid || watched == &nameGrid) && event->type() == QEvent::KeyPress) {
        // The view's own search by typed letters would move the record
        // cursor, and the next entry would go to another student.
        const auto* press = static_cast<QKeyEvent*>(event);
        const auto* grid = static_cast<QTableView*>(watched);
        const bool typed = !press->text().isEmpty() && press->text().at(0).isPrint()
                           && !(press->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool opensEditor = (grid->editTriggers() & QAbstractItemView::AnyKeyPressed)
                                 && (grid->model()->flags(grid->currentIndex()) & Qt::ItemIsEditable);
        if (typed && QApplication::focusWidget() == grid && !opensEditor) {
            frame_.context().ui.beep();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void installStudentNavigation(MainFrame& frame)
{
    new StudentNavigation(frame);
}

} // namespace zedora
