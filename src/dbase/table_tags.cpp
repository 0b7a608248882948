// Index tags: choosing one, searching, ranges and the filter; adding tags and
// rebuilding the index.
#include "dbase/table.h"

#include "dbase/mdx_key_types.h"
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

std::vector<TagInfo> Table::tags() const
{
    return mdx_ ? mdx_->tags() : std::vector<TagInfo>{};
}

void Table::selectTag(std::string_view name)
{
    checkEditing(nullptr);
    ReadScope scope(*this);
    if (name.empty()) {
        tag_ = -1;
        rangeApplied_ = false;
    } else {
        const int t = mdx_ ? mdx_->tagIndex(name) : -1;
        if (t < 0)
            throw DbfError("Die Tabelle " + path_ + " hat keinen Index " + std::string(name) + ".");
        tag_ = t;
        rangeApplied_ = false;
    }
    // Stay on the current record, now positioned in the new order.
    if (recno_ != 0)
        positionAt(recno_, nullptr);
}

std::string Table::currentTag() const
{
    if (tag_ < 0)
        return {};
    return tagInfos_[static_cast<size_t>(tag_)].name;
}

std::string Table::currentKey() const
{
    if (tag_ < 0)
        return {};
    return tagKey(tag_).evaluate(buffer_.data());
}

bool Table::findKey(std::string_view key)
{
    checkEditing(nullptr);
    if (tag_ < 0)
        throw DbfError("Für die Suche in " + path_ + " ist kein Index gewählt.");
    ReadScope scope(*this);
    needReadLock();
    const TagInfo& info = tagInfos_[static_cast<size_t>(tag_)];
    const size_t length = static_cast<size_t>(info.keyLength);
    std::string padded = searchKey(key);
    padded.resize(std::min(padded.size(), length));
    padded.resize(length, info.keyType == 'C' ? ' ' : '\0');
    const uint32_t saved = recno_;
    const IndexEntry savedEntry = entry_;
    for (std::optional<IndexEntry> e = mdx_->seek(tag_, padded);
         e && compareTypedKeys(info.keyType, e->key, padded) == 0;
         e = mdx_->next(tag_, *e)) {
        if (!keyInRange(e->key))
            continue;
        loadRecord(e->recno, buffer_, false);
        if (recordVisible(e->recno)) {
            entry_ = *e;
            eof_ = bof_ = false;
            return true;
        }
    }
    if (saved != 0)
        positionAt(saved, &savedEntry);
    else
        setEmpty();
    return false;
}

bool Table::findNearest(std::string_view key)
{
    checkEditing(nullptr);
    if (tag_ < 0)
        throw DbfError("Für die Suche in " + path_ + " ist kein Index gewählt.");
    ReadScope scope(*this);
    needReadLock();
    std::string k = searchKey(key);
    if (rangeApplied_ && hasRangeStart_ && compareToBound(k, rangeStart_) < 0)
        k = searchKey(rangeStart_);
    if (stepIndex(true, mdx_->seek(tag_, k))) {
        eof_ = bof_ = false;
        return true;
    }
    // Nothing at or after the key: the end of the table.
    if (seekLast()) {
        bof_ = false;
        eof_ = true;
    } else {
        setEmpty();
    }
    return false;
}

void Table::setRangeStart(std::string_view key)
{
    rangeStart_ = std::string(key);
    hasRangeStart_ = true;
}

void Table::setRangeEnd(std::string_view key)
{
    rangeEnd_ = std::string(key);
    hasRangeEnd_ = true;
}

void Table::applyRange()
{
    if (tag_ < 0)
        throw DbfError("Für einen Bereich in " + path_ + " ist kein Index gewählt.");
    rangeApplied_ = true;
    first();
}

void Table::cancelRange()
{
    rangeApplied_ = false;
    hasRangeStart_ = hasRangeEnd_ = false;
    rangeStart_.clear();
    rangeEnd_.clear();
    first();
}

void Table::setFilter(Filter filter)
{
    filter_ = std::move(filter);
    first();
}

void Table::clearFilter()
{
    filter_ = nullptr;
    first();
}

void Table::setIndexedFieldFlags()
{
    std::vector<uint8_t> flags(header_.fields.size(), 0);
    for (const TagInfo& tag : tags()) {
        // A field's flag promises a tag over all its values; a filtered one has not.
        if (!tag.condition.empty())
            continue;
        const int f = findField(trimBoth(tag.expression));
        if (f >= 0)
            flags[static_cast<size_t>(f)] = 1;
    }
    for (size_t i = 0; i < flags.size(); ++i) {
        if (i < header_.indexedFieldFlags.size() && header_.indexedFieldFlags[i] != flags[i]) {
            const char b = static_cast<char>(flags[i]);
            dbf_.writeAt(32 + 32 * i + 31, &b, 1);
            header_.indexedFieldFlags[i] = flags[i];
        }
    }
}

