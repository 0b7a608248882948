#include "data/column_block.h"
#include "data/column_block_sources.h"
#include "data/layout_loading.h"

#include "base/scripted_interaction.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zedora {
namespace {

using testing_support::columnLine;
using testing_support::fileLines;
using testing_support::putLines;

const QString kNoBlockHint = QStringLiteral(
    "HINWEIS: Diese Layoutdatei (erstellt mit Version Zedora 4 oder früher) enthält keine "
    "Informationen über das Aussehen der Eingabetabelle!");

class LayoutLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ws = dir.path() + "/";
        putLines(ws + "LAYOUT/DEMO.LAY",
                 {"[Demo]", "", kBlockMarker, columnLine("KLASSE", "Klasse", "5"),
                  columnLine("DE", "Deutsch", "2"), columnLine("EN", "Englisch", "2"),
                  columnLine("MA", "Mathe", "2")});
        putLines(ws + "DEFINI/DEMO.FDF",
                 {columnLine("KLASSE", "Kl", "5"), columnLine("DE", "De", "2"),
                  columnLine("BI", "Bio", "2")});
        context.workspaceDir = ws;
        context.written = [this](const QString& p) { written << p; };
    }

    QTemporaryDir dir;
    QString ws;
    LayoutLoadContext context;
    ScriptedInteraction ui;
    QStringList written;
};

QStringList fieldsOf(const LoadedLayout& l)
{
    QStringList f;
    for (const ColumnSpec& c : l.columns.columns)
        f << c.field;
    return f;
}

