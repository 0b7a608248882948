// Zip export and import of a data directory with 40 class files.
#include "base/scripted_interaction.h"
#include "exchange/zip_export.h"
#include "exchange/zip_import.h"
#include "exchange/transfer_columns.h"
#include "data/student_table.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace zedora;

struct Workspaces {
    QTemporaryDir from, to;
    QString zip;
    ExportSelection selection;

    Workspaces()
    {
        const QString share = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
        QDir().mkpath(from.path() + QStringLiteral("/ZE-2021-1"));
        selection.workspace = from.path() + QLatin1Char('/');
        for (int i = 1; i <= 40; ++i) {
            const QString base = from.path() + QStringLiteral("/ZE-2021-1/K") + QString::number(i);
            QFile::copy(share + QStringLiteral("demo.dbf"), base + QStringLiteral(".DBF"));
            QFile::copy(share + QStringLiteral("demo.dbt"), base + QStringLiteral(".DBT"));
            selection.studentFiles << QStringLiteral("K") + QString::number(i) + QStringLiteral(".DBF");
        }
        selection.studentFile = from.path() + QStringLiteral("/ZE-2021-1/K1.DBF");
        zip = from.path() + QStringLiteral("/bench.zip");
    }

    bool exportAll()
    {
        ScriptedInteraction ui;
        ui.texts.enqueue(zip);
        ui.answers.enqueue(Answer::Yes);
        QString imex1;
        return runExport(selection, ExportMode::Backup, ui, imex1).result == PackResult::Ok;
    }
};

void BM_ExportFortyClasses(benchmark::State& state)
{
    Workspaces ws;
    for (auto _ : state) {
        if (!ws.exportAll())
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportFortyClasses)->Unit(benchmark::kMillisecond);

void BM_ImportFortyClasses(benchmark::State& state)
{
    Workspaces ws;
    if (!ws.exportAll()) {
        state.SkipWithError("export failed");
        return;
    }
    for (auto _ : state) {
        ScriptedInteraction ui;
        ZipImport import(ws.to.path(), false, ui);
        if (!import.importZip(ws.zip).imported)
            state.SkipWithError("import failed");
    }
}
BENCHMARK(BM_ImportFortyClasses)->Unit(benchmark::kMillisecond);

// A class file of 35 students from the empty template.
QString makeClass(const QString& path, const QString& grade)
{
    const QString share = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
    QFile::copy(share + QStringLiteral("MUSTER.MS1"), path + QStringLiteral(".DBF"));
    QFile::copy(share + QStringLiteral("MUSTER.MS3"), path + QStringLiteral(".DBT"));
    QFile::setPermissions(path + QStringLiteral(".DBF"), QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(path + QStringLiteral(".DBT"), QFile::ReadOwner | QFile::WriteOwner);
    StudentTable t;
    t.open(path + QStringLiteral(".DBF"));
    for (int i = 0; i < 35; ++i) {
        t.append();
        t.setValue(QStringLiteral("NAME"), QStringLiteral("Name%1").arg(i));
        t.setValue(QStringLiteral("VORNAME"), QStringLiteral("Vorname%1").arg(i));
        for (const char* f : {"DE", "EN", "MA", "BI", "CH", "PH", "GE", "EK", "MU", "KU"})
            t.setValue(QString::fromLatin1(f), grade);
        t.post();
    }
    return path + QStringLiteral(".DBF");
}

void BM_TransferTenColumns(benchmark::State& state)
{
    QTemporaryDir dir;
    StudentTable target, source;
    target.open(makeClass(dir.path() + QStringLiteral("/ZIEL"), QStringLiteral("3")));
    source.open(makeClass(dir.path() + QStringLiteral("/QUELLE"), QStringLiteral("2")));
    ScriptedInteraction ui;
    ColumnChoice choice;
    choice.marked = {QStringLiteral("DE"), QStringLiteral("EN"), QStringLiteral("MA"), QStringLiteral("BI"),
                     QStringLiteral("CH"), QStringLiteral("PH"), QStringLiteral("GE"), QStringLiteral("EK"),
                     QStringLiteral("MU"), QStringLiteral("KU")};
    for (auto _ : state) {
        ui.answers.enqueue(Answer::Yes);
        if (runColumnTransfer(target, source, choice, ui) != 35)
            state.SkipWithError("transfer failed");
    }
}
BENCHMARK(BM_TransferTenColumns)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
