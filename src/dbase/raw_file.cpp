#include "dbase/raw_file.h"

#include "dbase/io_hook.h"
#include "dbase/system_error.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <thread>
#include <unistd.h>

namespace zedora::dbase {


namespace {
bool forcedPerProcessLocks = false;
} // namespace

void RawFile::forcePerProcessLocks(bool on)
{
    forcedPerProcessLocks = on;
}

namespace {
bool forcedNetwork = false;
} // namespace

void RawFile::forceNetworkFileSystem(bool on)
{
    forcedNetwork = on;
}

bool RawFile::onNetworkFileSystem() const
{
    if (forcedNetwork)
        return true;
    struct statfs fs {};
    if (::fstatfs(fd_, &fs) != 0)
        return true; // unknown: the careful way
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969ul:     // NFS
    case 0x517Bul:     // SMB
    case 0xFF534D42ul: // CIFS
    case 0xFE534D42ul: // SMB2
    case 0x65735546ul: // FUSE (sshfs, and SMB through it)
    case 0x564C:       // NCP
    case 0x73757245ul: // Coda
    case 0x6B414653ul: // AFS
        return true;
    default:
        return false;
    }
}

RawFile::RawFile(RawFile&& other) noexcept
    : fd_(other.fd_), writable_(other.writable_), perProcessLocks_(other.perProcessLocks_), path_(std::move(other.path_))
{
    other.fd_ = -1;
}

