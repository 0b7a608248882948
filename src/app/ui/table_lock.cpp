#include "app/ui/table_lock.h"

#include "core/app_context.h"
#include "app/ui/TFMain.h"
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

TableLock::TableLock(TFMain& window) : QObject(&window), window_(window)
{
    setObjectName(QStringLiteral("entryTableLock"));
    // The red "Gesperrt" sign stands right above the grids, clear of their
    // column titles.
    QWidget* frame = window.entryGrid().parentWidget();
    QWidget* page = frame->parentWidget();
    panel16_ = new QLabel(QStringLiteral("Gesperrt"), page);
    panel16_->setObjectName(QStringLiteral("Panel16"));
    panel16_->setAlignment(Qt::AlignCenter);
    panel16_->setStyleSheet(QStringLiteral("QLabel { background: red; color: white; font-weight: bold; }"));
    panel16_->setFixedSize(80, 20);
    if (auto* rows = qobject_cast<QBoxLayout*>(page->layout()))
        rows->insertWidget(rows->indexOf(frame), panel16_, 0, Qt::AlignRight);
    // Opening a file applies SperreOption again; a released column does not
    // survive that.
    connect(&window.studentFile(), &CurrentStudentFile::opened, this, [this] {
        released_ = -1;
        showState();
        emit changed();
    });
    showState();
}

bool TableLock::locked() const
{
    return window_.studentFile().editState().tableLock;
}

void TableLock::lock()
{
    if (locked()) {
        window_.context().ui.info(QStringLiteral("Tabelle ist bereits gesperrt!"));
        return;
    }
    setLock(true);
}

void TableLock::unlock()
{
    if (!locked()) {
        window_.context().ui.info(QStringLiteral("Tabelle ist bereits zur Eingabe frei!"));
        return;
    }
    setLock(false);
}

void TableLock::setLock(bool on)
{
    window_.context().settings.SperreOption = on;
    EditState state = window_.studentFile().editState();
    state.tableLock = on;
    // Applying the state sets every field by its kind, which also locks a
    // column released before.
    window_.studentFile().applyEditState(state);
    released_ = -1;
    showState();
    focusAndRepaint();
    emit changed();
}

void TableLock::toggleColumn(int column)
{
    const ColumnSpec* description = window_.entryModel().column(column);
    const int field = window_.entryModel().fieldOfColumn(column);
    if (!description || field < 0 || !releasableKind(description->kind))
        return;
    if (!locked())
        setLock(true);  // the current index of the grid stays where it is
    StudentTable& table = window_.studentFile().table();
    table.setReadOnly(field, !table.isReadOnly(field));
    if (released_ >= 0 && released_ != column) {
        const int before = window_.entryModel().fieldOfColumn(released_);
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
    if (auto* frame = window_.findChild<QFrame*>(QStringLiteral("Panel15")))
        frame->setStyleSheet(on ? QStringLiteral("QFrame#Panel15 { background: red; }")
                                : QStringLiteral("QFrame#Panel15 { background: lime; }"));
    panel16_->setVisible(on);
}

void TableLock::focusAndRepaint()
{
    QTableView& grid = window_.entryGrid();
    if (window_.pages().currentIndex() == 0 && grid.isVisible())
        grid.setFocus();
    grid.viewport()->update();
    window_.nameGrid().viewport()->update();
}

} // namespace zedora
