// Opening, creating, renaming and removing tables; the header and its fields.
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

std::unique_ptr<Table> Table::open(const std::string& path, OpenMode mode)
{
    std::unique_ptr<Table> t(new Table);
    t->openFiles(path, mode);
    return t;
}

void Table::openFiles(const std::string& path, OpenMode mode)
{
    path_ = path;
    exclusive_ = mode == OpenMode::Exclusive || mode == OpenMode::ExclusiveWithoutIndex;
    dbf_ = RawFile::open(path, false);
    if (exclusive_ && !dbf_.writable())
        throw DbfError("Die Tabelle " + path + " ist schreibgeschützt und lässt sich nicht exklusiv öffnen.");
    if (exclusive_) {
        if (!dbf_.tryLockExclusive(kOpenLock, 1))
            throw HeldElsewhere("Die Tabelle " + path + " wird noch von einem anderen Programm benutzt und lässt sich nicht exklusiv öffnen.");
    } else if (!dbf_.tryLockShared(kOpenLock, 1)) {
        throw HeldElsewhere("Die Tabelle " + path + " ist von einem anderen Programm exklusiv geöffnet.");
    }
    guardPerProcessLocks(mode);
    networkFs_ = dbf_.onNetworkFileSystem();
    ReadScope scope(*this);
    needReadLock();
    const uint64_t size = dbf_.size();
    std::string bytes(32, '\0');
    bytes.resize(dbf_.readSome(0, bytes.data(), 32));
    const uint16_t headerLength = headerLengthOf(bytes, size, path);
    bytes.resize(headerLength);
    dbf_.readAt(0, bytes.data(), headerLength);
    header_ = parseDbfHeader(bytes, size, path);
    for (int i = 0; i < fieldCount(); ++i)
        fieldByName_.emplace(header_.fields[i].name, i);

    if (header_.hasMemoFields() || header_.version == kVersionDbase3Memo || header_.version == kVersionDbase4Memo) {
        bool exists = false;
        const std::string dbt = companionPath(path, ".DBT", &exists);
        if (exists) {
            memo_ = MemoFile::open(dbt, header_.dbase4Memo(), false);
            if (!memo_->writable())
                refuseWritingFor("ihre Memodatei", dbt);
        } else if (header_.hasMemoFields())
            throw DbfError("Die Memodatei " + dbt + " zur Tabelle " + path + " fehlt.");
    }
    bool mdxExists = false;
    mdxPath_ = companionPath(path, ".MDX", &mdxExists);
    if (mode == OpenMode::SharedWithoutIndex) {
        // Changing records would leave the index behind them.
        indexSkipped_ = true;
        if (writeRefusal_.empty())
            writeRefusal_ = "Die Tabelle " + path + " ist ohne ihren Index " + mdxPath_ +
                            " geöffnet und kann so nur gelesen, nicht geändert werden.";
    } else if ((header_.productionIndex & 1) && mode == OpenMode::ExclusiveWithoutIndex) {
        indexSkipped_ = true;
    } else if (header_.productionIndex & 1) {
        if (!mdxExists)
            throw IndexDamaged("Die Tabelle " + path + " lässt sich nicht öffnen: ihre Indexdatei " + mdxPath_ + " fehlt.");
        openIndexOrRecover();
        if (!mdx_->writable())
            refuseWritingFor("ihre Indexdatei", mdxPath_);
    }
    buffer_.assign(header_.recordLength, ' ');
    lastLook_ = readLookToken();
    first();
}

// An index left half written by a process that was killed or lost power is
// rebuilt with its own tags, even while others have the table open: they
// wait for the write lock meanwhile and then read the repaired file.
void Table::openIndexOrRecover()
{
    try {
        openIndex();
        return;
    } catch (const MdxIncomplete&) {
        mdx_.reset();
    } catch (const IndexDamaged&) {
        throw;
    } catch (const DbfError& e) {
        throw IndexDamaged(e.what());
    }
    checkIndexWritable();
    if (!canRepairIndex())
        throw IndexDamaged(incompleteMessage() + "; die Tabelle ist hier schreibgeschützt.");
    {
        WriteScope scope(*this);
        try {
            openIndex(); // another computer may have repaired it while we waited
        } catch (const MdxIncomplete&) {
            mdx_.reset();
            repairIncompleteIndex();
        }
    }
    needReadLock();
}

