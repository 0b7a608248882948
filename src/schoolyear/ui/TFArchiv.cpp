#include "schoolyear/ui/TFArchiv.h"

#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "core/app_context.h"
#include "core/ui/main_frame.h"
#include "data/student_files.h"
#include "schoolyear/archive_files.h"
#include "schoolyear/statistics_directory.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

TFArchiv::TFArchiv(MainFrame& frame, const QString& openFile, QWidget* parent)
    : QDialog(parent), frame_(frame), openFile_(openFile)
{
    setObjectName(QStringLiteral("TFArchiv"));
    setWindowTitle(QStringLiteral("Archivdateien bearbeiten"));
    auto* top = new QVBoxLayout(this);
    auto* lists = new QHBoxLayout;
    auto* source = new QGroupBox(QStringLiteral(" Quelle "), this);
    auto* sl = new QVBoxLayout(source);
    sourceDirs_ = new QListWidget(source);
    sourceDirs_->setObjectName(QStringLiteral("quelledir"));
    sourceFiles_ = new QListWidget(source);
    sourceFiles_->setObjectName(QStringLiteral("quelleFile"));
    sourceFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sl->addWidget(sourceDirs_);
    sl->addWidget(sourceFiles_);
    auto* go = new QPushButton(QStringLiteral(">>"), this);
    go->setObjectName(QStringLiteral("transferButton"));
    go->setToolTip(QStringLiteral("Übertrage in gewählte Archivdatei"));
    auto* target = new QGroupBox(QStringLiteral(" Ziel "), this);
    auto* tl = new QVBoxLayout(target);
    // Archive files live in ARCHIV only: the folder is shown, not chosen.
    auto* targetDirs = new QListWidget(target);
    targetDirs->setObjectName(QStringLiteral("zieldir"));
    targetDirs->addItem(QStringLiteral("ARCHIV"));
    targetDirs->setMaximumHeight(targetDirs->sizeHintForRow(0) * 2 + 2 * targetDirs->frameWidth());
    targetDirs->setEnabled(false);
    tl->addWidget(targetDirs);
    targetFiles_ = new QListWidget(target);
    targetFiles_->setObjectName(QStringLiteral("zielfile"));
    tl->addWidget(targetFiles_);
    lists->addWidget(source);
    lists->addWidget(go);
    lists->addWidget(target);
    top->addLayout(lists);
    auto* buttons = new QHBoxLayout;
    auto* del = new QPushButton(QStringLiteral("Datei &löschen"), this);
    auto* create = new QPushButton(QStringLiteral("&Neue Archivdatei"), this);
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    buttons->addWidget(del);
    buttons->addWidget(create);
    buttons->addWidget(close);
    top->addLayout(buttons);
    resize(640, 420);

    const QString ws = frame_.context().workspace;
    for (const QString& d : QDir(ws).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        sourceDirs_->addItem(d);
    connect(sourceDirs_, &QListWidget::itemClicked, this,
            [this, ws](QListWidgetItem* item) { showSourceDirectory(joinPath(ws, item->text())); });
    connect(sourceFiles_, &QListWidget::itemClicked, this, [this] { targetClickedLast_ = false; });
    connect(targetFiles_, &QListWidget::itemClicked, this, [this] { targetClickedLast_ = true; });
    connect(go, &QPushButton::clicked, this, &TFArchiv::transfer);
    connect(del, &QPushButton::clicked, this, &TFArchiv::deleteSelected);
    connect(create, &QPushButton::clicked, this, &TFArchiv::createArchive);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    frame_.context().files->createDirectory(archiveDir());
    showSourceDirectory(QFileInfo(openFile_).absolutePath());
    refreshTargets();
}

QString TFArchiv::archiveDir() const
{
    return joinPath(frame_.context().workspace, QStringLiteral("ARCHIV"));
}

void TFArchiv::showSourceDirectory(const QString& dir)
{
    sourceDir_ = dir;
    // The folder whose files are listed is the one marked.
    const auto shown = sourceDirs_->findItems(QFileInfo(dir).fileName(), Qt::MatchFixedString);
    if (!shown.isEmpty())
        sourceDirs_->setCurrentItem(shown.first());
    sourceFiles_->clear();
    sourceFiles_->addItems(studentFilesIn(dir));
}

void TFArchiv::refreshTargets()
{
    targetFiles_->clear();
    targetFiles_->addItems(studentFilesIn(archiveDir()));
}

void TFArchiv::transfer()
{
    Interaction& ui = frame_.context().ui;
    if (!targetFiles_->currentItem() || !targetFiles_->currentItem()->isSelected()) {
        ui.error(QStringLiteral("Keine Zielarchivdatei ausgewählt!"));
        return;
    }
    if (ui.ask(QStringLiteral("Archivierung starten?\n"), Buttons::YesNoCancel) != Answer::Yes)
        return;
    AppContext& ctx = frame_.context();
    const StudentFileContext context{ctx.workspace, ctx.paths.computerName, *ctx.files, ui};
    const QString target = joinPath(archiveDir(), targetFiles_->currentItem()->text());
    for (int i = 0; i < sourceFiles_->count(); ++i) {
        QListWidgetItem* item = sourceFiles_->item(i);
        if (!item->isSelected())
            continue;
        const auto result = transferIntoArchive(joinPath(sourceDir_, item->text()), target, context);
        if (!result)
            return;
        ui.info(transferReport(target, *result));
        item->setSelected(false);
    }
}

void TFArchiv::createArchive()
{
    Interaction& ui = frame_.context().ui;
    const auto chosen = ui.saveFile(QStringLiteral("Neue Archivdatei erstellen (z.B.: A97-98-1"),
                                    QStringLiteral("Archivdateien (z.B. A08-09-1.dbf)|A??-??-?.dbf"), archiveDir(),
                                    QString());
    if (!chosen)
        return;
    AppContext& ctx = frame_.context();
    const StudentFileContext context{ctx.workspace, ctx.paths.computerName, *ctx.files, ui};
    if (createArchiveFile(*chosen, context))
        refreshTargets();
}

void TFArchiv::deleteSelected()
{
    QListWidget* list = targetClickedLast_ ? targetFiles_ : sourceFiles_;
    QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString dir = targetClickedLast_ ? archiveDir() : sourceDir_;
    const QString path = resolvePath(joinPath(dir, item->text()));
    const QString base = path.left(path.size() - 4);
    Interaction& ui = frame_.context().ui;
    if (ui.ask(QDir::toNativeSeparators(path) + QStringLiteral("\n\n") +
                   QStringLiteral("     wirklich\n\n          löschen?\n"),
               Buttons::YesNoCancel) != Answer::Yes)
        return;
    if (QFileInfo(path) == QFileInfo(openFile_)) {
        ui.error(QStringLiteral("Schülerdatei ist in Bearbeitung!"));
        return;
    }
    // The register is written once for the four files, not after each.
    WorkspaceFiles& files = *frame_.context().files;
    const bool deferred = files.createdFiles().deferred();
    if (!deferred)
        files.createdFiles().beginDefer();
    for (const char* ext : {".DBF", ".DBT", ".INI", ".MDX"})
        files.deleteFile(base + QLatin1String(ext));
    if (!deferred)
        files.createdFiles().endDefer();
    if (targetClickedLast_)
        refreshTargets();
    else
        showSourceDirectory(sourceDir_);
}

} // namespace zedora
