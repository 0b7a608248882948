// Reading records and moving the cursor in physical or tag order.
#include "dbase/table.h"

#include "dbase/mdx_key_types.h"

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

namespace {

constexpr size_t kCacheBytes = 256 * 1024;
constexpr auto kCacheLifetime = std::chrono::milliseconds(250);

} // namespace

void Table::readHeaderCount()
{
    needReadLock();
    char head[12];
    dbf_.readAt(0, head, sizeof head);
    const uint32_t count = le32(head + 4);
    const uint16_t headerLength = static_cast<uint16_t>(static_cast<uint8_t>(head[8]) | static_cast<uint8_t>(head[9]) << 8);
    const uint16_t recordLength = static_cast<uint16_t>(static_cast<uint8_t>(head[10]) | static_cast<uint8_t>(head[11]) << 8);
    if (headerLength != header_.headerLength || recordLength != header_.recordLength)
        throw DbfError("Die Tabelle " + path_ + " wurde von einem anderen Programm umgebaut; bitte neu öffnen.");
    if (count != header_.recordCount) {
        if (static_cast<uint64_t>(count) * recordLength > dbf_.size() - headerLength)
            throw DbfError("Die Datei " + path_ + " ist keine gültige dBase-Tabelle: die Zahl der Datensätze ist größer als die Datei.");
        header_.recordCount = count;
    }
}

uint32_t Table::recordCount()
{
    ReadScope scope(*this);
    readHeaderCount();
    return header_.recordCount;
}

void Table::loadRecord(uint32_t recno, std::string& out, bool useCache)
{
    const size_t length = header_.recordLength;
    if (useCache && recno >= cacheFirst_ && recno < cacheFirst_ + cacheCount_ &&
        std::chrono::steady_clock::now() - cacheLoaded_ < kCacheLifetime) {
        out.assign(cache_, static_cast<size_t>(recno - cacheFirst_) * length, length);
        return;
    }
    needReadLock();
    if (recno == 0 || recno > header_.recordCount) {
        readHeaderCount();
        if (recno == 0 || recno > header_.recordCount)
            throw DbfError("Die Tabelle " + path_ + " hat keinen Datensatz " + std::to_string(recno) +
                           " (Index oder Verweis beschädigt).");
    }
    const uint64_t offset = header_.headerLength + static_cast<uint64_t>(recno - 1) * length;
    if (!useCache) {
        out.resize(length);
        dbf_.readAt(offset, out.data(), length);
        return;
    }
    uint32_t count = static_cast<uint32_t>(std::max<size_t>(1, kCacheBytes / length));
    count = std::min(count, header_.recordCount - recno + 1);
    cache_.resize(static_cast<size_t>(count) * length);
    dbf_.readAt(offset, cache_.data(), cache_.size());
    cacheFirst_ = recno;
    cacheCount_ = count;
    cacheLoaded_ = std::chrono::steady_clock::now();
    out.assign(cache_, 0, length);
}

bool Table::recordVisible(uint32_t recno)
{
    if (buffer_[0] == '*')
        return false;
    recno_ = recno;
    if (filter_ && !inFilter_) {
        inFilter_ = true;
        bool ok = false;
        try {
            ok = filter_(*this);
        } catch (...) {
            inFilter_ = false;
            throw;
        }
        inFilter_ = false;
        return ok;
    }
    return true;
}

void Table::setEmpty()
{
    recno_ = 0;
    buffer_.assign(header_.recordLength, ' ');
    entry_ = {};
    eof_ = bof_ = true;
}

bool Table::stepPhysical(bool forward, uint32_t from)
{
    uint32_t r = from;
    for (;;) {
        if (forward) {
            ++r;
            if (r > header_.recordCount) {
                readHeaderCount(); // another process may have appended
                if (r > header_.recordCount)
                    return false;
            }
        } else {
            if (r <= 1)
                return false;
            --r;
        }
        loadRecord(r, buffer_, true);
        if (recordVisible(r))
            return true;
    }
}

int Table::compareToBound(std::string_view key, const std::string& bound) const
{
    const char type = tagInfos_[static_cast<size_t>(tag_)].keyType;
    if (type == 'C')
        return compareKeys(key.substr(0, bound.size()), bound);
    return compareTypedKeys(type, key, searchKeyFromText(type, bound));
}

std::string Table::searchKey(std::string_view text) const
{
    return searchKeyFromText(tagInfos_[static_cast<size_t>(tag_)].keyType, text);
}

bool Table::keyInRange(std::string_view key) const
{
    if (!rangeApplied_)
        return true;
    if (hasRangeStart_ && compareToBound(key, rangeStart_) < 0)
        return false;
    if (hasRangeEnd_ && compareToBound(key, rangeEnd_) > 0)
        return false;
    return true;
}

