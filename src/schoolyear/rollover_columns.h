#pragma once
// Which columns a rollover empties when all are marked, and the exception
// groups that keep some of them.
#include <QString>
#include <QStringList>

namespace zedora {

struct ColumnExceptions {
    bool workingGroups = true; // fields whose name holds AG
    bool electives = true;     // fields whose name holds WPK
    bool epochal = true;       // the file's epochal subjects
    QStringList epochalSubjects;
};

// Whether a column may be marked at all: no master data, averages or ID.
bool isClearableColumn(const QString& field);
// Whether an exception group keeps the column.
bool isExcepted(const QString& field, const ColumnExceptions& exceptions);
// Every stored field that may be cleared, less the excepted ones.
QStringList allClearableFields(const ColumnExceptions& exceptions);

} // namespace zedora
