#include "base/ansi_text.h"
#include "base/dates.h"

#include <gtest/gtest.h>

using namespace zedora;

TEST(AnsiText, RoundTripsEveryWindows1252Byte)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    const QString text = fromAnsi(all);
    EXPECT_EQ(text.size(), 255);
    EXPECT_EQ(toAnsiStd(text), all);
}

TEST(AnsiText, MapsGermanAndTypographicCharacters)
{
    EXPECT_EQ(fromAnsi(std::string("\xC4\xD6\xDC\xE4\xF6\xFC\xDF")), QString::fromUtf8("ÄÖÜäöüß"));
    EXPECT_EQ(fromAnsi(std::string("\x80\x84\x93")), QString::fromUtf8("€„“"));
    EXPECT_EQ(toAnsi(QString::fromUtf8("€ – …")), QByteArray("\x80 \x96 \x85"));
    // Characters Windows-1252 cannot hold must not vanish silently.
    EXPECT_EQ(toAnsi(QString::fromUtf8("Ł")), QByteArray("?"));
}

TEST(AnsiText, UpperCasingTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(upperAscii(QString::fromUtf8("müller-öz ß")), QString::fromUtf8("MüLLER-öZ ß"));
}

TEST(Dates, DayNumbersCountFromTheEndOf1899)
{
    EXPECT_EQ(dayNumber(QDate(2000, 1, 1)), 36526);
    EXPECT_EQ(dayNumber(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(fromDayNumber(36526), QDate(2000, 1, 1));
}

TEST(Dates, ParsesGermanDatesWithShortPartsAndTheYearWindow)
{
    const QDate today(2026, 12, 9);
    EXPECT_EQ(parseGermanDate("24.12.60", today), QDate(1960, 12, 24));
    EXPECT_EQ(parseGermanDate("1.2.05", today), QDate(2005, 2, 1));
    EXPECT_EQ(parseGermanDate(" 05.03.2001 ", today), QDate(2001, 3, 5));
    // The window ends 49 years ahead, but no birth date lies after 2050.
    EXPECT_EQ(parseGermanDate("1.1.75", today), QDate(1975, 1, 1));
    EXPECT_EQ(parseGermanDate("1.1.76", today), QDate(1976, 1, 1));
    EXPECT_EQ(parseGermanDate("1.1.2060", today), QDate(1960, 1, 1));
}

TEST(Dates, RejectsWhatIsNoDate)
{
    for (const char* bad : {"", "31.02.2001", "1.13.2000", "01-02-2003", "1.2", "a.b.c", "1.2.3.4",
                            "001.02.2000", "1.2.20001"})
        EXPECT_FALSE(parseGermanDate(bad, QDate(2026, 1, 1)).has_value()) << bad;
}

TEST(Dates, FormatsAndNamesMonths)
{
    EXPECT_EQ(formatGermanDate(QDate(2001, 3, 5)), "05.03.2001");
    EXPECT_EQ(germanMonthName(3), QString::fromUtf8("März"));
    EXPECT_EQ(germanMonthName(12), "Dezember");
    EXPECT_TRUE(germanMonthName(13).isEmpty());
}
