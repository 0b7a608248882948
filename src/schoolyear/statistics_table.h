#pragma once
// The statistics as rows of cells, header first, as the export and the
// command line show them; absences and graduations end with "SUMMEN:".
#include "print/statistics_printouts.h"

#include <QStringList>
#include <QVector>

namespace zedora {

QVector<QStringList> gradeStatisticsTable(const GradeStatistics& s);
QVector<QStringList> absenceStatisticsTable(const AbsenceStatistics& s);
QVector<QStringList> graduationStatisticsTable(const GraduationStatistics& s);

} // namespace zedora
