#include "print/ui/layout_editor_commands.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/column_block_sources.h"
#include "data/current_student_file.h"
#include "entry/abbreviation_tables.h"
#include "print/code_meanings.h"
#include "print/layout_files.h"
#include "print/layout_model.h"
#include "print/layout_reader.h"
#include "print/listing_printouts.h"
#include "print/page_renderer.h"
#include "print/print_job.h"
#include "print/print_metrics.h"
#include "print/student_print_records.h"
#include "print/ui/TFLay.h"
#include "print/ui/TFVorschau.h"
#include "print/ui/preview_commands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QPointer>
#include <QToolButton>

namespace zedora {

namespace {

class LayoutEditorCommands : public QObject {
public:
    explicit LayoutEditorCommands(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
    {
        setObjectName(QStringLiteral("layoutEditorCommands"));
    }
    ~LayoutEditorCommands() override { delete preview_; }

    void open(TFLay::Page page);

private:
    void editorClosed(const QString& current);
    void showPreview(const QString& path, const QStringList& text, FormMode mode, std::optional<QPoint> marker);
    void closeMainPreview();
    QStringList abbreviationFiles() const;

    MainFrame& frame_;
    std::unique_ptr<LayoutFiles> files_;
    QPointer<TFLay> editor_;
    std::unique_ptr<PrintMetrics> metrics_;
    std::unique_ptr<TDruckLayout> layout_;
    std::unique_ptr<StudentPrintRecords> records_;
    std::unique_ptr<AbbreviationMeanings> meanings_;
    TFVorschau* preview_ = nullptr;
};

QString normalised(const QString& path) { return upperAscii(toSlashes(path.trimmed())); }

void LayoutEditorCommands::closeMainPreview()
{
    if (auto* p = dynamic_cast<PreviewCommands*>(frame_.window().findChild<QObject*>(QStringLiteral("previewCommands"))))
        p->close();
}

QStringList LayoutEditorCommands::abbreviationFiles() const
{
    return QDir(frame_.context().workspace).entryList({QStringLiteral("KUERZEL*.TXT"), QStringLiteral("kuerzel*.txt")},
                                                      QDir::Files);
}

void LayoutEditorCommands::open(TFLay::Page page)
{
    CurrentStudentFile& file = frame_.studentFile();
    AppContext& context = frame_.context();
    frame_.takeOverInput();
    if (file.table().isOpen() && !file.table().savePending())
        return;
    closeMainPreview();

    if (editor_)
        return;
    // A layout deleted since the file was opened: the user picks another.
    if (!QFileInfo(resolvePath(file.layout().path.trimmed())).isFile()) {
        const std::optional<QString> chosen = chooseLayout(
            context.workspace, file.layout().path, context.ui,
            [&context](const QString& p) { context.createdFiles->registerFile(p); },
            [&context](const QString& p) { context.createdFiles->registerDirectory(p); });
        if (!chosen)
            return;
        file.assignments().Layoutdatei = *chosen;
        file.writeAssignments();
        if (file.table().isOpen())
            file.reopen();
    }
    // Shown modal without a nested event loop: the main window's callers
    // (the column information, tests) return at once; the steps after the
    // editor closes run when it finishes.
    files_ = std::make_unique<LayoutFiles>(context.workspace, *context.files, context.ui);
    const QString current = file.layout().path;
    auto* editor = new TFLay(*files_, context.ui, file.layout().abbreviationFile, abbreviationFiles(), &frame_.window());
    editor->setAttribute(Qt::WA_DeleteOnClose);
    // Modal to the main window only: the preview is a window of its own and
    // must take clicks while the editor is open.
    editor->setWindowModality(Qt::WindowModal);
    editor->preview = [this](const QString& path, const QStringList& text, FormMode mode, std::optional<QPoint> marker) {
        showPreview(path, text, mode, marker);
    };
    editor->printContents = [this, &context](bool columnLayout, const QString& path, const QStringList& text) {
        frame_.showListPrintout(listingJob(columnLayout ? columnLayoutListing(context.settings, path, text)
                                                        : layoutContentsListing(context.settings, path, text)));
    };
    editor->appearanceDialog = [&file](QStringList& lines) {
        if (!file.chooseBlock())
            return false;
        LoadedLayout edited;
        edited.path = file.layout().path;
        edited.lines = lines;
        const bool changed = file.chooseBlock()(edited);
        lines = edited.lines;
        return changed;
    };
    if (!editor->openPath(files_->layoutToEdit(current))) {
        delete editor;
        files_.reset();
        return;
    }
    if (context.settings.FDFAlt) {
        const QString name = file.assignments().Faecherdatei.trimmed();
        editor->useColumnFile(name.isEmpty() ? QString() : resolveIn(context.workspace, QStringLiteral("DEFINI\\") + name));
    }
    editor->showPage(page);
    editor->showHelpLine(context.settings.MitHilfe);
    editor_ = editor;
    connect(editor, &QDialog::finished, this, [this, current] { editorClosed(current); });
    editor->show();
}

void LayoutEditorCommands::editorClosed(const QString& current)
{
    CurrentStudentFile& file = frame_.studentFile();
    AppContext& context = frame_.context();
    // The position marker lives only while the editor is open.
    if (preview_)
        preview_->close();
    const QString edited = editor_ ? editor_->layout().path : QString();
    // A dialog that finishes is only hidden: each opening makes a new one.
    if (editor_)
        editor_->deleteLater();
    editor_ = nullptr;
    if (!edited.isEmpty() && normalised(edited) != normalised(current)) {
        const Answer a = context.ui.ask(
            QStringLiteral("Es wurde ein anderes als das aktuelle Layout bearbeitet.\n"
                           "Soll dieses Layout als das aktuelle registriert werden?\n"),
            Buttons::YesNoCancel);
        if (a == Answer::Yes) {
            file.assignments().Layoutdatei = toWindowsSeparators(edited);
            file.writeAssignments();
        }
    }
    // Reopening loads the (possibly edited) current layout again.
    if (file.table().isOpen())
        file.reopen();
}

void LayoutEditorCommands::showPreview(const QString& path, const QStringList& text, FormMode mode,
                                       std::optional<QPoint> marker)
{
    CurrentStudentFile& file = frame_.studentFile();
    AppContext& context = frame_.context();
    if (!file.table().isOpen() || file.table().isEmpty())
        return;
    if (!metrics_) {
        metrics_ = std::make_unique<PrintMetrics>();
        metrics_->calibrate();
    }
    auto layout = std::make_unique<TDruckLayout>();
    parseLayoutText(text, QFileInfo(path).absolutePath(), *layout, context.workspace);
    layout->Dateiname = path;
    layout_ = std::move(layout);
    records_ = std::make_unique<StudentPrintRecords>(file.table());
    records_->followCurrentRow();
    meanings_ = std::make_unique<AbbreviationMeanings>(frame_.abbreviations());
    PlaceholderContext placeholders;
    placeholders.settings = &context.settings;
    placeholders.codes = meanings_.get();
    placeholders.ui = &context.ui;
    placeholders.formMode = mode;
    for (const QString& ep : file.assignments().EP)
        if (!ep.trimmed().isEmpty())
            placeholders.epochalSubjects << ep.trimmed();
    placeholders.freeEntryColumns = file.layout().columns.exemptList;
    RenderOptions options = RenderOptions::fromSettings(context.settings, context.workspace);
    options.positionMarker = marker;
    if (!preview_) {
        preview_ = new TFVorschau(context.settings, context.ui, *metrics_, &frame_.window());
        preview_->setWorkspaceFiles(context.files.get());
    }
    // The run decides what the renderer fills in: "Vorschau 2" the variable names.
    PrintRun run = singleStudentRun(*layout_);
    run.formMode = mode;
    preview_->showJob(reportCardJob(*layout_, *metrics_, options, placeholders, *records_, run,
                                    file.table().value(QStringLiteral("KLASSE")), context.settings.Schuljahr),
                      false, false);
}

} // namespace

void installLayoutEditor(MainFrame& frame)
{
    auto* commands = new LayoutEditorCommands(frame);
    const MainMenu& menu = frame.menu();
    for (const auto& [name, page] : {std::pair{"Layoutbearbeiten2", TFLay::PrintLayout},
                                     std::pair{"columnProperties", TFLay::InputLayout}}) {
        if (QAction* a = menu.action(QLatin1String(name))) {
            frame.adminCommands().setAvailable(a, true);
            QObject::connect(a, &QAction::triggered, commands, [commands, page = page] { commands->open(page); });
        }
    }
    for (const auto& [name, page] : {std::pair{"BtnSichern", TFLay::PrintLayout},
                                     std::pair{"SpeedButton18", TFLay::InputLayout}}) {
        if (auto* b = frame.iconBar().findChild<QToolButton*>(QLatin1String(name))) {
            frame.adminCommands().setAvailable(b, true);
            QObject::connect(b, &QToolButton::clicked, commands, [commands, page = page] { commands->open(page); });
        }
    }
}

} // namespace zedora
