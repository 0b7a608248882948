#include "schoolyear/statistics_column.h"

#include "base/ansi_text.h"
#include "data/student_schema.h"

#include <QLocale>

#include <algorithm>

namespace zedora {
namespace {

QString general(double v) { return QString::number(v, 'g', 4); }

} // namespace

ColumnValueKind columnValueKind(const QString& field)
{
    const int kind = fieldKind(upperAscii(field.trimmed()));
    if (kind == FieldKind::Average)
        return ColumnValueKind::Average;
    if (kind == FieldKind::Absence)
        return ColumnValueKind::Absence;
    return ColumnValueKind::Other;
}

void computeColumnStatistics(ColumnStatistics& s, const QStringList& values, ColumnValueKind kind)
{
    double sum = 0, lowest = 9999, highest = 0;
    int number = 0;
    QVector<std::pair<QString, int>> seen;
    for (const QString& raw : values) {
        QString v = raw.trimmed().left(100);
        if (v.isEmpty() && kind == ColumnValueKind::Absence)
            v = QStringLiteral("0");
        if (v.isEmpty())
            continue;
        bool counts = false;
        double n = 0;
        if (kind == ColumnValueKind::Average) {
            bool ok = false;
            n = QLocale::c().toDouble(QString(v).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
            if (!ok)
                n = 0;
            counts = n > 0;
        } else if (kind == ColumnValueKind::Absence) {
            // A text that is no whole number is listed but not counted.
            bool ok = false;
            n = v.toInt(&ok);
            counts = ok && n >= 0;
        } else {
            const QChar c = v.at(0);
            n = c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
            counts = n > 0;
        }
        if (counts) {
            sum += n;
            ++number;
            lowest = std::min(lowest, n);
            highest = std::max(highest, n);
        }
        auto it = std::find_if(seen.begin(), seen.end(), [&](const auto& e) { return e.first == v; });
        if (it == seen.end())
            seen.append({v, 1});
        else
            ++it->second;
    }
    s.values.clear();
    for (const auto& [value, count] : seen)
        s.values.append({value.left(20), count});
    if (number > 0) {
        s.average = general(sum / number);
        s.students = QString::number(number);
        s.lowest = general(lowest);
        s.highest = general(highest);
    } else {
        s.average.clear();
        s.students.clear();
        s.lowest.clear();
        s.highest.clear();
    }
}

} // namespace zedora
