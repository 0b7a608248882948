#include "schoolyear/code_lists.h"

#include "base/ansi_text.h"

#include <QFile>

namespace zedora {

QStringList readCodeList(const QString& path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (QByteArray line : f.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            lines << fromAnsi(line);
    }
    return lines;
}

QString longNameOf(const QString& value, const QStringList& lines)
{
    const QString code = value.trimmed();
    if (code.isEmpty())
        return code;
    const QString key = QLatin1Char('#') + upperAscii(code) + QLatin1Char('#');
    QString result = code;
    for (const QString& line : lines) {
        if (!upperAscii(QLatin1Char('#') + line).contains(key))
            continue;
        const qsizetype hash = line.indexOf(QLatin1Char('#'));
        result = line.mid(hash + 1).left(60).trimmed();
    }
    return result;
}

} // namespace zedora
