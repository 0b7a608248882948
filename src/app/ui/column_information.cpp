#include "app/ui/column_information.h"

#include "core/app_context.h"
#include "entry/column_info.h"
#include "app/ui/TFMain.h"
#include "app/ui/Tspalteninfo.h"
#include "core/ui/admin_commands.h"
#include "app/ui/entry_grid_header.h"
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

QList<bool> placeholdersInLayout(TFMain& window)
{
    const QStringList& lines = window.studentFile().layout().lines;
    const StudentTableModel& model = window.entryModel();
    QList<bool> found;
    for (int c = 0; c < model.columnCount(); ++c)
        found << layoutContainsPlaceholder(lines, placeholderOf(model.column(c)->field));
    return found;
}

QString layoutCaption(TFMain& window)
{
    const QToolButton* status = window.findChild<QToolButton*>(QStringLiteral("spLayout"));
    return status ? status->text() : QString();
}

// Until the layout editor exists, its icon-bar button stands for it; a
// disabled button means the editor cannot open now.
void openEntryLayoutEditor(TFMain& window)
{
    QToolButton* editor = window.iconBar().findChild<QToolButton*>(QStringLiteral("BtnSichern"));
    if (editor && editor->isEnabled())
        editor->click();
}

void showColumnInformation(TFMain& window, EntryGridHeader& header, int column, Opening how)
{
    if (window.pages().currentIndex() != 0)
        return;
    const ColumnSpec* described = window.entryModel().column(column);
    if (!described)
        return;
    QTableView& grid = window.entryGrid();
    const bool marks = how != Opening::TitleClick;
    if (marks) {
        // A refused edit has shown its message and stays in the grid.
        if (!window.studentFile().table().savePending())
            return;
        header.showMarks(placeholdersInLayout(window));
    }
    Tspalteninfo dialog(describeColumn(column, described->field, described->caption, window.studentFile().layout().lines,
                                       layoutCaption(window)),
                        window.context().userMode.isAdministrator(), &window);
    dialog.exec();
    header.hideMarks();
    if (dialog.editLayoutChosen())
        openEntryLayoutEditor(window);
    if (how == Opening::Command) {
        window.studentFile().reopen();
        if (grid.isVisible())
            grid.setFocus();
    }
}

// The current column of DBGrid1; a file without records still has columns.
int currentColumn(TFMain& window)
{
    const QModelIndex current = window.entryGrid().currentIndex();
    if (current.isValid())
        return current.column();
    return window.entryModel().columnCount() > 0 ? 0 : -1;
}

} // namespace

void installColumnInformation(TFMain& window)
{
    QTableView& grid = window.entryGrid();
    auto* header = new EntryGridHeader(&grid);
    grid.setHorizontalHeader(header);
    QObject::connect(header, &QHeaderView::sectionClicked, &window, [&window, header](int column) {
        showColumnInformation(window, *header, column, Opening::TitleClick);
    });

    const auto command = [&window, header] {
        showColumnInformation(window, *header, currentColumn(window), Opening::Command);
    };
    for (const char* name : {"Tabellenrefresh", "Spalteninformation1"}) {
        if (QAction* item = window.menu().action(QLatin1String(name))) {
            window.adminCommands().setAvailable(item, true);
            QObject::connect(item, &QAction::triggered, &window, command);
        }
    }
    if (QToolButton* info = window.findChild<QToolButton*>(QStringLiteral("SpeedButton12"))) {
        info->setEnabled(true);
        QObject::connect(info, &QToolButton::clicked, &window, [&window, header] {
            showColumnInformation(window, *header, currentColumn(window), Opening::InfoButton);
        });
    }
}

} // namespace zedora
