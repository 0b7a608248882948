#include "schoolyear/rollover_columns.h"

#include "base/ansi_text.h"
#include "data/student_schema.h"

namespace zedora {

bool isClearableColumn(const QString& field)
{
    const int kind = fieldKind(field);
    return kind >= 0 && kind != FieldKind::MasterData && kind != FieldKind::Average
           && kind != FieldKind::Identity && !isMasterDataName(field);
}

bool isExcepted(const QString& field, const ColumnExceptions& e)
{
    const QString name = upperAscii(field.trimmed());
    if (e.workingGroups && name.contains(QLatin1String("AG")))
        return true;
    if (e.electives && name.contains(QLatin1String("WPK")))
        return true;
    if (e.epochal)
        for (const QString& ep : e.epochalSubjects)
            if (!ep.trimmed().isEmpty() && upperAscii(ep.trimmed()) == name)
                return true;
    return false;
}

QStringList allClearableFields(const ColumnExceptions& exceptions)
{
    QStringList fields;
    for (const StudentField& f : kStoredFields) {
        const QString name = QString::fromLatin1(f.name);
        if (isClearableColumn(name) && !isExcepted(name, exceptions))
            fields << name;
    }
    return fields;
}

} // namespace zedora
