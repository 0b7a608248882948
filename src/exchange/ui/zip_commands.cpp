#include "exchange/ui/zip_commands.h"

#include "base/directory_conventions.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/student_table_model.h"
#include "data/current_student_file.h"
#include "data/file_assignments.h"
#include "entry/abbreviation_tables.h"
#include "exchange/ui/TFSpaltenlesen.h"
#include "exchange/ui/TfExport.h"
#include "exchange/zip_import.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFrame>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace zedora {

namespace {

const char* const kLocked = "Import ist nicht möglich, Tabelle ist gesperrt!\n";
const char* const kNoDataDirectory =
    "ACHTUNG: Kein gültiges Zedora-Datenverzeichnis (z. B. der Form \"ZE-0910-?\")\n"
    "Ein Import kann auf dem Zielrechner zu Problemen führen!";

// The checks both entries run first; false stops the command.
bool commonChecks(MainFrame& frame)
{
    AppContext& ctx = frame.context();
    if (ctx.settings.SperreOption) {
        ctx.ui.warning(QString::fromUtf8(kLocked));
        return false;
    }
    CurrentStudentFile& file = frame.studentFile();
    const QString folder = QFileInfo(file.path()).path();
    if (!isDataDirectoryName(folder) && ctx.ui.ask(QString::fromUtf8(kNoDataDirectory), Buttons::OkCancel) != Answer::Ok)
        return false;
    frame.takeOverInput();
    file.table().savePending();
    file.writeAssignments();
    return true;
}

void exportZip(MainFrame& frame, ExportMode mode)
{
    AppContext& ctx = frame.context();
    CurrentStudentFile& file = frame.studentFile();
    ExportStart start{ctx.workspace, file.path(), file.assignments().TBSdatei, file.assignments().Faecherdatei,
                      file.assignments().Layoutdatei};
    TfExport window(mode, start, ctx.settings, ctx.ui, ctx.createdFiles.get(), &frame.window());
    window.exec();
    QDir::setCurrent(QFileInfo(file.path()).path());
}

void importZip(MainFrame& frame)
{
    AppContext& ctx = frame.context();
    CurrentStudentFile& file = frame.studentFile();
    QString path = file.path();
    // The tables are closed while their files may be replaced.
    file.table().close();
    ZipImportResult r;
    {
        TablesLetGo letGo(ctx.heldTables);
        ZipImport import(ctx.workspace, ctx.userMode.isAdministrator(), ctx.ui, ctx.createdFiles.get());
        r = import.run(ctx.settings.ImEx1);
    }
    if (!r.zipFolder.isEmpty())
        ctx.settings.ImEx1 = r.zipFolder;
    if (r.imported) {
        if (r.settingsImported)
            ctx.settingsFiles->readProgramWide(ctx.settings);
        if (r.abbreviationsImported)
            frame.abbreviations().loadAtStart(ctx.settings);
        const QString imported = r.studentFile.isEmpty() ? QString() : resolveIn(ctx.workspace, r.studentFile);
        if (!imported.isEmpty() && QFileInfo(imported).isFile()) {
            ctx.ui.info(QStringLiteral("Import verlief erfolgreich!\n"));
            path = imported;
            FileAssignments a = readAssignments(imported, ctx.workspace, file.assignments());
            const QString layout = r.layout.isEmpty() ? QString() : resolveIn(ctx.workspace, r.layout);
            if (!layout.isEmpty() && QFileInfo(layout).isFile())
                a.Layoutdatei = layout;
            a.TBSdatei = file.assignments().TBSdatei;
            a.Faecherdatei = file.assignments().Faecherdatei;
            writeAssignments(imported, ctx.workspace, a, ctx.ui,
                             [&ctx](const QString& p) { ctx.createdFiles->registerFile(p); });
        }
    } else {
        ctx.ui.info(QStringLiteral("Der Datenimport wurde abgebrochen!\n"));
    }
    file.open(path);
    QDir::setCurrent(QFileInfo(file.path()).path());
}

void openTransfer(MainFrame& frame, TransferMode mode, QPointer<TFSpaltenlesen>& open)
{
    AppContext& ctx = frame.context();
    if (ctx.settings.SperreOption) {
        ctx.ui.warning(QString::fromUtf8(kLocked));
        return;
    }
    if (open)
        open->close();
    auto* window = new TFSpaltenlesen(mode, frame.studentFile(), ctx.settings, ctx.ui, ctx.workspace, &frame.entryGrid(),
                                      &frame.entryModel(), &frame.window());
    window->setAttribute(Qt::WA_DeleteOnClose);
    open = window;
    if (mode == TransferMode::Record)
        window->exec();
    else
        window->show();
}

} // namespace

void installZipExchange(MainFrame& frame)
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
    const auto exportWork = [&frame] {
        if (commonChecks(frame))
            exportZip(frame, ExportMode::Export);
    };
    const auto importWork = [&frame] {
        if (commonChecks(frame))
            importZip(frame);
    };
    connectItem("zipExport", exportWork);
    connectItem("zipImport", importWork);
    connectItem("backup", [&frame] {
        frame.takeOverInput();
        frame.studentFile().table().savePending();
        exportZip(frame, ExportMode::Backup);
    });
    auto* openWindow = new QPointer<TFSpaltenlesen>;
    QObject::connect(&frame.window(), &QObject::destroyed, [openWindow] { delete openWindow; });
    connectItem("readColumns", [&frame, openWindow] { openTransfer(frame, TransferMode::Columns, *openWindow); });
    connectItem("readRecord", [&frame, openWindow] { openTransfer(frame, TransferMode::Record, *openWindow); });

    if (auto* button = frame.iconBar().findChild<QAbstractButton*>(QStringLiteral("SpeedButton9"))) {
        admin.setAvailable(button, true);
        QObject::connect(button, &QAbstractButton::clicked, &frame.window(), exportWork);
    }
    if (auto* button = frame.iconBar().findChild<QAbstractButton*>(QStringLiteral("SpeedButton11"))) {
        admin.setAvailable(button, true);
        QObject::connect(button, &QAbstractButton::clicked, &frame.window(), importWork);
    }
}

} // namespace zedora
