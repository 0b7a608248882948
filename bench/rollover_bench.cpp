// The rollover of a class with comparison and every column cleared, and a
// global change over a large student file.
#include "base/ansi_text.h"
#include "base/scripted_interaction.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"
#include "entry/bulk_global_change.h"
#include "schoolyear/rollover.h"
#include "schoolyear/rollover_columns.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zedora;

namespace {

void writeClass(const QString& path, int students)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString(), dbase::OpenMode::Exclusive);
    for (const auto& tag : studentIndexTagSpecs())
        t->addIndexTag(tag.name, tag.expression, tag.unique);
    const char* names[] = {"Müller", "Schröder", "Weiß", "Özdemir", "Jäger"};
    for (int i = 0; i < students; ++i) {
        t->append();
        t->setText("NAME", toAnsiStd(QString::fromUtf8(names[i % 5]) + QString::number(i / 5)));
        t->setText("VORNAME", "Kim");
        t->setText("KLASSE", "4a");
        for (const char* f : {"DE", "EN", "MA", "BI", "GE", "EK"})
            t->setText(f, "2");
        t->setMemo(t->fieldIndex("TB1"), "Ein Text über das Halbjahr, der einige Zeilen lang ist.");
        t->post();
    }
}

void Rollover35WithComparisonAllColumns(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ws = dir.path() + "/";
    writeClass(ws + "ZE-2324-2/5A.DBF", 35);
    QDir().mkpath(ws + "ZE-2425-1");
    RolloverRequest r;
    r.workspace = ws;
    r.sourcePath = ws + "ZE-2324-2/5A.DBF";
    r.dataDirectory = "ZE-2425-1";
    r.newName = "5A.DBF";
    r.newClass = "5A";
    r.compare = true;
    r.compareFile = QStringLiteral(ZEDORA_FIXTURES_DIR "/sibank/S_2024.DBF");
    r.codeListFolder = QStringLiteral(ZEDORA_FIXTURES_DIR "/sibank");
    ColumnExceptions none;
    none.workingGroups = none.electives = none.epochal = false;
    r.clearFields = allClearableFields(none);
    RolloverSettings s;
    s.computerName = "BENCH";
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* ext : {".DBF", ".DBT", ".MDX"})
            QFile::remove(ws + "ZE-2425-1/5A" + ext);
        ScriptedInteraction ui;
        ui.answers.append(Answer::Yes);
        state.ResumeTiming();
        const auto counts = rollOver(r, s, ui);
        if (!counts)
            state.SkipWithError("rollover failed");
        benchmark::DoNotOptimize(counts);
    }
}
BENCHMARK(Rollover35WithComparisonAllColumns)->Unit(benchmark::kMillisecond);

void GlobalChange1000Records(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/GROSS.DBF";
    writeClass(path, 1000);
    StudentTable table;
    table.open(path);
    int round = 0;
    for (auto _ : state) {
        GlobalChange c;
        c.field = "DE";
        c.newValue = (++round % 2) ? "3" : "2"; // every record changes each time
        const auto result = runGlobalChange(table, c);
        if (result.changed != 1000)
            state.SkipWithError("not every record changed");
    }
}
BENCHMARK(GlobalChange1000Records)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
