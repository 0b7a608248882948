// The layout editor: opening the demo layout in the window, the part of
// "Vorschau 1" the editor owns after an edit (building the text and parsing
// it into the print model), and the whole "Vorschau 1" after an edit up to
// the page shown in the preview.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "base/ansi_text.h"
#include "core/settings.h"
#include "dbase/table.h"
#include "print/layout_editor_io.h"
#include "print/layout_files.h"
#include "print/layout_reader.h"
#include "print/print_job.h"
#include "print/ui/TFLay.h"
#include "print/ui/TFVorschau.h"
#include "print/ui/layout_element_grid.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zedora;

namespace {

struct Workspace {
    QTemporaryDir dir;
    TNeueDateien reg{dir.filePath(QStringLiteral("neu.txt")), dir.filePath(QStringLiteral("neuverz.txt"))};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
    LayoutFiles layouts{dir.path(), files, ui};
    QString path;
    Workspace()
    {
        reg.endDefer();
        QDir(dir.path()).mkpath(QStringLiteral("LAYOUT"));
        path = dir.filePath(QStringLiteral("LAYOUT/DEMO.LAY"));
        QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/DEMOLAY.MST"), path);
        // The fields the column page offers.
        QDir(dir.path()).mkpath(QStringLiteral("MUSTER"));
        QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/FACH-ALL.MST"), dir.filePath(QStringLiteral("MUSTER/FACH-ALL.MST")));
    }
};

void BM_OpenDemoLayoutInEditor(benchmark::State& state)
{
    Workspace ws;
    for (auto _ : state) {
        TFLay editor(ws.layouts, ws.ui, QStringLiteral("KUERZEL.TXT"), {});
        if (!editor.openPath(ws.path))
            state.SkipWithError("DEMO.LAY not opened");
        benchmark::DoNotOptimize(editor.layout().data.grids[0].rows.size());
    }
}
BENCHMARK(BM_OpenDemoLayoutInEditor)->Unit(benchmark::kMillisecond);

void BM_EditThenBuildAndParseForPreview(benchmark::State& state)
{
    Workspace ws;
    TFLay editor(ws.layouts, ws.ui, QStringLiteral("KUERZEL.TXT"), {});
    if (!editor.openPath(ws.path))
        state.SkipWithError("DEMO.LAY not opened");
    int x = 100;
    for (auto _ : state) {
        editor.elementGrid(ElementKind::Eintrag)->item(0, 3)->setText(QString::number(++x % 2000));
        TDruckLayout model;
        parseLayoutText(editor.currentText(), ws.dir.filePath(QStringLiteral("LAYOUT")), model);
        benchmark::DoNotOptimize(model.Eintraege[0].x);
    }
}
BENCHMARK(BM_EditThenBuildAndParseForPreview)->Unit(benchmark::kMillisecond);

// The demo class's first student, as the preview reads the current record.
class FirstDemoStudent : public PrintRecords {
public:
    QMap<QString, QString> row;
    FirstDemoStudent()
    {
        auto table = dbase::Table::open(ZEDORA_SHARE_DIR "/MUSTER/demo.dbf");
        table->first();
        for (int f = 0; f < table->fieldCount(); ++f)
            row.insert(QString::fromStdString(table->field(f).name), fromAnsi(table->text(f)));
    }
    bool hasField(const QString& n) const override { return row.contains(n); }
    QString value(const QString& n) const override { return row.value(n); }
    bool first() override { return true; }
    bool next() override { return false; }
    bool findId(const QString& id) override { return row.value(QStringLiteral("ID")) == id; }
    std::uint64_t position() const override { return 0; }
    void restore(std::uint64_t) override {}
};

void BM_EditThenVorschau1(benchmark::State& state)
{
    Workspace ws;
    TFLay editor(ws.layouts, ws.ui, QStringLiteral("KUERZEL.TXT"), {});
    if (!editor.openPath(ws.path))
        state.SkipWithError("DEMO.LAY not opened");
    Settings settings;
    PrintMetrics metrics;
    metrics.calibrate();
    FirstDemoStudent student;
    PlaceholderContext placeholders;
    placeholders.settings = &settings;
    placeholders.ui = &ws.ui;
    RenderOptions options = RenderOptions::fromSettings(settings, QStringLiteral(ZEDORA_SHARE_DIR "/"));
    options.musterDir = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
    TFVorschau preview(settings, ws.ui, metrics);
    int x = 100;
    for (auto _ : state) {
        editor.elementGrid(ElementKind::Eintrag)->item(0, 3)->setText(QString::number(++x % 2000));
        TDruckLayout model;
        parseLayoutText(editor.currentText(), ws.dir.filePath(QStringLiteral("LAYOUT")), model);
        preview.showJob(reportCardJob(model, metrics, options, placeholders, student, singleStudentRun(model),
                                      QStringLiteral("10b"), QStringLiteral("2013/2014")));
        benchmark::DoNotOptimize(preview.pageImage());
    }
    preview.close();
}
BENCHMARK(BM_EditThenVorschau1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
