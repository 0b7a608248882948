#include "schoolyear/statistics_table.h"

namespace zedora {

QVector<QStringList> gradeStatisticsTable(const GradeStatistics& s)
{
    QVector<QStringList> t;
    t << QStringList{QStringLiteral("Klasse"), QStringLiteral("Fach"), QStringLiteral("I"), QStringLiteral("II"),
                     QStringLiteral("III"), QStringLiteral("IV"), QStringLiteral("V"), QStringLiteral("VI"),
                     QStringLiteral("Durchschnitt")};
    for (const GradeStatistics::Row& r : s.rows) {
        QStringList line{r.klasse, r.subject};
        for (int g : r.grades)
            line << QString::number(g);
        line << r.average;
        t << line;
    }
    return t;
}

QVector<QStringList> absenceStatisticsTable(const AbsenceStatistics& s)
{
    QVector<QStringList> t;
    t << QStringList{QStringLiteral("Klasse"), QStringLiteral("VS1"), QStringLiteral("UE1"), QStringLiteral("VS12"),
                     QStringLiteral("UE12"), QStringLiteral("Schüler mit UE")};
    AbsenceStatistics::Row sum;
    for (const AbsenceStatistics::Row& r : s.rows) {
        t << QStringList{r.klasse, QString::number(r.vs1), QString::number(r.ue1), QString::number(r.vs12),
                         QString::number(r.ue12), QString::number(r.withUnexcused)};
        sum.vs1 += r.vs1;
        sum.ue1 += r.ue1;
        sum.vs12 += r.vs12;
        sum.ue12 += r.ue12;
        sum.withUnexcused += r.withUnexcused;
    }
    t << QStringList{QStringLiteral("SUMMEN:"), QString::number(sum.vs1), QString::number(sum.ue1),
                     QString::number(sum.vs12), QString::number(sum.ue12), QString::number(sum.withUnexcused)};
    return t;
}

QVector<QStringList> graduationStatisticsTable(const GraduationStatistics& s)
{
    QVector<QStringList> t;
    QStringList head{QStringLiteral("Klasse")};
    for (const QString& code : s.codes)
        head << code + QStringLiteral(" w") << code + QStringLiteral(" m");
    t << head;
    QVector<std::pair<int, int>> sum(s.codes.size());
    for (const GraduationStatistics::Row& r : s.rows) {
        QStringList line{r.klasse};
        for (int k = 0; k < s.codes.size(); ++k) {
            const auto c = k < r.counts.size() ? r.counts[k] : std::pair<int, int>{};
            line << QString::number(c.first) << QString::number(c.second);
            sum[k].first += c.first;
            sum[k].second += c.second;
        }
        t << line;
    }
    QStringList last{QStringLiteral("SUMMEN:")};
    for (const auto& c : sum)
        last << QString::number(c.first) << QString::number(c.second);
    t << last;
    return t;
}

} // namespace zedora
