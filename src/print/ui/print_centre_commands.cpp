#include "print/ui/print_centre_commands.h"

#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "entry/abbreviation_tables.h"
#include "print/code_meanings.h"
#include "print/print_metrics.h"
#include "print/student_print_records.h"
#include "print/ui/TFDruck.h"
#include "print/ui/preview_commands.h"

#include <QAction>
#include <QFrame>
#include <QToolButton>

namespace zedora {

namespace {

class PrintCentreCommands : public QObject {
public:
    explicit PrintCentreCommands(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
    {
        setObjectName(QStringLiteral("printCentreCommands"));
    }
    ~PrintCentreCommands() override { delete window_; }

    void open();

private:
    MainFrame& frame_;
    PrintMetrics metrics_;
    bool calibrated_ = false;
    TFDruck* window_ = nullptr;
};

void PrintCentreCommands::open()
{
    CurrentStudentFile& file = frame_.studentFile();
    AppContext& context = frame_.context();
    if (!file.table().isOpen())
        return;
    if (auto* preview = frame_.window().findChild<PreviewCommands*>(QStringLiteral("previewCommands")))
        preview->close();
    frame_.takeOverInput();
    if (!file.table().savePending())
        return;
    if (!calibrated_) {
        metrics_.calibrate();
        calibrated_ = true;
    }
    // The list follows the classes, or girls and boys when sorted so.
    file.table().setTag(context.settings.Sortierung == 2 ? QStringLiteral("MW") : QStringLiteral("KLASSE"));
    StudentPrintRecords records(file.table());
    records.followCurrentRow();
    AbbreviationTables& tables = frame_.abbreviations();
    const QString abbreviationFile = tables.grades.activeFileName();
    const AbbreviationMeanings meanings(tables);

    PrintCentreSources sources;
    sources.records = &records;
    sources.context.settings = &context.settings;
    sources.context.codes = &meanings;
    sources.context.ui = &context.ui;
    for (const QString& ep : file.assignments().EP)
        if (!ep.trimmed().isEmpty())
            sources.context.epochalSubjects << ep.trimmed();
    sources.context.freeEntryColumns = file.layout().columns.exemptList;
    sources.workspace = context.workspace;
    sources.studentFile = file.path();
    sources.currentLayout = file.layout().path;
    sources.klasse = file.table().value(QStringLiteral("KLASSE")).trimmed();
    for (const QString& code : tables.graduation.allowedCodes().split(u'#', Qt::SkipEmptyParts))
        sources.graduationCodes << code;
    sources.administrator = [&context] { return context.userMode.isAdministrator(); };
    sources.layoutLoaded = [&tables](const QStringList& lines) { tables.grades.chooseFromLayout(lines); };

    if (!window_) {
        window_ = new TFDruck(context.settings, context.ui, metrics_, &frame_.window());
        window_->setWorkspaceFiles(context.files.get());
    }
    window_->prepare(std::move(sources));
    window_->exec();

    // The layout, abbreviation file and order of the student file come back.
    tables.grades.setActiveFileName(abbreviationFile);
    tables.grades.load();
    file.applySortOrder();
    frame_.rebuildTable();
}

} // namespace

void installPrintCentre(MainFrame& frame)
{
    auto* commands = new PrintCentreCommands(frame);
    if (QAction* a = frame.menu().action(QStringLiteral("printCentre"))) {
        frame.adminCommands().setAvailable(a, true);
        QObject::connect(a, &QAction::triggered, commands, [commands] { commands->open(); });
    }
    if (auto* b = frame.iconBar().findChild<QToolButton*>(QStringLiteral("SpeedButton10"))) {
        frame.adminCommands().setAvailable(b, true);
        QObject::connect(b, &QToolButton::clicked, commands, [commands] { commands->open(); });
    }
}

} // namespace zedora
