#pragma once
// Bulk commands on one record or two columns: emptying a record's entries,
// swapping two cells of a record and swapping two whole columns, and the
// choice of the epochal subjects.
#include <QString>
#include <QStringList>

namespace zedora {

class Interaction;
class StudentTable;

// Asks, then empties every shown, writable character field of the current
// record; texts, master data, averages and locked fields keep their values.
bool emptyCurrentRecord(StudentTable& table, const QStringList& shownFields, Interaction& ui);

// The start of a swap: the field and, for a cell swap, its value then.
struct SwapStart {
    QString field; // at most 50 characters
    QString value;
    bool isSet() const { return !field.isEmpty(); }
};
SwapStart startCellSwap(const StudentTable& table, const QString& field);

// The remembered field gets the current field's value, the current field the
// remembered value; both pass the fields' checks. Refused while the table
// is locked.
bool finishCellSwap(StudentTable& table, const SwapStart& start, const QString& field,
                    bool tableLocked, Interaction& ui);

// Asks, then swaps the two columns in every record.
bool swapColumns(StudentTable& table, const QString& startField, const QString& field,
                 bool tableLocked, Interaction& ui);

// Epochal subjects: the check-list entry of a grade column, and the stored
// list from the checked entries (the first ten, field names upper-cased).
QString epochalEntry(const QString& field, const QString& caption);
QStringList epochalListFromChecked(const QStringList& checkedEntries);
bool isEpochal(const QString& field, const QStringList& epochal);

} // namespace zedora
