#include "entry/ui/column_information.h"

#include "core/app_context.h"
#include "entry/column_info.h"
#include "core/ui/main_frame.h"
#include "entry/ui/Tspalteninfo.h"
#include "core/ui/admin_commands.h"
#include "entry/ui/entry_grid_header.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QAction>
#include <QFrame>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace zedora {

namespace {

enum class Opening {
    TitleClick,  // just the window
    Command,     // menu or F10: marks, then the table is rebuilt
    InfoButton,  // SpeedButton12: marks, no rebuild
};

QList<bool> placeholdersInLayout(MainFrame& frame)
{
    const QStringList& lines = frame.studentFile().layout().lines;
    const StudentTableModel& model = frame.entryModel();
    QList<bool> found;
    for (int c = 0; c < model.columnCount(); ++c)
        found << layoutContainsPlaceholder(lines, placeholderOf(model.column(c)->field));
    return found;
}

QString layoutCaption(MainFrame& frame)
{
    const QToolButton* status = frame.window().findChild<QToolButton*>(QStringLiteral("spLayout"));
    return status ? status->text() : QString();
}

// The layout editor on "Eingabelayout" through its icon-bar button "Spalten
// ändern"; a disabled button means the editor cannot open now.
void openEntryLayoutEditor(MainFrame& frame)
{
    QToolButton* editor = frame.iconBar().findChild<QToolButton*>(QStringLiteral("SpeedButton18"));
    if (editor && editor->isEnabled())
        editor->click();
}

void showColumnInformation(MainFrame& frame, EntryGridHeader& header, int column, Opening how)
{
    if (frame.pages().currentIndex() != 0)
        return;
    const ColumnSpec* described = frame.entryModel().column(column);
    if (!described)
        return;
    QTableView& grid = frame.entryGrid();
    const bool marks = how != Opening::TitleClick;
    if (marks) {
        // A refused edit has shown its message and stays in the grid.
        if (!frame.studentFile().table().savePending())
            return;
        header.showMarks(placeholdersInLayout(frame));
    }
    Tspalteninfo dialog(describeColumn(column, described->field, described->caption, frame.studentFile().layout().lines,
                                       layoutCaption(frame)),
                        frame.context().userMode.isAdministrator(), &frame.window());
    dialog.exec();
    header.hideMarks();
    if (dialog.editLayoutChosen())
        openEntryLayoutEditor(frame);
    if (how == Opening::Command) {
        frame.studentFile().reopen();
        if (grid.isVisible())
            grid.setFocus();
    }
}

// The current column of DBGrid1; a file without records still has columns.
int currentColumn(MainFrame& frame)
{
    const QModelIndex current = frame.entryGrid().currentIndex();
    if (current.isValid())
        return current.column();
    return frame.entryModel().columnCount() > 0 ? 0 : -1;
}

} // namespace

void installColumnInformation(MainFrame& frame)
{
    QTableView& grid = frame.entryGrid();
    auto* header = new EntryGridHeader(&grid);
    grid.setHorizontalHeader(header);
    QObject::connect(header, &QHeaderView::sectionClicked, &frame.window(), [&frame, header](int column) {
        showColumnInformation(frame, *header, column, Opening::TitleClick);
    });

    const auto command = [&frame, header] {
        showColumnInformation(frame, *header, currentColumn(frame), Opening::Command);
    };
    for (const char* name : {"Tabellenrefresh", "Spalteninformation1"}) {
        if (QAction* item = frame.menu().action(QLatin1String(name))) {
            frame.adminCommands().setAvailable(item, true);
            QObject::connect(item, &QAction::triggered, &frame.window(), command);
        }
    }
    if (QToolButton* info = frame.window().findChild<QToolButton*>(QStringLiteral("SpeedButton12"))) {
        info->setEnabled(true);
        QObject::connect(info, &QToolButton::clicked, &frame.window(), [&frame, header] {
            showColumnInformation(frame, *header, currentColumn(frame), Opening::InfoButton);
        });
    }
}

} // namespace zedora