TEST_F(LayoutLoading, MissingOrForeignLayoutGivesTheDemoSilently)
{
    putLines(ws + "LAYOUT/notiz.txt", {"x", "-FDFYYY-", columnLine("BI", "Bio", "2")});
    for (const QString& path : {ws + "LAYOUT/FEHLT.LAY", ws + "LAYOUT/notiz.txt", QString()}) {
        const LoadedLayout l = loadLayout(path, context, ui);
        EXPECT_EQ(l.path, ws + "LAYOUT/DEMO.LAY");
        EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE", "EN", "MA"}));
        EXPECT_EQ(l.abbreviationFile, "KUERZEL.TXT");
    }
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(LayoutLoading, ShortBlockIsCompletedAndSaved)
{
    const QString path = ws + "LAYOUT/Klein.lay";
    putLines(path, {"[Klein]", "KUERZELDATEINAME  SEK1.NKD", "", "-FDFYYY-",
                    columnLine("EN", "Englisch", "2"), columnLine("MA", "Mathe", "2")});
    const LoadedLayout l = loadLayout(path, context, ui);
    EXPECT_EQ(l.abbreviationFile, "SEK1.NKD");
    EXPECT_TRUE(l.saved);
    EXPECT_EQ(written, QStringList({path}));
    // With the fixed name grid, NAME and VORNAME of the defaults are no columns.
    EXPECT_EQ(fieldsOf(l), QStringList({"EN", "MA", "KLASSE", "DE"}));
    const QStringList onDisk = fileLines(path);
    EXPECT_EQ(onDisk.mid(6, 4), defaultColumnLines());
    EXPECT_EQ(onDisk, l.lines);
}

TEST_F(LayoutLoading, LayoutWithoutBlockAsksOrTakesTheDemoColumns)
{
    const QString path = ws + "LAYOUT/ALT.LAY";
    putLines(path, {"[Alt]", "%NAME% %DE% %BI%"});

    // The window is cancelled: hint, then the default lines are added and saved.
    int windowShown = 0;
    context.chooseBlock = [&](LoadedLayout&) {
        ++windowShown;
        return false;
    };
    LoadedLayout l = loadLayout(path, context, ui);
    EXPECT_EQ(windowShown, 1);
    EXPECT_EQ(ui.messages(), QStringList({kNoBlockHint}));
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE"}));
    EXPECT_EQ(blockColumnLines(fileLines(path)), defaultColumnLines());

    // With separate column files the demo column file fills the block.
    putLines(path, {"[Alt]", "%NAME% %DE% %BI%"});
    ui.clear();
    context.fdfAlt = true;
    l = loadLayout(path, context, ui);
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(windowShown, 1);
    EXPECT_EQ(fileLines(path).mid(0, 5),
              QStringList({"[Alt]", "%NAME% %DE% %BI%", "", "", kBlockMarker}));
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE", "BI"}));
}

TEST_F(LayoutLoading, ColumnFileReplacesTheBlockInMemoryOnly)
{
    putLines(ws + "DEFINI/SEK1.FDF", {columnLine("KLASSE", "Klasse", "5"),
                                      columnLine("PH", "Physik", "2"), columnLine("CH", "Chemie", "2")});
    putLines(ws + "DEFINI/KURZ.FDF", {columnLine("PH", "Physik", "2")});
    const QString demo = ws + "LAYOUT/DEMO.LAY";
    const QStringList before = fileLines(demo);
    context.fdfAlt = true;
    context.faecherdatei = "sek1.fdf";
    LoadedLayout l = loadLayout(demo, context, ui);
    EXPECT_TRUE(l.blockFromColumnFile);
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "PH", "CH"}));
    EXPECT_EQ(fileLines(demo), before);
    // Fewer than three lines: the demo column file instead.
    context.faecherdatei = "KURZ.FDF";
    l = loadLayout(demo, context, ui);
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE", "BI"}));
    // Without FDFAlt the layout's own block counts.
    context.fdfAlt = false;
    l = loadLayout(demo, context, ui);
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE", "EN", "MA"}));
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST_F(LayoutLoading, UnknownFieldFallsBackToTheDefaultBlock)
{
    const QString path = ws + "LAYOUT/Kaputt.LAY";
    putLines(path, {"[Kaputt]", "", kBlockMarker, columnLine("KLASSE", "Klasse", "5"),
                    columnLine("GIBTS", "Nicht", "2"), columnLine("DE", "Deutsch", "2"),
                    columnLine("LN", "Nr", "2")});
    const LoadedLayout l = loadLayout(path, context, ui);
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Error);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("Die aufgerufene Datei ist fehlerhaft!\n"));
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE"}));
    EXPECT_EQ(blockColumnLines(fileLines(path)), defaultColumnLines());
    EXPECT_EQ(written, QStringList({path}));

    // A field missing only in this (older) student file triggers the same.
    ui.clear();
    written.clear();
    context.fileFields = QStringList({"NAME", "VORNAME", "KLASSE", "EN", "MA"});
    const LoadedLayout demo = loadLayout(ws + "LAYOUT/DEMO.LAY", context, ui);
    EXPECT_EQ(ui.messages(), QStringList({"Die aufgerufene Datei ist fehlerhaft!\n"}));
    // Even the default DE is missing: the columns that exist are shown.
    EXPECT_EQ(fieldsOf(demo), QStringList({"KLASSE"}));
}

TEST_F(LayoutLoading, BadColumnFileDoesNotDestroyTheLayoutsOwnBlock)
{
    putLines(ws + "DEFINI/FALSCH.FDF", {columnLine("KLASSE", "Klasse", "5"),
                                        columnLine("QQ", "?", "2"), columnLine("DE", "De", "2")});
    const QString demo = ws + "LAYOUT/DEMO.LAY";
    const QStringList before = fileLines(demo);
    context.fdfAlt = true;
    context.faecherdatei = "FALSCH.FDF";
    const LoadedLayout l = loadLayout(demo, context, ui);
    EXPECT_EQ(ui.messages(), QStringList({"Die aufgerufene Datei ist fehlerhaft!\n"}));
    EXPECT_EQ(fieldsOf(l), QStringList({"KLASSE", "DE"}));
    EXPECT_EQ(fileLines(demo), before);
    EXPECT_TRUE(written.isEmpty());
}

