#pragma once
// A dBase table (.DBF with its .DBT memos and .MDX production index) and a
// cursor over it. Values are raw Windows-1252 bytes; callers convert at the
// edge. Shared opens by several processes are safe: every write is done
// under an fcntl lock on the .DBF (and its .DBT and .MDX, so that network
// clients read them afresh), and records and memos changed or appended by
// others are read again. A post is all or nothing; a process killed in the
// middle of one leaves an index marked incomplete, which the first open that
// touches it next rebuilds in place under the write lock, while the others
// wait for that lock as for any save.
#include "dbase/index.h"
#include "dbase/memo_file.h"
#include "dbase/raw_file.h"
#include "dbase/dbf_header.h"
#include "dbase/value.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zedora::dbase {

enum class OpenMode {
    Shared,
    Exclusive,
    // Exclusive, leaving the .MDX closed even when it is missing or damaged;
    // for rebuilding the index. Records cannot be changed until it is rebuilt.
    ExclusiveWithoutIndex,
    // Shared, leaving the .MDX closed even when it is missing, damaged or
    // half written; for reading a table whose index may not be rebuilt
    // here. Records come in physical order and cannot be changed.
    SharedWithoutIndex,
};

struct TagSpec {
    TagSpec() = default;
    TagSpec(std::string name, std::string expression, bool unique = false, std::string condition = {})
        : name(std::move(name)), expression(std::move(expression)), unique(unique), condition(std::move(condition)) {}

    std::string name;
    std::string expression;
    bool unique = false;
    std::string condition; // FOR condition; empty: every record
};

class Table {
public:
    enum class State { Browse, Edit, Insert };
    using Bookmark = uint32_t; // the record number; 0 is no record
    using Filter = std::function<bool(const Table&)>;

    // Opens the table; throws DbfError naming the file for anything it
    // cannot fully understand, for a set production-index flag without
    // .MDX, and (exclusive) while anyone else has the table open.
    // An index left incomplete by a killed writer is rebuilt here (and by
    // any open that finds it so later), unless this open may only read;
    // IndexDamaged then says so. Lock refusals throw HeldElsewhere.
    // A .DBF, .DBT or .MDX that may not be written (write-protected, or on
    // a read-only file system) opens the table read-only; an exclusive open
    // of it fails.
    static std::unique_ptr<Table> open(const std::string& path, OpenMode mode = OpenMode::Shared);
    // Creates a new, empty dBase IV table (and .DBT when there are memo
    // fields). Fails when the file exists.
    static void create(const std::string& path, const std::vector<FieldDesc>& fields);
    // Clears header byte 28, so a table whose .MDX was lost opens again.
    static void clearProductionIndexFlag(const std::string& path);
    // Renames the .DBF with its .DBT and .MDX; the target may lie in another
    // directory. Fails when the table is open or a target file exists.
    static void rename(const std::string& from, const std::string& to);
    // Deletes the .DBF with its .DBT and .MDX.
    static void remove(const std::string& path);
    // Whether any open, in this process or another one, has the table now.
    // False for a file that cannot be read.
    static bool inUse(const std::string& path);

    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& path() const { return path_; }
    bool exclusive() const { return exclusive_; }
    bool readOnly() const { return !dbf_.writable() || !writeRefusal_.empty(); }
    uint8_t version() const { return header_.version; }
    uint8_t languageDriver() const { return header_.languageDriver; }
    bool productionIndexFlag() const { return header_.productionIndex & 1; }
    // Whether the production index was left closed (SharedWithoutIndex, or
    // ExclusiveWithoutIndex on a table whose header names one); records
    // cannot be changed then.
    bool withoutIndex() const { return indexSkipped_; }
    // Whether the path still names the files this open has: false once the
    // .DBF, or the .DBT or .MDX it opened, was deleted, renamed away or
    // replaced by another file. A few stat calls, no lock.
    bool stillAtPath() const;

    // Fields.
    int fieldCount() const { return static_cast<int>(header_.fields.size()); }
    const FieldDesc& field(int index) const
    {
        if (static_cast<size_t>(index) >= header_.fields.size())
            throwNoField(index);
        return header_.fields[static_cast<size_t>(index)];
    }
    const std::vector<FieldDesc>& fields() const { return header_.fields; }
    int fieldIndex(std::string_view name) const; // throws for a missing field
    int findField(std::string_view name) const;  // -1 for a missing field

