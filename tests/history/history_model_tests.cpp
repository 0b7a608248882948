// The history model: labels and headers, filling a student's table from the
// open file and the archives, the grade-jump colours, the class table.
#include "history/history_fixture.h"

#include "entry/colour_chains.h"
#include "entry/grade_abbreviations.h"
#include "schoolyear/history_labels.h"

#include <QFile>
#include <gtest/gtest.h>

namespace zedora::test {
namespace {

QString S(const char* s) { return QString::fromUtf8(s); }

TEST(HistoryLabels, TheHalfYearBeforeWrapsBelowZeroTo99)
{
    EXPECT_EQ(halfYearLabelBefore(S("13-14-2")), S("13-14-1"));
    EXPECT_EQ(halfYearLabelBefore(S("13-14-1")), S("12-13-2"));
    EXPECT_EQ(halfYearLabelBefore(S("10-11-1")), S("09-10-2"));
    EXPECT_EQ(halfYearLabelBefore(S("00-01-1")), S("99-00-2"));
    EXPECT_EQ(halfYearLabelBefore(S("99-00-1")), S("98-99-2"));
    EXPECT_EQ(halfYearLabelBefore(S("13-14-3")), QString());
    EXPECT_EQ(halfYearLabelBefore(QString()), QString());
}

TEST(HistoryLabels, HeadersFollowTheDataDirectoryOfTheOpenFile)
{
    EXPECT_EQ(historyHeaders(S("ZE-1415-1"), previousArchiveName(S("/w/ZE-1415-1/5A.DBF")), 6),
              QStringList({S("ZE-1415-1"), S("13-14-2"), S("13-14-1"), S("12-13-2"), S("12-13-1"), S("11-12-2")}));
    EXPECT_EQ(historyHeaders(S("ZE-1415-2"), previousArchiveName(S("/w/ZE-1415-2/5A.DBF")), 4),
              QStringList({S("ZE-1415-2"), S("14-15-1"), S("13-14-2"), S("13-14-1")}));
    EXPECT_EQ(historyHeaders(S("ZE-0001-2"), previousArchiveName(S("/w/ZE-0001-2/5A.DBF")), 4),
              QStringList({S("ZE-0001-2"), S("00-01-1"), S("99-00-2"), S("99-00-1")}));
    // HJSichtbar 2: the current half-year and one earlier one.
    EXPECT_EQ(historyHeaders(S("ZE-1415-1"), S("A13-14-2.DBF"), 2), QStringList({S("ZE-1415-1"), S("13-14-2")}));
    EXPECT_EQ(historyHeaders(S("ZE-1415-1"), S("A13-14-2.DBF"), 0).size(), 2);
    EXPECT_EQ(historyHeaders(S("ZE-1415-1"), S("A13-14-2.DBF"), 40).size(), 16);
    // A directory that names no half-year has no archives before it.
    EXPECT_EQ(historyHeaders(S("MUSTER"), QString(), 3), QStringList({S("MUSTER"), QString(), QString()}));
}

class HistoryFill : public ::testing::Test {
protected:
    HistoryWorkspace ws;

    int row(const QString& field) const
    {
        const auto rows = historyRowsOf(historyColumns());
        for (size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].field == field)
                return int(r);
        }
        return -1;
    }
};

TEST_F(HistoryFill, RowsAreTheClassAndTheLayoutColumnsWithoutNames)
{
    const auto rows = historyRowsOf(historyColumns());
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].caption, S("   Klasse"));
    EXPECT_EQ(rows[0].field, S("KLASSE"));
    EXPECT_EQ(rows[1].caption, S("   Deutsch"));
    EXPECT_EQ(rows[1].field, S("DE"));
    EXPECT_EQ(rows[5].field, S("TF1"));
}

