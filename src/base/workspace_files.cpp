#include "base/workspace_files.h"

#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace zedora {
namespace {

// Anchored, as the whole name or extension must match.
QRegularExpression maskPattern(const QString& mask)
{
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                  mask.isEmpty() ? QStringLiteral("*") : mask),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

void WorkspaceFiles::createDirectory(const QString& path)
{
    const QString p = resolvePath(path);
    if (QFileInfo(p).isDir())
        return;
    QDir().mkpath(p);
    if (QFileInfo(p).isDir())
        register_.registerDirectory(p);
}

void WorkspaceFiles::deleteFile(const QString& path)
{
    const QString p = resolvePath(path);
    const bool existed = QFileInfo::exists(p);
    QFile::remove(p);
    if (existed && !QFileInfo::exists(p))
        register_.unregisterFile(p);
}

void WorkspaceFiles::deleteByMask(const QString& dir, const QString& nameMask,
                                  const QString& extensionMask)
{
    const QDir d(resolvePath(dir));
    if (!d.exists())
        return;
    const QRegularExpression name = maskPattern(nameMask);
    const QRegularExpression ext = maskPattern(extensionMask);
    register_.beginDefer();
    const QFileInfoList entries = d.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& fi : entries) {
        const QString fileName = fi.fileName();
        const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
        const QString base = dot < 0 ? fileName : fileName.left(dot);
        const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1);
        if (name.match(base).hasMatch() && ext.match(extension).hasMatch()) {
            QFile f(fi.absoluteFilePath());
            f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
            f.remove();
        }
    }
    register_.endDefer();
}

bool WorkspaceFiles::copyFile(const QString& source, const QString& destination)
{
    const QString src = resolvePath(source);
    const QString dst = resolvePath(destination);
    const bool existed = QFileInfo::exists(dst);
    const bool ok = QFileInfo(src).isFile() && copyFileSafely(src, dst);
    if (ok)
        copied_ << dst;
    else
        failed_ << dst;
    if (!existed && QFileInfo::exists(dst))
        register_.registerFile(dst);
    return ok;
}

void WorkspaceFiles::deleteDirectory(const QString& path)
{
    const QString p = resolvePath(path);
    const bool existed = QFileInfo(p).isDir();
    if (existed)
        QDir(p).removeRecursively();
    if (existed && !QFileInfo::exists(p))
        register_.unregisterDirectory(p);
}

void WorkspaceFiles::moveDirectory(const QString& source, const QString& destination,
                                   bool registerIt)
{
    const QString src = resolvePath(source);
    const QString dst = resolvePath(destination);
    const bool dstExisted = QFileInfo::exists(dst);
    QDir().rename(src, dst);
    if (!QFileInfo::exists(src))
        register_.unregisterDirectory(src);
    if (registerIt && !dstExisted && QFileInfo(dst).isDir())
        register_.registerDirectory(dst);
}

void WorkspaceFiles::clearCopyLists()
{
    copied_.clear();
    failed_.clear();
}

} // namespace zedora
