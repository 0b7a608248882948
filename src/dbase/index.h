#pragma once
// The index side of the engine: key expressions, the key collation and the
// .MDX production index. The table cursor (table.h) drives it; callers above
// the engine never use this header directly.
//
// Contract with the cursor:
//  - Character keys are raw Windows-1252 bytes, blank-padded to the tag's
//    key length; numeric and date keys are dBase IV's binary forms.
//  - Every entry is (key, record number); record numbers start at 1.
//    Entries with equal keys are ordered by record number.
//  - The caller holds the table's lock (shared for reading, exclusive for
//    writing) around every call; MdxIndex may cache blocks only while it can
//    tell that no other process changed the file (refresh() is called after
//    each lock is taken).
//  - All errors are thrown as DbfError naming the file.
#include "error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zedora::dbase {

struct FieldDesc {
    std::string name;   // upper-case as stored in the header
    char type = 'C';    // C, D, N, F, L, M
    int length = 0;
    int decimals = 0;
    int offset = 0;     // byte offset inside the raw record (byte 0 is the deletion flag)
};

// Compares two keys the way the German language driver orders them.
// Returns <0, 0, >0. Shorter keys compare as if blank-padded.
int compareKeys(std::string_view a, std::string_view b);

class KeyExpression {
public:
    // Field names, string literals in quotes, '+', UPPER(), LEFT(), SUBSTR(),
    // TRIM()/RTRIM(), LTRIM(), DTOS(), DTOC(), STR(), VAL() in any letter
    // case. A numeric result gives an N key, a date field a D key
    // (mdx_key_types.h). Throws DbfError for a syntax error or an unknown
    // field.
    static KeyExpression compile(std::string_view text, const std::vector<FieldDesc>& fields);
    // A tag's FOR condition: comparisons (=, ==, <>, #, !=, <, >, <=, >=)
    // of key-like expressions and numbers, .AND., .OR., .NOT., logical
    // fields, .T., .F. and DELETED(). Strings compare as dBase does with
    // SET EXACT OFF: over the length of the right-hand side.
    static KeyExpression compileCondition(std::string_view text, const std::vector<FieldDesc>& fields);

    const std::string& text() const;
    char type() const;    // 'C', 'N' or 'D'
    int length() const;   // key length in bytes
    // record: the raw record bytes (deletion flag at byte 0).
    std::string evaluate(const char* record) const;
    // A condition's result for the record (type 'L').
    bool matches(const char* record) const;

    struct Node;
private:
    std::string text_;
    char type_ = 'C';
    int length_ = 0;
    std::shared_ptr<const Node> root_;
};

struct TagInfo {
    std::string name;        // at most 10 characters, stored upper-case
    std::string expression;  // as given when the tag was added
    bool unique = false;
    bool descending = false;
    char keyType = 'C';
    int keyLength = 0;
    std::string condition;   // the FOR condition; empty when the tag has none
};

struct IndexEntry {
    std::string key;
    uint32_t recno = 0;
};

// Thrown by MdxIndex::open for a file whose last flush was cut off (the
// writing process was killed): the index must be rebuilt from the table.
class MdxIncomplete : public IndexDamaged {
public:
    using IndexDamaged::IndexDamaged;
};

class MdxIndex {
public:
    virtual ~MdxIndex() = default;

    // Opens an existing .MDX. Throws DbfError for a file that is not a valid MDX.
    static std::unique_ptr<MdxIndex> open(const std::string& path, bool writable);
    // Creates a new, empty .MDX for the table named dbfBaseName (no extension).
    static std::unique_ptr<MdxIndex> create(const std::string& path, const std::string& dbfBaseName);

    // Whether this open may change the file.
    virtual bool writable() const = 0;
    // Whether path names the very file this object has open.
    virtual bool isAt(const std::string& path) const = 0;

    virtual std::vector<TagInfo> tags() const = 0;
    // Case-insensitive; -1 when there is no such tag.
    virtual int tagIndex(std::string_view name) const = 0;

    // Adds a tag and builds it from every live record. forEachRecord calls
    // its argument once per live record with (recno, raw record bytes).
    using RecordVisitor = std::function<void(uint32_t, const char*)>;
    void addTag(const std::string& name, const KeyExpression& key, bool unique,
                const std::function<void(const RecordVisitor&)>& forEachRecord) {
        addTag(name, key, unique, nullptr, forEachRecord);
    }
    // As above, for a tag that holds only the records meeting `condition`
    // (a compiled condition; null for none). Needs blocks of 1024 bytes or more.
    virtual void addTag(const std::string& name, const KeyExpression& key, bool unique,
                        const KeyExpression* condition,
                        const std::function<void(const RecordVisitor&)>& forEachRecord) = 0;
    virtual const KeyExpression& keyExpression(int tag) const = 0;
    // The tag's compiled FOR condition, null when it has none; throws as
    // keyExpression() does when the tag cannot be maintained.
    virtual const KeyExpression* condition(int tag) const = 0;

