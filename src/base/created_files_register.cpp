#include "base/created_files_register.h"

#include "base/ansi_text.h"
#include "base/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zedora {
namespace {

QStringList loadList(const QString& path)
{
    QStringList out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            out << fromAnsi(line);
    }
    return out;
}

bool listed(const QStringList& list, const QString& path)
{
    return list.contains(path, Qt::CaseInsensitive);
}

} // namespace

TNeueDateien::TNeueDateien(const QString& filesListPath, const QString& directoriesListPath)
    : filesListPath_(filesListPath), directoriesListPath_(directoriesListPath),
      files_(loadList(filesListPath)), directories_(loadList(directoriesListPath))
{
}

TNeueDateien::~TNeueDateien()
{
    defer_ = false;
    save();
}

void TNeueDateien::add(QStringList& list, bool& dirty, const QString& path)
{
    if (listed(list, path))
        return;
    list << path;
    dirty = true;
    save();
}

void TNeueDateien::remove(QStringList& list, bool& dirty, const QString& path)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).compare(path, Qt::CaseInsensitive) == 0) {
            list.removeAt(i);
            dirty = true;
            return;
        }
    }
}

void TNeueDateien::registerFile(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.exists() && !fi.isDir())
        add(files_, filesDirty_, path);
}

void TNeueDateien::registerDirectory(const QString& path)
{
    if (QFileInfo(path).isDir())
        add(directories_, directoriesDirty_, path);
}

void TNeueDateien::unregisterFile(const QString& path)
{
    remove(files_, filesDirty_, path);
}

void TNeueDateien::unregisterDirectory(const QString& path)
{
    remove(directories_, directoriesDirty_, path);
}

void TNeueDateien::beginDefer()
{
    defer_ = true;
}

void TNeueDateien::endDefer()
{
    defer_ = false;
    save();
}

void TNeueDateien::save()
{
    if (defer_)
        return;
    const List lists[] = {{filesListPath_, &files_, &filesDirty_},
                          {directoriesListPath_, &directories_, &directoriesDirty_}};
    for (const List& l : lists) {
        if (!*l.dirty)
            continue;
        QByteArray text;
        for (const QString& entry : *l.entries)
            text += toAnsi(entry) + "\r\n";
        writeFileSafely(l.path, text);  // errors ignored on purpose
        *l.dirty = false;
    }
}

} // namespace zedora