    // Navigation in the order of the current tag (physical without one).
    // Deleted records, records outside the range and records the filter
    // rejects are skipped.
    void first();
    void last();
    bool next();  // false (and eof) when there is no further record
    bool prior(); // false (and bof) when there is no earlier record
    int moveBy(int distance); // returns the distance moved
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return recno_ == 0; }
    uint32_t recno() const { return recno_; }
    bool deleted() const { return buffer_[0] == '*'; }
    // Physical records including deleted ones, as the header says now.
    uint32_t recordCount();
    // Reads the current record, header and index again.
    void refresh();
    // Cheap test whether any process (this one included) changed the table
    // since the last call (the first call compares with the state at open):
    // compares the header's record count and update date, size and
    // modification time of the .DBF, .DBT and .MDX and the index's change
    // counter. Reads a few bytes and holds no lock beyond that read.
    bool changedSinceLastLook();

    Bookmark bookmark() const { return recno_; }
    // Throws when the record no longer exists or is deleted.
    void gotoBookmark(Bookmark mark);
    // Physical record, ignoring order, range and filter.
    void gotoRecord(uint32_t recno);

    // Values. Text has trailing blanks removed (numbers: leading too);
    // memo fields give their text.
    std::string text(int field) const;
    std::string text(std::string_view name) const { return text(fieldIndex(name)); }
    // Without copying, valid until the cursor moves; not for memo fields.
    std::string_view textView(int field) const;
    Value value(int field) const;
    Value value(std::string_view name) const { return value(fieldIndex(name)); }
    std::string memo(int field) const;
    void readMemo(int field, std::ostream& out) const;

    // Writing needs edit or insert state. Character values are cut to the
    // field width; numbers that do not fit are rejected.
    void setText(int field, std::string_view text);
    void setText(std::string_view name, std::string_view text) { setText(fieldIndex(name), text); }
    void setValue(int field, const Value& value);
    void setValue(std::string_view name, const Value& value) { setValue(fieldIndex(name), value); }
    void setMemo(int field, std::string_view text);
    void writeMemo(int field, std::istream& in);

    // Editing.
    State state() const { return state_; }
    void append();
    void insert();
    void edit();
    // Writes the record. When it throws, the table on disk is as before and
    // the edit stays pending, so saving again writes it once.
    void post();
    void cancel();
    void deleteRecord();
    // Makes every post end with the data on disk (fdatasync).
    void setWriteThrough(bool on) { writeThrough_ = on; }
    void flush();

    // Index tags.
    std::vector<TagInfo> tags() const;
    // Empty name: physical order. Throws for an unknown tag.
    void selectTag(std::string_view name);
    std::string currentTag() const;
    // Exact match of the whole key (blank-padded to the key length).
    bool findKey(std::string_view key);
    // First record whose key is >= key; eof when there is none.
    bool findNearest(std::string_view key);
    void setRangeStart(std::string_view key);
    void setRangeEnd(std::string_view key);
    void applyRange();
    void cancelRange();
    // The key of the current record under the current tag.
    std::string currentKey() const;

    void setFilter(Filter filter);
    void clearFilter();

    // Exclusive tables only: adds a tag to the production index, creating
    // the .MDX when missing. With a condition the tag holds only the
    // records that meet it, and posts keep it so.
    void addIndexTag(const std::string& name, const std::string& expression, bool unique,
                     const std::string& condition = {});
    // Exclusive tables only: builds a complete new .MDX with these tags
    // beside the old one and replaces it when done.
    void rebuildIndex(const std::vector<TagSpec>& tags);
    // Checks every tag's tree; throws DbfError for a damaged one.
    void verifyIndex();
    // Checks table, index and memos against each other: every live record
    // that meets a tag's condition exactly once in the tag under the key
    // its expression gives, no
    // deleted record in a tag, every memo inside the memo file and used by
    // one record only. Returns what is wrong, in German; empty when sound.
    std::vector<std::string> findProblems();
    // Exclusive tables only: gives each record that shares its memo with
    // another one a copy of its own and clears memo references that lead
    // outside the memo file. Returns what was done, in German.
    std::vector<std::string> repairMemos();

