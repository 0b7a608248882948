#include "textblocks/text_block_names.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"

#include <QFileInfo>
#include <QRandomGenerator>

namespace zedora {

QString newTextBlockFileName(const QString& chosen)
{
    QString name = upperAscii(QFileInfo(toSlashes(chosen)).completeBaseName()) + QStringLiteral(".DBF");
    if (!name.startsWith(u'#'))
        name.prepend(u'#');
    return name;
}

QString convertedAmpersandName(const QString& fileName)
{
    return QStringLiteral("#") + lastComponent(fileName).mid(1, 11);
}

QString rebuildBackupName(const QString& fileName, int digit)
{
    return QFileInfo(lastComponent(fileName)).completeBaseName() + u'_' + QString::number(digit)
           + QStringLiteral(".DBF");
}

QString editorBackupName(const QString& fileName, int digit)
{
    return lastComponent(fileName) + u'_' + QString::number(digit);
}

int randomBackupDigit()
{
    return int(QRandomGenerator::global()->bounded(1, 10));
}

} // namespace zedora