TEST_F(HistoryFill, CurrentAndArchivedHalfYearsSideBySideAMissingArchiveStaysEmpty)
{
    ws.writeClass({{{"NAME", "Maier"}, {"VORNAME", "Anna"}, {"ID", "38000MAIANNA"}, {"KLASSE", "6A"},
                    {"DE", "2"}, {"MA", "3"}, {"GEBOREN", "05.03.2004"}, {"GEBORT", "Köln"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "OTHER"}, {"KLASSE", "5B"}, {"DE", "6"}},
                                   {{"ID", "38000MAIANNA"}, {"KLASSE", "5A"}, {"DE", "5"}, {"MA", "1"}, {"VS1", "4"}}});
    ws.writeArchive(S("12-13-2"), {{{"ID", "38000MAIANNA"}, {"KLASSE", "4A"}, {"DE", "1"}}});
    const HistoryView view(ws.table, ws.setup(4));
    const HistoryGrid g = view.fill(0);

    EXPECT_EQ(g.headers, QStringList({S("ZE-1415-1"), S("13-14-2"), S("13-14-1"), S("12-13-2")}));
    EXPECT_EQ(g.cell(0, 1), S("6A"));
    EXPECT_EQ(g.cell(0, 2), S("5A"));
    EXPECT_EQ(g.cell(0, 4), S("4A"));
    EXPECT_EQ(g.cell(row(S("DE")), 1), S("     2"));
    EXPECT_EQ(g.cell(row(S("DE")), 2), S("   5"));
    EXPECT_EQ(g.cell(row(S("MA")), 2), S("   1"));
    EXPECT_EQ(g.cell(row(S("VS1")), 2), S("   4"));
    EXPECT_EQ(g.cell(row(S("DE")), 4), S("   1"));
    // A17-18-1 does not exist: its column is empty, without a message.
    for (size_t r = 0; r < g.rows.size(); ++r)
        EXPECT_EQ(g.cell(int(r), 3), QString()) << r;
    EXPECT_EQ(g.studentLine, S("        Anna Maier,  geb. am 05.03.2004 in Köln"));
}

TEST_F(HistoryFill, AveragesWithTwoDecimalsAndEmptyWhenThereIsNone)
{
    ws.writeClass({{{"NAME", "A"}, {"ID", "I1"}, {"DE", "2"}, {"MA", "3"}}, {{"NAME", "B"}, {"ID", "I2"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "I1"}, {"DE", "1"}, {"MA", "2"}}});
    HistorySetup setup = ws.setup(2);
    ws.table.setAverageDefinitions(setup.averages);
    const HistoryView view(ws.table, setup);
    EXPECT_EQ(view.fill(0).cell(row(S("D1")), 1).trimmed(), S("2,50"));
    EXPECT_EQ(view.fill(0).cell(row(S("D1")), 2).trimmed(), S("1,50"));
    EXPECT_EQ(view.fill(1).cell(row(S("D1")), 1).trimmed(), QString());

    // The grades an archived average is made of are read even when no row
    // shows them.
    setup.columns = applyColumnLines({columnLine(S("NAME"), S("Name"), 20), columnLine(S("D1"), S("Schnitt"), 5)}, {})
                        .description;
    const HistoryView averagesOnly(ws.table, setup);
    EXPECT_EQ(averagesOnly.fill(0).cell(1, 2).trimmed(), S("1,50"));
}

TEST_F(HistoryFill, AFieldTheArchiveLacksShowsFehler)
{
    ws.writeClass({{{"NAME", "A"}, {"ID", "I1"}, {"DE", "2"}, {"MA", "3"}}});
    ws.writeNarrowArchive(S("13-14-2"), {S("ID"), S("KLASSE"), S("DE")}, {{{"ID", "I1"}, {"DE", "4"}}});
    const HistoryView view(ws.table, ws.setup(2));
    const HistoryGrid g = view.fill(0);
    EXPECT_EQ(g.cell(row(S("DE")), 2), S("   4"));
    EXPECT_EQ(g.cell(row(S("MA")), 2), kHistoryFieldError);
    EXPECT_EQ(g.cell(row(S("TF1")), 2), kHistoryFieldError);
}