RawFile& RawFile::operator=(RawFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        writable_ = other.writable_;
        perProcessLocks_ = other.perProcessLocks_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

RawFile::~RawFile()
{
    close();
}

void RawFile::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

RawFile RawFile::open(const std::string& path, bool writable)
{
    RawFile f;
    f.path_ = path;
    if (const int simulated = callIoHook(IoStep::OpenForWriting, path)) {
        errno = simulated;
        f.fd_ = -1;
    } else {
        f.fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    f.writable_ = f.fd_ >= 0;
    if (f.fd_ < 0 && !writable && (errno == EACCES || errno == EROFS || errno == EPERM))
        f.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (f.fd_ < 0) {
        const int error = errno;
        throw DbfError("Die Datei " + path + " lässt sich nicht öffnen: " + systemErrorText(error));
    }
    struct stat st {};
    if (::fstat(f.fd_, &st) != 0 || !S_ISREG(st.st_mode))
        throw DbfError("Die Datei " + path + " ist keine gewöhnliche Datei.");
    return f;
}

RawFile RawFile::create(const std::string& path)
{
    RawFile f;
    f.path_ = path;
    if (const int simulated = callIoHook(IoStep::OpenForWriting, path)) {
        errno = simulated;
        f.fd_ = -1;
    } else {
        f.fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (f.fd_ < 0) {
        const int error = errno;
        throw DbfError("Die Datei " + path + " lässt sich nicht anlegen: " + systemErrorText(error));
    }
    f.writable_ = true;
    return f;
}

void RawFile::fail(const char* what) const
{
    const int error = errno;
    throw DbfError(std::string(what) + " " + path_ + ": " + systemErrorText(error));
}

void RawFile::failWith(int error, const char* what) const
{
    errno = error;
    fail(what);
}

bool RawFile::isAt(const std::string& path) const
{
    struct stat open {}, named {};
    if (fd_ < 0 || ::fstat(fd_, &open) != 0 || ::stat(path.c_str(), &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

uint64_t RawFile::size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        fail("Fehler beim Lesen von");
    return static_cast<uint64_t>(st.st_size);
}

std::array<uint64_t, 4> RawFile::stamp() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        fail("Fehler beim Lesen von");
    return {static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
            static_cast<uint64_t>(st.st_mtim.tv_sec), static_cast<uint64_t>(st.st_mtim.tv_nsec)};
}

size_t RawFile::readSome(uint64_t offset, void* data, size_t length) const
{
    size_t done = 0;
    auto* p = static_cast<char*>(data);
    while (done < length) {
        ssize_t n = ::pread(fd_, p + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Fehler beim Lesen von");
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void RawFile::readAt(uint64_t offset, void* data, size_t length) const
{
    if (readSome(offset, data, length) != length)
        throw DbfError("Die Datei " + path_ + " ist kürzer als angegeben (beschädigt).");
}

void RawFile::writeAt(uint64_t offset, const void* data, size_t length)
{
    if (!writable_)
        throw DbfError("Die Datei " + path_ + " ist schreibgeschützt.");
    if (const int simulated = callIoHook(IoStep::Write, path_))
        failWith(simulated, "Fehler beim Schreiben von");
    size_t done = 0;
    const auto* p = static_cast<const char*>(data);
    while (done < length) {
        ssize_t n = ::pwrite(fd_, p + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Fehler beim Schreiben von");
        }
        done += static_cast<size_t>(n);
    }
}

void RawFile::sync()
{
    if (!writable_)
        return;
    if (const int simulated = callIoHook(IoStep::Sync, path_))
        failWith(simulated, "Fehler beim Schreiben von");
    if (::fdatasync(fd_) != 0)
        fail("Fehler beim Schreiben von");
}

void RawFile::truncate(uint64_t size)
{
    if (!writable_)
        throw DbfError("Die Datei " + path_ + " ist schreibgeschützt.");
    if (const int simulated = callIoHook(IoStep::Write, path_))
        failWith(simulated, "Fehler beim Schreiben von");
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        fail("Fehler beim Schreiben von");
}

bool RawFile::setLock(short type, uint64_t offset, uint64_t length)
{
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
#ifdef F_OFD_SETLK
    if (!forcedPerProcessLocks) {
        if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0)
            return true;
        if (errno == EAGAIN || errno == EACCES)
            return false;
        if (errno != EINVAL)
            fail("Sperrfehler bei");
        fl.l_pid = 0;
    }
#endif
    // Systems or file systems without open-file-description locks.
    perProcessLocks_ = true;
    if (::fcntl(fd_, F_SETLK, &fl) == 0)
        return true;
    if (errno == EAGAIN || errno == EACCES)
        return false;
    fail("Sperrfehler bei");
}

bool RawFile::tryLockShared(uint64_t offset, uint64_t length)
{
    return setLock(F_RDLCK, offset, length);
}

bool RawFile::tryLockExclusive(uint64_t offset, uint64_t length)
{
    return setLock(F_WRLCK, offset, length);
}

namespace {

template<typename Try>
bool waitFor(Try attempt, int timeoutMs)
{
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
    int pause = 50; // microseconds, grows up to 5 ms
    for (;;) {
        if (attempt())
            return true;
        if (clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(pause));
        pause = std::min(pause * 2, 5000);
    }
}

} // namespace

bool RawFile::lockExclusive(uint64_t offset, uint64_t length, int timeoutMs)
{
    return waitFor([&] { return setLock(F_WRLCK, offset, length); }, timeoutMs);
}

bool RawFile::lockShared(uint64_t offset, uint64_t length, int timeoutMs)
{
    return waitFor([&] { return setLock(F_RDLCK, offset, length); }, timeoutMs);
}

void RawFile::unlock(uint64_t offset, uint64_t length)
{
    if (fd_ >= 0)
        setLock(F_UNLCK, offset, length);
}

namespace {

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

std::string companionPath(const std::string& path, std::string_view ext, bool* exists)
{
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart)
        dot = path.size();
    const std::string stem = path.substr(nameStart, dot - nameStart);
    const std::string ownExt = path.substr(dot);

    // Preferred spelling: the extension in the letter case of the table's own.
    bool lower = !ownExt.empty() && ownExt.size() > 1 && ownExt[1] >= 'a' && ownExt[1] <= 'z';
    std::string preferredExt(ext);
    for (char& c : preferredExt)
        if (lower && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        else if (!lower && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    const std::string preferred = path.substr(0, dot) + preferredExt;

    struct stat st {};
    if (::stat(preferred.c_str(), &st) == 0) {
        if (exists)
            *exists = true;
        return preferred;
    }
    const std::string wanted = stem + std::string(ext);
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (equalNoCase(e->d_name, wanted)) {
                std::string found = path.substr(0, nameStart) + e->d_name;
                ::closedir(d);
                if (exists)
                    *exists = true;
                return found;
            }
        }
        ::closedir(d);
    }
    if (exists)
        *exists = false;
    return preferred;
}

} // namespace zedora::dbase