// Records changed without their memos or index entries would be broken, so
// a companion that may not be written makes the whole table read-only.
void Table::refuseWritingFor(const char* what, const std::string& file)
{
    if (!dbf_.writable())
        return; // refused for the table itself already
    if (exclusive_)
        throw DbfError("Die Tabelle " + path_ + " ist schreibgeschützt und lässt sich nicht exklusiv öffnen: " + what +
                       " " + file + " ist schreibgeschützt.");
    if (writeRefusal_.empty())
        writeRefusal_ = "Die Tabelle " + path_ + " kann hier nur gelesen werden: " + what + " " + file +
                        " ist schreibgeschützt.";
}

// The index would have to be rewritten: find out first whether it may be.
void Table::checkIndexWritable()
{
    if (!dbf_.writable())
        return;
    bool writable = true;
    try {
        writable = RawFile::open(mdxPath_, false).writable();
    } catch (const DbfError&) {
        // Not even readable: the repair reports that.
    }
    if (!writable)
        refuseWritingFor("ihre Indexdatei", mdxPath_);
}

bool Table::canRepairIndex() const
{
    return dbf_.writable() && writeRefusal_.empty() && !broken_;
}

std::string Table::incompleteMessage() const
{
    return "Der Index " + mdxPath_ + " der Tabelle " + path_ + " wurde beim Speichern unterbrochen und muss neu "
           "aufgebaut werden";
}

void Table::refreshIndexForWriting()
{
    try {
        mdx_->refresh();
    } catch (const MdxIncomplete&) {
        if (!canRepairIndex())
            throw;
        repairIncompleteIndex();
    }
}

// With the write lock held (or the table exclusive). The file is rewritten
// in place rather than replaced, so that the others' open handles see the
// repaired index; it stays marked until the last byte is written, so a kill
// during the repair leaves it for the next one to repair again.
void Table::repairIncompleteIndex()
{
    std::vector<TagSpec> specs;
    try {
        for (const TagInfo& tag : MdxIndex::tagsOfIncomplete(mdxPath_))
            specs.push_back({tag.name, tag.expression, tag.unique, tag.condition});
    } catch (const DbfError& e) {
        throw IndexDamaged(incompleteMessage() + "; seine Tags sind nicht lesbar (" + e.what() + ").");
    }
    const std::string current = currentTag();
    const std::string fresh = mdxPath_ + ".neu";
    cacheCount_ = 0;
    try {
        buildIndexFile(fresh, specs);
        MdxIndex::overwriteIncomplete(mdxPath_, fresh);
    } catch (const DbfError& e) {
        ::unlink(fresh.c_str());
        throw IndexDamaged(incompleteMessage() + ": " + e.what());
    }
    ::unlink(fresh.c_str());
    mdx_.reset();
    keys_.clear();
    tag_ = -1;
    openIndex();
    if (!current.empty() && mdx_->tagIndex(current) >= 0)
        tag_ = mdx_->tagIndex(current);
}

void Table::openIndex()
{
    mdx_ = MdxIndex::open(mdxPath_, dbf_.writable(), header_.fields, true);
    compileTags();
    setRecordSource();
}

void Table::compileTags()
{
    keys_.clear();
    conditions_.clear();
    conditionErrors_.clear();
    tagInfos_ = mdx_->tags();
    for (size_t t = 0; t < tagInfos_.size(); ++t) {
        const int tag = static_cast<int>(t);
        conditions_.emplace_back(std::nullopt);
        conditionErrors_.emplace_back();
        try {
            keys_.emplace_back(mdx_->keyExpression(tag));
        } catch (const DbfError&) {
            keys_.emplace_back(std::nullopt);
            continue;
        }
        try {
            if (const KeyExpression* condition = mdx_->condition(tag))
                conditions_.back() = *condition;
        } catch (const DbfError& e) {
            conditionErrors_.back() = e.what();
        }
    }
}

