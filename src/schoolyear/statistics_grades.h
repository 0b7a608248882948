#pragma once
// Grade statistics per class file and subject: how often each grade 1 to 6
// occurs in a grade field and the average of all grades given.
#include "print/statistics_printouts.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

namespace zedora {

struct GradeCount {
    std::array<int, 6> grades{};
    int sum = 0;
    int number = 0;   // grades counted, 7 to 9 included
};

// Counts field over every record of the student file at path. Throws the
// table engine's error when the file cannot be read or lacks the field.
GradeCount countGrades(const QString& path, const QString& field);

// The grade fields among the given field names, in their order.
QStringList gradeFieldsAmong(const QStringList& fields);

// "2,35" style: two decimals with the locale's separator; empty without grades.
QString gradeAverageText(const GradeCount& c, const QLocale& locale);

// Fills the rows that name a file and a field. Files are looked up in
// directory; a missing file leaves its row as it was. progress gets the
// row number and the row count. Throws on a file lacking the field.
void computeGradeStatistics(GradeStatistics& s, const QString& directory, const QLocale& locale,
                            const std::function<void(int row, int rows)>& progress = {});

// One row per file and field, files outer.
QVector<GradeStatistics::Row> gradeStatisticsRows(const QStringList& files, const QStringList& fields);

} // namespace zedora
