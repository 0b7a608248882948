#include "print/pdf_file_name.h"

#include "base/path_resolver.h"
#include "base/workspace_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zedora {

QString pdfFileNameFor(const QString& jobTitle)
{
    QString name;
    name.reserve(jobTitle.size());
    for (const QChar c : jobTitle) {
        const bool forbidden = c.unicode() < 0x20 || c == u'/' || c == u'\\' || c == u':' || c == u'*'
                               || c == u'?' || c == u'"' || c == u'<' || c == u'>' || c == u'|'
                               || c.unicode() == 0x7F;
        name += forbidden ? QChar(u'-') : c;
    }
    // Windows drops trailing dots and blanks; a leading dot hides the file.
    name = name.trimmed();
    while (name.endsWith(u'.'))
        name.chop(1);
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    name = name.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Druck");
    return name + QStringLiteral(".pdf");
}

QString documentArchiveFolderFor(const QString& studentFile, WorkspaceFiles* files)
{
    if (studentFile.trimmed().isEmpty())
        return {};
    const QFileInfo file(toSlashes(studentFile));
    const QDir dataDir = file.absoluteDir();
    const QString halfYear = dataDir.dirName();
    if (!halfYear.startsWith(QStringLiteral("ZE-"), Qt::CaseInsensitive))
        return {};
    QDir workspace = dataDir;
    if (!workspace.cdUp())
        return {};
    const QString folder = resolveIn(workspace.absolutePath(), QStringLiteral("DOKU-PDF-ARCHIV/") + halfYear);
    if (!QFileInfo(folder).isDir()) {
        if (files)
            files->createDirectory(folder);
        else
            QDir().mkpath(folder);
        if (!QFileInfo(folder).isDir())
            return {};
    }
    return folder;
}

QString proposedPdfPath(const QString& studentFile, const QString& jobTitle, WorkspaceFiles* files)
{
    QString folder = documentArchiveFolderFor(studentFile, files);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    return QDir(folder).filePath(pdfFileNameFor(jobTitle));
}

} // namespace zedora
