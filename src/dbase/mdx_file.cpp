#include "dbase/mdx_file.h"

#include "dbase/error.h"
#include "dbase/io_hook.h"
#include "dbase/index.h"
#include "dbase/mdx_format.h"
#include "dbase/system_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace zedora::dbase {

using namespace mdx;

namespace {

// On failure errno tells why; 0 when the file simply ended.
bool readFully(int fd, void* buffer, size_t size, off_t offset) {
    auto* p = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = 0;
        if (n <= 0) return false;
        p += n; size -= static_cast<size_t>(n); offset += n;
    }
    return true;
}

// On failure errno tells why.
bool writeFully(int fd, const void* buffer, size_t size, off_t offset, const std::string& path) {
    if (const int simulated = callIoHook(IoStep::Write, path)) {
        errno = simulated;
        return false;
    }
    const auto* p = static_cast<const uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        p += n; size -= static_cast<size_t>(n); offset += n;
    }
    return true;
}

// The reason of the last failed call, read from errno at once.
std::string lastFailure() {
    const int error = errno;
    return error == 0 ? std::string("Datei zu kurz") : systemErrorText(error);
}

// Every open for writing goes through the test hook first.
int openForWriting(const std::string& path, int flags, mode_t mode = 0) {
    if (const int simulated = callIoHook(IoStep::OpenForWriting, path)) {
        errno = simulated;
        return -1;
    }
    return ::open(path.c_str(), flags, mode);
}

bool refusedAsProtected(int error) { return error == EACCES || error == EPERM || error == EROFS; }

} // namespace

MdxFile::MdxFile(std::string path, int fd, bool writable)
    : path_(std::move(path)), fd_(fd), writable_(writable), header_(kHeaderPages * kPageSize) {}

MdxFile::~MdxFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<MdxFile> MdxFile::open(const std::string& path, bool writable, bool acceptIncomplete,
                                       bool readIfProtected) {
    int fd = -1;
    if (writable) {
        fd = openForWriting(path, O_RDWR | O_CLOEXEC);
        if (fd < 0 && readIfProtected && refusedAsProtected(errno)) {
            writable = false;
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        }
    } else {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0)
        throw DbfError("Die Indexdatei " + path + " kann nicht geöffnet werden: " + lastFailure());
    std::unique_ptr<MdxFile> file(new MdxFile(path, fd, writable));
    file->acceptIncomplete_ = acceptIncomplete && !writable;
    file->readHeader();
    return file;
}

