// Row edits, sorting, the closing check and the global change of the editor.
#include "print/layout_editor_edits.h"

#include "base/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace zedora;

namespace {

LayoutEditorData withEntries(const QList<QPair<int, int>>& xy)
{
    LayoutEditorData data;
    LayoutGrid& g = data.grid(ElementKind::Eintrag);
    for (int r = 0; r < xy.size(); ++r) {
        g.setCell(r, QStringLiteral("x"), QString::number(xy[r].first));
        g.setCell(r, QStringLiteral("y"), QString::number(xy[r].second));
        g.setCell(r, QStringLiteral("Inhalt"), QStringLiteral("E%1").arg(r));
    }
    return data;
}

QString inhalt(const LayoutEditorData& d, int row) { return d.grid(ElementKind::Eintrag).cell(row, "Inhalt"); }

const QString kNotNumeric = QStringLiteral("FEHLER: \nDie Spalte ist nicht numerisch oder das Feld ist leer!");

} // namespace

TEST(RowEdits, InsertDuplicateDeleteMoveContentButNeverNumbers)
{
    ScriptedInteraction ui;
    LayoutEditorData d = withEntries({{10, 20}, {30, 40}, {50, 60}});
    LayoutGrid& g = d.grid(ElementKind::Eintrag);
    g.setCell(1, "GR", "3");

    ASSERT_TRUE(insertRow(g, 1, ui));
    EXPECT_EQ(g.cell(1, "GR"), "3");  // keeps its group
    EXPECT_EQ(g.cell(1, "x"), "");
    EXPECT_EQ(g.cell(1, "Aktiv"), "");
    EXPECT_EQ(inhalt(d, 2), "E1");
    EXPECT_EQ(inhalt(d, 3), "E2");
    EXPECT_EQ(g.cell(3, "Nr."), "103");
    EXPECT_EQ(g.usedRows(), 3);

    ASSERT_TRUE(duplicateRow(g, 0, ui));
    EXPECT_EQ(inhalt(d, 0), "E0");
    EXPECT_EQ(inhalt(d, 1), "E0");
    EXPECT_EQ(g.usedRows(), 4);

    ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(deleteRow(g, 0, ui));
    EXPECT_EQ(g.usedRows(), 4);
    ui.answers.enqueue(Answer::Yes);
    ASSERT_TRUE(deleteRow(g, 0, ui));
    EXPECT_EQ(ui.messages(), QStringList({"Soll Zeile wirklich gelöscht werden?\n",
                                          "Soll Zeile wirklich gelöscht werden?\n"}));
    EXPECT_EQ(inhalt(d, 0), "E0");
    EXPECT_EQ(g.cell(1, "x"), "");
    EXPECT_EQ(inhalt(d, 2), "E1");
    EXPECT_EQ(g.cell(0, "Nr."), "100");
    EXPECT_EQ(g.rows.back()[2], "");

    moveRow(g, 3, 0);
    EXPECT_EQ(inhalt(d, 0), "E2");
    EXPECT_EQ(inhalt(d, 1), "E0");
    EXPECT_EQ(g.cell(0, "Nr."), "100");
    EXPECT_EQ(g.cell(3, "Nr."), "103");
}

TEST(RowEdits, InsertRefusesWhenTheLastRowHoldsAnElement)
{
    ScriptedInteraction ui;
    LayoutEditorData d;
    LayoutGrid& g = d.grid(ElementKind::Bild);
    const int last = int(g.rows.size()) - 1;
    g.setCell(last, "x", "5");
    g.setCell(last, "y", "7");
    g.setCell(0, "x", "1");
    EXPECT_FALSE(insertRow(g, 0, ui));
    EXPECT_FALSE(duplicateRow(g, 0, ui));
    EXPECT_EQ(g.cell(last, "x"), "5");
    EXPECT_EQ(g.cell(0, "x"), "1");
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages()[0], "Die letzte Zeile ist belegt!\nEs kann keine Zeile eingefügt werden.\n");
}

