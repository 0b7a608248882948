#pragma once
// A file opened by the engine: positioned reads and writes that either do
// the whole job or throw, and the fcntl byte-range locks the tables use.
#include "error.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zedora::dbase {

class RawFile {
public:
    RawFile() = default;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;
    RawFile(RawFile&& other) noexcept;
    RawFile& operator=(RawFile&& other) noexcept;
    ~RawFile();

    // Opens read-write when possible; read-only when the file is not writable
    // (write-protected, or on a read-only file system) and writable is
    // false. Throws DbfError.
    static RawFile open(const std::string& path, bool writable);
    // Creates a new file; fails when it exists.
    static RawFile create(const std::string& path);

    bool isOpen() const { return fd_ >= 0; }
    bool writable() const { return writable_; }
    const std::string& path() const { return path_; }
    void close();

    // Whether path names the very file this object has open (device and
    // inode): false once it was deleted, renamed away or replaced.
    bool isAt(const std::string& path) const;

    uint64_t size() const;
    // Inode, size and modification time (seconds, nanoseconds): changes
    // when anyone writes the file.
    std::array<uint64_t, 4> stamp() const;
    // Reads exactly length bytes at offset; throws when the file is shorter.
    void readAt(uint64_t offset, void* data, size_t length) const;
    // Reads up to length bytes, returns how many were there.
    size_t readSome(uint64_t offset, void* data, size_t length) const;
    void writeAt(uint64_t offset, const void* data, size_t length);
    void writeAt(uint64_t offset, std::string_view data) { writeAt(offset, data.data(), data.size()); }
    void sync();
    // Cuts the file to size bytes.
    void truncate(uint64_t size);

    // Byte-range locks (open-file-description locks where the system has
    // them, so two opens in one process exclude each other like two
    // processes do). try* return false when someone else holds the range.
    bool tryLockShared(uint64_t offset, uint64_t length);
    bool tryLockExclusive(uint64_t offset, uint64_t length);
    // Waits up to timeoutMs for the range; false on timeout.
    bool lockExclusive(uint64_t offset, uint64_t length, int timeoutMs);
    bool lockShared(uint64_t offset, uint64_t length, int timeoutMs);
    void unlock(uint64_t offset, uint64_t length);
    // True once the file system refused open-file-description locks and
    // per-process locks stood in: those do not keep apart two opens in one
    // process, and closing either drops the locks of both.
    bool perProcessLocks() const { return perProcessLocks_; }
    // Tests: behave as on a file system without open-file-description locks.
    static void forcePerProcessLocks(bool on);
    // NFS or SMB: a client there may answer reads from its cache until the
    // file is locked.
    bool onNetworkFileSystem() const;
    // Tests: treat every file as lying on a network file system.
    static void forceNetworkFileSystem(bool on);

private:
    bool setLock(short type, uint64_t offset, uint64_t length);
    [[noreturn]] void fail(const char* what) const;
    [[noreturn]] void failWith(int error, const char* what) const;

    int fd_ = -1;
    bool writable_ = false;
    bool perProcessLocks_ = false;
    std::string path_;
};

// The directory entry beside path whose name equals path's stem plus ext,
// compared without letter case (".DBT" finds "x.dbt" too). Returns the
// spelling that exists, or the preferred spelling (ext in the letter case of
// path's own extension) when none does.
std::string companionPath(const std::string& path, std::string_view ext, bool* exists = nullptr);

} // namespace zedora::dbase
