#pragma once
// The B-tree of one tag inside an .MDX file. Entries are (key, record
// number) in compareKeys order, equal keys by record number.
#include "dbase/index.h"
#include "dbase/mdx_file.h"

#include <optional>
#include <string_view>
#include <vector>

namespace zedora::dbase {

struct MdxTagLayout {
    uint32_t headerPage = 0;
    int keyLength = 0;
    int itemLength = 0;
    int maxKeys = 0;
    bool descending = false;
    char keyType = 'C';   // 'C', or 'N' / 'D' compared as values
};

class MdxTree {
public:
    MdxTree(MdxFile& file, const MdxTagLayout& layout) : file_(file), l_(layout) {}

    // Writes a new tag header (keys of `keyLength`, `maxKeys` per node).
    static MdxTagLayout newLayout(int blockSize, int keyLength);

    void insert(std::string_view key, uint32_t recno);
    // False when the entry was not there.
    bool remove(std::string_view key, uint32_t recno);

    std::optional<IndexEntry> first();
    std::optional<IndexEntry> last();
    std::optional<IndexEntry> after(std::string_view key, uint32_t recno);
    std::optional<IndexEntry> before(std::string_view key, uint32_t recno);
    // First entry >= (key, recno).
    std::optional<IndexEntry> lowerBound(std::string_view key, uint32_t recno);

    // Replaces the (empty) tree by one holding `sorted`, nodes filled up.
    void build(const std::vector<IndexEntry>& sorted);
    // Walks the whole tree; throws DbfError on any broken rule.
    void verify();
    uint32_t root();

private:
    struct Step {
        uint32_t page;
        int index;   // interior: chosen child; leaf: entry position
    };
    using Path = std::vector<Step>;

    int compare(std::string_view a, std::string_view b) const;
    int compareEntry(std::string_view key, uint32_t recno, std::string_view tk, uint32_t tr) const;

    const uint8_t* node(uint32_t page, size_t depth);
    bool isLeaf(const uint8_t* b) const;
    int count(const uint8_t* b) const;
    uint32_t ptr(const uint8_t* b, int i) const;
    std::string_view key(const uint8_t* b, int i) const;
    uint8_t* item(uint8_t* b, int i) const;

    void setRoot(uint32_t page);
    void changed(int pagesDelta);
    uint32_t allocate();
    void release(uint32_t page);

    uint32_t maxRecno(uint32_t page, size_t depth);
    void descend(std::string_view tk, uint32_t tr, bool strict, Path& path);
    void descendEdge(uint32_t page, bool rightmost, Path& path);
    bool advance(Path& path);
    bool retreat(Path& path);
    std::optional<IndexEntry> entryAt(const Path& path);
    std::optional<IndexEntry> checked(std::optional<IndexEntry> e, std::string_view k, uint32_t recno, int side);

    void insertIntoLeaf(Path& path, std::string_view key, uint32_t recno);
    void insertIntoParent(Path& path, size_t level, std::string_view sep, uint32_t right);
    void removeChild(Path& path, size_t level);
    void updateSeparator(const Path& path, size_t level, std::string_view newMax);
    void collapseRoot();
    void updateEdges();
    uint32_t verifyNode(uint32_t page, size_t depth, int& leafDepth, std::string& lastKey,
                        uint32_t& lastRecno, bool& any, std::vector<uint32_t>& seen);

    MdxFile& file_;
    MdxTagLayout l_;
};

} // namespace zedora::dbase