    virtual void insert(int tag, std::string_view key, uint32_t recno) = 0;
    virtual void remove(int tag, std::string_view key, uint32_t recno) = 0;

    virtual std::optional<IndexEntry> first(int tag) = 0;
    virtual std::optional<IndexEntry> last(int tag) = 0;
    // The entry right after / before the given position in (key, recno) order;
    // the position need not exist any more (another process may have changed it).
    virtual std::optional<IndexEntry> next(int tag, const IndexEntry& after) = 0;
    virtual std::optional<IndexEntry> prior(int tag, const IndexEntry& before) = 0;
    // First entry whose key is >= key (compared over key's length, blank-padded).
    virtual std::optional<IndexEntry> seek(int tag, std::string_view key) = 0;

    // Drops cached blocks when another process changed the file.
    virtual void refresh() = 0;
    // Writes pending blocks to disk.
    virtual void flush() = 0;
    // The change counter as the file holds it now (bumped by every flush).
    virtual uint32_t changeCounterOnDisk() = 0;
    // A change of the table begins: the file is marked incomplete on disk
    // until the next flush() has written everything. durable: each step is
    // synced before the next one.
    virtual void beginWrite(bool durable) = 0;
    // The table change failed: pending changes are dropped, what reached
    // the disk is put back and the mark cleared. When that fails, or
    // keepMark asks so (the table could not be put back), the file stays
    // marked for a rebuild, the index writes nothing more and this throws
    // MdxIncomplete.
    virtual void abandonWrite(bool keepMark) = 0;
    // Locks the index file itself (beside the table's lock), so that a
    // network client reads it afresh. False on timeout.
    virtual bool lockFile(bool exclusive, int timeoutMs) = 0;
    virtual void unlockFile() = 0;

    // Destroying the index writes changes not yet flushed; errors are only
    // reported by flush() itself.

    // As open(), and compiles every tag's key expression against the table's
    // fields, so that keyExpression() works for tags read from the file.
    // A tag whose key cannot be compiled (a foreign numeric or date key, an
    // unknown function) still opens; keyExpression(), insert() and remove()
    // then throw DbfError for that tag.
    static std::unique_ptr<MdxIndex> open(const std::string& path, bool writable,
                                          const std::vector<FieldDesc>& fields);
    // readIfProtected: a file that may not be written (write-protected, or
    // on a read-only file system) opens for reading; writable() tells.
    static std::unique_ptr<MdxIndex> open(const std::string& path, bool writable,
                                          const std::vector<FieldDesc>& fields, bool readIfProtected);
    // As create(), with a block size of 512 * n bytes (default 1024).
    static std::unique_ptr<MdxIndex> create(const std::string& path, const std::string& dbfBaseName,
                                            int blockSize);
    // Rewrites the table name stored in the header (rename table). The file
    // is validated first and left untouched when it is no valid MDX.
    static void renameTable(const std::string& mdxPath, const std::string& newDbfBaseName);
    // The tag definitions of a file even when it is marked incomplete, so
    // that it can be rebuilt with the same tags. Throws DbfError when even
    // they cannot be read.
    static std::vector<TagInfo> tagsOfIncomplete(const std::string& mdxPath);
    // Copies the complete index freshPath over mdxPath in place (the same
    // file, so that open handles of other processes see it) while that is
    // still marked incomplete; the mark is cleared last. False, and nothing
    // written, when mdxPath is no longer marked.
    static bool overwriteIncomplete(const std::string& mdxPath, const std::string& freshPath);

    // Unique tags hold, per key, the entry with the lowest record number.
    // When that entry is removed and a record source is set, the next record
    // with the same key (if any) takes its place; without a source the key
    // stays out of the tag until the tag is rebuilt (as in dBase).
    virtual void setRecordSource(const std::function<void(const RecordVisitor&)>& forEachRecord) = 0;

    // seek() pads the key with blanks to the tag's key length and compares
    // it with whole entry keys; find-key is then an equality test on the
    // padded key, find-nearest the entry itself.

    // Walks the tag's whole B-tree and throws DbfError naming the file if
    // any rule is broken (order, separators, depth, shared nodes).
    virtual void verify(int tag) = 0;
};

} // namespace zedora::dbase
