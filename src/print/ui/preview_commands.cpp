#include "print/ui/preview_commands.h"

#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_tables.h"
#include "print/code_meanings.h"
#include "print/layout_model.h"
#include "print/layout_reader.h"
#include "print/page_renderer.h"
#include "print/print_job.h"
#include "print/print_metrics.h"
#include "print/student_print_records.h"
#include "print/ui/TFVorschau.h"

#include <QFrame>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace zedora {

PreviewCommands::PreviewCommands(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("previewCommands"));
}

PreviewCommands::~PreviewCommands()
{
    // The preview refers to the metrics, layout and records held here.
    delete preview_;
}

void PreviewCommands::show(bool smallWindow)
{
    CurrentStudentFile& file = frame_.studentFile();
    AppContext& context = frame_.context();
    if (!file.table().savePending() || file.table().isEmpty())
        return;
    if (!metrics_) {
        metrics_ = std::make_unique<PrintMetrics>();
        metrics_->calibrate();
    }
    auto layout = std::make_unique<TDruckLayout>();
    if (!parseLayoutForPrinting(file.layout().path, file.layout().lines, *layout, &context.ui, context.workspace))
        return;
    printLayout_ = std::move(layout);
    printRecords_ = std::make_unique<StudentPrintRecords>(file.table());
    printRecords_->followCurrentRow();
    meanings_ = std::make_unique<AbbreviationMeanings>(frame_.abbreviations());
    PlaceholderContext placeholders;
    placeholders.settings = &context.settings;
    placeholders.codes = meanings_.get();
    placeholders.ui = &context.ui;
    for (const QString& ep : file.assignments().EP) {
        if (!ep.trimmed().isEmpty())
            placeholders.epochalSubjects << ep.trimmed();
    }
    placeholders.freeEntryColumns = file.layout().columns.exemptList;
    if (!preview_) {
        preview_ = new TFVorschau(context.settings, context.ui, *metrics_, &frame_.window());
        preview_->setWorkspaceFiles(context.files.get());
        preview_->takeOverInput = [this] { return takeOverInput(); };
    }
    stale_ = false;
    preview_->showJob(reportCardJob(*printLayout_, *metrics_, RenderOptions::fromSettings(context.settings, context.workspace),
                                    placeholders, *printRecords_, singleStudentRun(*printLayout_),
                                    file.table().value(QStringLiteral("KLASSE")), context.settings.Schuljahr),
                      false, smallWindow);
}

void PreviewCommands::refresh()
{
    if (preview_ && preview_->isVisible() && printRecords_) {
        printRecords_->followCurrentRow();
        stale_ = false;
        preview_->rebuild();
    }
}

bool PreviewCommands::takeOverInput()
{
    StudentTable& table = frame_.studentFile().table();
    if (!table.isOpen())
        return false;
    frame_.takeOverInput();
    if (!table.savePending())
        return false;
    if (stale_)
        refresh();
    return true;
}

bool PreviewCommands::visible() const
{
    return preview_ && preview_->isVisible();
}

void PreviewCommands::close()
{
    if (preview_)
        preview_->close();
}

void installPreviewCommands(MainFrame& frame)
{
    auto* commands = new PreviewCommands(frame);
    for (const auto& [name, small] : {std::pair{"PreView", false}, std::pair{"smallPreviewButton", true}}) {
        if (QToolButton* b = frame.iconBar().findChild<QToolButton*>(QLatin1String(name))) {
            frame.adminCommands().setAvailable(b, true);
            QObject::connect(b, &QToolButton::clicked, commands, [commands, small = small] { commands->show(small); });
        }
    }
    QObject::connect(&frame.studentFile().table(), &StudentTable::currentRowChanged, commands,
                     [commands] { commands->refresh(); });
    QObject::connect(&frame.studentFile().table(), &StudentTable::rowChanged, commands,
                     [commands, &frame](int row) {
                         if (row == frame.studentFile().table().currentRow())
                             commands->markStale();
                     });
    QObject::connect(&frame.studentFile().table(), &StudentTable::rowsReset, commands,
                     [commands] { commands->markStale(); });
    QObject::connect(&frame.nameGrid(), &QAbstractItemView::doubleClicked, commands, [commands] {
        if (!commands->visible())
            commands->show(false);
    });
    // A double click into a text-block column goes to the text field; the
    // preview makes room for it.
    QObject::connect(&frame.entryGrid(), &QAbstractItemView::doubleClicked, commands,
                     [commands, &frame](const QModelIndex& index) {
                         const ColumnSpec* c = frame.entryModel().column(index.column());
                         if (c && c->kind == FieldKind::AssessmentText && frame.pages().currentIndex() == 0)
                             commands->close();
                     });
}

} // namespace zedora
