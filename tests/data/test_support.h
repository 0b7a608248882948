#pragma once
#include "data/text_lines.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace zedora::testing_support {

// A column line as the layout editor writes it.
inline QString columnLine(const QString& name, const QString& caption, const QString& width,
                          const QString& mark = {})
{
    return name.leftJustified(19) + caption.leftJustified(40)
           + (mark.isEmpty() ? width : width.leftJustified(10) + mark);
}

inline void putLines(const QString& path, const QStringList& lines)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeTextLines(path, lines);
}

inline QStringList fileLines(const QString& path)
{
    return readTextLines(path).value_or(QStringList{"<missing>"});
}

} // namespace zedora::testing_support