bool Table::meetsCondition(size_t tag, const std::string& record) const
{
    return tag >= conditions_.size() || !conditions_[tag] || conditions_[tag]->matches(record.data());
}

// Unique tags need the other records when the entry of a key goes away.
void Table::setRecordSource()
{
    mdx_->setRecordSource([this](const MdxIndex::RecordVisitor& visit) {
        std::string record;
        for (uint32_t r = 1; r <= header_.recordCount; ++r) {
            loadRecord(r, record, true);
            if (record[0] != '*')
                visit(r, record.data());
        }
    });
}

const KeyExpression& Table::tagKey(int tag) const
{
    const auto& key = keys_.at(static_cast<size_t>(tag));
    if (!key)
        throw DbfError("Der Schlüssel des Index " + tagInfos_[static_cast<size_t>(tag)].name + " der Tabelle " + path_ +
                       " (\"" + tagInfos_[static_cast<size_t>(tag)].expression + "\") kann nicht ausgewertet werden.");
    return *key;
}

void Table::verifyIndex()
{
    ReadScope scope(*this);
    needReadLock();
    for (size_t t = 0; mdx_ && t < tagInfos_.size(); ++t)
        mdx_->verify(static_cast<int>(t));
}

Table::~Table()
{
    forgetPerProcessOpen();
    try {
        if (state_ != State::Browse)
            cancel();
        if (mdx_ && dbf_.writable())
            mdx_->flush();
    } catch (...) {
        // Closing must not throw; everything posted is on disk already.
    }
}

void Table::create(const std::string& path, const std::vector<FieldDesc>& fields)
{
    DbfHeader header = makeDbfHeader(fields, path);
    bool dbtExists = false;
    const std::string dbt = companionPath(path, ".DBT", &dbtExists);
    if (header.hasMemoFields() && dbtExists)
        throw DbfError("Die Memodatei " + dbt + " besteht schon; die Tabelle " + path + " wird nicht angelegt.");
    RawFile f = RawFile::create(path);
    try {
        std::string bytes = serializeDbfHeader(header);
        bytes.push_back('\x1A');
        f.writeAt(0, bytes);
        if (header.hasMemoFields())
            MemoFile::create(dbt, stemOf(path));
    } catch (...) {
        f.close();
        ::unlink(path.c_str());
        throw;
    }
}

void Table::clearProductionIndexFlag(const std::string& path)
{
    RawFile f = RawFile::open(path, true);
    const uint64_t size = f.size();
    std::string bytes(32, '\0');
    bytes.resize(f.readSome(0, bytes.data(), 32));
    const uint16_t headerLength = headerLengthOf(bytes, size, path);
    bytes.resize(headerLength);
    f.readAt(0, bytes.data(), headerLength);
    parseDbfHeader(bytes, size, path); // only a table we understand is written to
    if (bytes[28] != 0) {
        const char zero = 0;
        f.writeAt(28, &zero, 1);
    }
}

