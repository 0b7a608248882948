#pragma once
// The statistics of one entry-table column over the records of the open
// file: how often each value occurs and, for the values that are numbers,
// the average, the number of students counted and the lowest and highest.
#include "print/statistics_printouts.h"

#include <QString>
#include <QStringList>

namespace zedora {

enum class ColumnValueKind { Average, Absence, Other };

// The kind that decides how a field's values are read as numbers.
ColumnValueKind columnValueKind(const QString& field);

// values: the field's text of every record, in the file's order. Fills
// values, average, students, lowest and highest of s; the other members
// stay as the caller set them. Every distinct value is listed, however many.
void computeColumnStatistics(ColumnStatistics& s, const QStringList& values, ColumnValueKind kind);

} // namespace zedora
