// Editing: append, edit, post, cancel, delete, and how a change reaches the disk.
#include "dbase/table.h"

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

void Table::append()
{
    checkWritable();
    checkEditing(nullptr);
    original_ = buffer_; // to return to on cancel
    returnTo_ = recno_;
    buffer_.assign(header_.recordLength, ' ');
    pendingMemos_.clear();
    state_ = State::Insert;
}

void Table::insert()
{
    // dBase tables have no physical insert; the record goes to the end.
    append();
}

void Table::edit()
{
    checkWritable();
    checkEditing(nullptr);
    if (recno_ == 0)
        throw DbfError("Die Tabelle " + path_ + " hat keinen Datensatz zum Bearbeiten.");
    if (!exclusive_ && lockedRecord_ != recno_) {
        if (!dbf_.tryLockExclusive(kRecordLockBase + recno_, 1))
            throw RecordHeldElsewhere("Der Datensatz " + std::to_string(recno_) + " der Tabelle " + path_ +
                                      " wird gerade an einem anderen Arbeitsplatz bearbeitet.");
        lockedRecord_ = recno_;
    }
    try {
        ReadScope scope(*this);
        loadRecord(recno_, buffer_, false); // edit what is on disk now
        if (deleted())
            throw DbfError("Der Datensatz " + std::to_string(recno_) + " der Tabelle " + path_ + " wurde inzwischen gelöscht.");
    } catch (...) {
        releaseRecordLock();
        throw;
    }
    original_ = buffer_;
    pendingMemos_.clear();
    state_ = State::Edit;
}

void Table::cancel()
{
    if (state_ == State::Insert) {
        buffer_ = original_;
        recno_ = returnTo_;
    } else if (state_ == State::Edit) {
        buffer_ = original_;
    }
    pendingMemos_.clear();
    releaseRecordLock();
    state_ = State::Browse;
}

void Table::writeRecordAt(uint32_t recno, const std::string& record, bool appendEof)
{
    const uint64_t offset = header_.headerLength + static_cast<uint64_t>(recno - 1) * header_.recordLength;
    if (appendEof) {
        std::string data = record;
        data.push_back('\x1A');
        dbf_.writeAt(offset, data);
    } else {
        dbf_.writeAt(offset, record);
    }
    cacheCount_ = 0;
}

void Table::updateIndexes(const std::string* oldRecord, const std::string* newRecord, uint32_t recno)
{
    if (!mdx_)
        return;
    for (size_t t = 0; t < keys_.size(); ++t) {
        const int tag = static_cast<int>(t);
        // A record enters or leaves a tag with a condition as it starts or stops meeting it.
        const bool wasIn = oldRecord && meetsCondition(t, *oldRecord);
        const bool isIn = newRecord && meetsCondition(t, *newRecord);
        std::string oldKey = wasIn ? tagKey(tag).evaluate(oldRecord->data()) : std::string();
        std::string newKey = isIn ? tagKey(tag).evaluate(newRecord->data()) : std::string();
        if (wasIn && isIn && oldKey == newKey)
            continue;
        if (wasIn)
            mdx_->remove(tag, oldKey, recno);
        if (isIn)
            mdx_->insert(tag, newKey, recno);
    }
    mdx_->flush();
}

// One change on disk, in an order that every cut leaves detectable: the
// index is marked incomplete first, then come the memos (in fresh blocks),
// the record, the header and last the index, whose flush clears the mark.
// With write-through each step is synced before the next. A failure puts
// the table back as it was, so that a post either happened or did not.
void Table::commitChange(uint32_t recno, const std::string* before, std::string& record, bool keepInIndex)
{
    const bool appending = before == nullptr;
    const uint32_t oldCount = header_.recordCount;
    uint8_t oldDate[3];
    std::memcpy(oldDate, header_.updated, 3);
    const uint64_t offset = header_.headerLength + static_cast<uint64_t>(recno - 1) * header_.recordLength;
    uint64_t oldSize = 0;
    std::string oldTail; // what an append writes over: the end-of-file mark
    if (appending) {
        oldSize = dbf_.size();
        if (oldSize > offset) {
            oldTail.resize(static_cast<size_t>(std::min<uint64_t>(oldSize - offset, header_.recordLength + 1)));
            dbf_.readAt(offset, oldTail.data(), oldTail.size());
        }
    }
    bool tableTouched = false;
    try {
        if (mdx_)
            mdx_->beginWrite(writeThrough_);
        if (!pendingMemos_.empty()) {
            for (const auto& [index, text] : pendingMemos_) {
                const FieldDesc& f = header_.fields[static_cast<size_t>(index)];
                const uint32_t block = memo_->append(text);
                char digits[16];
                if (block == 0)
                    std::memset(digits, ' ', 10);
                else
                    std::snprintf(digits, sizeof digits, "%10u", block);
                std::memcpy(record.data() + f.offset, digits, 10);
            }
            if (writeThrough_)
                memo_->sync();
        }
        uint8_t today[3];
        stampToday(today);
        tableTouched = true;
        writeRecordAt(recno, record, appending);
        if (appending) {
            // The record is complete before the count takes it in.
            if (writeThrough_)
                dbf_.sync();
            char head[7];
            std::memcpy(head, today, 3);
            for (int i = 0; i < 4; ++i)
                head[3 + i] = static_cast<char>((recno >> (8 * i)) & 0xFF);
            dbf_.writeAt(1, head, sizeof head);
            header_.recordCount = recno;
        } else if (std::memcmp(today, header_.updated, 3) != 0) {
            dbf_.writeAt(1, today, 3);
        }
        std::memcpy(header_.updated, today, 3);
        if (writeThrough_)
            dbf_.sync();
        updateIndexes(before, keepInIndex ? &record : nullptr, recno);
    } catch (...) {
        rollBack(recno, before, oldCount, oldDate, oldTail, oldSize, tableTouched);
        throw;
    }
}