void Table::rename(const std::string& from, const std::string& to)
{
    if (fileExists(to))
        throw DbfError("Die Tabelle " + from + " kann nicht in " + to + " umbenannt werden: das Ziel besteht schon.");
    RawFile f = RawFile::open(from, false);
    if (!f.tryLockExclusive(kOpenLock, 1) || openHereUnderPerProcessLocks(from))
        throw HeldElsewhere("Die Tabelle " + from + " ist noch geöffnet und kann nicht umbenannt werden.");
    std::vector<std::pair<std::string, std::string>> moves;
    for (const char* ext : {".DBT", ".MDX"}) {
        bool exists = false;
        const std::string src = companionPath(from, ext, &exists);
        if (!exists)
            continue;
        bool targetExists = false;
        const std::string dst = companionPath(to, ext, &targetExists);
        if (targetExists)
            throw DbfError("Die Tabelle " + from + " kann nicht umbenannt werden: " + dst + " besteht schon.");
        moves.emplace_back(src, dst);
    }
    moves.emplace_back(from, to);
    size_t done = 0;
    for (; done < moves.size(); ++done) {
        if (::rename(moves[done].first.c_str(), moves[done].second.c_str()) != 0)
            break;
    }
    if (done < moves.size()) {
        const int error = errno; // before the renames back change it
        const std::string failed = moves[done].first;
        while (done-- > 0)
            ::rename(moves[done].second.c_str(), moves[done].first.c_str());
        throw DbfError("Die Datei " + failed + " lässt sich nicht umbenennen: " + systemErrorText(error));
    }
    // Memo and index files carry the table's name; keep it in step.
    const std::string stem = upperAscii(stemOf(to));
    for (const auto& [src, dst] : moves) {
        (void)src;
        const std::string ext = upperAscii(dst.substr(dst.size() >= 4 ? dst.size() - 4 : 0));
        try {
            if (ext == ".DBT") {
                RawFile memo = RawFile::open(dst, true);
                char name[8] = {};
                std::memcpy(name, stem.data(), std::min<size_t>(8, stem.size()));
                if (memo.size() >= 512)
                    memo.writeAt(8, name, sizeof name);
            } else if (ext == ".MDX") {
                MdxIndex::renameTable(dst, stem);
            }
        } catch (const DbfError&) {
            // The files are renamed; a stale name inside does not stop them opening.
        }
    }
}

void Table::remove(const std::string& path)
{
    {
        RawFile f = RawFile::open(path, false);
        if (!f.tryLockExclusive(kOpenLock, 1) || openHereUnderPerProcessLocks(path))
            throw HeldElsewhere("Die Tabelle " + path + " ist noch geöffnet und kann nicht gelöscht werden.");
        for (const char* ext : {".DBT", ".MDX"}) {
            bool exists = false;
            const std::string p = companionPath(path, ext, &exists);
            if (exists)
                ::unlink(p.c_str());
        }
    }
    if (::unlink(path.c_str()) != 0) {
        const int error = errno;
        throw DbfError("Die Datei " + path + " lässt sich nicht löschen: " + systemErrorText(error));
    }
}

bool Table::stillAtPath() const
{
    if (!dbf_.isAt(path_))
        return false;
    if (memo_ && !memo_->isAt(memo_->path()))
        return false;
    return !mdx_ || mdx_->isAt(mdxPath_);
}

bool Table::inUse(const std::string& path)
{
    // Trying the open byte here would drop this process's own locks on a
    // file system with per-process locks.
    if (openHereUnderPerProcessLocks(path))
        return true;
    try {
        // Every open holds this byte shared; an exclusive try fails while anyone has it.
        RawFile f = RawFile::open(path, false);
        if (!f.tryLockExclusive(kOpenLock, 1))
            return true;
        f.unlock(kOpenLock, 1);
    } catch (const DbfError&) {
    }
    return false;
}

void Table::throwNoField(int index) const
{
    throw DbfError("Die Tabelle " + path_ + " hat kein Feld Nummer " + std::to_string(index + 1) + ".");
}

int Table::findField(std::string_view name) const
{
    char upper[16];
    if (name.size() > 11)
        return -1;
    for (size_t i = 0; i < name.size(); ++i)
        upper[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
    auto it = fieldByName_.find(std::string_view(upper, name.size()));
    return it == fieldByName_.end() ? -1 : it->second;
}

int Table::fieldIndex(std::string_view name) const
{
    const int i = findField(name);
    if (i < 0)
        throw DbfError("Die Tabelle " + path_ + " hat kein Feld " + std::string(name) + ".");
    return i;
}

} // namespace zedora::dbase
