#include "dbase/table.h"

#include "dbase/table_locks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <iterator>
#include <mutex>
#include <set>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace zedora::dbase {

namespace {

constexpr size_t kCacheBytes = 256 * 1024;
constexpr auto kCacheLifetime = std::chrono::milliseconds(250);

bool fileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string stemOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < start)
        dot = path.size();
    return path.substr(start, dot - start);
}

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

std::string_view trimRight(std::string_view s)
{
    // Wide fields are mostly blank: skip eight blanks at a time.
    constexpr uint64_t blanks = 0x2020202020202020ull;
    size_t n = s.size();
    while (n >= 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + n - 8, 8);
        if (word != blanks)
            break;
        n -= 8;
    }
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0'))
        --n;
    return s.substr(0, n);
}

std::string_view trimBoth(std::string_view s)
{
    s = trimRight(s);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

uint32_t le32(const char* p)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(p[0])) | static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(p[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(p[3])) << 24;
}

std::optional<double> parseNumber(std::string_view s)
{
    s = trimBoth(s);
    if (s.empty())
        return std::nullopt;
    if (s.front() == '+')
        s.remove_prefix(1);
    std::string tmp(s);
    for (char& c : tmp)
        if (c == ',')
            c = '.';
    double v = 0;
    auto [end, ec] = std::from_chars(tmp.data(), tmp.data() + tmp.size(), v);
    if (ec != std::errc() || end != tmp.data() + tmp.size())
        return std::nullopt;
    return v;
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

// Taken after the table's own lock, released before it. On a network file
// system taking a lock makes the client drop what it cached of that file,
// so the memo and index files are read as other computers left them.
void Table::lockCompanions(bool exclusive)
{
    if (exclusive_)
        return;
    if (memo_ && !memo_->lock(exclusive, kLockTimeoutMs))
        throw DbfError("Die Memodatei " + memo_->path() + " ist gesperrt.");
    if (mdx_ && !mdx_->lockFile(exclusive, kLockTimeoutMs)) {
        if (memo_)
            memo_->unlock();
        throw DbfError("Die Indexdatei " + mdxPath_ + " ist gesperrt.");
    }
}

void Table::unlockCompanions() noexcept
{
    if (exclusive_)
        return;
    if (mdx_)
        mdx_->unlockFile();
    if (memo_)
        memo_->unlock();
}

// ---------------------------------------------------------------- opening

std::unique_ptr<Table> Table::open(const std::string& path, OpenMode mode)
{
    std::unique_ptr<Table> t(new Table);
    t->openFiles(path, mode);
    return t;
}

void Table::openFiles(const std::string& path, OpenMode mode)
{
    path_ = path;
    exclusive_ = mode != OpenMode::Shared;
    dbf_ = RawFile::open(path, false);
    if (exclusive_ && !dbf_.writable())
        throw DbfError("Die Tabelle " + path + " ist schreibgeschützt und lässt sich nicht exklusiv öffnen.");
    if (exclusive_) {
        if (!dbf_.tryLockExclusive(kOpenLock, 1))
            throw DbfError("Die Tabelle " + path + " wird noch von einem anderen Programm benutzt und lässt sich nicht exklusiv öffnen.");
    } else if (!dbf_.tryLockShared(kOpenLock, 1)) {
        throw DbfError("Die Tabelle " + path + " ist von einem anderen Programm exklusiv geöffnet.");
    }
    guardPerProcessLocks(mode);
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
        if (exists)
            memo_ = MemoFile::open(dbt, header_.dbase4Memo(), dbf_.writable());
        else if (header_.hasMemoFields())
            throw DbfError("Die Memodatei " + dbt + " zur Tabelle " + path + " fehlt.");
    }
    bool mdxExists = false;
    mdxPath_ = companionPath(path, ".MDX", &mdxExists);
    if ((header_.productionIndex & 1) && mode == OpenMode::ExclusiveWithoutIndex) {
        indexSkipped_ = true;
    } else if (header_.productionIndex & 1) {
        if (!mdxExists)
            throw IndexDamaged("Die Tabelle " + path + " lässt sich nicht öffnen: ihre Indexdatei " + mdxPath_ + " fehlt.");
        openIndexOrRecover();
    }
    buffer_.assign(header_.recordLength, ' ');
    lastLook_ = readLookToken();
    first();
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
    if (::stat(path_.c_str(), &st) != 0)
        throw DbfError("Die Tabelle " + path_ + " lässt sich nicht öffnen: " + std::strerror(errno));
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

// An index left half written by a process that was killed or lost power is
// rebuilt with its own tags, as long as nobody else has the table open.
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
    const std::string incomplete = "Der Index " + mdxPath_ + " der Tabelle " + path_ +
                                   " wurde beim Speichern unterbrochen und muss neu aufgebaut werden";
    std::vector<TagSpec> specs;
    try {
        for (const TagInfo& tag : MdxIndex::tagsOfIncomplete(mdxPath_))
            specs.push_back({tag.name, tag.expression, tag.unique});
    } catch (const DbfError& e) {
        throw IndexDamaged(incomplete + "; seine Tags sind nicht lesbar (" + e.what() + ").");
    }
    if (!dbf_.writable() || !writeRefusal_.empty())
        throw IndexDamaged(incomplete + "; die Tabelle ist hier schreibgeschützt.");
    const bool wasExclusive = exclusive_;
    if (!exclusive_ && !dbf_.tryLockExclusive(kOpenLock, 1))
        throw IndexDamaged(incomplete + ". Das geschieht beim Öffnen, sobald sie an keinem anderen Arbeitsplatz mehr "
                                        "geöffnet ist.");
    exclusive_ = true;
    try {
        rebuildIndex(specs);
    } catch (const DbfError& e) {
        exclusive_ = wasExclusive;
        if (!wasExclusive)
            dbf_.tryLockShared(kOpenLock, 1);
        throw IndexDamaged(incomplete + ": " + e.what());
    }
    exclusive_ = wasExclusive;
    // Back to a shared open (converting the lock never lets anyone in between).
    if (!wasExclusive)
        dbf_.tryLockShared(kOpenLock, 1);
}

