#include "print/student_print_records.h"

#include "data/student_schema.h"
#include "data/student_table.h"

namespace zedora {

bool StudentPrintRecords::hasField(const QString& name) const
{
    return table_.findField(name) >= 0;
}

QString StudentPrintRecords::value(const QString& name) const
{
    const int field = table_.findField(name);
    if (field < 0)
        return {};
    // The current row shows its pending edit, as the preview should.
    return row_ == table_.currentRow() ? table_.value(field) : table_.valueAt(row_, field);
}

int StudentPrintRecords::fieldClass(const QString& name) const
{
    const int kind = fieldKind(name);
    return kind < 0 ? 0 : kind;
}

bool StudentPrintRecords::first()
{
    row_ = 0;
    return table_.rowCount() > 0;
}

bool StudentPrintRecords::next()
{
    if (row_ + 1 >= table_.rowCount())
        return false;
    ++row_;
    return true;
}

bool StudentPrintRecords::findId(const QString& id)
{
    const int field = table_.findField(QStringLiteral("ID"));
    for (int r = 0; r < table_.rowCount(); ++r) {
        if (table_.valueAt(r, field).trimmed() == id.trimmed()) {
            row_ = r;
            return true;
        }
    }
    return false;
}

void StudentPrintRecords::followCurrentRow()
{
    row_ = std::max(0, table_.currentRow());
}

} // namespace zedora