private:
    Table() = default;
    class ReadScope;
    class WriteScope;

    void openFiles(const std::string& path, OpenMode mode);
    void openIndex();
    void readHeaderCount();
    void checkWritable() const;
    // A memo or index file that may not be written: the table only reads.
    void refuseWritingFor(const char* what, const std::string& file);
    void checkIndexWritable();
    void checkEditing(const char* what) const;
    [[noreturn]] void throwNoField(int field) const;

    // Reading records.
    void needReadLock();
    void loadRecord(uint32_t recno, std::string& out, bool useCache);
    bool recordVisible(uint32_t recno);
    bool keyInRange(std::string_view key) const;
    // The current tag's order of an entry key against a range bound or a
    // search key as the caller gave it (text for number and date tags).
    int compareToBound(std::string_view key, const std::string& bound) const;
    std::string searchKey(std::string_view text) const;
    bool positionAt(uint32_t recno, const IndexEntry* entry);
    void setEmpty();
    bool stepPhysical(bool forward, uint32_t from);
    bool stepIndex(bool forward, std::optional<IndexEntry> from);
    bool seekFirst();
    bool seekLast();

    struct LookToken {
        char head[8] = {};
        uint64_t files[3][4] = {}; // .DBF, .DBT, .MDX: inode, size, mtime s, ns
        uint32_t indexCounter = 0;
        bool operator==(const LookToken&) const = default;
    };
    LookToken readLookToken();

    uint32_t memoBlock(int field, const std::string& record) const;
    void writeRecordAt(uint32_t recno, const std::string& record, bool appendEof);
    void commitChange(uint32_t recno, const std::string* before, std::string& record, bool keepInIndex);
    void rollBack(uint32_t recno, const std::string* before, uint32_t oldCount, const uint8_t* oldDate,
                  const std::string& oldTail, uint64_t oldSize, bool tableTouched) noexcept;
    void lockCompanions(bool exclusive);
    void unlockCompanions() noexcept;
    void openIndexOrRecover();
    // Whether this open may rebuild a half-written index.
    bool canRepairIndex() const;
    // Under the write lock: reads the index afresh, rebuilding it when a
    // killed writer left it half written.
    void refreshIndexForWriting();
    void repairIncompleteIndex();
    std::string incompleteMessage() const;
    // Writes a complete index with these tags from the table to fresh.
    void buildIndexFile(const std::string& fresh, const std::vector<TagSpec>& specs);
    void guardPerProcessLocks(OpenMode mode);
    void forgetPerProcessOpen() noexcept;
    // Per-process locks do not stop this process itself: its own opens are
    // looked up instead.
    static bool openHereUnderPerProcessLocks(const std::string& path);
    void updateIndexes(const std::string* oldRecord, const std::string* newRecord, uint32_t recno);
    void releaseRecordLock();
    const KeyExpression& tagKey(int tag) const;
    // Whether the record belongs in the tag by its FOR condition.
    bool meetsCondition(size_t tag, const std::string& record) const;
    void compileTags();
    void setRecordSource();
    void setIndexedFieldFlags();

    std::string path_;
    std::string mdxPath_;
    RawFile dbf_;
    std::optional<MemoFile> memo_;
    std::unique_ptr<MdxIndex> mdx_;
    // The compiled key of every tag; empty for a foreign key we cannot
    // evaluate (the table is then only read).
    std::vector<std::optional<KeyExpression>> keys_;
    // The FOR condition of every tag that has one; why one cannot be
    // evaluated (the tag is then read but the table not changed).
    std::vector<std::optional<KeyExpression>> conditions_;
    std::vector<std::string> conditionErrors_;
    std::vector<TagInfo> tagInfos_;
    DbfHeader header_;
    bool exclusive_ = false;
    bool writeThrough_ = false;
    bool indexSkipped_ = false; // .MDX left closed by a ...WithoutIndex open
    // Set when a failed change could not be undone on disk: nothing more is
    // written through this open, so that a retry cannot write a record twice.
    bool broken_ = false;
    // Why this open may only read, when it may.
    std::string writeRefusal_;
    bool registered_ = false; // in the process's list of tables under per-process locks
    bool networkFs_ = false;  // memo and index files are locked too, to see others' writes
    uint64_t fileId_[2] = {};
    std::map<std::string, int, std::less<>> fieldByName_;

    // Cursor.
    uint32_t recno_ = 0;
    std::string buffer_;   // current record, deletion flag at byte 0
    std::string original_; // the record as it was when editing began
    uint32_t returnTo_ = 0; // the current record when an insert began
    std::map<int, std::string> pendingMemos_;
    State state_ = State::Browse;
    bool eof_ = true;
    bool bof_ = true;
    int tag_ = -1;
    IndexEntry entry_;     // position in the current tag
    std::string rangeStart_, rangeEnd_;
    bool hasRangeStart_ = false, hasRangeEnd_ = false;
    bool rangeApplied_ = false;
    Filter filter_;
    uint32_t lockedRecord_ = 0;
    bool inFilter_ = false;
    LookToken lastLook_;

    // Read lock held for the current call (taken when it first touches the file).
    int scopeDepth_ = 0;
    bool readLocked_ = false;
    bool writeLocked_ = false;

    // A window of consecutive records, for reading in physical order. It is
    // read again after a short while, so changes of others show up.
    std::string cache_;
    std::chrono::steady_clock::time_point cacheLoaded_;
    uint32_t cacheFirst_ = 0;
    uint32_t cacheCount_ = 0;
};

} // namespace zedora::dbase