// Walks the tag from e (inclusive) until a visible record in range.
bool Table::stepIndex(bool forward, std::optional<IndexEntry> e)
{
    needReadLock();
    while (e) {
        if (rangeApplied_) {
            if (forward && hasRangeEnd_ && compareToBound(e->key, rangeEnd_) > 0)
                return false;
            if (!forward && hasRangeStart_ && compareToBound(e->key, rangeStart_) < 0)
                return false;
        }
        if (keyInRange(e->key)) {
            loadRecord(e->recno, buffer_, false);
            if (recordVisible(e->recno)) {
                entry_ = *e;
                return true;
            }
        }
        e = forward ? mdx_->next(tag_, *e) : mdx_->prior(tag_, *e);
    }
    return false;
}

bool Table::seekFirst()
{
    if (tag_ < 0)
        return stepPhysical(true, 0);
    needReadLock();
    std::optional<IndexEntry> e = rangeApplied_ && hasRangeStart_ ? mdx_->seek(tag_, searchKey(rangeStart_)) : mdx_->first(tag_);
    return stepIndex(true, e);
}

bool Table::seekLast()
{
    if (tag_ < 0) {
        readHeaderCount();
        return stepPhysical(false, header_.recordCount + 1);
    }
    needReadLock();
    std::optional<IndexEntry> e;
    if (rangeApplied_ && hasRangeEnd_) {
        // The last entry inside the range: the one before the first entry past it.
        std::optional<IndexEntry> probe = mdx_->seek(tag_, searchKey(rangeEnd_));
        while (probe && compareToBound(probe->key, rangeEnd_) <= 0)
            probe = mdx_->next(tag_, *probe);
        e = probe ? mdx_->prior(tag_, *probe) : mdx_->last(tag_);
    } else {
        e = mdx_->last(tag_);
    }
    return stepIndex(false, e);
}

void Table::first()
{
    ReadScope scope(*this);
    checkEditing(nullptr);
    cacheCount_ = 0;
    readHeaderCount();
    if (seekFirst()) {
        eof_ = false;
        bof_ = true;
    } else {
        setEmpty();
    }
}

void Table::last()
{
    ReadScope scope(*this);
    checkEditing(nullptr);
    cacheCount_ = 0;
    if (seekLast()) {
        eof_ = true;
        bof_ = false;
    } else {
        setEmpty();
    }
}

bool Table::next()
{
    ReadScope scope(*this);
    checkEditing(nullptr);
    if (recno_ == 0) {
        eof_ = true;
        return false;
    }
    const uint32_t saved = recno_;
    const IndexEntry savedEntry = entry_;
    bool found = false;
    if (tag_ < 0) {
        found = stepPhysical(true, recno_);
    } else {
        needReadLock();
        found = stepIndex(true, mdx_->next(tag_, entry_));
    }
    if (found) {
        bof_ = false;
        eof_ = false;
        return true;
    }
    positionAt(saved, &savedEntry);
    eof_ = true;
    return false;
}

bool Table::prior()
{
    ReadScope scope(*this);
    checkEditing(nullptr);
    if (recno_ == 0) {
        bof_ = true;
        return false;
    }
    const uint32_t saved = recno_;
    const IndexEntry savedEntry = entry_;
    bool found = false;
    if (tag_ < 0) {
        found = stepPhysical(false, recno_);
    } else {
        needReadLock();
        found = stepIndex(false, mdx_->prior(tag_, entry_));
    }
    if (found) {
        bof_ = false;
        eof_ = false;
        return true;
    }
    positionAt(saved, &savedEntry);
    bof_ = true;
    return false;
}

int Table::moveBy(int distance)
{
    int moved = 0;
    while (distance > 0 && next()) {
        --distance;
        ++moved;
    }
    while (distance < 0 && prior()) {
        ++distance;
        --moved;
    }
    return moved;
}

// Back onto a record the cursor stood on (the record itself is re-read).
bool Table::positionAt(uint32_t recno, const IndexEntry* entry)
{
    if (recno == 0) {
        setEmpty();
        return false;
    }
    loadRecord(recno, buffer_, tag_ < 0);
    recno_ = recno;
    if (tag_ >= 0)
        entry_ = entry && entry->recno == recno ? *entry : IndexEntry{tagKey(tag_).evaluate(buffer_.data()), recno};
    return true;
}

void Table::refresh()
{
    ReadScope scope(*this);
    checkEditing(nullptr);
    cacheCount_ = 0;
    readHeaderCount();
    if (memo_)
        memo_->refresh();
    if (recno_ != 0) {
        loadRecord(recno_, buffer_, false);
        if (tag_ >= 0)
            entry_ = {tagKey(tag_).evaluate(buffer_.data()), recno_};
    }
}

void Table::gotoRecord(uint32_t recno)
{
    ReadScope scope(*this);
    checkEditing(nullptr);
    loadRecord(recno, buffer_, false);
    recno_ = recno;
    if (tag_ >= 0)
        entry_ = {tagKey(tag_).evaluate(buffer_.data()), recno};
    eof_ = bof_ = false;
}

void Table::gotoBookmark(Bookmark mark)
{
    ReadScope scope(*this);
    gotoRecord(mark);
    if (deleted())
        throw DbfError("Der Datensatz " + std::to_string(mark) + " der Tabelle " + path_ + " ist gelöscht.");
}

} // namespace zedora::dbase
