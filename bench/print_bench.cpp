// Report cards of a 30-student class with the demo layout: the whole class
// into a PDF file, recording the preview's pass, and a page change in the
// preview of the 30-page job.
#include "core/settings.h"
#include "base/ansi_text.h"
#include "base/scripted_interaction.h"
#include "dbase/table.h"
#include "print/archive_pdf.h"
#include "print/layout_reader.h"
#include "print/print_centre.h"
#include "print/table_printout.h"
#include "print/report_pdf.h"
#include "print/ui/TFVorschau.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zedora;

namespace {

// The demo class, repeated up to 30 students, held in memory.
class ClassRecords : public PrintRecords {
public:
    QVector<QMap<QString, QString>> rows;
    int current = 0;
    bool hasField(const QString& n) const override { return !rows.isEmpty() && rows[0].contains(n); }
    QString value(const QString& n) const override { return rows.value(current).value(n); }
    bool first() override { current = 0; return !rows.isEmpty(); }
    bool next() override
    {
        if (current + 1 >= rows.size())
            return false;
        ++current;
        return true;
    }
    bool findId(const QString& id) override
    {
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].value(QStringLiteral("ID")) == id) {
                current = i;
                return true;
            }
        return false;
    }
    std::uint64_t position() const override { return std::uint64_t(current); }
    void restore(std::uint64_t p) override { current = int(p); }
};

struct DemoJob {
    QString share = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
    Settings settings;
    ScriptedInteraction ui;
    PrintMetrics metrics;
    TDruckLayout layout;
    ClassRecords records;
    RenderOptions options;
    PlaceholderContext context;
    PrintRun run;

    DemoJob()
    {
        const auto text = readLayoutText(share + QStringLiteral("DEMOLAY.MST"));
        parseLayoutText(text.value_or(QStringList()), share, layout, QStringLiteral(ZEDORA_SHARE_DIR "/"));
        auto table = dbase::Table::open((share + QStringLiteral("demo.dbf")).toStdString());
        QVector<QMap<QString, QString>> demo;
        for (table->first(); !table->eof() && !table->isEmpty();) {
            QMap<QString, QString> row;
            for (int f = 0; f < table->fieldCount(); ++f)
                row.insert(QString::fromStdString(table->field(f).name), fromAnsi(table->text(f)));
            demo.append(row);
            if (!table->next())
                break;
        }
        for (int i = 0; i < 30 && !demo.isEmpty(); ++i) {
            auto row = demo[i % demo.size()];
            row.insert(QStringLiteral("ID"), QString::number(i));
            records.rows.append(row);
        }
        metrics.calibrate();
        options = RenderOptions::fromSettings(settings, QStringLiteral(ZEDORA_SHARE_DIR "/"));
        options.musterDir = share;
        context.settings = &settings;
        context.ui = &ui;
        run.selection = RecordSelection::WholeClass;
    }
};

DemoJob& demo()
{
    static DemoJob job;
    return job;
}

void BM_ClassToPdf(benchmark::State& state)
{
    DemoJob& d = demo();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("klasse.pdf"));
    int pages = 0;
    for (auto _ : state) {
        const PrintOutcome out = writeReportPdf(pdf, d.layout, d.metrics, d.options, d.context, d.records,
                                                d.run, QStringLiteral("10b-2013/2014"));
        pages = out.pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ClassToPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_PreviewRecordJob(benchmark::State& state)
{
    DemoJob& d = demo();
    PageRenderer renderer(d.layout, d.metrics, d.options, d.context);
    for (auto _ : state) {
        RecordingSurface s;
        RenderOptions& o = renderer.options();
        o.preview = true;
        benchmark::DoNotOptimize(renderer.render(s, d.records, d.run));
    }
}
BENCHMARK(BM_PreviewRecordJob)->Unit(benchmark::kMillisecond);

void BM_PreviewPageChange(benchmark::State& state)
{
    DemoJob& d = demo();
    TFVorschau preview(d.settings, d.ui, d.metrics);
    PreviewJob job;
    job.title = QStringLiteral("10b-2013/2014");
    job.renderer = std::make_shared<PageRenderer>(d.layout, d.metrics, d.options, d.context);
    job.records = &d.records;
    job.run = d.run;
    d.settings.vx = 10;
    d.settings.vy = 10;
    d.settings.vbreite = int(state.range(0));
    d.settings.vhoehe = int(state.range(0) * 1.4);
    preview.showJob(job);
    int page = 1;
    for (auto _ : state) {
        page = page % preview.pageTotal() + 1;
        preview.showPage(page);
        benchmark::DoNotOptimize(preview.pageImage());
    }
    state.counters["pages"] = preview.pageTotal();
    preview.close();
}
BENCHMARK(BM_PreviewPageChange)->Arg(600)->Arg(1000)->Unit(benchmark::kMillisecond);

// The print centre's run of a whole selected class (one copy each) into a
// PDF file: the run is collected as the window does, then rendered.
void BM_PrintCentreClassToPdf(benchmark::State& state)
{
    DemoJob& d = demo();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("druckzentrum.pdf"));
    PrintCentre::Choice choice;
    for (const auto& row : d.records.rows)
        choice.selectedIds << row.value(QStringLiteral("ID"));
    int pages = 0;
    for (auto _ : state) {
        const auto run = PrintCentre::prepareRun(d.layout, choice, d.records, d.ui);
        const PrintOutcome out = writeReportPdf(pdf, d.layout, d.metrics, d.options, d.context, d.records, *run,
                                                QStringLiteral("10b-2013/2014"));
        pages = out.pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintCentreClassToPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The entry table of 40 students, wide enough for three strips, into a PDF.
void BM_EntryTableThreeStrips(benchmark::State& state)
{
    DemoJob& d = demo();
    TablePrintInput in;
    int n = 0;
    for (const QString& field : d.records.rows[0].keys())
        if (field != QLatin1String("NAME") && field != QLatin1String("VORNAME") && n++ < 36)
            in.columns << TableColumn{field, field, field.size() <= 2 ? 4 : 10};
    for (int i = 0; i < 40; ++i) {
        const auto& row = d.records.rows[i % d.records.rows.size()];
        in.names << tableName(row.value(QStringLiteral("NAME")), row.value(QStringLiteral("VORNAME")));
        QStringList cells;
        for (const TableColumn& c : in.columns)
            cells << row.value(c.field);
        in.cells << cells;
    }
    in.klasse = QStringLiteral("10b");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("tabelle.pdf"));
    const ListJob job = entryTableJob(in, QStringLiteral("10B.DBF"));
    int pages = 0;
    for (auto _ : state)
        pages = writeListPdf(pdf, job, d.metrics).pages;
    state.counters["strips"] = double(tableStrips(in).size());
    state.counters["pages"] = pages;
}
BENCHMARK(BM_EntryTableThreeStrips)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// 30 report cards, each into its own PDF/A file.
void BM_PerStudentPdfA(benchmark::State& state)
{
    DemoJob& d = demo();
    int files = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        ArchiveRequest request;
        request.folder = dir.path();
        request.school = QStringLiteral("Demo-Schule Testhausen");
        // The class repeats the demo's 25 names; every student is written.
        request.mayReplace = [](const QString&) { return true; };
        state.ResumeTiming();
        files = int(writeArchivePdfs(request, d.layout, d.metrics, d.options, d.context, d.records).written.size());
    }
    state.counters["files"] = files;
}
BENCHMARK(BM_PerStudentPdfA)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