TEST_F(LayoutLoading, BlockSourcesOfTheLayoutWindow)
{
    putLines(ws + "MUSTER/FACH-ALL.MST", {"Kopf", "---", columnLine("NAME", "Name", "20"),
                                         columnLine("DE", "Deutsch", "2"),
                                         columnLine("BI", "Biologie", "2"),
                                         columnLine("PH", "Physik", "2"),
                                         columnLine("EN", "Englisch", "2")});
    QStringList lines{"[L]", "%name% und %DE%", "Note %bi%", "", kBlockMarker, "alt"};
    EXPECT_TRUE(runPrintedFieldsButton(lines, ws));
    EXPECT_EQ(blockColumnLines(lines),
              QStringList({columnLine("NAME", "Name", "20"), columnLine("DE", "Deutsch", "2"),
                           columnLine("BI", "Biologie", "2")}));

    // Another layout without block: message, nothing changes.
    const QStringList keep = lines;
    putLines(ws + "LAYOUT/OHNE.LAY", {"[O]", "x"});
    ui.texts.enqueue(ws + "LAYOUT/OHNE.LAY");
    EXPECT_FALSE(runOtherLayoutButton(lines, ws + "LAYOUT/DEMO.LAY", ui));
    EXPECT_EQ(lines, keep);
    EXPECT_EQ(ui.messages(), QStringList({"Datei enthält keine Tabellenlayout-Informationen"}));
    ui.texts.enqueue(ws + "LAYOUT/demo.lay");
    EXPECT_TRUE(runOtherLayoutButton(lines, ws + "LAYOUT/DEMO.LAY", ui));
    EXPECT_EQ(blockColumnLines(lines), blockColumnLines(fileLines(ws + "LAYOUT/DEMO.LAY")));
    EXPECT_EQ(ui.shown.last().text, "Tabellenlayout laden");

    ui.texts.enqueue(ws + "DEFINI/DEMO.FDF");
    EXPECT_TRUE(runColumnFileButton(lines, ws, ui));
    EXPECT_EQ(blockColumnLines(lines), fileLines(ws + "DEFINI/DEMO.FDF"));
    EXPECT_EQ(lines.mid(0, 4), keep.mid(0, 4));
    ui.texts.enqueue(std::nullopt);
    EXPECT_FALSE(runColumnFileButton(lines, ws, ui));
}

TEST_F(LayoutLoading, ChoosingAColumnFileAndALayout)
{
    ui.texts.enqueue(ws + "DEFINI/sek1.fdf");
    EXPECT_EQ(chooseColumnLayoutFile(ws, ui), QString("SEK1.FDF"));

    // A template is copied into LAYOUT/Testen, a second time the copy is kept.
    putLines(ws + "LayoutVorlagen/Zeugnis.lay", {"[Vorlage]"});
    QStringList dirs;
    for (int round = 0; round < 2; ++round) {
        ui.clear();
        ui.texts.enqueue(ws + "LayoutVorlagen/Zeugnis.lay");
        const std::optional<QString> chosen = chooseLayout(
            ws, ws + "LAYOUT/DEMO.LAY", ui, [this](const QString& p) { written << p; },
            [&](const QString& p) { dirs << p; });
        EXPECT_EQ(chosen, ws + "LAYOUT/Testen/Zeugnis.lay");
        QStringList expected{
            "Eine Layoutdatei aus dem \"Vorlagenordner\" wurde gewählt,\n\ndie Layoutdatei wird "
            "in den Ordner \\Layout\\Testen kopiert!"};
        if (round == 1)
            expected << "Kopieren nicht erfolgreich, Datei ist bereits vorhanden!";
        EXPECT_EQ(ui.messages(), expected);
    }
    EXPECT_EQ(written, QStringList({ws + "LAYOUT/Testen/Zeugnis.lay"}));
    EXPECT_EQ(dirs.size(), 1);
    ui.texts.enqueue(std::nullopt);
    EXPECT_FALSE(chooseLayout(ws, ws + "LAYOUT/DEMO.LAY", ui).has_value());
}

} // namespace
} // namespace zedora