// After a failed change: the old record, count and date go back on disk and
// the index drops what it had not written yet. Should that fail as well,
// the index stays marked incomplete (the next open rebuilds it) and this
// open writes nothing more.
void Table::rollBack(uint32_t recno, const std::string* before, uint32_t oldCount, const uint8_t* oldDate,
                     const std::string& oldTail, uint64_t oldSize, bool tableTouched) noexcept
{
    cacheCount_ = 0;
    header_.recordCount = oldCount;
    std::memcpy(header_.updated, oldDate, 3);
    try {
        if (tableTouched) {
            if (before) {
                writeRecordAt(recno, *before, false);
                dbf_.writeAt(1, oldDate, 3);
            } else {
                char head[7];
                std::memcpy(head, oldDate, 3);
                for (int i = 0; i < 4; ++i)
                    head[3 + i] = static_cast<char>((oldCount >> (8 * i)) & 0xFF);
                dbf_.writeAt(1, head, sizeof head);
                const uint64_t offset = header_.headerLength + static_cast<uint64_t>(recno - 1) * header_.recordLength;
                dbf_.truncate(std::max(oldSize, offset));
                if (!oldTail.empty())
                    dbf_.writeAt(offset, oldTail);
            }
            if (writeThrough_)
                dbf_.sync();
        }
    } catch (...) {
        broken_ = true;
    }
    try {
        if (mdx_)
            mdx_->abandonWrite(broken_);
    } catch (...) {
        broken_ = true;
    }
}

void Table::post()
{
    if (state_ == State::Browse)
        return;
    checkWritable();
    {
        WriteScope scope(*this);
        std::string record = buffer_;
        if (state_ == State::Insert) {
            const uint32_t recno = header_.recordCount + 1;
            commitChange(recno, nullptr, record, true);
            recno_ = recno;
        } else {
            // The keys to take out of the index are those on disk now.
            std::string before;
            loadRecord(recno_, before, false);
            commitChange(recno_, &before, record, true);
        }
        buffer_ = std::move(record);
    }
    if (tag_ >= 0)
        entry_ = {tagKey(tag_).evaluate(buffer_.data()), recno_};
    pendingMemos_.clear();
    original_.clear();
    releaseRecordLock();
    state_ = State::Browse;
    eof_ = bof_ = false;
}

void Table::flush()
{
    // Nothing was written; a write-protected memo or index would refuse
    // even the open for syncing.
    if (readOnly())
        return;
    dbf_.sync();
    if (memo_)
        memo_->sync();
    if (mdx_) {
        mdx_->flush();
        RawFile index = RawFile::open(mdxPath_, true);
        index.sync();
    }
}

void Table::deleteRecord()
{
    checkWritable();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (state_ == State::Edit)
        cancel();
    if (recno_ == 0)
        throw DbfError("Die Tabelle " + path_ + " hat keinen Datensatz zum Löschen.");
    bool tookLock = false;
    if (!exclusive_ && lockedRecord_ != recno_) {
        if (!dbf_.tryLockExclusive(kRecordLockBase + recno_, 1))
            throw RecordHeldElsewhere("Der Datensatz " + std::to_string(recno_) + " der Tabelle " + path_ +
                                      " wird gerade an einem anderen Arbeitsplatz bearbeitet.");
        tookLock = true;
    }
    const uint32_t recno = recno_;
    try {
        WriteScope scope(*this);
        std::string record;
        loadRecord(recno, record, false);
        if (record[0] != '*') {
            std::string marked = record;
            marked[0] = '*';
            pendingMemos_.clear();
            commitChange(recno, &record, marked, false);
        }
    } catch (...) {
        if (tookLock)
            dbf_.unlock(kRecordLockBase + recno, 1);
        throw;
    }
    if (tookLock)
        dbf_.unlock(kRecordLockBase + recno, 1);

    // Onto the following record, or the one before when it was the last.
    ReadScope scope(*this);
    const IndexEntry gone = entry_;
    bool found = tag_ < 0 ? stepPhysical(true, recno) : stepIndex(true, mdx_->next(tag_, gone));
    if (!found)
        found = tag_ < 0 ? stepPhysical(false, recno) : stepIndex(false, mdx_->prior(tag_, gone));
    if (found)
        eof_ = bof_ = false;
    else
        setEmpty();
}

} // namespace zedora::dbase