void Table::openIndex()
{
    mdx_ = MdxIndex::open(mdxPath_, dbf_.writable(), header_.fields);
    compileTags();
    setRecordSource();
}

void Table::compileTags()
{
    keys_.clear();
    tagInfos_ = mdx_->tags();
    for (size_t t = 0; t < tagInfos_.size(); ++t) {
        try {
            keys_.emplace_back(mdx_->keyExpression(static_cast<int>(t)));
        } catch (const DbfError&) {
            keys_.emplace_back(std::nullopt);
        }
    }
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
    if (registered_) {
        std::lock_guard<std::mutex> lock(perProcessMutex);
        perProcessTables.erase({fileId_[0], fileId_[1]});
    }
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
    if (!f.tryLockExclusive(kOpenLock, 1))
        throw DbfError("Die Tabelle " + from + " ist noch geöffnet und kann nicht umbenannt werden.");
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
        const std::string failed = moves[done].first;
        while (done-- > 0)
            ::rename(moves[done].second.c_str(), moves[done].first.c_str());
        throw DbfError("Die Datei " + failed + " lässt sich nicht umbenennen: " + std::strerror(errno));
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
        if (!f.tryLockExclusive(kOpenLock, 1))
            throw DbfError("Die Tabelle " + path + " ist noch geöffnet und kann nicht gelöscht werden.");
        for (const char* ext : {".DBT", ".MDX"}) {
            bool exists = false;
            const std::string p = companionPath(path, ext, &exists);
            if (exists)
                ::unlink(p.c_str());
        }
    }
    if (::unlink(path.c_str()) != 0)
        throw DbfError("Die Datei " + path + " lässt sich nicht löschen: " + std::strerror(errno));
}

// ---------------------------------------------------------------- fields

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

// ---------------------------------------------------------------- reading

void Table::needReadLock()
{
    if (exclusive_ || readLocked_ || writeLocked_)
        return;
    if (!dbf_.lockShared(kDataLock, 1, kLockTimeoutMs))
        throw DbfError("Die Tabelle " + path_ + " ist gesperrt; an einem anderen Arbeitsplatz wird gerade gespeichert.");
    readLocked_ = true;
    lockCompanions(false);
    if (mdx_)
        mdx_->refresh();
    if (memo_)
        memo_->dropCache();
}

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

