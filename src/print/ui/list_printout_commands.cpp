#include "print/ui/list_printout_commands.h"

#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "data/student_table_model.h"
#include "print/print_metrics.h"
#include "print/student_print_records.h"
#include "print/table_printout.h"
#include "print/ui/TDruckFrage.h"
#include "print/ui/list_preview.h"

#include <QAction>
#include <QFileInfo>
#include <QTableView>

namespace zedora {

namespace {

class ListPrintoutCommands : public QObject {
public:
    explicit ListPrintoutCommands(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
    {
        setObjectName(QStringLiteral("listPrintoutCommands"));
    }
    ~ListPrintoutCommands() override { delete preview_; }

    void tablePrint();
    // tell: show the refusal for a column without texts (the menu item's
    // refusal comes from the text-block commands).
    void textColumn(bool tell = true);

private:
    bool ready();
    void show(const ListJob& job);

    MainFrame& frame_;
    PrintMetrics metrics_;
    bool calibrated_ = false;
    TFVorschau* preview_ = nullptr;
};

bool ListPrintoutCommands::ready()
{
    CurrentStudentFile& file = frame_.studentFile();
    if (!file.table().isOpen())
        return false;
    frame_.takeOverInput();
    if (!file.table().savePending())
        return false;
    if (!calibrated_) {
        metrics_.calibrate();
        calibrated_ = true;
    }
    return true;
}

void ListPrintoutCommands::show(const ListJob& job)
{
    AppContext& context = frame_.context();
    if (!preview_) {
        preview_ = new TFVorschau(context.settings, context.ui, metrics_, &frame_.window());
        preview_->setWorkspaceFiles(context.files.get());
    }
    preview_->showJob(previewJobOf(job), true);
}

void ListPrintoutCommands::tablePrint()
{
    if (!ready())
        return;
    TDruckFrage dialog(&frame_.window());
    const int action = dialog.exec();
    if (action == TDruckFrage::TextColumn) {
        textColumn();
        return;
    }
    if (action != TDruckFrage::WithData && action != TDruckFrage::Empty)
        return;
    CurrentStudentFile& file = frame_.studentFile();
    const Settings& s = frame_.context().settings;
    TablePrintInput in;
    StudentTableModel& model = frame_.entryModel();
    for (int c = 0; c < model.columnCount() && in.columns.size() < kMaxTableColumns; ++c) {
        const ColumnSpec* layoutColumn = model.column(c);
        if (!layoutColumn || frame_.entryGrid().isColumnHidden(c) || layoutColumn->field == QLatin1String("NAME"))
            continue;
        in.columns << TableColumn{layoutColumn->field, layoutColumn->title.trimmed(), layoutColumn->width, layoutColumn->kind == FieldKind::AssessmentText};
    }
    in.klasse = file.table().value(QStringLiteral("KLASSE")).trimmed();
    in.schuljahr = s.Schuljahr;
    in.halbjahr = s.Halbjahr;
    in.schoolName1 = s.SchulName1;
    in.schoolName2 = s.SchulName2;
    in.layoutName = QFileInfo(QString(file.layout().path).replace(u'\\', u'/')).fileName();
    in.tabLinks = s.TabLinks;
    in.tabOben = s.TabOben;
    in.tabUnten = s.TabUnten;
    in.tabRechts = s.TabRechts;
    in.landscape = dialog.landscape();
    in.firstPageOnly = dialog.firstPageOnly();
    in.empty = action == TDruckFrage::Empty;
    StudentPrintRecords records(file.table());
    records.followCurrentRow();
    fillTableRows(in, records, in.klasse);
    show(entryTableJob(in, file.path()));
}

void ListPrintoutCommands::textColumn(bool tell)
{
    if (!ready())
        return;
    const QModelIndex current = frame_.entryGrid().currentIndex();
    const ColumnSpec* layoutColumn = frame_.entryModel().column(current.column());
    if (!layoutColumn || layoutColumn->kind != FieldKind::AssessmentText) {
        if (tell)
            frame_.context().ui.error(QString::fromUtf8(kNotATextColumn));
        return;
    }
    CurrentStudentFile& file = frame_.studentFile();
    const Settings& s = frame_.context().settings;
    TextColumnInput in;
    in.title = layoutColumn->title.trimmed();
    in.klasse = file.table().value(QStringLiteral("KLASSE")).trimmed();
    in.schuljahr = s.Schuljahr;
    in.halbjahr = s.Halbjahr;
    StudentPrintRecords records(file.table());
    if (records.first()) {
        do
            in.rows << TextColumnInput::Row{records.value(QStringLiteral("NAME")).trimmed(),
                                            records.value(QStringLiteral("VORNAME")).trimmed(),
                                            records.value(layoutColumn->field)};
        while (records.next());
    }
    show(textBlockColumnJob(in));
}

} // namespace

void installListPrintouts(MainFrame& frame)
{
    auto* commands = new ListPrintoutCommands(frame);
    if (QAction* a = frame.menu().action(QStringLiteral("tablePrint"))) {
        frame.adminCommands().setAvailable(a, true);
        QObject::connect(a, &QAction::triggered, commands, [commands] { commands->tablePrint(); });
    }
    if (QAction* a = frame.menu().action(QStringLiteral("printTextBlockColumn"))) {
        frame.adminCommands().setAvailable(a, true);
        QObject::connect(a, &QAction::triggered, commands, [commands] { commands->textColumn(false); });
    }
}

} // namespace zedora
