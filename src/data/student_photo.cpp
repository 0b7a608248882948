#include "data/student_photo.h"

#include "base/path_resolver.h"

#include <QFileInfo>

namespace zedora {

QString photoBaseName(const StudentPhotoKey& key, const QString& maleLetter)
{
    const QString name = key.name.trimmed();
    const QString vorname = key.vorname.trimmed();
    const QString born = key.geboren.trimmed();
    const QString sexMark = key.mw.trimmed().left(1).toUpper();
    const bool male = sexMark == QLatin1String("2") || sexMark == QLatin1String("M")
                      || (!sexMark.isEmpty() && sexMark == maleLetter.trimmed().left(1).toUpper());
    const QString base = name.left(2) + vorname.left(1) + born.mid(0, 2) + born.mid(3, 2)
                         + (male ? QStringLiteral("0") : QStringLiteral("1"));
    return base.left(20);
}

QString photoFolder(const QString& setting)
{
    QString folder = setting.trimmed();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

namespace {

QString existingFile(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return {};
    const QString path = resolvePath(joinPath(folder, name));
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString studentPhotoFile(const QString& folder, const QString& baseName)
{
    if (baseName.trimmed().isEmpty())
        return {};
    QString path = existingFile(folder, baseName.trimmed() + QStringLiteral(".JPG"));
    if (path.isEmpty())
        path = existingFile(folder, baseName.trimmed() + QStringLiteral(".BMP"));
    return path;
}

QString classListEntry(const QString& folder, const QString& baseName)
{
    const QString base = baseName.trimmed();
    if (!existingFile(folder, base + QStringLiteral(".bmp")).isEmpty())
        return (base + QStringLiteral(".bmp")).toUpper();
    if (!existingFile(folder, base + QStringLiteral(".jpg")).isEmpty())
        return (base + QStringLiteral(".jpg")).toUpper();
    return base.toUpper();
}

} // namespace zedora
