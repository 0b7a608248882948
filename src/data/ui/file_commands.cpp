#include "data/ui/file_commands.h"

#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/column_block_sources.h"
#include "data/current_student_file.h"
#include "data/ui/TFEingabeLayout.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

namespace zedora {

namespace {

QListWidget& fileList(MainFrame& frame)
{
    return *frame.window().findChild<QListWidget*>(QStringLiteral("dateienbox"));
}

void chooseStudentFile(MainFrame& frame)
{
    CurrentStudentFile& file = frame.studentFile();
    Interaction& ui = frame.context().ui;
    if (!file.table().savePending())
        return;
    file.writeAssignments();
    const std::optional<QString> chosen =
        ui.openFile(QStringLiteral("Schülerdatei öffnen"), QStringLiteral("Schülerdateien (*.dbf *.DBF)"),
                    QFileInfo(file.path()).absolutePath(), file.fileName());
    if (!chosen || chosen->isEmpty() || !QFileInfo::exists(*chosen))
        return;
    if (chosen->startsWith(QLatin1String("A:"), Qt::CaseInsensitive)) {
        ui.info(QStringLiteral("Das Öffnen einer Datei auf Diskette ist nicht vorgesehen,\n"
                               "benutzen Sie den Menüpunkt \"Datenimport\" !\n"));
        return;
    }
    if (!file.open(*chosen))
        frame.window().close();
}

void fillFileList(MainFrame& frame)
{
    QListWidget& list = fileList(frame);
    const QSignalBlocker block(&list);
    list.clear();
    const QStringList files = frame.studentFile().studentFilesOfDirectory();
    QFont f = list.font();
    f.setPointSize(files.size() < 11 ? 10 : 8);
    list.setFont(f);
    list.addItems(files);
    const QString current = frame.studentFile().fileName();
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->text().compare(current, Qt::CaseInsensitive) == 0)
            list.setCurrentRow(i);
    }
}

// Assigning another column layout file or layout to the student file; both
// are written at once, since opening again reads the assignments back.
void assignColumnFile(MainFrame& frame)
{
    CurrentStudentFile& file = frame.studentFile();
    if (const std::optional<QString> name = chooseColumnLayoutFile(frame.context().workspace, frame.context().ui)) {
        file.assignments().Faecherdatei = *name;
        file.writeAssignments();
        file.reopen();
    }
}

void assignLayout(MainFrame& frame)
{
    CurrentStudentFile& file = frame.studentFile();
    AppContext& context = frame.context();
    const std::optional<QString> chosen = chooseLayout(
        context.workspace, file.assignments().Layoutdatei, context.ui,
        [&context](const QString& p) { context.createdFiles->registerFile(p); },
        [&context](const QString& p) { context.createdFiles->registerDirectory(p); });
    if (chosen) {
        file.assignments().Layoutdatei = *chosen;
        file.writeAssignments();
        file.reopen();
    }
}

void connectFileList(MainFrame& frame)
{
    QWidget& window = frame.window();
    CurrentStudentFile& file = frame.studentFile();
    QListWidget& list = fileList(frame);
    // The file list's own menu.
    auto* fileListMenu = new QMenu(&list);
    QAction* layoutItem = fileListMenu->addAction(QStringLiteral("&Layout zuweisen"));
    layoutItem->setObjectName(QStringLiteral("Layoutzuweisen1"));
    QObject::connect(layoutItem, &QAction::triggered, &window, [&frame] { assignLayout(frame); });
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&list, &QWidget::customContextMenuRequested, &window, [&list, fileListMenu](const QPoint& at) {
        fileListMenu->popup(list.viewport()->mapToGlobal(at));
    });
    QObject::connect(&list, &QListWidget::itemClicked, &window, [&file](QListWidgetItem* item) {
        const QString path = QDir(QFileInfo(file.path()).absolutePath()).filePath(item->text());
        if (QFileInfo(path) == QFileInfo(file.path()))
            return;
        if (!file.table().savePending())
            return;
        file.writeAssignments();
        file.open(path);
    });
    QObject::connect(&list, &QListWidget::itemDoubleClicked, &window, [&frame] { chooseStudentFile(frame); });
    auto* directories = window.findChild<QComboBox*>(QStringLiteral("sjbox"));
    QObject::connect(directories, &QComboBox::activated, &window, [&frame, &file, directories](int index) {
        file.switchDataDirectory(directories->itemText(index));
        fillFileList(frame);
    });
}

} // namespace

void installFileCommands(MainFrame& frame)
{
    QWidget& window = frame.window();
    CurrentStudentFile& file = frame.studentFile();
    AdminCommands& admin = frame.adminCommands();
    file.setChooseBlock([&frame](LoadedLayout& layout) {
        TFEingabeLayout dialog(layout.lines, frame.context().workspace, layout.path, frame.context().ui,
                               &frame.window());
        dialog.exec();
        return dialog.changed();
    });
    QObject::connect(&file, &CurrentStudentFile::opened, &window, [&frame] { fillFileList(frame); });
    QObject::connect(&file, &CurrentStudentFile::filesChanged, &window, [&frame] { fillFileList(frame); });
    QObject::connect(&file, &CurrentStudentFile::cannotGoOn, &window, &QWidget::close);

    const auto command = [&](const char* name, auto slot) {
        if (QAction* a = frame.menu().action(QLatin1String(name))) {
            admin.setAvailable(a, true);
            QObject::connect(a, &QAction::triggered, &window, slot);
        }
    };
    command("openStudentFile", [&frame] { chooseStudentFile(frame); });
    command("ErstelleeineleereDatei1", [&file] { file.createEmpty(); });
    command("Dateienlschen1", [&file] { file.deleteFiles(); });
    command("reorganiseFile", [&file] { file.reorganiseCurrent(); });
    command("Komplett", [&file, &window] {
        if (file.scheduleCompleteReorganisation())
            window.close();
    });
    for (int value = 1; value <= 3; ++value) {
        if (QAction* sort = frame.menu().sortItem(value)) {
            admin.setAvailable(sort, true);
            QObject::connect(sort, &QAction::triggered, &window, [&frame, &file, value] {
                frame.context().settings.Sortierung = value;
                file.applySortOrder();
            });
        }
    }
    command("toggleFileList", [&frame, &window] {
        QFrame* filePanel = window.findChild<QFrame*>(QStringLiteral("Panel7"));
        filePanel->setVisible(!filePanel->isVisible());
        frame.context().settings.DateienWahlBoxSichtbar = filePanel->isVisible();
    });
    command("assignColumnLayoutFile", [&frame] { assignColumnFile(frame); });
    for (const char* name : {"spFDF", "spLayout"}) {
        if (QToolButton* b = window.findChild<QToolButton*>(QLatin1String(name))) {
            b->setEnabled(true);
            if (QLatin1String(name) == QLatin1String("spFDF"))
                QObject::connect(b, &QToolButton::clicked, &window, [&frame] { assignColumnFile(frame); });
            else
                QObject::connect(b, &QToolButton::clicked, &window, [&frame] { assignLayout(frame); });
        }
    }
    if (QToolButton* sp = window.findChild<QToolButton*>(QStringLiteral("spDatei"))) {
        sp->setEnabled(true);
        QObject::connect(sp, &QToolButton::clicked, &window, [&frame] { chooseStudentFile(frame); });
    }
    connectFileList(frame);
}

} // namespace zedora