void Table::addIndexTag(const std::string& name, const std::string& expression, bool unique,
                        const std::string& condition)
{
    checkWritable();
    checkEditing(nullptr);
    if (!exclusive_)
        throw DbfError("Ein Index kann nur zu einer exklusiv geöffneten Tabelle hinzugefügt werden (" + path_ + ").");
    KeyExpression key = KeyExpression::compile(expression, header_.fields);
    std::optional<KeyExpression> filter;
    if (condition.find_first_not_of(' ') != std::string::npos)
        filter = KeyExpression::compileCondition(condition, header_.fields);
    WriteScope scope(*this);
    if (!mdx_) {
        if (fileExists(mdxPath_))
            throw DbfError("Die Indexdatei " + mdxPath_ + " besteht schon, gehört aber nicht zur Tabelle " + path_ + ".");
        mdx_ = MdxIndex::create(mdxPath_, upperAscii(stemOf(path_)));
        header_.productionIndex |= 1;
        const char flag = static_cast<char>(header_.productionIndex);
        dbf_.writeAt(28, &flag, 1);
    }
    const std::string tagName = upperAscii(name);
    mdx_->addTag(tagName, key, unique, filter ? &*filter : nullptr, [this](const MdxIndex::RecordVisitor& visit) {
        std::string record;
        for (uint32_t r = 1; r <= header_.recordCount; ++r) {
            loadRecord(r, record, true);
            if (record[0] != '*')
                visit(r, record.data());
        }
    });
    mdx_->flush();
    cacheCount_ = 0;
    compileTags();
    setRecordSource();
    setIndexedFieldFlags();
}

void Table::buildIndexFile(const std::string& fresh, const std::vector<TagSpec>& specs)
{
    std::vector<KeyExpression> compiled;
    std::vector<std::optional<KeyExpression>> conditions;
    for (const TagSpec& s : specs) {
        compiled.push_back(KeyExpression::compile(s.expression, header_.fields));
        conditions.emplace_back(s.condition.find_first_not_of(' ') == std::string::npos
                                    ? std::nullopt
                                    : std::optional(KeyExpression::compileCondition(s.condition, header_.fields)));
    }
    ::unlink(fresh.c_str());
    {
        std::unique_ptr<MdxIndex> index = MdxIndex::create(fresh, upperAscii(stemOf(path_)));
        try {
            for (size_t i = 0; i < specs.size(); ++i) {
                index->addTag(upperAscii(specs[i].name), compiled[i], specs[i].unique,
                              conditions[i] ? &*conditions[i] : nullptr,
                              [this](const MdxIndex::RecordVisitor& visit) {
                                  std::string record;
                                  for (uint32_t r = 1; r <= header_.recordCount; ++r) {
                                      loadRecord(r, record, true);
                                      if (record[0] != '*')
                                          visit(r, record.data());
                                  }
                              });
            }
            index->flush();
            RawFile(RawFile::open(fresh, true)).sync();
        } catch (...) {
            index.reset();
            ::unlink(fresh.c_str());
            throw;
        }
    }
}

void Table::rebuildIndex(const std::vector<TagSpec>& specs)
{
    if (!dbf_.writable())
        throw DbfError("Die Tabelle " + path_ + " ist schreibgeschützt.");
    checkEditing(nullptr);
    if (!exclusive_)
        throw DbfError("Der Index kann nur bei exklusiv geöffneter Tabelle neu aufgebaut werden (" + path_ + ").");
    const std::string fresh = mdxPath_ + ".neu";
    WriteScope scope(*this);
    buildIndexFile(fresh, specs);
    const std::string current = currentTag();
    mdx_.reset();
    keys_.clear();
    tag_ = -1;
    if (::rename(fresh.c_str(), mdxPath_.c_str()) != 0) {
        const int error = errno;
        throw DbfError("Die Indexdatei " + mdxPath_ + " lässt sich nicht ersetzen: " + systemErrorText(error));
    }
    // The new name is on disk before the header flag that relies on it.
    const size_t slash = mdxPath_.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : mdxPath_.substr(0, std::max<size_t>(slash, 1));
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    if (!(header_.productionIndex & 1)) {
        header_.productionIndex |= 1;
        const char flag = static_cast<char>(header_.productionIndex);
        dbf_.writeAt(28, &flag, 1);
    }
    openIndex();
    indexSkipped_ = false;
    setIndexedFieldFlags();
    cacheCount_ = 0;
    if (!current.empty() && mdx_->tagIndex(current) >= 0)
        tag_ = mdx_->tagIndex(current);
}


} // namespace zedora::dbase
