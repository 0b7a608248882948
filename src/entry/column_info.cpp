#include "entry/column_info.h"

#include "base/ansi_text.h"
#include "data/student_schema.h"

namespace zedora {

bool layoutContainsPlaceholder(const QStringList& layoutLines, const QString& placeholder)
{
    const QString wanted = upperAscii(placeholder);
    if (wanted.isEmpty())
        return false;
    for (const QString& line : layoutLines) {
        if (upperAscii(line).contains(wanted))
            return true;
    }
    return false;
}

QString placeholderOf(const QString& field)
{
    return QLatin1Char('%') + field.trimmed() + QLatin1Char('%');
}

ColumnInfo describeColumn(int position, const QString& field, const QString& caption,
                          const QStringList& layoutLines, const QString& layoutCaption)
{
    ColumnInfo info;
    info.number = QStringLiteral("Spalte Nr. ") + QString::number(position);
    qsizetype end = caption.size();
    while (end > 0 && caption.at(end - 1).isSpace())
        --end;
    info.caption = caption.left(end);
    info.placeholder = placeholderOf(field);
    if (isMasterDataName(field))
        info.masterData = {QStringLiteral("Es handelt sich um eine Stammdatenspalte; die Inhalte sind in dieser Ansicht "),
                           QStringLiteral("nicht veränderbar! Wechseln Sie auf die Registerseite \"Stammdaten\"!")};
    info.inLayout = layoutContainsPlaceholder(layoutLines, info.placeholder);
    info.presence = QStringLiteral("Variable ") + info.placeholder
                  + (info.inLayout ? QStringLiteral(" kommt im aktuellen Layout vor!")
                                   : QStringLiteral(" kommt im aktuellen Layout NICHT vor!"));
    info.layout = QStringLiteral("Aktuelles Layout: ") + layoutCaption;
    return info;
}

} // namespace zedora