TEST(Sorting, NumbersAsNumbersTextWithoutCaseBlanksLast)
{
    LayoutEditorData d = withEntries({{1, 100}, {2, 95}, {3, 1000}});
    LayoutGrid& g = d.grid(ElementKind::Eintrag);
    sortRows(g, g.columnOf("y"));
    EXPECT_EQ(g.cell(0, "y"), "95");
    EXPECT_EQ(g.cell(1, "y"), "100");
    EXPECT_EQ(g.cell(2, "y"), "1000");
    EXPECT_EQ(g.cell(3, "y"), "");
    EXPECT_EQ(g.cell(0, "Nr."), "100");

    g.setCell(0, "Inhalt", "beta");
    g.setCell(1, "Inhalt", "Alpha");
    g.setCell(2, "Inhalt", "");
    sortRows(g, g.columnOf("Inhalt"));
    EXPECT_EQ(g.cell(0, "Inhalt"), "Alpha");
    EXPECT_EQ(g.cell(1, "Inhalt"), "beta");
    EXPECT_EQ(g.cell(2, "Inhalt"), "");
    EXPECT_EQ(g.usedRows(), 3);
}

TEST(ClosingCheck, ActiveEntryReferringToATextBlockIsRefused)
{
    LayoutEditorData d = withEntries({{1, 1}, {2, 2}});
    EXPECT_EQ(textBlockInEntryError(d), "");
    LayoutGrid& g = d.grid(ElementKind::Eintrag);
    g.setCell(1, "Inhalt", "Text %tb1% dahinter");
    EXPECT_EQ(textBlockInEntryError(d).toStdString(),
              "Die Definition eines Textblocks innerhalb des Eintragsregisters\n\n(%tb1%  in Zeile 101) ist nicht "
              "möglich!\n\n");
    g.setCell(1, "Inhalt", "Vorher %TB1%");
    EXPECT_EQ(textBlockInEntryError(d).toStdString(),
              "Die Definition eines Textblocks innerhalb des Eintragsregisters\n\n(%TB1% in Zeile 101) ist nicht "
              "möglich!\n\n");
    g.setCell(1, "Aktiv", "0");
    EXPECT_EQ(textBlockInEntryError(d), "");
}

TEST(GlobalChange, StartNeedsANumberInANumericColumn)
{
    ScriptedInteraction ui;
    LayoutEditorData d = withEntries({{10, 20}});
    const LayoutGrid& g = d.grid(ElementKind::Eintrag);
    EXPECT_EQ(globalChangeStart(g, 0, g.columnOf("y"), ui), 20);
    EXPECT_FALSE(globalChangeStart(g, 0, g.columnOf("Inhalt"), ui));
    EXPECT_FALSE(globalChangeStart(g, 1, g.columnOf("y"), ui));
    EXPECT_EQ(ui.messages(), QStringList({kNotNumeric, kNotNumeric}));
    EXPECT_TRUE(isNumericColumn(ElementKind::Linie, "y2"));
    EXPECT_FALSE(isNumericColumn(ElementKind::Bild, "Bilddatei"));
}

TEST(GlobalChange, CurrentColumnWithinBounds)
{
    ScriptedInteraction ui;
    LayoutEditorData d = withEntries({{1, 999}, {2, 1000}, {3, 1100}, {4, 1200}, {5, 1201}});
    LayoutGrid& g = d.grid(ElementKind::Eintrag);
    ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(runGlobalChange(d, ElementKind::Eintrag, g.columnOf("y"), "1000", "1200", "50",
                              ShiftScope::CurrentColumn, ui),
              3);
    EXPECT_EQ(g.cell(0, "y"), "999");
    EXPECT_EQ(g.cell(1, "y"), "1050");
    EXPECT_EQ(g.cell(3, "y"), "1250");
    EXPECT_EQ(g.cell(4, "y"), "1201");
    EXPECT_EQ(g.cell(1, "x"), "2");
    EXPECT_EQ(ui.messages(), QStringList({"Änderung wirklich durchführen?\n\n", "Es wurden 3 Änderungen druchgeführt!"}));
}

