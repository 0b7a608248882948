#include "dbase/memo_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zedora::dbase {

namespace {

constexpr size_t kCacheWindow = 64 * 1024;
// Longest memo we accept; protects against absurd lengths in damaged files.
constexpr uint32_t kMaxMemo = 64u * 1024 * 1024;

uint32_t le32(const char* p)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(p[0])) | static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(p[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(p[3])) << 24;
}

void put32(char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string baseName8(const std::string& name)
{
    std::string n = name.substr(0, 8);
    for (char& c : n)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return n;
}

} // namespace

MemoFile MemoFile::open(const std::string& path, bool dbase4, bool writable)
{
    MemoFile m;
    m.file_ = RawFile::open(path, writable);
    m.dbase4_ = dbase4;
    m.refresh();
    return m;
}

void MemoFile::create(const std::string& path, const std::string& dbfBaseName)
{
    RawFile f = RawFile::create(path);
    char header[kBlockSize] = {};
    put32(header, 1);
    const std::string name = baseName8(dbfBaseName);
    std::memcpy(header + 8, name.data(), name.size());
    header[18] = 0x02;
    header[19] = 0x01;
    header[20] = static_cast<char>(kBlockSize & 0xFF);
    header[21] = static_cast<char>(kBlockSize >> 8);
    f.writeAt(0, header, sizeof header);
}

void MemoFile::rewriteTableName(const std::string& dbfBaseName)
{
    char name[8] = {};
    const std::string n = baseName8(dbfBaseName);
    std::memcpy(name, n.data(), n.size());
    file_.writeAt(8, name, sizeof name);
}

void MemoFile::refresh()
{
    cache_.clear();
    fileSize_ = file_.size();
    char header[22];
    if (file_.readSome(0, header, sizeof header) != sizeof header)
        throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: der Dateikopf ist unvollständig.");
    nextFree_ = le32(header);
    blockSize_ = kBlockSize;
    if (dbase4_) {
        const uint32_t size = static_cast<uint8_t>(header[20]) | static_cast<uint8_t>(header[21]) << 8;
        // Some writers leave the field empty; dBase's default then applies.
        if (size != 0) {
            if (size < 64 || size % 64 != 0)
                throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: ungültige Blockgröße.");
            blockSize_ = size;
        }
    }
    if (nextFree_ == 0 || static_cast<uint64_t>(nextFree_) * blockSize_ > fileSize_ + blockSize_ * 2ull + 1)
        throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: der nächste freie Block liegt außerhalb der Datei.");
}

void MemoFile::dropCache()
{
    const std::array<uint64_t, 4> now = file_.stamp();
    if (!std::equal(now.begin(), now.end(), cacheStamp_))
        cache_.clear();
    fileSize_ = now[1];
}

size_t MemoFile::readCached(uint64_t offset, char* out, size_t length)
{
    if (length > kCacheWindow)
        return file_.readSome(offset, out, length);
    if (cache_.empty() || offset < cacheStart_ || offset + length > cacheStart_ + cache_.size()) {
        const std::array<uint64_t, 4> stamp = file_.stamp();
        std::copy(stamp.begin(), stamp.end(), cacheStamp_);
        cache_.resize(kCacheWindow);
        cacheStart_ = offset;
        cache_.resize(file_.readSome(offset, cache_.data(), kCacheWindow));
        if (cache_.empty())
            return 0;
    }
    const size_t have = std::min<uint64_t>(length, cacheStart_ + cache_.size() - offset);
    std::memcpy(out, cache_.data() + (offset - cacheStart_), have);
    return have;
}

