#pragma once
// Inside the table engine: the lock bytes and the lock scopes of a call.
#include "dbase/table.h"

namespace zedora::dbase {

// Lock bytes far beyond any real table size, as dBase software does, so
// that readers without locking are never blocked.
inline constexpr uint64_t kOpenLock = 0x7FFFFFF0ull;    // shared per open; exclusive open takes it whole
inline constexpr uint64_t kDataLock = 0x7FFFFFF1ull;    // shared while reading, exclusive while writing
inline constexpr uint64_t kRecordLockBase = 0x40000000ull; // + record number, held while a record is edited
inline constexpr int kLockTimeoutMs = 10000;

// The read lock of one public call: taken when the call first reads the
// file, released when it returns.
class Table::ReadScope {
public:
    explicit ReadScope(const Table& t) : t_(const_cast<Table&>(t)) { ++t_.scopeDepth_; }
    ~ReadScope()
    {
        if (--t_.scopeDepth_ == 0 && t_.readLocked_) {
            t_.unlockCompanions();
            t_.dbf_.unlock(kDataLock, 1);
            t_.readLocked_ = false;
        }
    }

private:
    Table& t_;
};

// The write lock: whole-table, held while a post or delete writes the
// record, the header, the memos and the index.
class Table::WriteScope {
public:
    explicit WriteScope(Table& t) : t_(t)
    {
        if (t_.readLocked_) {
            t_.unlockCompanions();
            t_.dbf_.unlock(kDataLock, 1);
            t_.readLocked_ = false;
        }
        if (!t_.exclusive_ && !t_.dbf_.lockExclusive(kDataLock, 1, kLockTimeoutMs))
            throw HeldElsewhere("Die Tabelle " + t_.path_ + " ist gesperrt; an einem anderen Arbeitsplatz wird gerade gespeichert.");
        t_.writeLocked_ = true;
        try {
            t_.lockCompanions(true);
            t_.readHeaderCount();
            if (t_.mdx_)
                t_.refreshIndexForWriting();
            if (t_.memo_)
                t_.memo_->refresh();
        } catch (...) {
            release();
            throw;
        }
    }
    ~WriteScope() { release(); }

private:
    void release()
    {
        if (t_.writeLocked_ && !t_.exclusive_) {
            t_.unlockCompanions();
            t_.dbf_.unlock(kDataLock, 1);
        }
        t_.writeLocked_ = false;
    }
    Table& t_;
};

} // namespace zedora::dbase
