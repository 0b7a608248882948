#include "schoolyear/history_labels.h"

#include "base/path_resolver.h"

#include <QRegularExpression>
#include <algorithm>

namespace zedora {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString halfYearLabelBefore(const QString& label)
{
    static const QRegularExpression form(QStringLiteral("^(\\d\\d)-(\\d\\d)-([12])$"));
    const QRegularExpressionMatch m = form.match(label.trimmed());
    if (!m.hasMatch())
        return {};
    int first = m.captured(1).toInt();
    int second = m.captured(2).toInt();
    if (m.captured(3) == QLatin1String("2"))
        return twoDigits(first) + QLatin1Char('-') + twoDigits(second) + QStringLiteral("-1");
    first = first == 0 ? 99 : first - 1;
    second = second == 0 ? 99 : second - 1;
    return twoDigits(first) + QLatin1Char('-') + twoDigits(second) + QStringLiteral("-2");
}

QString archiveLabel(const QString& archiveFileName)
{
    return archiveFileName.trimmed().mid(1, 7);
}

QStringList historyHeaders(const QString& dataDirectory, const QString& previousArchive, int visible)
{
    visible = std::clamp(visible, kMinVisibleHalfYears, kMaxVisibleHalfYears);
    QStringList headers{dataDirectory};
    QString label = archiveLabel(previousArchive);
    while (headers.size() < visible) {
        headers << label;
        label = halfYearLabelBefore(label);
    }
    return headers;
}

QString archivePathOf(const QString& workspace, const QString& label)
{
    return resolveIn(workspace, QStringLiteral("ARCHIV/A") + label + QStringLiteral(".DBF"));
}

} // namespace zedora
