#include "periphery/photo_class_list.h"

#include "data/student_table.h"

namespace zedora {

QList<PhotoStudent> photoStudents(const StudentTable& table)
{
    QList<PhotoStudent> out;
    if (!table.isOpen())
        return out;
    const int name = table.findField(QStringLiteral("NAME"));
    const int vorname = table.findField(QStringLiteral("VORNAME"));
    const int klasse = table.findField(QStringLiteral("KLASSE"));
    const int geboren = table.findField(QStringLiteral("GEBOREN"));
    const int mw = table.findField(QStringLiteral("MW"));
    const auto at = [&table](int row, int field) { return field < 0 ? QString() : table.valueAt(row, field); };
    for (int row = 0; row < table.rowCount(); ++row) {
        PhotoStudent s;
        s.key = {at(row, name).trimmed(), at(row, vorname).trimmed(), at(row, geboren), at(row, mw)};
        s.klasse = at(row, klasse).trimmed();
        out << s;
    }
    return out;
}

} // namespace zedora
