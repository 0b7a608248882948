#include "periphery/ui/periphery_commands.h"

#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "periphery/open_document.h"
#include "periphery/photo_class_list.h"
#include "data/student_photo.h"
#include "periphery/ui/TFFoto.h"
#include "periphery/ui/TFOnlineUpdate.h"
#include "periphery/ui/Tdoku.h"
#include "periphery/ui/photo_student_source.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

namespace zedora {

namespace {

void showStudentPhoto(MainFrame& frame)
{
    AppContext& ctx = frame.context();
    StudentTable& table = frame.studentFile().table();
    if (!table.isOpen() || table.isEmpty())
        return;
    const StudentPhotoKey key{table.value(QStringLiteral("NAME")), table.value(QStringLiteral("VORNAME")),
                              table.value(QStringLiteral("GEBOREN")), table.value(QStringLiteral("MW"))};
    const QString photo =
        studentPhotoFile(photoFolder(ctx.settings.SibankFotoordner), photoBaseName(key, ctx.settings.Maennlich));
    TFFoto window(key.vorname, key.name, photo, ctx.ui, &frame.window());
    window.exec();
}

void openOnlineUpdate(MainFrame& frame)
{
    AppContext& ctx = frame.context();
    TFOnlineUpdate window(ctx.ui, *ctx.files, ctx.settings, ctx.paths.programDir, ctx.workspace, &frame.window());
    bool closeProgram = false;
    QObject::connect(&window, &TFOnlineUpdate::closeProgramRequested, [&closeProgram] { closeProgram = true; });
    window.exec();
    // The updater waits for the program to end: the main window closes
    // with all its ordinary closing steps.
    if (closeProgram)
        QTimer::singleShot(0, &frame.window(), [&frame] { frame.window().close(); });
}

void openDocumentArchive(MainFrame& frame)
{
    AppContext& ctx = frame.context();
    Tdoku window(ctx.workspace, ctx.settings, ctx.ui, [&ctx](const QString& path) { DocumentOpener(ctx.ui).open(path); },
                 &frame.window());
    window.exec();
}

void openManual(MainFrame& frame, const char* name)
{
    AppContext& ctx = frame.context();
    DocumentOpener(ctx.ui).open(resolveIn(ctx.paths.programDir, QLatin1String(name)));
}

} // namespace

void installPeriphery(MainFrame& frame)
{
    const MainMenu& menu = frame.menu();
    AdminCommands& admin = frame.adminCommands();
    const auto connectItem = [&](const char* name, auto work) {
        QAction* action = menu.action(QLatin1String(name));
        if (!action)
            return;
        QObject::connect(action, &QAction::triggered, &frame.window(), work);
        admin.setAvailable(action, true);
    };
    connectItem("ZeigeSchlerfoto1", [&frame] { showStudentPhoto(frame); });
    connectItem("OnlineUpdate1", [&frame] { openOnlineUpdate(frame); });
    connectItem("documentArchive", [&frame] { openDocumentArchive(frame); });
    connectItem("manualPdf", [&frame] { openManual(frame, "PDF\\ZDR_HABU.PDF"); });
    connectItem("faqPdf", [&frame] { openManual(frame, "PDF\\ZDR_FAQ.PDF"); });
    connectItem("historyPdf", [&frame] { openManual(frame, "PDF\\ZDR_HISTORY_7.PDF"); });

    CurrentStudentFile& file = frame.studentFile();
    new PhotoStudentSource([&file] { return photoStudents(file.table()); }, &frame.window());
}

} // namespace zedora
