#include "data/column_block.h"
#include "data/column_layout.h"

#include "test_support.h"

#include <gtest/gtest.h>

namespace zedora {
namespace {

QString line(const QString& name, const QString& caption, const QString& width,
             const QString& mark = {})
{
    return testing_support::columnLine(name, caption, width, mark);
}

TEST(ColumnBlock, ParsesFixedColumns)
{
    const ColumnLine c = parseColumnLine(line("ma", "Mathematik", "3", "X"));
    EXPECT_EQ(c.name, "MA");
    EXPECT_EQ(c.name18, "MA");
    EXPECT_EQ(c.caption, QString("Mathematik").leftJustified(39));
    EXPECT_EQ(c.width, "3");
    EXPECT_TRUE(c.exempt);
    // Column-layout files carry a three-character width and no mark.
    const ColumnLine d = parseColumnLine(defaultColumnLines()[2]);
    EXPECT_EQ(d.name, "KLASSE");
    EXPECT_EQ(d.width, "5");
    EXPECT_FALSE(d.exempt);
    // The entry table reads 9 characters of the name, the rest 18.
    const ColumnLine longName = parseColumnLine("ABCDEFGHIJKL       Lang");
    EXPECT_EQ(longName.name, "ABCDEFGHI");
    EXPECT_EQ(longName.name18, "ABCDEFGHIJKL");
    EXPECT_FALSE(isColumnLine("                   only a caption"));
    EXPECT_FALSE(isColumnLine("   "));
}

TEST(ColumnBlock, MarkerCutAndEnsure)
{
    QStringList layout{"[LAYOUT]", "KUERZELDATEINAME NOTEN.NKD", "x=1", "", "-fdfyyy-",
                       line("DE", "Deutsch", "2"), line("EN", "Englisch", "2")};
    EXPECT_EQ(blockMarkerIndex(layout), 4);
    EXPECT_EQ(abbreviationFileName(layout), "NOTEN.NKD");

    // Two column lines: the four default lines are appended.
    QStringList two = layout;
    EXPECT_FALSE(ensureBlock(two));
    EXPECT_EQ(two.size(), layout.size() + 5);
    EXPECT_EQ(two.mid(7, 4), defaultColumnLines());
    EXPECT_EQ(blockColumnLines(two).size(), 6);
    EXPECT_TRUE(ensureBlock(two));

    // No block: a marker is added first.
    QStringList none{"[LAYOUT]", "x=1"};
    EXPECT_FALSE(ensureBlock(none));
    EXPECT_EQ(none.mid(0, 4), QStringList({"[LAYOUT]", "x=1", "", kBlockMarker}));
    EXPECT_EQ(blockColumnLines(none), defaultColumnLines());

    cutBlock(layout);
    EXPECT_EQ(layout, QStringList({"[LAYOUT]", "KUERZELDATEINAME NOTEN.NKD", "x=1", ""}));
    EXPECT_EQ(abbreviationFileName(layout.mid(1)), "KUERZEL.TXT"); // only lines 2..17

    // A marker as the very first line starts no block and is not cut.
    QStringList first{kBlockMarker, line("DE", "De", "2")};
    EXPECT_FALSE(hasBlock(first));
    cutBlock(first);
    EXPECT_EQ(first.size(), 2);
}

TEST(ColumnLayout, WidthsTitlesExemptionsAndExclusions)
{
    const QStringList lines{line("NAME", "Name", "20"),
                            line("VORNAME", "Vorname", "20"),
                            line("KLASSE", "Klasse", "5"),
                            line("DE", "Deutsch", "1"),
                            line("EN", "Englisch", "500"),
                            line("MA", "Mathematik", "x", "X"),
                            line("LN", "Laufende Nummer", "3"),
                            line("MW", "Geschlecht", ""),
                            line("TB1", "Bemerkungen", "40"),
                            line("D1", "Schnitt", "4")};
    ApplyOptions options; // the fixed name grid is on
    ApplyResult r = applyColumnLines(lines, options);
    ASSERT_TRUE(r.unknownField.isEmpty());
    const ColumnDescription& d = r.description;
    QStringList fields;
    for (const ColumnSpec& c : d.columns)
        fields << c.field;
    EXPECT_EQ(fields, QStringList({"KLASSE", "DE", "EN", "MA", "MW", "TB1", "D1"}));

    EXPECT_EQ(d.find("DE")->width, 2);    // raised to 2
    EXPECT_EQ(d.find("DE")->title, "De"); // caption cut to the width
    EXPECT_EQ(d.find("EN")->width, 150);
    EXPECT_EQ(d.find("MA")->width, 10);   // not a number
    EXPECT_EQ(d.find("MW")->width, 1);    // no width: the field's own
    EXPECT_TRUE(d.find("MA")->exempt);
    EXPECT_FALSE(d.find("DE")->exempt);
    EXPECT_EQ(d.exemptList, "#MA#");
    EXPECT_TRUE(d.isExempt("ma"));
    EXPECT_TRUE(d.find("KLASSE")->masterData);
    EXPECT_EQ(d.find("TB1")->kind, FieldKind::AssessmentText);
    EXPECT_EQ(d.captionAt(1), QString("Deutsch").leftJustified(25));

    // History: no rows for the name columns; narrow columns 18 pixels.
    ASSERT_EQ(d.historyRows.size(), 6u);
    EXPECT_EQ(d.historyRows[0].label, "   Deutsch");
    EXPECT_EQ(d.historyColumns[0].header, "De");
    EXPECT_EQ(d.historyColumns[0].pixelWidth, 18);
    EXPECT_EQ(d.historyColumns[1].pixelWidth, 9 * 150);

    // Single-record page.
    ASSERT_EQ(d.mask.texts.size(), 1u);
    EXPECT_EQ(d.mask.texts[0].label, "Bemerkungen (TB1)");
    EXPECT_EQ(d.mask.averages[0], QString("Schnitt"));
    ASSERT_EQ(d.mask.grades.size(), 3u);
    EXPECT_EQ(d.mask.grades[2].field, "MA");

    // Without the fixed grid the name columns belong to the table.
    options.nameGridVisible = false;
    r = applyColumnLines(lines, options);
    EXPECT_EQ(r.description.columns[0].field, "NAME");
    EXPECT_EQ(r.description.columns.size(), 9u);
}

TEST(ColumnLayout, UnknownFieldsStopTheApply)
{
    const QStringList lines{line("KLASSE", "Klasse", "5"), line("DE", "De", "2"),
                            line("XYZ", "Unsinn", "2"), line("EN", "En", "2")};
    ApplyResult r = applyColumnLines(lines, {});
    EXPECT_EQ(r.unknownField, "XYZ");

    // A file of an older, shorter schema lacks NOTEX.
    ApplyOptions older;
    older.fileFields = QStringList({"NAME", "VORNAME", "KLASSE", "DE", "EN"});
    r = applyColumnLines({line("DE", "De", "2"), line("D1", "Schnitt", "4"), line("NOTEX", "Nw", "2")},
                         older);
    EXPECT_EQ(r.unknownField, "NOTEX");
    older.skipUnknown = true;
    r = applyColumnLines({line("DE", "De", "2"), line("D1", "Schnitt", "4"), line("NOTEX", "Nw", "2")},
                         older);
    EXPECT_TRUE(r.unknownField.isEmpty());
    EXPECT_EQ(r.description.columns.size(), 2u);
}

} // namespace
} // namespace zedora
