// The statistics of one column: the frequency list and the numeric part,
// read by the field's kind.
#include "schoolyear/statistics_column.h"

#include <gtest/gtest.h>

namespace zedora {
namespace {

using Values = QVector<std::pair<QString, int>>;

TEST(ColumnStatistics, GradesCountByFirstDigitAndListEveryValue)
{
    EXPECT_EQ(columnValueKind(QStringLiteral("de")), ColumnValueKind::Other);
    ColumnStatistics s;
    s.column = QStringLiteral("DE");
    computeColumnStatistics(s,
                            {QStringLiteral("2-"), QStringLiteral(" 2- "), QStringLiteral("k.A."), QString(),
                             QStringLiteral("13"), QStringLiteral("4")},
                            ColumnValueKind::Other);
    EXPECT_EQ(s.values, (Values{{QStringLiteral("2-"), 2}, {QStringLiteral("k.A."), 1}, {QStringLiteral("13"), 1},
                                {QStringLiteral("4"), 1}}));
    EXPECT_EQ(s.average, QStringLiteral("2.25"));
    EXPECT_EQ(s.students, QStringLiteral("4"));
    EXPECT_EQ(s.lowest, QStringLiteral("1"));
    EXPECT_EQ(s.highest, QStringLiteral("4"));
    EXPECT_EQ(s.column, QStringLiteral("DE"));
}

TEST(ColumnStatistics, EmptyAbsenceCellsCountAsZero)
{
    EXPECT_EQ(columnValueKind(QStringLiteral("VS12")), ColumnValueKind::Absence);
    ColumnStatistics s;
    computeColumnStatistics(s, {QString(), QStringLiteral("3"), QStringLiteral(" "), QStringLiteral("viel")},
                            ColumnValueKind::Absence);
    EXPECT_EQ(s.values, (Values{{QStringLiteral("0"), 2}, {QStringLiteral("3"), 1}, {QStringLiteral("viel"), 1}}));
    EXPECT_EQ(s.average, QStringLiteral("1"));
    EXPECT_EQ(s.students, QStringLiteral("3"));
    EXPECT_EQ(s.lowest, QStringLiteral("0"));
    EXPECT_EQ(s.highest, QStringLiteral("3"));
}

TEST(ColumnStatistics, AveragesReadAsDecimalsWithFourSignificantDigits)
{
    EXPECT_EQ(columnValueKind(QStringLiteral("D2")), ColumnValueKind::Average);
    ColumnStatistics s;
    computeColumnStatistics(s, {QStringLiteral("2,33"), QStringLiteral("1.5"), QStringLiteral("0"),
                                QStringLiteral("?"), QStringLiteral("3,1234")},
                            ColumnValueKind::Average);
    EXPECT_EQ(s.students, QStringLiteral("3"));
    EXPECT_EQ(s.average, QStringLiteral("2.318"));
    EXPECT_EQ(s.highest, QStringLiteral("3.123"));
    EXPECT_EQ(s.values.size(), 5);

    // Without a counting value the numeric lines stay empty, even when set before.
    s.average = QStringLiteral("alt");
    computeColumnStatistics(s, {QStringLiteral("k.A."), QString(40, u'x')}, ColumnValueKind::Other);
    EXPECT_TRUE(s.average.isEmpty());
    EXPECT_TRUE(s.students.isEmpty());
    ASSERT_EQ(s.values.size(), 2);
    EXPECT_EQ(s.values[1].first, QString(20, u'x'));
}

TEST(ColumnStatistics, MoreThanAHundredDistinctValuesAreAllListed)
{
    QStringList values;
    for (int i = 0; i < 150; ++i)
        values << QStringLiteral("Wert %1").arg(i);
    ColumnStatistics s;
    computeColumnStatistics(s, values, ColumnValueKind::Other);
    ASSERT_EQ(s.values.size(), 150);
    EXPECT_EQ(s.values.last().first, QStringLiteral("Wert 149"));
}

} // namespace
} // namespace zedora
