#pragma once
// Block-level access to one .MDX file: the 2048-byte header with the tag
// table, cached node blocks, allocation through the free list, and the
// check whether another process changed the file.
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zedora::dbase {

class MdxFile {
public:
    // Opens and validates the header; throws DbfError naming the file.
    // acceptIncomplete: open a file marked as being written (read-only use).
    // readIfProtected: a file that may not be written opens for reading.
    static std::unique_ptr<MdxFile> open(const std::string& path, bool writable, bool acceptIncomplete = false,
                                         bool readIfProtected = false);
    // See MdxIndex::overwriteIncomplete.
    static bool overwriteIncomplete(const std::string& path, const std::string& freshPath);
    // Writes a new file with an empty tag table.
    static std::unique_ptr<MdxFile> create(const std::string& path, const std::string& dbfBaseName,
                                           int blockSize);
    ~MdxFile();
    MdxFile(const MdxFile&) = delete;
    MdxFile& operator=(const MdxFile&) = delete;

    const std::string& path() const { return path_; }
    bool writable() const { return writable_; }
    // Whether path names the very file this object has open.
    bool isAt(const std::string& path) const;
    int blockSize() const { return blockSize_; }
    uint32_t pagesPerBlock() const { return pagesPerBlock_; }
    uint32_t pageCount() const;

    const uint8_t* header() const { return header_.data(); }
    uint8_t* mutableHeader();

    // A block by its first page number; checked against the file's extent.
    const uint8_t* block(uint32_t page);
    uint8_t* mutableBlock(uint32_t page);
    // A zeroed block, from the free list or at the end of the file.
    uint32_t allocate();
    void release(uint32_t page);

    bool dirty() const { return dirty_; }
    // Between beginWrite() and the end of flush().
    bool writing() const { return markedOnDisk_; }
    // Marks the file on disk as being written before the table changes, so
    // that a cut anywhere until the end of flush() shows as an incomplete
    // index. durable: sync the mark, and the blocks before the header.
    void beginWrite(bool durable);
    void flush();
    // Drops pending changes after a failed table change. Puts back what
    // reached the disk and clears the mark; when that fails, or keepMark
    // asks so (the table itself could not be put back), the file stays
    // marked incomplete, this object writes nothing more and MdxIncomplete
    // is thrown.
    void abandonWrite(bool keepMark);
    // Lock bytes of the index file itself: taking them makes a network
    // client drop what it cached of the file.
    bool lock(bool exclusive, int timeoutMs);
    void unlock();
    // True when the file on disk is no longer the one this object read.
    bool changedOnDisk();
    // The change counter as stored in the file right now.
    uint32_t counterOnDisk();
    // Drops every cached block and pending change and reads the header again.
    void reload();

    // Throws DbfError naming the file; pending changes are dropped so that
    // nothing built on damaged data reaches the disk.
    [[noreturn]] void damaged(const std::string& what);
    [[noreturn]] void ioError(const std::string& what) const;
    void requireWritable() const;
    // Today as the three date bytes YY MM DD (year - 1900).
    static void writeToday(uint8_t* at);

private:
    MdxFile(std::string path, int fd, bool writable);
    void readHeader();
    void validateHeader();
    void checkFreeList();
    void rememberDiskState();
    void writeMark(uint8_t value);
    bool restoreOldBlocks();
    void syncFile();

    struct Block {
        std::vector<uint8_t> data;
        bool dirty = false;
    };

    std::string path_;
    int fd_ = -1;
    bool writable_ = false;
    int blockSize_ = 0;
    uint32_t pagesPerBlock_ = 0;
    std::vector<uint8_t> header_;
    bool headerDirty_ = false;
    bool dirty_ = false;
    bool broken_ = false;
    bool freeListChecked_ = false;
    bool markedOnDisk_ = false;
    bool acceptIncomplete_ = false;
    bool durable_ = false;
    bool blocksWritten_ = false;
    // What flush() wrote over, so that a failed change can be taken back.
    std::unordered_map<uint32_t, std::vector<uint8_t>> undo_;
    std::vector<uint8_t> undoHeader_;
    long long undoSize_ = -1;
    std::unordered_map<uint32_t, Block> cache_;
    // what the disk looked like when we last read or wrote it
    long long diskSize_ = -1;
    timespec diskTime_{};
    uint32_t diskCounter_ = 0;
};

} // namespace zedora::dbase
