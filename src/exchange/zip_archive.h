#pragma once
// Packing and unpacking of standard zip files (libzip). Files are stored
// under their bare names; folders inside an archive are not used.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zedora {

enum class PackResult { Ok, Cancelled, Failed };

struct PackEntry {
    QString name;   // name inside the zip
    QString source; // file on disk
};

// Called with the fraction done (0..1); returning false cancels.
using PackProgress = std::function<bool(double fraction)>;

// Writes the zip beside zipPath under a scratch name and renames it into
// place only when complete, so a cancel or a failure never leaves a half zip
// under the chosen name (an existing file there stays as it was).
PackResult packFiles(const QString& zipPath, const std::vector<PackEntry>& entries,
                     const PackProgress& progress = {});

struct ZipEntryInfo {
    int index = 0;
    QString name;           // as stored, folders included
    quint64 size = 0;       // declared uncompressed size
    quint64 compressedSize = 0;
    bool directory = false;
    bool symlink = false;
    bool encrypted = false;
};

// A zip file opened for reading. Nothing is trusted: sizes are the declared
// ones and every read is capped by them.
class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool open(const QString& zipPath);
    const std::vector<ZipEntryInfo>& entries() const { return entries_; }
    // The whole entry, at most maxBytes; nothing when it is larger, damaged
    // or unreadable.
    std::optional<QByteArray> read(int index, quint64 maxBytes);
    // Streams the entry into destination (created new); false when more or
    // fewer bytes than declared come out or the data is damaged.
    bool extract(int index, const QString& destination);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::vector<ZipEntryInfo> entries_;
};

} // namespace zedora
