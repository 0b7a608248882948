#pragma once
// The page forms of the statistics and the history. The numbers come from
// the statistics and history views, which fill these structures.
#include "print/list_job.h"

#include <QStringList>
#include <QVector>

namespace zedora {

struct StatisticsHeader {
    QString heading;        // the line right-aligned above the rule
    QString dataDirectory;
};

// Kind 14: per class, girls and boys per graduation code (up to six).
struct GraduationStatistics {
    StatisticsHeader header;
    QStringList codes;
    struct Row {
        QString klasse;
        QVector<std::pair<int, int>> counts;   // (w, m) per code
    };
    QVector<Row> rows;
};

// Kind 16: per class and subject, how many of each grade and the average.
struct GradeStatistics {
    StatisticsHeader header;
    struct Row {
        QString klasse, subject;
        std::array<int, 6> grades{};
        QString average;
    };
    QVector<Row> rows;
};

// Kind 13: absence days per class.
struct AbsenceStatistics {
    StatisticsHeader header;
    struct Row {
        QString klasse;
        int vs1 = 0, ue1 = 0, vs12 = 0, ue12 = 0, withUnexcused = 0;
    };
    QVector<Row> rows;
};

// Kind 12: the values of one column of a class.
struct ColumnStatistics {
    StatisticsHeader header;
    QString column, klasse, schuljahr, halbjahr;
    QVector<std::pair<QString, int>> values;   // content, count
    QString average, students, lowest, highest;
};

// Kind 10: the grade list of the history view, one row per student and
// half-year.
struct HistoryList {
    QString klasse, schuljahr, halbjahr, layoutName;
    QStringList columns;                 // column titles
    QVector<QStringList> rows;
    bool repeatHeader = true;            // the column titles on every page
    int rowHeight = 44;                  // tenths of a millimetre
    // Rows per student; with repeatHeader the titles stand above each
    // student's rows too. 0: one block.
    int blockRows = 0;
};

ListJob graduationStatisticsJob(const GraduationStatistics& s);
ListJob gradeStatisticsJob(const GradeStatistics& s);
ListJob absenceStatisticsJob(const AbsenceStatistics& s);
ListJob columnStatisticsJob(const ColumnStatistics& s);
ListJob historyJob(const HistoryList& h);

} // namespace zedora
