#include "base/path_resolver.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace zedora {

QString toSlashes(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QString toWindowsSeparators(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return p;
}

QString joinPath(const QString& base, const QString& relative)
{
    QString rel = toSlashes(relative);
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    QString b = toSlashes(base);
    if (b.isEmpty())
        return rel;
    if (!b.endsWith(QLatin1Char('/')))
        b += QLatin1Char('/');
    return b + rel;
}

QString lastComponent(const QString& path)
{
    QString p = toSlashes(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? p : p.mid(slash + 1);
}

QString resolvePath(const QString& path)
{
    const QString p = toSlashes(path);
    if (p.isEmpty())
        return p;
    const bool absolute = p.startsWith(QLatin1Char('/'));
    const bool trailing = p.endsWith(QLatin1Char('/')) && p.size() > 1;
    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString current = absolute ? QStringLiteral("/") : QString();
    bool stillExisting = true;
    for (const QString& part : parts) {
        QString next = current.isEmpty() || current.endsWith(QLatin1Char('/'))
                           ? current + part
                           : current + QLatin1Char('/') + part;
        if (stillExisting && part != QLatin1String(".") && part != QLatin1String("..")
            && !QFileInfo::exists(next)) {
            const QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            bool found = false;
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    next = current.isEmpty() || current.endsWith(QLatin1Char('/'))
                               ? current + e
                               : current + QLatin1Char('/') + e;
                    found = true;
                    break;
                }
            }
            stillExisting = found;
        }
        current = next;
    }
    if (trailing)
        current += QLatin1Char('/');
    return current;
}

QString resolveIn(const QString& base, const QString& relative)
{
    return resolvePath(joinPath(base, relative));
}

bool pathExists(const QString& path)
{
    return QFileInfo::exists(resolvePath(path));
}

} // namespace zedora
