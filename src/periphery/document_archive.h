#pragma once
// The document archive: the workspace's folder doku-pdf-archiv with one
// sub-folder per half-year, listed as a tree.
#include <QList>
#include <QString>

namespace zedora {

struct ArchiveNode {
    QString text;
    bool expandable = false;     // a ZE- folder: its entries are children
    QList<ArchiveNode> children;
};

// The workspace's document folder (existing spelling), without a trailing
// delimiter.
QString documentFolder(const QString& workspace);

// The entries of folder: ZE- sub-folders with their entries, every other
// entry not beginning with '.' as a leaf, in the file system's order.
QList<ArchiveNode> listDocumentArchive(const QString& folder);

// The path of a node from the texts of its ancestors and its own.
QString documentPath(const QString& folder, const QStringList& texts);

} // namespace zedora
