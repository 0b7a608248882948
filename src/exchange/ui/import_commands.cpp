#include "exchange/ui/import_commands.h"

#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table.h"
#include "exchange/ui/TFImport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace zedora {
namespace {

void openImport(MainFrame& frame)
{
    CurrentStudentFile& file = frame.studentFile();
    frame.takeOverInput();
    if (!file.table().savePending())
        return;
    const QString currentDirectory = QFileInfo(QFileInfo(file.path()).absolutePath()).fileName();
    TFImport dialog(frame.context(), currentDirectory, false, &frame.window());
    dialog.exec();
    // The dialog may have chosen other source fields for the two free
    // fields, whose names caption them on the master-data page.
    if (QWidget* masterData = frame.window().findChild<QWidget*>(QStringLiteral("Stammdaten")))
        QMetaObject::invokeMethod(masterData, "updateFreeFieldCaptions");
    const QString created = dialog.lastCreatedDirectory();
    if (created.isEmpty())
        return;
    // The new files are offered at once, in their folder.
    file.writeAssignments();
    const auto chosen = frame.context().ui.openFile(QStringLiteral("Schülerdatei öffnen"),
                                                    QStringLiteral("Schülerdateien (*.dbf *.DBF)"), created, QString());
    if (chosen && !chosen->isEmpty() && QFileInfo::exists(*chosen) && !file.open(*chosen))
        frame.window().close();
}

} // namespace

void installImport(MainFrame& frame)
{
    QAction* action = frame.menu().action(QStringLiteral("MitDatenimportvonSchlerdatei1"));
    if (!action)
        return;
    QObject::connect(action, &QAction::triggered, &frame.window(), [&frame] { openImport(frame); });
    frame.adminCommands().setAvailable(action, true);
}

} // namespace zedora