bool MdxFile::overwriteIncomplete(const std::string& path, const std::string& freshPath) {
    std::vector<uint8_t> fresh;
    {
        const int in = ::open(freshPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            throw DbfError("Die Indexdatei " + freshPath + " kann nicht geöffnet werden: " + lastFailure());
        struct stat st{};
        const bool ok = ::fstat(in, &st) == 0 && st.st_size >= off_t(kHeaderPages * kPageSize) &&
                        (fresh.resize(size_t(st.st_size)), readFully(in, fresh.data(), fresh.size(), 0));
        ::close(in);
        if (!ok) throw DbfError("Die Indexdatei " + freshPath + " ist nicht lesbar.");
    }
    const int fd = openForWriting(path, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        throw DbfError("Die Indexdatei " + path + " kann nicht geöffnet werden: " + lastFailure());
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    auto fail = [&](const char* what) {
        const std::string reason = what ? std::string(what) : lastFailure();
        throw DbfError("Fehler beim Zugriff auf die Indexdatei " + path + ": " + reason);
    };
    auto step = [](IoStep io, const std::string& file) {
        if (const int simulated = callIoHook(io, file)) {
            errno = simulated;
            return false;
        }
        return true;
    };
    uint8_t mark = 0;
    uint8_t counter[4] = {};
    if (!readFully(fd, &mark, 1, header::writing) || !readFully(fd, counter, 4, header::changeCounter))
        fail("Kopf nicht lesbar");
    if (mark != 1) return false;
    // Stays marked until everything is in; a new counter tells every reader
    // to drop what it cached of the old tree.
    fresh[header::writing] = 1;
    put32(fresh.data() + header::changeCounter, get32(counter) + 1);
    if (!writeFully(fd, fresh.data(), fresh.size(), 0, path)) fail(nullptr);
    if (!step(IoStep::Write, path) || ::ftruncate(fd, off_t(fresh.size())) != 0) fail(nullptr);
    if (!step(IoStep::Sync, path) || ::fdatasync(fd) != 0) fail(nullptr);
    const uint8_t done = 0;
    if (!writeFully(fd, &done, 1, header::writing, path)) fail(nullptr);
    if (!step(IoStep::Sync, path) || ::fdatasync(fd) != 0) fail(nullptr);
    return true;
}

std::unique_ptr<MdxFile> MdxFile::create(const std::string& path, const std::string& dbfBaseName,
                                         int blockSize) {
    if (blockSize < kPageSize || blockSize > 32 * kPageSize || blockSize % kPageSize != 0)
        throw DbfError("Die Indexdatei " + path + ": ungültige Blockgröße " + std::to_string(blockSize));
    const int fd = openForWriting(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw DbfError("Die Indexdatei " + path + " kann nicht angelegt werden: " + lastFailure());
    std::unique_ptr<MdxFile> file(new MdxFile(path, fd, true));
    uint8_t* h = file->header_.data();
    h[header::version] = 2;
    writeToday(h + header::created);
    for (size_t i = 0; i < dbfBaseName.size() && i < size_t(header::dbfNameLength); ++i) {
        char c = dbfBaseName[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        h[header::dbfName + i] = static_cast<uint8_t>(c);
    }
    put16(h + header::pagesPerBlock, static_cast<uint16_t>(blockSize / kPageSize));
    put16(h + header::blockSize, static_cast<uint16_t>(blockSize));
    h[header::production] = 1;
    h[header::entrySlots] = kTagEntrySlots;
    h[header::entryLength] = kTagEntryLength;
    h[header::nextTag] = 1;
    h[header::marker] = 0x1B;
    put32(h + header::pageCount, kHeaderPages);
    file->blockSize_ = blockSize;
    file->pagesPerBlock_ = static_cast<uint32_t>(blockSize / kPageSize);
    file->freeListChecked_ = true;
    file->headerDirty_ = file->dirty_ = true;
    file->flush();
    return file;
}

bool MdxFile::isAt(const std::string& path) const {
    struct stat open{}, named{};
    if (::fstat(fd_, &open) != 0 || ::stat(path.c_str(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

uint32_t MdxFile::pageCount() const { return get32(header_.data() + header::pageCount); }

void MdxFile::readHeader() {
    struct stat st{};
    if (::fstat(fd_, &st) != 0) ioError(lastFailure());
    if (st.st_size < off_t(header_.size()))
        throw MdxIncomplete("Die Indexdatei " + path_ + " ist zu kurz für eine MDX-Datei.");
    if (!readFully(fd_, header_.data(), header_.size(), 0)) ioError("Kopf nicht lesbar");
    validateHeader();
    rememberDiskState();
}

void MdxFile::validateHeader() {
    const uint8_t* h = header_.data();
    auto bad = [this](const std::string& what) {
        throw DbfError("Die Datei " + path_ + " ist keine gültige MDX-Indexdatei (" + what + ").");
    };
    if (h[header::version] != 2) bad("Kennung");
    if (h[header::writing] == 1 && !acceptIncomplete_)
        throw MdxIncomplete("Die Indexdatei " + path_ +
                       " wurde nicht vollständig geschrieben und muss neu aufgebaut werden.");
    const uint32_t ppb = get16(h + header::pagesPerBlock);
    const int size = get16(h + header::blockSize);
    if (ppb < 1 || ppb > 32 || size != int(ppb) * kPageSize) bad("Blockgröße");
    if (h[header::entryLength] != kTagEntryLength) bad("Länge der Tag-Einträge");
    const int tags = get16(h + header::tagsUsed);
    if (tags > kMaxTags || tags > h[header::entrySlots]) bad("Anzahl der Tags");
    struct stat st{};
    if (::fstat(fd_, &st) != 0) ioError(lastFailure());
    const uint32_t pages = get32(h + header::pageCount);
    if (pages < kHeaderPages || (long long)pages * kPageSize > (long long)st.st_size)
        bad("Seitenzahl passt nicht zur Dateigröße");
    const uint32_t firstFree = get32(h + header::firstFree);
    if (firstFree != 0 && (firstFree < kHeaderPages || firstFree + ppb > pages)) bad("Freiliste");
    blockSize_ = size;
    pagesPerBlock_ = ppb;
}

void MdxFile::rememberDiskState() {
    struct stat st{};
    if (::fstat(fd_, &st) != 0) ioError(lastFailure());
    diskSize_ = st.st_size;
    diskTime_ = st.st_mtim;
    diskCounter_ = get32(header_.data() + header::changeCounter);
}

bool MdxFile::changedOnDisk() {
    struct stat st{};
    if (::fstat(fd_, &st) != 0) ioError(lastFailure());
    if (st.st_size != diskSize_ || st.st_mtim.tv_sec != diskTime_.tv_sec ||
        st.st_mtim.tv_nsec != diskTime_.tv_nsec)
        return true;
    uint8_t counter[4];
    if (!readFully(fd_, counter, 4, header::changeCounter)) return true;
    return get32(counter) != diskCounter_;
}

uint32_t MdxFile::counterOnDisk() {
    uint8_t counter[4];
    if (!readFully(fd_, counter, 4, header::changeCounter)) ioError(lastFailure());
    return get32(counter);
}

void MdxFile::reload() {
    cache_.clear();
    dirty_ = headerDirty_ = false;
    freeListChecked_ = false;
    broken_ = false;
    readHeader();
}

void MdxFile::damaged(const std::string& what) {
    cache_.clear();
    dirty_ = headerDirty_ = false;
    broken_ = true;
    throw DbfError("Die Indexdatei " + path_ + " ist beschädigt: " + what + ".");
}

void MdxFile::ioError(const std::string& what) const {
    throw DbfError("Fehler beim Zugriff auf die Indexdatei " + path_ + ": " + what);
}

void MdxFile::requireWritable() const {
    if (!writable_) throw DbfError("Die Indexdatei " + path_ + " ist nur zum Lesen geöffnet.");
    if (broken_) throw DbfError("Die Indexdatei " + path_ + " ist beschädigt und wird nicht geändert.");
}

uint8_t* MdxFile::mutableHeader() {
    requireWritable();
    headerDirty_ = dirty_ = true;
    return header_.data();
}

const uint8_t* MdxFile::block(uint32_t page) {
    if (broken_) throw DbfError("Die Indexdatei " + path_ + " ist beschädigt.");
    auto it = cache_.find(page);
    if (it != cache_.end()) return it->second.data.data();
    if (page < kHeaderPages || page > pageCount() || pageCount() - page < pagesPerBlock_)
        damaged("Verweis auf Seite " + std::to_string(page) + " außerhalb der Datei");
    Block b;
    b.data.resize(static_cast<size_t>(blockSize_));
    if (!readFully(fd_, b.data.data(), b.data.size(), off_t(page) * kPageSize))
        damaged("Block " + std::to_string(page) + " nicht lesbar");
    return cache_.emplace(page, std::move(b)).first->second.data.data();
}

uint8_t* MdxFile::mutableBlock(uint32_t page) {
    requireWritable();
    block(page);
    Block& b = cache_[page];
    b.dirty = dirty_ = true;
    return b.data.data();
}

void MdxFile::checkFreeList() {
    std::unordered_set<uint32_t> seen;
    uint32_t page = get32(header_.data() + header::firstFree);
    while (page != 0) {
        if (!seen.insert(page).second) damaged("Schleife in der Freiliste");
        page = get32(block(page) + 4);
    }
    freeListChecked_ = true;
}

uint32_t MdxFile::allocate() {
    requireWritable();
    if (!freeListChecked_) checkFreeList();
    uint8_t* h = mutableHeader();
    uint32_t page = get32(h + header::firstFree);
    if (page != 0) {
        uint8_t* b = mutableBlock(page);
        put32(h + header::firstFree, get32(b + 4));
        const uint32_t avail = get32(h + header::freeBlocks);
        put32(h + header::freeBlocks, avail > 0 ? avail - 1 : 0);
        std::memset(b, 0, static_cast<size_t>(blockSize_));
        return page;
    }
    // Never inside bytes the file already has, even if its page count is low.
    page = std::max(pageCount(), uint32_t((diskSize_ + kPageSize - 1) / kPageSize));
    if (uint64_t(page) + pagesPerBlock_ > 0x7FFFFFFFu / kPageSize) damaged("Datei zu groß");
    put32(h + header::pageCount, page + pagesPerBlock_);
    Block b;
    b.data.assign(static_cast<size_t>(blockSize_), 0);
    b.dirty = true;
    cache_[page] = std::move(b);
    return page;
}

void MdxFile::release(uint32_t page) {
    uint8_t* b = mutableBlock(page);
    uint8_t* h = mutableHeader();
    std::memset(b, 0, static_cast<size_t>(blockSize_));
    put32(b + 4, get32(h + header::firstFree));
    put32(h + header::firstFree, page);
    put32(h + header::freeBlocks, get32(h + header::freeBlocks) + 1);
}

void MdxFile::writeToday(uint8_t* at) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    at[0] = static_cast<uint8_t>(local.tm_year);
    at[1] = static_cast<uint8_t>(local.tm_mon + 1);
    at[2] = static_cast<uint8_t>(local.tm_mday);
}

void MdxFile::writeMark(uint8_t value) {
    if (!writeFully(fd_, &value, 1, header::writing, path_)) ioError(lastFailure());
    if (durable_) syncFile();
}

void MdxFile::syncFile() {
    if (const int simulated = callIoHook(IoStep::Sync, path_)) {
        errno = simulated;
        ioError(lastFailure());
    }
    if (::fdatasync(fd_) != 0) ioError(lastFailure());
}

void MdxFile::beginWrite(bool durable) {
    requireWritable();
    durable_ = durable;
    blocksWritten_ = false;
    markedOnDisk_ = true; // before the write: a failure may come after the byte is out
    writeMark(1);
}

// Puts back what flush() wrote over; false when that fails too.
bool MdxFile::restoreOldBlocks() {
    if (undoHeader_.empty()) return false;
    for (const auto& [page, old] : undo_)
        if (!writeFully(fd_, old.data(), old.size(), off_t(page) * kPageSize, path_)) return false;
    std::vector<uint8_t> header = undoHeader_;
    header[header::writing] = 1; // cleared by the caller once all is back
    if (!writeFully(fd_, header.data(), header.size(), 0, path_)) return false;
    if (callIoHook(IoStep::Write, path_) != 0) return false;
    if (undoSize_ >= 0 && ::ftruncate(fd_, off_t(undoSize_)) != 0) return false;
    if (durable_) syncFile();
    return true;
}

void MdxFile::abandonWrite(bool keepMark) {
    cache_.clear();
    dirty_ = headerDirty_ = false;
    freeListChecked_ = false;
    if (markedOnDisk_ && blocksWritten_ && !keepMark) {
        try {
            blocksWritten_ = !restoreOldBlocks();
        } catch (const DbfError&) {
        }
    }
    undo_.clear();
    undoHeader_.clear();
    durable_ = false;
    if (markedOnDisk_ && (blocksWritten_ || keepMark)) {
        // Left marked on purpose: the next open rebuilds the index. Nothing
        // more is written through this object, not even on closing.
        markedOnDisk_ = false;
        broken_ = true;
        throw MdxIncomplete("Die Indexdatei " + path_ + " wurde nicht vollständig geschrieben und muss neu aufgebaut werden.");
    }
    if (markedOnDisk_) {
        writeMark(0);
        markedOnDisk_ = false;
    }
    readHeader();
}

void MdxFile::flush() {
    if (!dirty_) {
        // A change that touched no key still has its mark to clear.
        if (markedOnDisk_) {
            writeMark(0);
            markedOnDisk_ = false;
            durable_ = false;
            rememberDiskState();
        }
        return;
    }
    requireWritable();
    std::vector<uint32_t> pages;
    for (const auto& [page, b] : cache_)
        if (b.dirty) pages.push_back(page);
    std::sort(pages.begin(), pages.end());
    // Marked first and cleared last: a process killed in between leaves a
    // file that says it is incomplete instead of a tree that is quietly wrong.
    if (!markedOnDisk_ && !pages.empty()) {
        markedOnDisk_ = true;
        writeMark(1);
    }
    // Keep what is overwritten until the change is complete.
    undo_.clear();
    undoHeader_.assign(header_.size(), 0);
    undoSize_ = diskSize_;
    if (!readFully(fd_, undoHeader_.data(), undoHeader_.size(), 0)) undoHeader_.clear();
    for (uint32_t page : pages) {
        if (off_t(page) * kPageSize >= diskSize_) continue;
        std::vector<uint8_t> old(static_cast<size_t>(blockSize_));
        if (!readFully(fd_, old.data(), old.size(), off_t(page) * kPageSize)) {
            undoHeader_.clear(); // cannot be taken back: stays marked on failure
            break;
        }
        undo_.emplace(page, std::move(old));
    }
    for (uint32_t page : pages) {
        Block& b = cache_[page];
        blocksWritten_ = true;
        if (!writeFully(fd_, b.data.data(), b.data.size(), off_t(page) * kPageSize, path_))
            ioError(lastFailure());
        b.dirty = false;
    }
    // A file cut short by other software must still cover every page we count.
    const off_t end = off_t(pageCount()) * kPageSize;
    struct stat st{};
    if (::fstat(fd_, &st) == 0 && st.st_size < end) {
        if (const int simulated = callIoHook(IoStep::Write, path_)) {
            errno = simulated;
            ioError(lastFailure());
        }
        if (::ftruncate(fd_, end) != 0) ioError(lastFailure());
    }
    // The blocks are on disk before the header says the file is complete.
    if (durable_ && !pages.empty()) syncFile();
    writeToday(header_.data() + header::updated);
    put32(header_.data() + header::changeCounter, get32(header_.data() + header::changeCounter) + 1);
    header_[header::writing] = 0;
    blocksWritten_ = true;
    if (!writeFully(fd_, header_.data(), header_.size(), 0, path_)) ioError(lastFailure());
    if (durable_) syncFile();
    headerDirty_ = dirty_ = false;
    markedOnDisk_ = false;
    durable_ = false;
    blocksWritten_ = false;
    undo_.clear();
    undoHeader_.clear();
    rememberDiskState();
}

bool MdxFile::lock(bool exclusive, int timeoutMs) {
    struct flock fl{};
    fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0x7FFFFFF1;
    fl.l_len = 1;
    for (int waited = 0;; ++waited) {
        int result = -1;
#ifdef F_OFD_SETLK
        result = ::fcntl(fd_, F_OFD_SETLK, &fl);
        if (result != 0 && errno == EINVAL) result = ::fcntl(fd_, F_SETLK, &fl);
#else
        result = ::fcntl(fd_, F_SETLK, &fl);
#endif
        if (result == 0) return true;
        // The table's own lock excludes the others; this one only makes a
        // network client look at the file afresh, so a refusal is no error.
        if (errno != EAGAIN && errno != EACCES) return true;
        if (waited >= timeoutMs) return false;
        ::usleep(1000);
    }
}

void MdxFile::unlock() {
    struct flock fl{};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0x7FFFFFF1;
    fl.l_len = 1;
#ifdef F_OFD_SETLK
    if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) ::fcntl(fd_, F_SETLK, &fl);
#else
    ::fcntl(fd_, F_SETLK, &fl);
#endif
}

} // namespace zedora::dbase
