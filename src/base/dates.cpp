#include "base/dates.h"

#include <QStringList>

namespace zedora {
namespace {

const QDate kDayZero(1899, 12, 30);

bool allDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

int dayNumber(const QDate& date)
{
    return int(kDayZero.daysTo(date));
}

QDate fromDayNumber(int days)
{
    return kDayZero.addDays(days);
}

std::optional<QDate> parseGermanDate(const QString& text, const QDate& today)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return std::nullopt;
    const QString& d = parts[0];
    const QString& m = parts[1];
    const QString& y = parts[2];
    if (!allDigits(d) || !allDigits(m) || !allDigits(y) || d.size() > 2 || m.size() > 2
        || y.size() > 4)
        return std::nullopt;
    int year = y.toInt();
    if (y.size() <= 2) {
        const int low = today.year() - 50;
        year += (low / 100) * 100;
        if (year < low)
            year += 100;
    }
    if (year > 2050)
        year -= 100;
    const QDate date(year, m.toInt(), d.toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatGermanDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString germanMonthName(int month)
{
    static const char* const kNames[] = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                                         "Juli", "August", "September", "Oktober", "November",
                                         "Dezember"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf8(kNames[month - 1]);
}

} // namespace zedora
