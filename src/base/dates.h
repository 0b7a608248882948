#pragma once
// Dates as the program reads and writes them: dd.mm.yyyy with '.', and day
// numbers counted from 30 December 1899 (1 January 2000 is 36526).
#include <QDate>
#include <QString>
#include <optional>

namespace zedora {

int dayNumber(const QDate& date);
QDate fromDayNumber(int days);

// Parses "d.m.y": one- or two-digit day and month; a year of one or two
// digits lies in the window from 50 years before to 49 years after the
// year of 'today'; any year after 2050 is then taken 100 years earlier.
// Surrounding blanks are ignored; anything else fails.
std::optional<QDate> parseGermanDate(const QString& text, const QDate& today = QDate::currentDate());

// dd.mm.yyyy
QString formatGermanDate(const QDate& date);

// "Januar" ... "Dezember"; empty outside 1..12.
QString germanMonthName(int month);

} // namespace zedora
