#include "exchange/export_mail_merge.h"

#include "base/ansi_text.h"
#include "base/safe_file.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace zedora {

QString mailMergeValue(const QString& value)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString v = value;
    v.replace(lineBreak, QStringLiteral(" "));
    v.replace(QLatin1Char(';'), QLatin1Char(','));
    return v;
}

QString mailMergeMemo(const QString& memo)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString out;
    const QStringList lines = memo.split(lineBreak);
    for (int i = 0; i < lines.size(); ++i) {
        // A memo ending in a line break has no further line to write.
        if (i == lines.size() - 1 && lines[i].isEmpty() && i > 0)
            break;
        out += lines[i].trimmed() + QLatin1Char(' ');
    }
    return out.left(250);
}

QString mailMergeFileName(const QString& chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".DOC") : chosen;
}

QString writeMailMergeFile(const QString& path, const QStringList& header, const QVector<QStringList>& rows)
{
    QByteArray content;
    const auto line = [&](const QStringList& values) {
        QStringList safe;
        for (const QString& v : values)
            safe << mailMergeValue(v);
        content += toAnsi(safe.join(QLatin1Char(';')));
        content += "\r\n";
    };
    line(header);
    for (const QStringList& r : rows)
        line(r);
    if (!writeFileSafely(path, content))
        return QStringLiteral("Die Seriendruckdatei %1 konnte nicht geschrieben werden!").arg(path);
    return {};
}

} // namespace zedora
