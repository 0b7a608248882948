#pragma once
// Windows-style profile (INI) files as Windows reads and writes them:
// sections and keys are matched without regard to letter case, values are
// trimmed, a missing file, section or key gives the default. Changing keys
// keeps every other line of the file (comments, unknown keys, order) as it
// was. Load once, change many keys, save once: saving replaces the file
// safely (written beside it, then renamed into place).
#include <QString>
#include <QStringList>
#include <vector>

namespace zedora {

class ProfileFile {
public:
    enum class SaveStatus {
        Saved,
        // Nothing was written: the file could not be created (missing or
        // read-only folder, the path is a folder) or the existing file could
        // not be read and would have been lost.
        NotCreated,
        // Writing began but did not complete (disk full, rename failed);
        // the old file is still in place.
        NotCompleted,
    };

    ProfileFile() = default;

    // Reads the file (Windows-1252, CR LF or LF). A missing file gives an
    // empty profile and returns true; an existing file that cannot be read
    // returns false and the profile refuses to save over it.
    bool load(const QString& path);
    static ProfileFile fromFile(const QString& path);
    // Parses text as it stands in a file; for tests and in-memory use.
    static ProfileFile fromText(const QString& text);

    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;
    // Key names of a section in file order (first occurrence of the section).
    QStringList keys(const QString& section) const;

    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    // Decimal with optional sign; anything else gives the default.
    int readInt(const QString& section, const QString& key, int def) const;
    // True for any non-zero number; a non-number gives the default.
    bool readBool(const QString& section, const QString& key, bool def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInt(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // The file text as it would be saved (lines joined with CR LF).
    QString text() const;

    SaveStatus save(const QString& path) const;
    QString errorString() const { return error_; }

    // One key written into a file, the rest of the file kept.
    static SaveStatus writeKey(const QString& path, const QString& section, const QString& key,
                               const QString& value);

private:
    struct Line {
        QString raw;       // the line as it stands in the file
        QString section;   // header line: the section name
        QString key;       // key line: the key name
        bool header = false;
    };

    void parse(const QString& text);
    static Line parseLine(const QString& raw);
    // Index of the header of the first section named so, or -1.
    int findSection(const QString& section) const;
    // Index of the key line within the section starting at header, or -1.
    int findKey(int header, const QString& key) const;
    // One past the last line that belongs to the section (before the next header).
    int sectionEnd(int header) const;
    const Line* findLine(const QString& section, const QString& key) const;

    std::vector<Line> lines_;
    bool unreadable_ = false;
    mutable QString error_;
};

} // namespace zedora
