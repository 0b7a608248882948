#include "entry/ui/main_window_search.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "data/student_table.h"

#include <QString>

namespace zedora {

int findStudentRow(const StudentTable& table, const QString& name)
{
    const int field = table.findField(QStringLiteral("NAME"));
    if (field < 0 || name.isEmpty())
        return -1;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.valueAt(row, field).startsWith(name, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

bool searchStudent(StudentTable& table, Interaction& ui)
{
    const auto answer = ui.input(QStringLiteral("Schüler(in) suchen"), QStringLiteral("Namen eingeben: "), QString());
    if (!answer)
        return false;
    const QString name = upperAscii(*answer).trimmed().left(40);
    if (name.isEmpty())
        return false;
    const int row = findStudentRow(table, name);
    if (row < 0) {
        ui.beep();
        ui.info(name + QStringLiteral(" wurde nicht gefunden\n"));
        return false;
    }
    return table.moveToRow(row);
}

} // namespace zedora
