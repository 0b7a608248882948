// Reorganising a 1,000-record student file and opening one in its index
// order, as the program does when a teacher picks a class.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zedora;

namespace {

struct Workspace {
    QTemporaryDir dir;
    QString ws = dir.path() + "/";
    QString file = ws + "ZE-1920-1/5A.DBF";
    TNeueDateien reg{ws + "a.txt", ws + "b.txt"};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;

    Workspace()
    {
        QDir().mkpath(ws + "MUSTER");
        QDir().mkpath(ws + "ZE-1920-1");
        dbase::Table::create((ws + "MUSTER/t.dbf").toStdString(), studentFileFields());
        QFile::rename(ws + "MUSTER/t.dbf", ws + "MUSTER/MUSTER.MS1");
        QFile::rename(ws + "MUSTER/t.dbt", ws + "MUSTER/MUSTER.MS3");
        dbase::Table::create(file.toStdString(), studentFileFields());
        auto t = dbase::Table::open(file.toStdString());
        const char* names[] = {"Müller", "Schmidt", "Yilmaz", "Nowak", "Becker", "Ölmez"};
        for (int i = 0; i < 1000; ++i) {
            t->append();
            t->setText("NAME", toLatin1(names[i % 6]) + std::to_string(i));
            t->setText("VORNAME", "Kim");
            t->setText("KLASSE", "5" + std::string(1, char('a' + i % 4)));
            t->setText("GEBOREN", std::to_string(1 + i % 28) + ".3.12");
            t->setText("DE", "2");
            t->setMemo(t->fieldIndex("TB1"), "Kim arbeitet im Unterricht aufmerksam mit.\r\nWeiter so!");
            t->post();
        }
    }
    static std::string toLatin1(const char* utf8) { return QString::fromUtf8(utf8).toLatin1().toStdString(); }
    StudentFileContext context() { return {ws, "BENCH", files, ui}; }
};

void BM_Reorganise1000(benchmark::State& state)
{
    Workspace w;
    for (auto _ : state) {
        if (!reorganiseStudentFile(w.file, w.context()))
            state.SkipWithError("reorganisation failed");
    }
}
BENCHMARK(BM_Reorganise1000)->Unit(benchmark::kMillisecond);

void BM_OpenInIndexOrder(benchmark::State& state)
{
    Workspace w;
    reorganiseStudentFile(w.file, w.context());
    for (auto _ : state) {
        StudentTable table;
        table.open(w.file, "KLASSE");
        benchmark::DoNotOptimize(table.rowCount());
    }
}
BENCHMARK(BM_OpenInIndexOrder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
