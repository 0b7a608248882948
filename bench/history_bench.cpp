// The history view at a school's size: a class of 30 over six archived
// half-years of 200 students each, with the columns of a full report card.
// Each run builds the view (reading every archive once) and then fills one
// student's table or the whole class table.
#include "base/ansi_text.h"
#include "data/column_layout.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"
#include "schoolyear/history_view.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace zedora;

const char* const kGrades[] = {"RE", "DE", "EN", "MA", "FR", "GE", "EK", "PH", "CH", "BI", "MU", "KU", "SP", "WP1"};

void writeFile(const QString& path, int students, int firstId, const char* klasse)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString(), dbase::OpenMode::Exclusive);
    for (const auto& tag : studentIndexTagSpecs())
        t->addIndexTag(tag.name, tag.expression, tag.unique);
    for (int i = 0; i < students; ++i) {
        const int id = firstId + i;
        t->append();
        t->setText("NAME", "Name" + std::to_string(id));
        t->setText("VORNAME", "Vorname");
        t->setText("ID", "ID" + std::to_string(id));
        t->setText("KLASSE", klasse);
        t->setText("GEBOREN", "05.03.2008");
        t->setText("VS1", std::to_string(id % 9));
        for (size_t g = 0; g < std::size(kGrades); ++g)
            t->setText(kGrades[g], std::to_string(1 + (id + int(g)) % 6));
        t->setMemo(t->fieldIndex("TB1"), "Arbeitet stets sorgfaeltig und beteiligt sich rege am Unterricht.");
        t->post();
    }
}

ColumnDescription reportColumns()
{
    QStringList lines;
    const auto line = [&](const char* field, int width) {
        lines << QStringLiteral("%1 %2%3").arg(QLatin1String(field), -18).arg(QLatin1String(field), -40).arg(width);
    };
    for (const char* f : {"NAME", "VORNAME", "KLASSE", "GEBOREN"})
        line(f, 10);
    for (const char* f : kGrades)
        line(f, 3);
    for (const char* f : {"D1", "VS1", "UE1", "ABSCH", "TB1"})
        line(f, 5);
    return applyColumnLines(lines, {}).description;
}

class Workspace {
public:
    Workspace()
    {
        root_ = dir_.path() + QLatin1Char('/');
        // The class's students are spread over the archives' 200 each.
        writeFile(root_ + QStringLiteral("ZE-1415-1/7A.DBF"), 30, 85, "7A");
        const char* labels[] = {"13-14-2", "13-14-1", "12-13-2", "12-13-1", "11-12-2", "11-12-1"};
        for (int h = 0; h < 6; ++h)
            writeFile(root_ + QStringLiteral("ARCHIV/A") + QLatin1String(labels[h]) + QStringLiteral(".DBF"), 200,
                      h * 7, "6A");
        table_.open(root_ + QStringLiteral("ZE-1415-1/7A.DBF"));
        setup_.workspace = root_;
        setup_.dataDirectory = QStringLiteral("ZE-1415-1");
        setup_.previousArchive = QStringLiteral("A13-14-2.DBF");
        setup_.visible = 7;
        setup_.columns = reportColumns();
    }

    StudentTable& table() { return table_; }
    const HistorySetup& setup() const { return setup_; }

private:
    QTemporaryDir dir_;
    QString root_;
    StudentTable table_;
    HistorySetup setup_;
};

void BM_HistorySingleView(benchmark::State& state)
{
    Workspace ws;
    for (auto _ : state) {
        const HistoryView view(ws.table(), ws.setup());
        const HistoryGrid g = view.fill(15);
        if (g.cell(1, 2).trimmed().isEmpty())
            state.SkipWithError("no archived grade found");
        benchmark::DoNotOptimize(g);
    }
}
BENCHMARK(BM_HistorySingleView)->Unit(benchmark::kMillisecond);

void BM_HistoryNextStudent(benchmark::State& state)
{
    Workspace ws;
    const HistoryView view(ws.table(), ws.setup());
    int row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(view.fill(row));
        row = (row + 1) % 30;
    }
}
BENCHMARK(BM_HistoryNextStudent)->Unit(benchmark::kMicrosecond);

void BM_HistoryClassTable(benchmark::State& state)
{
    Workspace ws;
    for (auto _ : state) {
        const HistoryView view(ws.table(), ws.setup());
        const ClassHistory t = view.classTable();
        if (t.rows.size() != 30u * 7u)
            state.SkipWithError("class table incomplete");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_HistoryClassTable)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
