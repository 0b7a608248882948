// Archive transfer and grade statistics at a school's size: a class of 30
// into an archive of 1,000 students; all grade fields over 40 class files.
#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "schoolyear/archive_files.h"
#include "schoolyear/statistics_grades.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace zedora;

void writeClass(const QString& path, int students, int firstId)
{
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString(), dbase::OpenMode::Exclusive);
    for (const auto& tag : studentIndexTagSpecs())
        t->addIndexTag(tag.name, tag.expression, tag.unique);
    for (int i = 0; i < students; ++i) {
        t->append();
        t->setText("NAME", "Name" + std::to_string(firstId + i));
        t->setText("ID", "ID" + std::to_string(firstId + i));
        for (const char* f : {"DE", "EN", "MA", "BI", "GE", "SP"})
            t->setText(f, std::to_string(1 + (i + firstId) % 6));
        t->post();
    }
}

void BM_TransferClassIntoLargeArchive(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    QDir().mkpath(root + QStringLiteral("TMP"));
    TNeueDateien reg(root + QStringLiteral("a.txt"), root + QStringLiteral("b.txt"));
    reg.endDefer();
    WorkspaceFiles files(reg);
    ScriptedInteraction ui;
    const StudentFileContext context{root, QStringLiteral("PC"), files, ui};
    const QString archive = root + QStringLiteral("A23-24-1.DBF");
    writeClass(archive, 1000, 0);
    const QString klasse = root + QStringLiteral("5A.DBF");
    writeClass(klasse, 30, 985);   // 15 known students, 15 new ones at first
    for (auto _ : state) {
        auto t = transferIntoArchive(klasse, archive, context);
        if (!t || t->added + t->updated != 30)
            state.SkipWithError("transfer failed");
    }
}
BENCHMARK(BM_TransferClassIntoLargeArchive)->Unit(benchmark::kMillisecond);

void BM_GradeStatisticsOverFortyClasses(benchmark::State& state)
{
    QTemporaryDir dir;
    QStringList classes;
    for (int c = 0; c < 40; ++c) {
        classes << QStringLiteral("K%1.DBF").arg(c);
        writeClass(dir.path() + QLatin1Char('/') + classes.last(), 30, c * 30);
    }
    const QStringList fields{QStringLiteral("DE"), QStringLiteral("EN"), QStringLiteral("MA"),
                             QStringLiteral("BI"), QStringLiteral("GE"), QStringLiteral("SP")};
    for (auto _ : state) {
        GradeStatistics s;
        s.rows = gradeStatisticsRows(classes, fields);
        computeGradeStatistics(s, dir.path(), QLocale::c());
        benchmark::DoNotOptimize(s.rows.last().average);
    }
}
BENCHMARK(BM_GradeStatisticsOverFortyClasses)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
