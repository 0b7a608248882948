// The history printouts: what one student's or every student's table and
// the class table list, and the page form with its row height and the
// titles above each student.
#include "history/history_fixture.h"

#include "print/print_metrics.h"
#include "print/recording_surface.h"
#include "schoolyear/history_printout.h"

#include <gtest/gtest.h>

namespace zedora::test {
namespace {

QString S(const char* s) { return QString::fromUtf8(s); }

HistoryGrid student(const char* line, const char* grade)
{
    HistoryGrid g;
    g.headers = {S("ZE-1415-1"), S("13-14-2")};
    g.rows = {{S("   Klasse"), S("KLASSE")}, {S("   Deutsch"), S("DE")}};
    g.cells = {{S("6A"), S("5A")}, {S("     ") + QLatin1String(grade), S("   3")}};
    g.studentLine = QLatin1String(line);
    return g;
}

QVector<DrawnText> drawn(const HistoryList& list, int* pages = nullptr)
{
    PrintMetrics metrics;
    RecordingSurface surface;
    const int n = historyJob(list).draw(surface, metrics);
    if (pages)
        *pages = n;
    return surface.texts(1);
}

QList<int> yOf(const QVector<DrawnText>& texts, const QString& text)
{
    QList<int> ys;
    for (const DrawnText& t : texts) {
        if (t.text == text)
            ys << t.y;
    }
    return ys;
}

TEST(HistoryPrintout, StudentsFollowEachOtherUnderTheirOwnTitles)
{
    const HistoryPrintHeading heading{S("6A"), S("2014/15"), S("1."), S("5A.DBF"), 60};
    const HistoryList list =
        studentHistoryList({student("        Anna Albers", "2"), student("        Tom Berg", "4")}, heading);
    EXPECT_EQ(list.columns, QStringList({QString(), S("ZE-1415-1"), S("13-14-2")}));
    ASSERT_EQ(list.rows.size(), 6);
    EXPECT_EQ(list.rows[0], QStringList({S("Anna Albers")}));
    EXPECT_EQ(list.rows[2], QStringList({S("Deutsch"), S("2"), S("3")}));
    EXPECT_EQ(list.rows[3], QStringList({S("Tom Berg")}));
    EXPECT_EQ(list.blockRows, 3);

    const QVector<DrawnText> texts = drawn(list);
    EXPECT_EQ(yOf(texts, S("Notenliste der Klasse 6A   Schuljahr: 2014/15 / 1. Hj.")), QList<int>({100}));
    // Titles at the top and again, half a row clear, above the second
    // student; rows 60 apart.
    EXPECT_EQ(yOf(texts, S("13-14-2")), QList<int>({180, 450}));
    EXPECT_EQ(yOf(texts, S("Anna Albers")), QList<int>({250}));
    EXPECT_EQ(yOf(texts, S("Tom Berg")), QList<int>({520}));
}

TEST(HistoryPrintout, ClassTableWithInsertedLinesAndTitlesPerStudentOnlyWhenAsked)
{
    ClassHistory t;
    t.halfYears = 2;
    t.titles = {S("De")};
    t.rows = {{S("Albers,"), S("ZE-1415-1/6A"), S("2")}, {S("  Anna"), S("13-14-2/5A"), S("3")},
              {S("Berg,"), S("ZE-1415-1/6A"), S("4")}, {S("  Tom"), S("13-14-2/5A"), S("4")}};
    ASSERT_TRUE(insertClassLine(t, 2, S("Kurs")));
    const HistoryPrintHeading heading{S("6A"), S("2014/15"), S("1."), S("5A.DBF"), 44};

    HistoryList list = classHistoryList(t, true, heading);
    EXPECT_EQ(list.columns, QStringList({S("Schüler"), S("Halbjahr/Klasse"), S("De")}));
    EXPECT_EQ(list.rows.size(), 6);
    EXPECT_EQ(list.blockRows, 3);
    EXPECT_EQ(yOf(drawn(list), S("De")).size(), 2);
    EXPECT_EQ(yOf(drawn(list), S("Kurs")).size(), 2);

    list = classHistoryList(t, false, heading);
    EXPECT_EQ(yOf(drawn(list), S("De")).size(), 1);
}

TEST(HistoryPrintout, WithoutTitlesPerStudentLaterPagesStillBreakAtTheBottom)
{
    ClassHistory t;
    t.halfYears = 6;
    t.titles = {S("De")};
    for (int s = 0; s < 20; ++s) {
        for (int h = 0; h < 6; ++h)
            t.rows.push_back({h == 0 ? S("N%1,").arg(s) : QString(), S("13-14-2/5A"), S("3")});
    }
    int pages = 0;
    drawn(classHistoryList(t, false, {}), &pages);
    // 120 rows of 44 from 190 to 1950: 40 a page.
    EXPECT_EQ(pages, 3);
}

} // namespace
} // namespace zedora::test