TEST(GlobalChange, AllElementsMovesEverythingButLinesWithoutLength)
{
    LayoutEditorData d = withEntries({{1, 2000}, {1, 2600}});
    d.grid(ElementKind::Notenfeld).setCell(0, "x", "5");
    d.grid(ElementKind::Notenfeld).setCell(0, "y", "2500");
    d.grid(ElementKind::Textblock).setCell(0, "x", "5");
    d.grid(ElementKind::Textblock).setCell(0, "y", "2100");
    d.grid(ElementKind::Bild).setCell(0, "x", "5");
    d.grid(ElementKind::Bild).setCell(0, "y", "2200");
    LayoutGrid& lines = d.grid(ElementKind::Linie);
    lines.setCell(0, "x1", "0");
    lines.setCell(0, "y1", "2300");
    lines.setCell(0, "Laenge", "500");
    lines.setCell(1, "x1", "0");
    lines.setCell(1, "y1", "2300");
    lines.setCell(1, "x2", "100");
    lines.setCell(1, "y2", "2400");
    EXPECT_EQ(applyGlobalChange(d, ElementKind::Eintrag, 4, 2000, 2500, -100, ShiftScope::AllElementsVertical), 5);
    EXPECT_EQ(d.grid(ElementKind::Eintrag).cell(0, "y"), "1900");
    EXPECT_EQ(d.grid(ElementKind::Eintrag).cell(1, "y"), "2600");
    EXPECT_EQ(d.grid(ElementKind::Notenfeld).cell(0, "y"), "2400");
    EXPECT_EQ(d.grid(ElementKind::Textblock).cell(0, "y"), "2000");
    EXPECT_EQ(d.grid(ElementKind::Bild).cell(0, "y"), "2100");
    EXPECT_EQ(lines.cell(0, "y1"), "2200");
    EXPECT_EQ(lines.cell(1, "y1"), "2300");
    EXPECT_EQ(lines.cell(1, "y2"), "2400");
}

TEST(GlobalChange, BadInputChangesNothing)
{
    ScriptedInteraction ui;
    LayoutEditorData d = withEntries({{10, 20}});
    const int y = d.grid(ElementKind::Eintrag).columnOf("y");
    bool stay = false;
    // Bounds that are no numbers below 100000 just close the dialog.
    EXPECT_FALSE(runGlobalChange(d, ElementKind::Eintrag, y, "abc", "30", "5", ShiftScope::CurrentColumn, ui, &stay));
    EXPECT_FALSE(runGlobalChange(d, ElementKind::Eintrag, y, "0", "100000", "5", ShiftScope::CurrentColumn, ui, &stay));
    EXPECT_FALSE(stay);
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_FALSE(runGlobalChange(d, ElementKind::Eintrag, y, "0", "30", "100000", ShiftScope::CurrentColumn, ui, &stay));
    EXPECT_TRUE(stay);
    EXPECT_FALSE(runGlobalChange(d, ElementKind::Eintrag, y, "0", "30", "x", ShiftScope::CurrentColumn, ui, &stay));
    ui.answers.enqueue(Answer::Cancel);
    EXPECT_FALSE(runGlobalChange(d, ElementKind::Eintrag, y, "0", "30", "5", ShiftScope::CurrentColumn, ui, &stay));
    EXPECT_EQ(ui.messages(), QStringList({"Fehlerhafte Einträge!\n\n", "Fehlerhafte Einträge!\n\n",
                                          "Änderung wirklich durchführen?\n\n"}));
    EXPECT_EQ(d.grid(ElementKind::Eintrag).cell(0, "y"), "20");
    // A shift past the top edge stops at 0 instead of dropping the element.
    EXPECT_EQ(applyGlobalChange(d, ElementKind::Eintrag, y, 0, 30, -50, ShiftScope::CurrentColumn), 1);
    EXPECT_EQ(d.grid(ElementKind::Eintrag).cell(0, "y"), "0");
}

TEST(GlobalChange, DescriptionFollowsTheBoxes)
{
    EXPECT_EQ(globalChangeDescription("10", "10", "5", ShiftScope::CurrentColumn),
              "Verändere alle Werte der gewählten Spalte, die gleich 10 sind, um 5!");
    EXPECT_EQ(globalChangeDescription("10", "20", "-5", ShiftScope::CurrentColumn),
              "Verändere alle Werte der gewählten Spalte, die zwischen 10 und 20 liegen, um -5!");
    EXPECT_EQ(globalChangeDescription("10", "10", "5", ShiftScope::AllElementsVertical),
              "Verschiebe alle Elemente, deren y-Wert gleich 10 sind, um 5 nach oben unten!");
    EXPECT_TRUE(globalChangeDescription("10", "20", "5", ShiftScope::AllElementsVertical).contains("20"));
}
