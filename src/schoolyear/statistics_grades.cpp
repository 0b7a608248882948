#include "schoolyear/statistics_grades.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "data/student_schema.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QFileInfo>

namespace zedora {

GradeCount countGrades(const QString& path, const QString& field)
{
    GradeCount c;
    auto table = openToRead(path).table;
    table->selectTag("");
    const int f = table->fieldIndex(toAnsiStd(upperAscii(field.trimmed())));
    for (table->first(); !table->isEmpty() && !table->eof(); table->next()) {
        const QString v = fromAnsi(table->text(f)).trimmed().left(30);
        if (v.isEmpty())
            continue;
        const QChar first = v.at(0);
        const int d = first >= QLatin1Char('0') && first <= QLatin1Char('9') ? first.unicode() - '0' : 0;
        if (d <= 0)
            continue;
        if (d <= 6)
            ++c.grades[size_t(d - 1)];
        c.sum += d;
        ++c.number;
    }
    return c;
}

QStringList gradeFieldsAmong(const QStringList& fields)
{
    QStringList out;
    for (const QString& f : fields) {
        const QString name = upperAscii(f.trimmed());
        if (fieldKind(name) == FieldKind::Grade && !out.contains(name))
            out << name;
    }
    return out;
}

QString gradeAverageText(const GradeCount& c, const QLocale& locale)
{
    if (c.number <= 0)
        return {};
    return locale.toString(double(c.sum) / c.number, 'f', 2);
}

void computeGradeStatistics(GradeStatistics& s, const QString& directory, const QLocale& locale,
                            const std::function<void(int, int)>& progress)
{
    const int rows = int(s.rows.size());
    for (int i = 0; i < rows; ++i) {
        if (progress)
            progress(i + 1, rows);
        GradeStatistics::Row& row = s.rows[i];
        if (row.klasse.trimmed().isEmpty() || row.subject.trimmed().isEmpty())
            continue;
        const QString path = resolveIn(directory, row.klasse.trimmed());
        if (!QFileInfo(path).isFile())
            continue;
        const GradeCount c = countGrades(path, row.subject);
        row.grades = c.grades;
        row.average = gradeAverageText(c, locale);
    }
}

QVector<GradeStatistics::Row> gradeStatisticsRows(const QStringList& files, const QStringList& fields)
{
    QVector<GradeStatistics::Row> rows;
    for (const QString& file : files)
        for (const QString& field : fields) {
            GradeStatistics::Row r;
            r.klasse = file;
            r.subject = field;
            rows << r;
        }
    return rows;
}

} // namespace zedora
