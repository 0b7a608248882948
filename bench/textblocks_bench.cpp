// Text blocks while a teacher types: the length test on a full assessment
// (every keystroke), Ctrl+T in a file of 2,000 blocks, and the first
// suggestion of the spelling check on a full assessment.
#include "textblocks/block_expansion.h"
#include "textblocks/length_test.h"
#include "textblocks/spell_checker.h"
#include "textblocks/spelling_session.h"
#include "textblocks/text_block_file.h"
#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "dbase/table.h"
#include "print/print_metrics.h"
#include "tools/demo_templates.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zedora;

namespace {

// A realistic assessment of 3,995 characters: demo blocks, one after another.
QString fullAssessment(bool withMistakes)
{
    QString text;
    int i = 0;
    while (text.size() < 3995) {
        const templates::TextBlock& b = templates::demoTextBlocks()[std::size_t(i++) % templates::demoTextBlocks().size()];
        if (b.text[0] == '=')
            continue;
        text += templates::fillPlaceholders(QString::fromUtf8(b.text), QStringLiteral("Fiona"), false) + u' ';
        if (i % 7 == 0)
            text += QStringLiteral("#\n");
    }
    text.truncate(3995);
    if (withMistakes) // the first unknown word stands at the end
        text.replace(3900, 11, QStringLiteral(" sorgfälltig"));
    return text;
}

TLayTextblock assessmentElement()
{
    TLayTextblock b;
    b.Aktiv = true;
    b.x = 200;
    b.y = 1200;
    b.Inhalt = QStringLiteral("%TB3%");
    b.Maxbreite = 1700;
    b.Maxzeilen = 40;
    b.Vorschub = 45;
    b.Grad = 11;
    b.Schriftart = QStringLiteral("ARIAL");
    return b;
}

// The whole text measured afresh (entering the memo).
void BM_LengthTestFullAssessment(benchmark::State& state)
{
    TDruckLayout layout;
    layout.textblock(105) = assessmentElement();
    PrintMetrics metrics;
    metrics.calibrate();
    const QString text = fullAssessment(false);
    int lines = 0;
    for (auto _ : state)
        lines = checkLength(layout, 105, QStringLiteral("TB3"), text, metrics).line;
    state.counters["Zeilen"] = lines;
    state.counters["Zeichen"] = double(text.size());
}
BENCHMARK(BM_LengthTestFullAssessment)->Unit(benchmark::kMillisecond);

// One keystroke at the end of a 3,995-character text, as the memo runs it
// with its widths kept from the keystrokes before.
void BM_LengthTestPerKeystroke(benchmark::State& state)
{
    TDruckLayout layout;
    layout.textblock(105) = assessmentElement();
    PrintMetrics metrics;
    metrics.calibrate();
    const QString full = fullAssessment(false);
    QString text = full.left(3900);
    WidthCache cache;
    checkLength(layout, 105, QStringLiteral("TB3"), text, metrics, &cache);
    qsizetype next = text.size();
    int lines = 0;
    for (auto _ : state) {
        if (next >= full.size()) {
            state.PauseTiming();
            text = full.left(3900);
            next = text.size();
            state.ResumeTiming();
        }
        text.append(full[next++]);
        lines = checkLength(layout, 105, QStringLiteral("TB3"), text, metrics, &cache).line;
    }
    state.counters["Zeilen"] = lines;
}
BENCHMARK(BM_LengthTestPerKeystroke)->Unit(benchmark::kMillisecond);

void BM_CtrlTIn2000Blocks(benchmark::State& state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("MUSTER"));
    QDir(dir.path()).mkpath(QStringLiteral("DEFINI"));
    templates::writeTextBlockTemplate(dir.filePath(QStringLiteral("MUSTER")));
    const QString file = dir.filePath(QStringLiteral("DEFINI/#GROSS.DBF"));
    QFile::copy(dir.filePath(QStringLiteral("MUSTER/FLOSKEL.MST")), file);
    {
        auto t = dbase::Table::open(file.toStdString(), dbase::OpenMode::Exclusive);
        for (int i = 0; i < 2000; ++i) {
            t->append();
            t->setText("ID", toAnsiStd(QStringLiteral("%1").arg(i, 4, 36, QLatin1Char('0')).toUpper()));
            t->setText("INHALT", toAnsiStd(QStringLiteral("%VORNAME% hat Baustein %1 verdient. ").arg(i).repeated(4)));
            t->post();
        }
    }
    ScriptedInteraction ui;
    TNeueDateien reg(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
    WorkspaceFiles files(reg);
    TextBlockFile blocks(dir.path() + u'/', files, ui);
    if (!blocks.open(QStringLiteral("#GROSS.DBF"))) {
        state.SkipWithError("Textbausteindatei nicht geöffnet");
        return;
    }
    const QString line = QStringLiteral("Im Ganzen: 01C7");
    for (auto _ : state) {
        auto e = expandBlockId(line, blocks, [](const QString& t) { return QString(t).replace(QStringLiteral("%VORNAME%"), QStringLiteral("Fiona")); }, ui);
        benchmark::DoNotOptimize(e);
    }
    if (!ui.messages().isEmpty())
        state.SkipWithError("Baustein nicht gefunden");
}
BENCHMARK(BM_CtrlTIn2000Blocks)->Unit(benchmark::kMillisecond);

void BM_FirstSpellingSuggestion(benchmark::State& state)
{
    QTemporaryDir dir;
    auto checker = SpellChecker::openGerman(dir.filePath(QStringLiteral("WORTLISTE.TXT")));
    if (!checker) {
        state.SkipWithError("kein deutsches Wörterbuch");
        return;
    }
    const QString text = fullAssessment(true);
    QStringList first;
    for (auto _ : state) {
        SpellingSession session(text, *checker);
        if (session.next())
            first = session.suggestions();
    }
    state.counters["Vorschlaege"] = double(first.size());
}
BENCHMARK(BM_FirstSpellingSuggestion)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
