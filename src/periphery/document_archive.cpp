#include "periphery/document_archive.h"

#include "base/path_resolver.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

namespace zedora {

QString documentFolder(const QString& workspace)
{
    QString path = resolveIn(workspace, QStringLiteral("doku-pdf-archiv"));
    while (path.endsWith(QLatin1Char('/')) && path.size() > 1)
        path.chop(1);
    return path;
}

namespace {

QList<ArchiveNode> listLevel(const QString& folder, int depth)
{
    QList<ArchiveNode> nodes;
    // A link loop must not list forever.
    if (depth > 32)
        return nodes;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = info.fileName();
        if (name.startsWith(QLatin1Char('.')))
            continue;
        ArchiveNode node;
        node.text = name;
        if (info.isDir() && name.startsWith(QLatin1String("ZE-"), Qt::CaseInsensitive)) {
            node.expandable = true;
            node.children = listLevel(info.filePath(), depth + 1);
        }
        nodes << node;
    }
    return nodes;
}

} // namespace

QList<ArchiveNode> listDocumentArchive(const QString& folder)
{
    return listLevel(folder, 0);
}

QString documentPath(const QString& folder, const QStringList& texts)
{
    return folder + QLatin1Char('/') + texts.join(QLatin1Char('/'));
}

} // namespace zedora
