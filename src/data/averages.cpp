#include "data/averages.h"

#include "core/settings.h"
#include "base/ansi_text.h"
#include "data/student_schema.h"

#include <cmath>

namespace zedora {
namespace {

// A digit as its number, anything else 0.
int leadingNumber(const QString& value)
{
    if (value.isEmpty())
        return 0;
    const QChar c = value.at(0);
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
}

// The course-level field that lowers a grade by one, or nothing.
const char* courseFieldOf(const QString& grade, const AverageDefinitions& d)
{
    if (grade == QLatin1String("EN"))
        return d.KE ? "KE" : nullptr;
    if (grade == QLatin1String("MA"))
        return d.KM ? "KM" : nullptr;
    if (grade == QLatin1String("DE"))
        return d.KD ? "KD" : nullptr;
    if (grade == QLatin1String("NOTEX"))
        return d.KX ? "KX" : nullptr;
    return nullptr;
}

bool isRaisedCourse(const QString& level)
{
    if (level.isEmpty())
        return false;
    const QString first = upperAscii(level.left(1));
    return first == QLatin1String("A") || first == QLatin1String("E") || first == QLatin1String("Z");
}

// sum / count in units of 1/10000, halves to even; exact on integers.
long long roundedQuotient(long long sum, long long count)
{
    const long long scaled = sum * 10000;
    long long q = scaled / count;
    const long long r = scaled % count;
    if (2 * r > count || (2 * r == count && (q % 2) != 0))
        ++q;
    return q;
}

} // namespace

AverageDefinitions AverageDefinitions::fromSettings(const Settings& s)
{
    AverageDefinitions d;
    d.lists = {s.DS1, s.DS2, s.DS3};
    d.KE = s.KE;
    d.KM = s.KM;
    d.KD = s.KD;
    d.KX = s.KX;
    return d;
}

std::optional<double> computeAverage(const QString& list, const AverageDefinitions& defs,
                                     const FieldValueLookup& value)
{
    const QString names = upperAscii(list);
    long long sum = 0;
    long long count = 0;
    for (const StudentField& f : kStoredFields) {
        if (!countsInAverages(f.kind))
            continue;
        const QString name = QLatin1String(f.name);
        if (!names.contains(QLatin1Char('#') + name + QLatin1Char('#')))
            continue;
        const int grade = leadingNumber(value(name));
        if (grade <= 0)
            continue;
        ++count;
        sum += grade;
        if (const char* course = courseFieldOf(name, defs)) {
            if (isRaisedCourse(value(QLatin1String(course))))
                --sum;
        }
    }
    if (count == 0 || sum <= 0)
        return std::nullopt;
    return double(roundedQuotient(sum, count)) / 10000.0;
}

std::array<std::optional<double>, 3> computeAverages(const AverageDefinitions& defs,
                                                     const FieldValueLookup& value)
{
    return {computeAverage(defs.lists[0], defs, value), computeAverage(defs.lists[1], defs, value),
            computeAverage(defs.lists[2], defs, value)};
}

QString formatAverage(const std::optional<double>& average, QChar decimalSeparator)
{
    if (!average)
        return {};
    // The stored value has 4 decimals; work on them as an integer so that
    // a half at the third decimal is recognised exactly.
    const long long units = std::llround(std::fabs(*average) * 10000.0);
    long long hundredths = units / 100;
    if (units % 100 >= 50)
        ++hundredths;
    const QString sign = *average < 0 && hundredths != 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(hundredths / 100) + decimalSeparator
           + QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

} // namespace zedora
