#include "entry/ui/table_lock.h"

#include "core/app_context.h"
#include "core/ui/main_frame.h"
#include "base/interaction.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QFrame>
#include <QBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>

namespace zedora {

namespace {
bool releasableKind(int kind)
{
    return kind == FieldKind::FreeText || kind == FieldKind::Grade || kind == FieldKind::GradeLikeCode
           || kind == FieldKind::Absence || kind == FieldKind::CourseLevel;
}
} // namespace

TableLock::TableLock(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("entryTableLock"));
    // The red "Gesperrt" sign stands right above the grids, clear of their
    // column titles.
    QWidget* gridFrame = frame.entryGrid().parentWidget();
    QWidget* page = gridFrame->parentWidget();
    panel16_ = new QLabel(QStringLiteral("Gesperrt"), page);
    panel16_->setObjectName(QStringLiteral("Panel16"));
    panel16_->setAlignment(Qt::AlignCenter);
    panel16_->setStyleSheet(QStringLiteral("QLabel { background: red; color: white; font-weight: bold; }"));
    panel16_->setFixedSize(80, 20);
    if (auto* rows = qobject_cast<QBoxLayout*>(page->layout()))
        rows->insertWidget(rows->indexOf(gridFrame), panel16_, 0, Qt::AlignRight);
    // Opening a file applies SperreOption again; a released column does not
    // survive that.
    connect(&frame.studentFile(), &CurrentStudentFile::opened, this, [this] {
        released_ = -1;
        showState();
        emit changed();
    });
    showState();
}

bool TableLock::locked() const
{
    return frame_.studentFile().editState().tableLock;
}

void TableLock::lock()
{
    if (locked()) {
        frame_.context().ui.info(QStringLiteral("Tabelle ist bereits gesperrt!"));
        return;
    }
    setLock(true);
}

void TableLock::unlock()
{
    if (!locked()) {
        frame_.context().ui.info(QStringLiteral("Tabelle ist bereits zur Eingabe frei!"));
        return;
    }
    setLock(false);
}

void TableLock::setLock(bool on)
{
    frame_.context().settings.SperreOption = on;
    EditState state = frame_.studentFile().editState();
    state.tableLock = on;
    // Applying the state sets every field by its kind, which also locks a
    // column released before.
    frame_.studentFile().applyEditState(state);
    released_ = -1;
    showState();
    focusAndRepaint();
    emit changed();
}

void TableLock::toggleColumn(int column)
{
    const ColumnSpec* description = frame_.entryModel().column(column);
    const int field = frame_.entryModel().fieldOfColumn(column);
    if (!description || field < 0 || !releasableKind(description->kind))
        return;
    if (!locked())
        setLock(true);  // the current index of the grid stays where it is
    StudentTable& table = frame_.studentFile().table();
    table.setReadOnly(field, !table.isReadOnly(field));
    if (released_ >= 0 && released_ != column) {
        const int before = frame_.entryModel().fieldOfColumn(released_);
        if (before >= 0)
            table.setReadOnly(before, true);
    }
    released_ = table.isReadOnly(field) ? -1 : column;
    focusAndRepaint();
    emit changed();
}

void TableLock::showState()
{
    const bool on = locked();
    if (auto* gridFrame = frame_.window().findChild<QFrame*>(QStringLiteral("Panel15")))
        gridFrame->setStyleSheet(on ? QStringLiteral("QFrame#Panel15 { background: red; }")
                                : QStringLiteral("QFrame#Panel15 { background: lime; }"));
    panel16_->setVisible(on);
}

void TableLock::focusAndRepaint()
{
    QTableView& grid = frame_.entryGrid();
    if (frame_.pages().currentIndex() == 0 && grid.isVisible())
        grid.setFocus();
    grid.viewport()->update();
    frame_.nameGrid().viewport()->update();
}

} // namespace zedora
