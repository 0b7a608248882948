#include "periphery/update_description.h"

#include "base/profile_file.h"

#include <QRegularExpression>

namespace zedora {

bool isSafeUpdateName(const QString& name)
{
    const QString n = name.trimmed();
    if (n.isEmpty() || n.startsWith(QLatin1Char('/')) || n.startsWith(QLatin1Char('\\')) || n.contains(QLatin1Char(':')))
        return false;
    const QStringList parts = n.split(QRegularExpression(QStringLiteral("[\\\\/]")));
    for (const QString& part : parts)
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    return true;
}

namespace {

QString checksum(const QString& text)
{
    const QString hex = text.trimmed().toLower();
    static const QRegularExpression sha(QStringLiteral("^[0-9a-f]{64}$"));
    return sha.match(hex).hasMatch() ? hex : QString();
}

} // namespace

UpdateDescription readUpdateDescription(const QString& path)
{
    const ProfileFile ini = ProfileFile::fromFile(path);
    UpdateDescription d;
    d.version = ini.readInt(QStringLiteral("VERSION"), QStringLiteral("V"), 0);
    d.note = ini.readString(QStringLiteral("VERSION"), QStringLiteral("Hinweis")).left(250);
    d.program.name = ini.readString(QStringLiteral("EXE"), QStringLiteral("Programm")).left(20);
    d.program.size = ini.readString(QStringLiteral("EXE"), QStringLiteral("Groesse")).left(20);
    d.program.sha256 = checksum(ini.readString(QStringLiteral("EXE"), QStringLiteral("Pruefsumme")));
    if (!d.program.name.isEmpty() && !isSafeUpdateName(d.program.name)) {
        d.refused << d.program.name;
        d.program = {};
    }
    for (int i = 1; i <= 9; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        UpdateFile f;
        f.name = ini.readString(QStringLiteral("DATEI"), QStringLiteral("Quelle") + n).left(100);
        f.size = ini.readString(QStringLiteral("DATEI"), QStringLiteral("Groesse") + n).left(20);
        f.sha256 = checksum(ini.readString(QStringLiteral("DATEI"), QStringLiteral("Pruefsumme") + n));
        if (f.name.trimmed().isEmpty())
            continue;
        if (!isSafeUpdateName(f.name)) {
            d.refused << f.name;
            continue;
        }
        d.further << f;
    }
    return d;
}

QList<UpdateFile> allFiles(const UpdateDescription& description)
{
    QList<UpdateFile> files;
    if (!description.program.name.trimmed().isEmpty())
        files << description.program;
    files << description.further;
    return files;
}

} // namespace zedora
