#include "data/table_move_journal.h"

#include "dbase/raw_file.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zedora {
namespace {

// The byte of the journal the mover locks while it moves.
constexpr uint64_t kMoveLock = 0x7fff0000;

std::string native(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toStdString();
}

std::string companion(const QString& dbfPath, const QString& ext)
{
    return dbase::companionPath(native(dbfPath), ext.toStdString());
}

void syncDirectoryOf(const std::string& path)
{
    const std::string dir = QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool removeIfThere(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// Carries out the journal's parts; each one may have been done already.
bool carryOut(const QString& dbfPath, const std::vector<MovePart>& parts)
{
    bool ok = true;
    for (const MovePart& p : parts) {
        const std::string target = companion(dbfPath, p.ext);
        if (p.source.isEmpty())
            ok = removeIfThere(target) && ok;
        else if (QFileInfo::exists(p.source))
            ok = std::rename(native(p.source).c_str(), target.c_str()) == 0 && ok;
    }
    return ok;
}

bool sameInode(const std::string& path, const dbase::RawFile& file)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && uint64_t(st.st_ino) == file.stamp()[0];
}

} // namespace

std::optional<std::vector<MovePart>> readJournal(const QString& dbfPath, const QByteArray& text)
{
    const QDir tableDir = QFileInfo(dbfPath).absoluteDir();
    const QString folder = QDir::cleanPath(tableDir.absolutePath());
    const QString parent = QFileInfo(folder).absolutePath();
    std::vector<MovePart> parts;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        // A deletion line is the extension alone (its tab trimmed away).
        const qsizetype tab = line.indexOf('\t');
        const QString ext = QString::fromUtf8(tab < 0 ? line : line.left(tab)).toUpper();
        if (ext != QLatin1String(".DBF") && ext != QLatin1String(".DBT") && ext != QLatin1String(".MDX")
            && ext != QLatin1String(".INI"))
            return std::nullopt;
        const QString written = tab < 0 ? QString() : QString::fromUtf8(line.mid(tab + 1)).trimmed();
        if (written.isEmpty()) {
            parts.push_back({ext, QString()});
            continue;
        }
        for (const QChar c : written)
            if (c.unicode() < 0x20)
                return std::nullopt;
        // Sources are written relative to the table's folder: another
        // computer may reach the workspace under another path.
        const QString source = QDir::cleanPath(tableDir.absoluteFilePath(written));
        const QFileInfo fi(source);
        const QString in = fi.absolutePath();
        const bool besideTable = in == folder;
        const bool inScratch = fi.absoluteDir().dirName().compare(QLatin1String("TMP"), Qt::CaseInsensitive) == 0
                            && QFileInfo(in).absolutePath() == parent;
        if ((!besideTable && !inScratch) || fi.fileName().isEmpty()
            || source.compare(QFileInfo(QString::fromStdString(companion(dbfPath, ext))).absoluteFilePath(),
                              Qt::CaseInsensitive) == 0)
            return std::nullopt;
        parts.push_back({ext, source});
    }
    return parts;
}

QString journalPathOf(const QString& dbfPath)
{
    return QString::fromStdString(dbase::companionPath(native(dbfPath), ".REO"));
}

PendingMove finishPendingMove(const QString& dbfPath, int waitMs)
{
    const std::string journal = journalPathOf(dbfPath).toStdString();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!QFileInfo::exists(QString::fromStdString(journal)))
            return PendingMove::None;
        dbase::RawFile file;
        try {
            file = dbase::RawFile::open(journal, false);
        } catch (const dbase::DbfError&) {
            if (!QFileInfo::exists(QString::fromStdString(journal)))
                return PendingMove::None;
            return PendingMove::Failed;
        }
        if (!file.writable())
            return PendingMove::Failed;
        if (!file.lockExclusive(kMoveLock, 1, waitMs))
            return PendingMove::Busy;
        // The mover may have finished and removed it while we waited, or a
        // new move may have begun under the same name.
        if (!sameInode(journal, file))
            continue;
        QByteArray content(qsizetype(file.size()), '\0');
        try {
            file.readAt(0, content.data(), size_t(content.size()));
        } catch (const dbase::DbfError&) {
            return PendingMove::Failed;
        }
        const std::optional<std::vector<MovePart>> parts = readJournal(dbfPath, content);
        if (!parts || !carryOut(dbfPath, *parts))
            return PendingMove::Failed;
        syncDirectoryOf(journal);
        if (::unlink(journal.c_str()) != 0 && errno != ENOENT)
            return PendingMove::Failed;
        syncDirectoryOf(journal);
        return PendingMove::Finished;
    }
    return PendingMove::Busy;
}

bool moveTableIntoPlace(const QString& dbfPath, const std::vector<MovePart>& parts, const MoveHook& hook)
{
    const PendingMove earlier = finishPendingMove(dbfPath);
    if (earlier == PendingMove::Busy || earlier == PendingMove::Failed)
        return false;
    QByteArray content;
    for (const MovePart& p : parts)
        content += p.ext.toUtf8() + '\t'
                 + (p.source.isEmpty() ? QByteArray()
                                      : QFileInfo(dbfPath).dir().relativeFilePath(QFileInfo(p.source).absoluteFilePath()).toUtf8())
                 + '\n';

    const std::string journal = journalPathOf(dbfPath).toStdString();
    // Written and locked under a name of its own, then renamed: no one can
    // meet the journal before it is complete and locked.
    const std::string scratch = journal + "." + std::to_string(QCoreApplication::applicationPid()) + "-"
                              + std::to_string(QRandomGenerator::global()->generate()) + ".tmp";
    dbase::RawFile file;
    try {
        file = dbase::RawFile::create(scratch);
        file.writeAt(0, content.constData(), size_t(content.size()));
        file.sync();
        if (!file.tryLockExclusive(kMoveLock, 1))
            throw dbase::DbfError("lock");
    } catch (const dbase::DbfError&) {
        file.close();
        ::unlink(scratch.c_str());
        return false;
    }
    if (std::rename(scratch.c_str(), journal.c_str()) != 0) {
        file.close();
        ::unlink(scratch.c_str());
        return false;
    }
    syncDirectoryOf(journal);
    if (hook)
        hook(0);
    int moved = 0;
    for (const MovePart& p : parts) {
        const std::string target = companion(dbfPath, p.ext);
        const bool ok = p.source.isEmpty() ? removeIfThere(target)
                                           : std::rename(native(p.source).c_str(), target.c_str()) == 0;
        if (!ok)
            return false; // the journal stays; whoever opens the table next finishes it
        if (hook)
            hook(++moved);
    }
    syncDirectoryOf(journal);
    ::unlink(journal.c_str());
    syncDirectoryOf(journal);
    return true;
}

} // namespace zedora
