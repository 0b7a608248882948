// The locks of a table: on the table, its memo and index files, per record; the
// guard for file systems with per-process locks only; the change probe.
#include "dbase/table.h"

#include "dbase/system_error.h"
#include "dbase/table_locks.h"
#include "dbase/table_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <iterator>
#include <mutex>
#include <ostream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace zedora::dbase {


// Taken after the table's own lock, released before it. On a network file
// system taking a lock makes the client drop what it cached of that file,
// so the memo and index files are read as other computers left them. A
// local file system shares one page cache and needs none of this.
void Table::lockCompanions(bool exclusive)
{
    if (exclusive_ || !networkFs_)
        return;
    if (memo_ && !memo_->lock(exclusive, kLockTimeoutMs))
        throw HeldElsewhere("Die Memodatei " + memo_->path() + " ist gesperrt.");
    if (mdx_ && !mdx_->lockFile(exclusive, kLockTimeoutMs)) {
        if (memo_)
            memo_->unlock();
        throw HeldElsewhere("Die Indexdatei " + mdxPath_ + " ist gesperrt.");
    }
}

void Table::unlockCompanions() noexcept
{
    if (exclusive_ || !networkFs_)
        return;
    if (mdx_)
        mdx_->unlockFile();
    if (memo_)
        memo_->unlock();
}

namespace {

// Tables open in this process under per-process locks, by device and inode.
std::mutex perProcessMutex;
std::set<std::pair<uint64_t, uint64_t>> perProcessTables;

} // namespace

// Per-process locks cannot keep two opens in this process apart, and closing
// one drops the other's locks: such a file system gets one open per process,
// and a shared open there only reads.
void Table::guardPerProcessLocks(OpenMode mode)
{
    if (!dbf_.perProcessLocks())
        return;
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) {
        const int error = errno;
        throw DbfError("Die Tabelle " + path_ + " lässt sich nicht öffnen: " + systemErrorText(error));
    }
    {
        std::lock_guard<std::mutex> lock(perProcessMutex);
        if (!perProcessTables.insert({st.st_dev, st.st_ino}).second)
            throw DbfError("Die Tabelle " + path_ + " ist in diesem Programm schon geöffnet; auf diesem Laufwerk kann sie "
                           "nur einmal geöffnet werden.");
    }
    registered_ = true;
    fileId_[0] = st.st_dev;
    fileId_[1] = st.st_ino;
    if (mode == OpenMode::Shared)
        writeRefusal_ = "Die Tabelle " + path_ + " kann hier nur gelesen werden: das Laufwerk unterstützt die Sperren "
                        "nicht, die gemeinsames Bearbeiten sicher machen. Zum Bearbeiten die Tabelle exklusiv öffnen "
                        "oder auf ein anderes Laufwerk legen.";
}

bool Table::openHereUnderPerProcessLocks(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    std::lock_guard<std::mutex> lock(perProcessMutex);
    return perProcessTables.count({st.st_dev, st.st_ino}) != 0;
}

void Table::forgetPerProcessOpen() noexcept
{
    if (registered_) {
        std::lock_guard<std::mutex> lock(perProcessMutex);
        perProcessTables.erase({fileId_[0], fileId_[1]});
        registered_ = false;
    }
}

void Table::needReadLock()
{
    if (exclusive_ || readLocked_ || writeLocked_)
        return;
    for (int attempt = 0;; ++attempt) {
        if (!dbf_.lockShared(kDataLock, 1, kLockTimeoutMs))
            throw HeldElsewhere("Die Tabelle " + path_ + " ist gesperrt; an einem anderen Arbeitsplatz wird gerade gespeichert.");
        readLocked_ = true;
        lockCompanions(false);
        try {
            if (mdx_)
                mdx_->refresh();
        } catch (const MdxIncomplete&) {
            // A writer was killed in the middle of a save: the index is
            // rebuilt under the write lock (by us, or by whoever gets it
            // first) instead of failing every read until all have closed.
            unlockCompanions();
            dbf_.unlock(kDataLock, 1);
            readLocked_ = false;
            if (!canRepairIndex() || attempt >= 3)
                throw;
            WriteScope repair(*this);
            continue;
        }
        if (memo_)
            memo_->dropCache();
        return;
    }
}

Table::LookToken Table::readLookToken()
{
    LookToken token;
    dbf_.readSome(0, token.head, sizeof token.head);
    const std::string paths[3] = {path_, memo_ ? memo_->path() : std::string(), mdx_ ? mdxPath_ : std::string()};
    for (int i = 0; i < 3; ++i) {
        struct stat st {};
        // By name: a file replaced by a reorganisation counts as changed.
        if (paths[i].empty() || ::stat(paths[i].c_str(), &st) != 0)
            continue;
        token.files[i][0] = static_cast<uint64_t>(st.st_ino);
        token.files[i][1] = static_cast<uint64_t>(st.st_size);
        token.files[i][2] = static_cast<uint64_t>(st.st_mtim.tv_sec);
        token.files[i][3] = static_cast<uint64_t>(st.st_mtim.tv_nsec);
    }
    if (mdx_)
        token.indexCounter = mdx_->changeCounterOnDisk();
    return token;
}

bool Table::changedSinceLastLook()
{
    // A writer at work right now: something is changing.
    const bool haveLock = exclusive_ || readLocked_ || writeLocked_;
    if (!haveLock && !dbf_.tryLockShared(kDataLock, 1))
        return true;
    LookToken token;
    try {
        token = readLookToken();
    } catch (...) {
        if (!haveLock)
            dbf_.unlock(kDataLock, 1);
        throw;
    }
    if (!haveLock)
        dbf_.unlock(kDataLock, 1);
    const bool changed = !(token == lastLook_);
    lastLook_ = token;
    return changed;
}

void Table::releaseRecordLock()
{
    if (lockedRecord_ != 0)
        dbf_.unlock(kRecordLockBase + lockedRecord_, 1);
    lockedRecord_ = 0;
}

} // namespace zedora::dbase