TEST_F(HistoryFill, AnEmptyIdFindsTheFirstArchiveRecordWithoutId)
{
    ws.writeClass({{{"NAME", "Ohne"}, {"DE", "2"}}, {{"NAME", "Mit"}, {"ID", "I9"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "I9"}, {"DE", "6"}}, {{"DE", "1"}}, {{"DE", "4"}}});
    const HistoryView view(ws.table, ws.setup(2));
    EXPECT_EQ(view.fill(0).cell(row(S("DE")), 2), S("   1"));
    EXPECT_EQ(view.fill(1).cell(row(S("DE")), 2), S("   6"));
}

TEST_F(HistoryFill, EachArchiveIsReadOnceForTheWholeView)
{
    ws.writeClass({{{"NAME", "A"}, {"ID", "I1"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "I1"}, {"DE", "3"}}});
    const HistoryView view(ws.table, ws.setup(2));
    ASSERT_TRUE(QFile::remove(ws.root + S("ARCHIV/A13-14-2.DBF")));
    EXPECT_EQ(view.fill(0).cell(row(S("DE")), 2), S("   3"));
}

TEST_F(HistoryFill, ADamagedArchiveIsNamedAndItsColumnStaysEmpty)
{
    ws.writeClass({{{"NAME", "A"}, {"ID", "I1"}}});
    QDir().mkpath(ws.root + S("ARCHIV"));
    QFile bad(ws.root + S("ARCHIV/A13-14-2.DBF"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a table at all");
    bad.close();
    const HistoryView view(ws.table, ws.setup(3));
    ASSERT_EQ(view.unreadableArchives().size(), 1);
    EXPECT_TRUE(view.unreadableArchives()[0].startsWith(ws.root + S("ARCHIV/A13-14-2.DBF:\n")));
    EXPECT_EQ(view.fill(0).cell(0, 2), QString());
}

TEST_F(HistoryFill, GradeViewShowsTheMeaningsOfDefinedCodes)
{
    ws.writeClass({{{"NAME", "A"}, {"ID", "I1"}, {"KLASSE", "5A"}, {"DE", "2"}, {"MA", "xy"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "I1"}, {"DE", "1"}}});
    GradeAbbreviations grades;
    AbbreviationTable entries;
    entries[0] = {S("1"), S("sehr gut"), S("eins")};
    entries[1] = {S("2"), S("gut"), S("zwei")};
    grades.setEntries(entries);
    HistoryView view(ws.table, ws.setup(2), &grades);
    view.setGradeView(GradeView::Meaning1);
    HistoryGrid g = view.fill(0);
    EXPECT_EQ(g.cell(row(S("DE")), 1), S("     gut"));
    EXPECT_EQ(g.cell(row(S("DE")), 2), S("   sehr gut"));
    EXPECT_EQ(g.cell(row(S("MA")), 1), S("     xy"));   // no code: shown as it is
    EXPECT_EQ(g.cell(0, 1), S("5A"));                    // the class is no grade
    view.setGradeView(GradeView::Meaning2);
    EXPECT_EQ(view.fill(0).cell(row(S("DE")), 1), S("     zwei"));
    view.setGradeView(GradeView::Abbreviation);
    EXPECT_EQ(view.fill(0).cell(row(S("DE")), 1), S("     2"));
}

TEST_F(HistoryFill, TextBlockColumnsShowTheirBeginningFromFileAndArchive)
{
    ws.writeClass({{{"NAME", "A"}, {"ID", "I1"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "I1"}}});
    {
        auto t = dbase::Table::open((ws.root + S("ARCHIV/A13-14-2.DBF")).toStdString(), dbase::OpenMode::Exclusive);
        t->first();
        t->edit();
        t->setMemo(t->fieldIndex("TB1"), "Arbeitet stets\r\nsorgfaeltig mit.");
        t->post();
    }
    HistorySetup setup = ws.setup(2);
    setup.columns = applyColumnLines({columnLine(S("NAME"), S("Name"), 20), columnLine(S("TB1"), S("Verhalten"), 30),
                                      columnLine(S("TB2"), S("Bemerkung"), 30)},
                                     {})
                        .description;
    const HistoryView view(ws.table, setup);
    const HistoryGrid g = view.fill(0);
    EXPECT_EQ(g.cell(1, 2), S("   Arbeitet stets ..."));
    EXPECT_EQ(g.cell(2, 2), S("   "));
    EXPECT_EQ(g.cell(1, 1), S("     "));
}

HistoryGrid gridOf(const QStringList& classes, const std::vector<std::pair<QString, QStringList>>& rows)
{
    HistoryGrid g;
    for (int c = 0; c < classes.size(); ++c)
        g.headers << S("H") + QString::number(c);
    g.rows.push_back({S("   Klasse"), S("KLASSE")});
    g.cells.push_back(classes);
    for (const auto& [field, cells] : rows) {
        g.rows.push_back({S("   ") + field, field});
        g.cells.push_back(cells);
    }
    return g;
}

TEST(HistoryColours, GradeJumpsOfMoreThanOneAgainstTheHalfYearBefore)
{
    const QColor better(Qt::cyan), worse(Qt::yellow);
    const HistoryColours plain{nullptr, better, worse};
    const HistoryGrid g = gridOf({S("6A"), S("5A"), S("4A")},
                                 {{S("DE"), {S("     5"), S("   3"), S("   1")}},
                                  {S("MA"), {S("     2"), S("   4"), S("   2")}},
                                  {S("EN"), {S("     3"), S("   4"), S("   6")}},
                                  {S("VS1"), {S("     9"), S("   1"), S("")}},
                                  {S("TF1"), {S("     5 x"), S("   1"), S("")}}});
    EXPECT_EQ(historyCellColour(g, 1, 1, plain), worse);   // 5 next to 3
    EXPECT_EQ(historyCellColour(g, 1, 2, plain), worse);   // 3 next to 1
    EXPECT_EQ(historyCellColour(g, 2, 1, plain), better);  // 2 next to 4
    EXPECT_EQ(historyCellColour(g, 2, 2, plain), worse);
    EXPECT_EQ(historyCellColour(g, 3, 1, plain), std::nullopt); // 3 next to 4
    EXPECT_EQ(historyCellColour(g, 3, 2, plain), better);       // 4 next to 6
    // The last column has no half-year before it.
    EXPECT_EQ(historyCellColour(g, 3, 3, plain), std::nullopt);
    // Absences and longer texts are no grades.
    EXPECT_EQ(historyCellColour(g, 4, 1, plain), std::nullopt);
    EXPECT_EQ(historyCellColour(g, 5, 1, plain), std::nullopt);
}

TEST(HistoryColours, GradeChainsColourUnlessAJumpDoesAndMissingClassesAreGrey)
{
    ColourChains chains; // ;5;6; ;4; ;1;
    const HistoryColours colours{&chains, QColor(Qt::cyan), QColor(Qt::yellow)};
    const HistoryGrid g = gridOf({S("6A"), S(""), S("6A")}, {{S("DE"), {S("     4"), S("   4"), S("   6")}},
                                                             {S("MA"), {S("     6"), S("   1"), S("   ")}}});
    EXPECT_EQ(historyCellColour(g, 1, 1, colours), chains.colourFor(S("4")));
    EXPECT_EQ(historyCellColour(g, 1, 2, colours), QColor(Qt::cyan));
    EXPECT_EQ(historyCellColour(g, 2, 1, colours), QColor(Qt::yellow));
    EXPECT_EQ(historyCellColour(g, 2, 2, colours), chains.colourFor(S("1")));
    EXPECT_EQ(historyCellColour(g, 0, 2, colours), kHistoryMissingClass);
    EXPECT_EQ(historyCellColour(g, 0, 1, colours), std::nullopt);
    EXPECT_EQ(historyCellColour(g, 0, 3, colours), std::nullopt);
}

TEST_F(HistoryFill, ClassTableHasOneRowPerStudentAndHalfYear)
{
    ws.writeClass({{{"NAME", "Maier"}, {"VORNAME", "Anna"}, {"ID", "I1"}, {"KLASSE", "6A"}, {"DE", "2"}},
                   {{"NAME", "Berg"}, {"VORNAME", "Tom"}, {"ID", "I2"}, {"KLASSE", "6A"}, {"DE", "4"}}});
    ws.writeArchive(S("13-14-2"), {{{"ID", "I2"}, {"KLASSE", "5A"}, {"DE", "3"}, {"TF1", "gut so"}}});
    const HistoryView view(ws.table, ws.setup(3));
    QList<std::pair<int, int>> steps;
    const ClassHistory t = view.classTable([&](int done, int total) { steps << std::pair{done, total}; });

    EXPECT_EQ(steps, (QList<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(t.titles, QStringList({S("De"), S("Ma"), S("Versäumt"), S("Schnitt"), S("Bemerkung")}));
    EXPECT_EQ(t.widths, (std::vector<int>{18, 18, 27, 45, 108}));
    ASSERT_EQ(t.rows.size(), 6u);
    EXPECT_EQ(t.rows[0], QStringList({S("Maier,"), S("ZE-1415-1/6A"), S("2"), QString(), QString(), S("2,00"),
                                      QString()}));
    EXPECT_EQ(t.rows[1].mid(0, 3), QStringList({S("  Anna"), S("13-14-2/"), QString()}));
    EXPECT_EQ(t.rows[2].mid(0, 2), QStringList({QString(), S("13-14-1/")}));
    EXPECT_EQ(t.rows[3].at(0), S("Berg,"));
    EXPECT_EQ(t.rows[4].mid(0, 3), QStringList({S("  Tom"), S("13-14-2/5A"), S("3")}));
    EXPECT_EQ(t.rows[4].at(6), S("gut so"));
}

TEST(HistoryClassLines, ALineGoesIntoEveryStudentsBlockAfterTheSelectedOffset)
{
    ClassHistory t;
    t.halfYears = 3;
    t.titles = QStringList({S("De")});
    for (const char* student : {"a", "b"}) {
        for (int h = 1; h <= 3; ++h)
            t.rows.push_back({S(student), QString::number(h), QString()});
    }
    // Grid row 1 is the first half-year of the first student.
    ASSERT_TRUE(insertClassLine(t, 1, S("Kurs")));
    ASSERT_EQ(t.rows.size(), 8u);
    EXPECT_EQ(t.rows[1].at(1), S("Kurs"));
    EXPECT_EQ(t.rows[5].at(1), S("Kurs"));
    EXPECT_EQ(t.rows[4].at(1), S("1"));
    EXPECT_EQ(t.rows[1].size(), 3);
    // Now blocks of four: a selected row at a block's end (offset 0) adds
    // after the last line of every block.
    ASSERT_TRUE(insertClassLine(t, 8, S("Ende")));
    ASSERT_EQ(t.rows.size(), 10u);
    EXPECT_EQ(t.rows[4].at(1), S("Ende"));
    EXPECT_EQ(t.rows[9].at(1), S("Ende"));
    EXPECT_EQ(t.rows[5].at(0), S("b"));
    EXPECT_EQ(t.inserted, 2);
    EXPECT_FALSE(insertClassLine(t, 1, QString()));
    EXPECT_EQ(t.rows.size(), 10u);
}

} // namespace
} // namespace zedora::test
