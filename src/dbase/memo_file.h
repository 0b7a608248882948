#pragma once
// The .DBT memo file. Reads dBase III memos (text ended by 0x1A) and
// dBase IV memos (block header FF FF 08 00 + length); writes dBase IV memos
// with 512-byte blocks.
#include "dbase/raw_file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zedora::dbase {

class MemoFile {
public:
    static constexpr uint32_t kBlockSize = 512;

    // dbase4: the layout the table's version byte announces. writable: fail
    // unless the file can be written; otherwise a write-protected file opens
    // for reading and writable() says so.
    static MemoFile open(const std::string& path, bool dbase4, bool writable);
    // A new, empty dBase IV memo file for the table named dbfBaseName.
    static void create(const std::string& path, const std::string& dbfBaseName);

    const std::string& path() const { return file_.path(); }
    uint32_t blockSize() const { return blockSize_; }
    bool writable() const { return file_.writable(); }
    // Whether path names the very file this object has open.
    bool isAt(const std::string& path) const { return file_.isAt(path); }

    // Block 0 (or a blank pointer) is the empty memo. Throws DbfError for a
    // pointer or length outside the file.
    std::string read(uint32_t block);
    // How many blocks the memo at block occupies; throws as read() does.
    uint32_t blocksUsed(uint32_t block);
    // Blocks the file holds, counting a last partial one.
    uint64_t blockCount() const { return (fileSize_ + blockSize_ - 1) / blockSize_; }
    // Writes text into fresh blocks and returns the first; empty text
    // returns 0. Old texts are never overwritten: until the record points to
    // the new blocks it keeps its old text, whatever happens in between.
    // New blocks start past both the header's next-block pointer and the end
    // of the file, as other writers keep a free-block chain behind that
    // pointer. The caller holds the table's write lock.
    uint32_t append(std::string_view text);
    // Lock bytes of the memo file itself: taking them makes a network client
    // drop what it cached of the file. False on timeout.
    bool lock(bool exclusive, int timeoutMs);
    void unlock();

    // Re-reads the header (another process may have added memos) and drops
    // cached data.
    void refresh();
    // Called once another process may have written: keeps what was read
    // only while the file is the same one, as long and as old as then. This
    // program never rewrites a memo's blocks in place (new texts go to new
    // blocks at the end), so a write shows in the size.
    void dropCache();
    void sync() { file_.sync(); }
    void rewriteTableName(const std::string& dbfBaseName);

private:
    uint32_t blocksFor(size_t textLength) const;
    size_t readCached(uint64_t offset, char* out, size_t length);

    RawFile file_;
    bool dbase4_ = true;
    uint32_t blockSize_ = kBlockSize;
    uint32_t nextFree_ = 1;
    uint64_t fileSize_ = 0;
    // One cached window of the file for fast sequential reading.
    std::string cache_;
    uint64_t cacheStart_ = 0;
    uint64_t cacheStamp_[4] = {}; // inode, size, modification time of the file the cache came from
};

} // namespace zedora::dbase