bool Table::keyInRange(std::string_view key) const
{
    if (!rangeApplied_)
        return true;
    if (hasRangeStart_ && compareKeys(key.substr(0, rangeStart_.size()), rangeStart_) < 0)
        return false;
    if (hasRangeEnd_ && compareKeys(key.substr(0, rangeEnd_.size()), rangeEnd_) > 0)
        return false;
    return true;
}

// Walks the tag from e (inclusive) until a visible record in range.
bool Table::stepIndex(bool forward, std::optional<IndexEntry> e)
{
    needReadLock();
    while (e) {
        if (rangeApplied_) {
            if (forward && hasRangeEnd_ && compareKeys(std::string_view(e->key).substr(0, rangeEnd_.size()), rangeEnd_) > 0)
                return false;
            if (!forward && hasRangeStart_ && compareKeys(std::string_view(e->key).substr(0, rangeStart_.size()), rangeStart_) < 0)
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
    std::optional<IndexEntry> e = rangeApplied_ && hasRangeStart_ ? mdx_->seek(tag_, rangeStart_) : mdx_->first(tag_);
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
        std::optional<IndexEntry> probe = mdx_->seek(tag_, rangeEnd_);
        while (probe && compareKeys(std::string_view(probe->key).substr(0, rangeEnd_.size()), rangeEnd_) <= 0)
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

// ---------------------------------------------------------------- values

std::string_view Table::textView(int index) const
{
    const FieldDesc& f = field(index);
    std::string_view raw(buffer_.data() + f.offset, static_cast<size_t>(f.length));
    switch (f.type) {
    case 'N':
    case 'F':
        return trimBoth(raw);
    case 'D': {
        std::string_view d = trimBoth(raw);
        // GDAL writes an empty date as zeros.
        return d == "00000000" ? std::string_view() : d;
    }
    default:
        return trimRight(raw);
    }
}

std::string Table::text(int index) const
{
    if (field(index).type == 'M')
        return memo(index);
    return std::string(textView(index));
}

uint32_t Table::memoBlock(int index, const std::string& record) const
{
    const FieldDesc& f = header_.fields[static_cast<size_t>(index)];
    std::string_view raw = trimBoth(std::string_view(record.data() + f.offset, static_cast<size_t>(f.length)));
    if (raw.empty())
        return 0;
    uint64_t block = 0;
    if (!allDigits(raw) || raw.size() > 10 || (block = std::stoull(std::string(raw))) > 0xFFFFFFFFull)
        throw DbfError("Die Tabelle " + path_ + " ist beschädigt: ungültiger Memoverweis im Feld " + f.name + ".");
    return static_cast<uint32_t>(block);
}

std::string Table::memo(int index) const
{
    const FieldDesc& f = field(index);
    if (f.type != 'M')
        throw DbfError("Das Feld " + f.name + " der Tabelle " + path_ + " ist kein Memofeld.");
    if (auto it = pendingMemos_.find(index); it != pendingMemos_.end())
        return it->second;
    const uint32_t block = memoBlock(index, buffer_);
    if (block == 0)
        return {};
    if (!memo_)
        throw DbfError("Die Memodatei zur Tabelle " + path_ + " fehlt.");
    // Under the read lock, so that a memo another process is writing is
    // never read half done and one it wrote is not taken from the cache.
    ReadScope scope(*this);
    const_cast<Table*>(this)->needReadLock();
    return const_cast<MemoFile&>(*memo_).read(block);
}

void Table::readMemo(int index, std::ostream& out) const
{
    const std::string m = memo(index);
    out.write(m.data(), static_cast<std::streamsize>(m.size()));
}

Value Table::value(int index) const
{
    const FieldDesc& f = field(index);
    switch (f.type) {
    case 'M':
        return memo(index);
    case 'N':
    case 'F': {
        auto v = parseNumber(textView(index));
        return v ? Value(*v) : Value();
    }
    case 'D': {
        std::string_view d = textView(index);
        if (d.size() != 8 || !allDigits(d))
            return Value();
        return Date{std::stoi(std::string(d.substr(0, 4))), std::stoi(std::string(d.substr(4, 2))),
                    std::stoi(std::string(d.substr(6, 2)))};
    }
    case 'L': {
        const char c = buffer_[static_cast<size_t>(f.offset)];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'J' || c == 'j')
            return true;
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return false;
        return Value();
    }
    default: {
        std::string_view t = textView(index);
        return t.empty() ? Value() : Value(std::string(t));
    }
    }
}

void Table::checkEditing(const char* what) const
{
    if (what == nullptr) {
        // Moving the cursor while a record is being edited would lose the edit.
        if (state_ != State::Browse)
            throw DbfError("In der Tabelle " + path_ + " wird gerade ein Datensatz bearbeitet.");
        return;
    }
    if (state_ == State::Browse)
        throw DbfError(std::string("Die Tabelle ") + path_ + " ist nicht im Bearbeitungsmodus (" + what + ").");
}

void Table::checkWritable() const
{
    if (!dbf_.writable())
        throw DbfError("Die Tabelle " + path_ + " ist schreibgeschützt.");
    if (!writeRefusal_.empty())
        throw DbfError(writeRefusal_);
    if (broken_)
        throw DbfError("Eine Änderung der Tabelle " + path_ + " ist misslungen und konnte nicht rückgängig gemacht "
                       "werden. Bitte die Tabelle schließen und neu öffnen; ihr Index wird dann neu aufgebaut.");
    if (indexSkipped_)
        throw DbfError("Die Tabelle " + path_ + " ist ohne ihren Index geöffnet und kann erst nach dem Neuaufbau des Index geändert werden.");
    for (size_t t = 0; t < keys_.size(); ++t)
        if (!keys_[t])
            throw DbfError("Die Tabelle " + path_ + " kann nur gelesen werden: ihr Index " + tagInfos_[t].name +
                           " hat einen Schlüssel, der nicht gepflegt werden kann.");
}

void Table::setText(int index, std::string_view text)
{
    checkEditing("Wert setzen");
    const FieldDesc& f = field(index);
    char* dst = buffer_.data() + f.offset;
    const size_t width = static_cast<size_t>(f.length);
    switch (f.type) {
    case 'M':
        setMemo(index, text);
        return;
    case 'C': {
        const size_t n = std::min(width, text.size());
        std::memcpy(dst, text.data(), n);
        std::memset(dst + n, ' ', width - n);
        return;
    }
    case 'N':
    case 'F': {
        std::string_view t = trimBoth(text);
        if (t.empty()) {
            std::memset(dst, ' ', width);
            return;
        }
        auto v = parseNumber(t);
        if (!v)
            throw DbfError("\"" + std::string(text) + "\" ist keine Zahl (Feld " + f.name + ", Tabelle " + path_ + ").");
        setValue(index, *v);
        return;
    }
    case 'D': {
        std::string_view t = trimBoth(text);
        if (t.empty()) {
            std::memset(dst, ' ', width);
            return;
        }
        if (t.size() != 8 || !allDigits(t))
            throw DbfError("\"" + std::string(text) + "\" ist kein Datum JJJJMMTT (Feld " + f.name + ", Tabelle " + path_ + ").");
        std::memcpy(dst, t.data(), 8);
        return;
    }
    case 'L': {
        std::string_view t = trimBoth(text);
        char c = ' ';
        if (!t.empty()) {
            const char x = t[0];
            if (std::strchr("TtYyJj", x))
                c = 'T';
            else if (std::strchr("FfNn", x))
                c = 'F';
            else if (x != '?')
                throw DbfError("\"" + std::string(text) + "\" ist kein Wahrheitswert (Feld " + f.name + ", Tabelle " + path_ + ").");
        }
        *dst = c;
        return;
    }
    }
}

void Table::setValue(int index, const Value& v)
{
    checkEditing("Wert setzen");
    const FieldDesc& f = field(index);
    if (std::holds_alternative<std::monostate>(v)) {
        if (f.type == 'M')
            setMemo(index, {});
        else
            std::memset(buffer_.data() + f.offset, ' ', static_cast<size_t>(f.length));
        return;
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        setText(index, *s);
        return;
    }
    if (const auto* b = std::get_if<bool>(&v)) {
        setText(index, *b ? "T" : "F");
        return;
    }
    if (const auto* d = std::get_if<Date>(&v)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d->year % 10000, d->month % 100, d->day % 100);
        setText(index, buf);
        return;
    }
    const double number = std::get<double>(v);
    if (f.type == 'N' || f.type == 'F') {
        char buf[64];
        int n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, number);
        if (!std::isfinite(number) || n < 0 || n > f.length)
            throw DbfError("Die Zahl " + std::string(buf) + " passt nicht in das Feld " + f.name + " der Tabelle " + path_ + ".");
        std::memcpy(buffer_.data() + f.offset, buf, static_cast<size_t>(f.length));
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", number);
    setText(index, buf);
}

void Table::setMemo(int index, std::string_view text)
{
    checkEditing("Memo setzen");
    const FieldDesc& f = field(index);
    if (f.type != 'M')
        throw DbfError("Das Feld " + f.name + " der Tabelle " + path_ + " ist kein Memofeld.");
    if (!memo_ || !header_.dbase4Memo())
        throw DbfError("Die Memodatei zur Tabelle " + path_ + " kann nicht beschrieben werden.");
    pendingMemos_[index] = std::string(text);
}

void Table::writeMemo(int index, std::istream& in)
{
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    setMemo(index, text);
}

// ---------------------------------------------------------------- editing

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
            throw DbfError("Der Datensatz " + std::to_string(recno_) + " der Tabelle " + path_ +
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

void Table::releaseRecordLock()
{
    if (lockedRecord_ != 0)
        dbf_.unlock(kRecordLockBase + lockedRecord_, 1);
    lockedRecord_ = 0;
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
        std::string oldKey = oldRecord ? tagKey(tag).evaluate(oldRecord->data()) : std::string();
        std::string newKey = newRecord ? tagKey(tag).evaluate(newRecord->data()) : std::string();
        if (oldRecord && newRecord && oldKey == newKey)
            continue;
        if (oldRecord)
            mdx_->remove(tag, oldKey, recno);
        if (newRecord)
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
        return;
    }
    try {
        if (mdx_)
            mdx_->abandonWrite();
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
    if (!dbf_.writable())
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
            throw DbfError("Der Datensatz " + std::to_string(recno_) + " der Tabelle " + path_ +
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

// ---------------------------------------------------------------- tags

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
    const int length = tagInfos_[static_cast<size_t>(tag_)].keyLength;
    std::string padded(key.substr(0, static_cast<size_t>(length)));
    padded.resize(static_cast<size_t>(length), ' ');
    const uint32_t saved = recno_;
    const IndexEntry savedEntry = entry_;
    for (std::optional<IndexEntry> e = mdx_->seek(tag_, padded); e && compareKeys(e->key, padded) == 0;
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
    std::string k(key);
    if (rangeApplied_ && hasRangeStart_ && compareKeys(k.substr(0, rangeStart_.size()), rangeStart_) < 0)
        k = rangeStart_;
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

void Table::addIndexTag(const std::string& name, const std::string& expression, bool unique)
{
    checkWritable();
    checkEditing(nullptr);
    if (!exclusive_)
        throw DbfError("Ein Index kann nur zu einer exklusiv geöffneten Tabelle hinzugefügt werden (" + path_ + ").");
    KeyExpression key = KeyExpression::compile(expression, header_.fields);
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
    mdx_->addTag(tagName, key, unique, [this](const MdxIndex::RecordVisitor& visit) {
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

void Table::rebuildIndex(const std::vector<TagSpec>& specs)
{
    if (!dbf_.writable())
        throw DbfError("Die Tabelle " + path_ + " ist schreibgeschützt.");
    checkEditing(nullptr);
    if (!exclusive_)
        throw DbfError("Der Index kann nur bei exklusiv geöffneter Tabelle neu aufgebaut werden (" + path_ + ").");
    std::vector<KeyExpression> compiled;
    for (const TagSpec& s : specs)
        compiled.push_back(KeyExpression::compile(s.expression, header_.fields));
    const std::string fresh = mdxPath_ + ".neu";
    ::unlink(fresh.c_str());
    WriteScope scope(*this);
    {
        std::unique_ptr<MdxIndex> index = MdxIndex::create(fresh, upperAscii(stemOf(path_)));
        try {
            for (size_t i = 0; i < specs.size(); ++i) {
                index->addTag(upperAscii(specs[i].name), compiled[i], specs[i].unique,
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
    const std::string current = currentTag();
    mdx_.reset();
    keys_.clear();
    tag_ = -1;
    if (::rename(fresh.c_str(), mdxPath_.c_str()) != 0)
        throw DbfError("Die Indexdatei " + mdxPath_ + " lässt sich nicht ersetzen: " + std::strerror(errno));
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
