#include "data/averages.h"

#include "core/settings.h"

#include <QHash>
#include <gtest/gtest.h>

namespace zedora {
namespace {

FieldValueLookup record(QHash<QString, QString> values)
{
    return [values](const QString& field) { return values.value(field); };
}

TEST(Averages, DefaultListsWithCourseCorrection)
{
    const AverageDefinitions defs = AverageDefinitions::fromSettings(Settings{});
    // 2- counts as 2, a code like "ae" does not count.
    auto d = computeAverages(defs, record({{"DE", "2-"}, {"EN", "3"}, {"MA", "ae"}}));
    ASSERT_TRUE(d[0]);
    EXPECT_EQ(formatAverage(d[0]), "2,50");
    EXPECT_FALSE(d[2]); // DS3 empty

    // An extended course (E, also lower case) lowers the English grade by one.
    d = computeAverages(defs, record({{"DE", "2-"}, {"EN", "3"}, {"MA", "ae"}, {"KE", "e"}}));
    EXPECT_EQ(formatAverage(d[0]), "2,00");
    d = computeAverages(defs, record({{"DE", "2"}, {"EN", "3"}, {"KE", "G"}}));
    EXPECT_EQ(formatAverage(d[0]), "2,50");
    // KD is off by default: German is not corrected.
    d = computeAverages(defs, record({{"DE", "3"}, {"KD", "A"}}));
    EXPECT_EQ(formatAverage(d[0]), "3,00");

    AverageDefinitions withKd = defs;
    withKd.KD = true;
    withKd.KE = false;
    d = computeAverages(withKd, record({{"DE", "3"}, {"KD", "Z"}, {"EN", "4"}, {"KE", "E"}}));
    EXPECT_EQ(formatAverage(d[0]), "3,00"); // (2 + 4) / 2
}

TEST(Averages, WhatCountsAndEmptyResults)
{
    AverageDefinitions defs;
    defs.lists = {QStringLiteral("#de#NOTEX#KE#JOKE1#"), QString(), QStringLiteral("#")};
    defs.KX = true;
    // Course levels and free texts are no grades, even when listed; a
    // leading blank or 0 does not count; empty lists give nothing.
    auto d = computeAverages(defs, record({{"DE", " 1"}, {"NOTEX", "0"}, {"KE", "4"},
                                           {"JOKE1", "5"}}));
    EXPECT_FALSE(d[0]);
    EXPECT_FALSE(d[1]);
    EXPECT_FALSE(d[2]);
    EXPECT_EQ(formatAverage(d[0]), "");
    // A 1 in a raised course gives 0: the average of 0 stays empty.
    d = computeAverages(defs, record({{"NOTEX", "1"}, {"KX", "A"}}));
    EXPECT_FALSE(d[0]);
    // Six-point scale and tendencies: only the first digit counts.
    d = computeAverages(defs, record({{"NOTEX", "6+"}, {"DE", "5-"}}));
    EXPECT_EQ(formatAverage(d[0]), "5,50");
}

TEST(Averages, RoundingToFourThenTwoDecimals)
{
    AverageDefinitions defs;
    defs.KE = defs.KM = false;
    // 8/3 = 2.66666... -> 2.6667 -> "2,67"
    auto avg = computeAverage("#DE#EN#MA#", defs, record({{"DE", "2"}, {"EN", "3"}, {"MA", "3"}}));
    ASSERT_TRUE(avg);
    EXPECT_DOUBLE_EQ(*avg, 2.6667);
    EXPECT_EQ(formatAverage(avg), "2,67");
    // 17/8 = 2.125 exactly: shown rounded away from zero.
    QHash<QString, QString> v;
    const char* eight[] = {"DE", "EN", "MA", "RS", "LA", "FR", "GR", "RE"};
    for (int i = 0; i < 8; ++i)
        v.insert(eight[i], i == 0 ? "3" : "2");
    avg = computeAverage("#DE#EN#MA#RS#LA#FR#GR#RE#", defs, record(v));
    EXPECT_DOUBLE_EQ(*avg, 2.125);
    EXPECT_EQ(formatAverage(avg), "2,13");
    // A half at the fifth decimal goes to even: 65/32 = 2.03125 -> 2.0312.
    QHash<QString, QString> w;
    QString list = "#";
    int n = 0;
    for (const char* f : {"DE", "RS", "EN", "MA", "LA", "FR", "GR", "RE", "WN", "SP", "WU", "GE",
                          "EK", "SO", "PH", "CH", "BI", "MU", "KU", "WE", "TG", "AL", "TE", "HW",
                          "SF", "SA", "FFZ1", "FFZ2", "WP1", "WP2", "WP3", "WP4"}) {
        w.insert(f, n++ == 0 ? "3" : "2");
        list += QString(f) + "#";
    }
    avg = computeAverage(list, defs, record(w));
    EXPECT_DOUBLE_EQ(*avg, 2.0312);
    EXPECT_EQ(formatAverage(std::optional<double>(1.995)), "2,00");
    EXPECT_EQ(formatAverage(std::optional<double>(1.9949)), "1,99");
    EXPECT_EQ(formatAverage(std::optional<double>(2.5), QLatin1Char('.')), "2.50");
}

} // namespace
} // namespace zedora