std::string MemoFile::read(uint32_t block)
{
    if (block == 0)
        return {};
    const uint64_t start = static_cast<uint64_t>(block) * blockSize_;
    if (start >= fileSize_) {
        // Another process may have appended; look again before calling it damaged.
        fileSize_ = file_.size();
        cache_.clear();
        if (start >= fileSize_)
            throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: Verweis auf Block " +
                           std::to_string(block) + " außerhalb der Datei.");
    }
    if (dbase4_) {
        char head[8];
        if (readCached(start, head, 8) != 8)
            throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: Block " + std::to_string(block) + " ist unvollständig.");
        if (static_cast<uint8_t>(head[0]) == 0xFF && static_cast<uint8_t>(head[1]) == 0xFF) {
            const uint32_t length = le32(head + 4);
            if (length < 8 || length - 8 > kMaxMemo || start + length > fileSize_)
                throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: ungültige Länge in Block " +
                               std::to_string(block) + ".");
            std::string text(length - 8, '\0');
            if (readCached(start + 8, text.data(), text.size()) != text.size())
                throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: Block " + std::to_string(block) + " ist unvollständig.");
            return text;
        }
        // Without a block header the text runs to 0x1A, as in dBase III.
    }
    std::string text;
    char buf[512];
    uint64_t at = start;
    for (;;) {
        const size_t n = readCached(at, buf, sizeof buf);
        if (n == 0)
            return text; // end of file ends the text as well
        const char* end = static_cast<const char*>(std::memchr(buf, 0x1A, n));
        if (end) {
            text.append(buf, static_cast<size_t>(end - buf));
            return text;
        }
        text.append(buf, n);
        if (text.size() > kMaxMemo)
            throw DbfError("Die Memodatei " + file_.path() + " ist beschädigt: Text in Block " + std::to_string(block) + " ohne Ende.");
        at += n;
    }
}

uint32_t MemoFile::blocksUsed(uint32_t block)
{
    const std::string text = read(block);
    char head[2] = {};
    readCached(static_cast<uint64_t>(block) * blockSize_, head, 2);
    const bool withHeader = dbase4_ && static_cast<uint8_t>(head[0]) == 0xFF && static_cast<uint8_t>(head[1]) == 0xFF;
    const uint64_t bytes = text.size() + (withHeader ? 8 : 1);
    return static_cast<uint32_t>((bytes + blockSize_ - 1) / blockSize_);
}

uint32_t MemoFile::blocksFor(size_t textLength) const
{
    // dBase IV: 8 header bytes, the text, two 0x1F end marks.
    return static_cast<uint32_t>((textLength + 8 + 2 + blockSize_ - 1) / blockSize_);
}

uint32_t MemoFile::append(std::string_view text)
{
    if (text.empty())
        return 0;
    if (text.size() > kMaxMemo)
        throw DbfError("Der Memotext für " + file_.path() + " ist zu lang.");
    if (!dbase4_)
        throw DbfError("Die Memodatei " + file_.path() + " hat das Format von dBase III und wird nur gelesen.");
    refresh();
    const uint32_t need = blocksFor(text.size());
    std::string data(static_cast<size_t>(need) * blockSize_, '\0');
    data[0] = '\xFF';
    data[1] = '\xFF';
    data[2] = '\x08';
    data[3] = '\x00';
    put32(data.data() + 4, static_cast<uint32_t>(text.size() + 8));
    std::memcpy(data.data() + 8, text.data(), text.size());
    data[8 + text.size()] = '\x1F';
    data[8 + text.size() + 1] = '\x1F';
    const uint64_t endBlock = (fileSize_ + blockSize_ - 1) / blockSize_;
    const uint64_t block = std::max<uint64_t>(nextFree_, std::max<uint64_t>(endBlock, 1));
    if (block + need > 0xFFFFFFFFull / blockSize_)
        throw DbfError("Die Memodatei " + file_.path() + " ist voll.");
    file_.writeAt(block * blockSize_, data);
    nextFree_ = static_cast<uint32_t>(block + need);
    char next[4];
    put32(next, nextFree_);
    file_.writeAt(0, next, 4);
    cache_.clear();
    fileSize_ = file_.size();
    return static_cast<uint32_t>(block);
}

bool MemoFile::lock(bool exclusive, int timeoutMs)
{
    constexpr uint64_t kLockByte = 0x7FFFFFF1ull;
    try {
        return exclusive ? file_.lockExclusive(kLockByte, 1, timeoutMs) : file_.lockShared(kLockByte, 1, timeoutMs);
    } catch (const DbfError&) {
        // The table's own lock excludes the others; this one only makes a
        // network client look at the file afresh, so a refusal is no error.
        return true;
    }
}

void MemoFile::unlock()
{
    try {
        file_.unlock(0x7FFFFFF1ull, 1);
    } catch (const DbfError&) {
    }
}

} // namespace zedora::dbase
