// The main window over a 1,000-record class file: opening it into the
// table with the first screen painted, moving to the next student with the
// status line updated, and typing a grade that is checked and saved.
#include "core/app_context.h"
#include "app/ui/TFMain.h"
#include "app/ui/program_start.h"
#include "base/scripted_interaction.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "dbase/table.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zedora;

namespace {

class NoPrompts : public PasswordPrompts {
public:
    QString askStartPassword() override { return {}; }
    AdminPasswordAnswer askAdminPassword() override { return {}; }
};

struct Program {
    QTemporaryDir dir;
    ProgramPaths paths{QStringLiteral(ZEDORA_SHARE_DIR) + "/", dir.path() + "/ws/", "BENCH"};
    ScriptedInteraction ui;
    NoPrompts prompts;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<TFMain> window;
    QString file = dir.path() + "/ws/ZE-2021-1/KLASSEN.DBF";

    Program()
    {
        QDir().mkpath(dir.path() + "/ws/ZE-2021-1");
        dbase::Table::create(file.toStdString(), studentFileFields());
        {
            auto t = dbase::Table::open(file.toStdString());
            for (int i = 0; i < 1000; ++i) {
                t->append();
                t->setText("NAME", "Schueler" + std::to_string(i));
                t->setText("VORNAME", "Kim");
                t->setText("KLASSE", std::to_string(5 + i % 6) + "a");
                t->setText("GEBOREN", "01.02.2010");
                t->setText("DE", "2");
                t->setText("MA", "3");
                t->post();
            }
        }
        context = std::make_unique<AppContext>(ui, paths);
        window = startProgram(*context, {"zedora"}, prompts);
        window->resize(1280, 800);
        window->show();
    }
};

void BM_OpenClassAndPaintFirstScreen(benchmark::State& state)
{
    Program p;
    for (auto _ : state) {
        p.window->studentFile().open(p.file);
        p.window->entryGrid().viewport()->repaint();
    }
    state.counters["rows"] = p.window->studentFile().table().rowCount();
}
BENCHMARK(BM_OpenClassAndPaintFirstScreen)->Unit(benchmark::kMillisecond);

void BM_NextStudentWithStatusLine(benchmark::State& state)
{
    Program p;
    p.window->studentFile().open(p.file);
    StudentTable& t = p.window->studentFile().table();
    for (auto _ : state) {
        if (!t.next())
            t.first();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_NextStudentWithStatusLine)->Unit(benchmark::kMillisecond);

void BM_TypeGradeAndPost(benchmark::State& state)
{
    Program p;
    p.window->studentFile().open(p.file);
    StudentTable& t = p.window->studentFile().table();
    bool flip = false;
    for (auto _ : state) {
        t.setValue("DE", flip ? "2" : "3+");
        t.post();
        flip = !flip;
    }
}
BENCHMARK(BM_TypeGradeAndPost)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
