#include "dbase/mdx_tree.h"

#include "dbase/mdx_format.h"
#include "dbase/mdx_key_types.h"

#include <algorithm>
#include <cstring>

namespace zedora::dbase {

using namespace mdx;

MdxTagLayout MdxTree::newLayout(int blockSize, int keyLength) {
    MdxTagLayout layout;
    layout.keyLength = keyLength;
    layout.itemLength = (keyLength + 4 + 3) / 4 * 4;
    layout.maxKeys = (blockSize - 12) / layout.itemLength;
    return layout;
}

int MdxTree::compare(std::string_view a, std::string_view b) const {
    const int c = compareTypedKeys(l_.keyType, a, b);
    return l_.descending ? -c : c;
}

int MdxTree::compareEntry(std::string_view key, uint32_t recno, std::string_view tk, uint32_t tr) const {
    if (const int c = compare(key, tk)) return c;
    return recno < tr ? -1 : (recno > tr ? 1 : 0);
}

const uint8_t* MdxTree::node(uint32_t page, size_t depth) {
    if (depth > size_t(kMaxTreeDepth)) file_.damaged("Schleife im Indexbaum");
    const uint8_t* b = file_.block(page);
    if (get32(b) > uint32_t(l_.maxKeys))
        file_.damaged("Knoten auf Seite " + std::to_string(page) + " hat zu viele Einträge");
    return b;
}

int MdxTree::count(const uint8_t* b) const { return static_cast<int>(get32(b)); }
uint32_t MdxTree::ptr(const uint8_t* b, int i) const { return get32(b + kNodeItems + i * l_.itemLength); }
std::string_view MdxTree::key(const uint8_t* b, int i) const {
    return {reinterpret_cast<const char*>(b) + kNodeItems + i * l_.itemLength + 4, size_t(l_.keyLength)};
}
uint8_t* MdxTree::item(uint8_t* b, int i) const { return b + kNodeItems + i * l_.itemLength; }
bool MdxTree::isLeaf(const uint8_t* b) const { return ptr(b, count(b)) == 0; }

namespace {
void writeItem(uint8_t* at, int itemLength, uint32_t pointer, std::string_view key) {
    put32(at, pointer);
    std::memcpy(at + 4, key.data(), key.size());
    std::memset(at + 4 + key.size(), 0, size_t(itemLength) - 4 - key.size());
}
} // namespace

uint32_t MdxTree::root() { return get32(file_.block(l_.headerPage) + tag::rootPage); }

void MdxTree::setRoot(uint32_t page) { put32(file_.mutableBlock(l_.headerPage) + tag::rootPage, page); }

void MdxTree::changed(int pagesDelta) {
    uint8_t* h = file_.mutableBlock(l_.headerPage);
    h[tag::serial] = static_cast<uint8_t>(h[tag::serial] + 1);
    if (pagesDelta != 0)
        put32(h + tag::sizePages, get32(h + tag::sizePages) + uint32_t(pagesDelta) * file_.pagesPerBlock());
}

uint32_t MdxTree::allocate() {
    const uint32_t page = file_.allocate();
    changed(1);
    return page;
}

void MdxTree::release(uint32_t page) {
    file_.release(page);
    changed(-1);
}

uint32_t MdxTree::maxRecno(uint32_t page, size_t depth) {
    for (;; ++depth) {
        const uint8_t* b = node(page, depth);
        const int n = count(b);
        if (isLeaf(b)) return n > 0 ? ptr(b, n - 1) : 0;
        page = ptr(b, n);
    }
}

void MdxTree::descend(std::string_view tk, uint32_t tr, bool strict, Path& path) {
    path.clear();
    uint32_t page = root();
    for (size_t depth = 0;; ++depth) {
        const uint8_t* b = node(page, depth);
        const int n = count(b);
        int lo = 0, hi = n;
        if (isLeaf(b)) {
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                const int c = compareEntry(key(b, mid), ptr(b, mid), tk, tr);
                if (strict ? c > 0 : c >= 0) hi = mid; else lo = mid + 1;
            }
            path.push_back({page, lo});
            return;
        }
        // The first child whose highest entry reaches the target; a key
        // equal to the target needs that child's highest record number.
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            const int c = compare(key(b, mid), tk);
            bool left;
            if (c != 0) {
                left = c > 0;
            } else {
                const uint32_t m = maxRecno(ptr(b, mid), depth + 1);
                left = strict ? m > tr : m >= tr;
            }
            if (left) hi = mid; else lo = mid + 1;
        }
        path.push_back({page, lo});
        page = ptr(b, lo);
    }
}

void MdxTree::descendEdge(uint32_t page, bool rightmost, Path& path) {
    for (;;) {
        const uint8_t* b = node(page, path.size());
        const int n = count(b);
        if (isLeaf(b)) {
            path.push_back({page, rightmost ? n - 1 : 0});
            return;
        }
        const int i = rightmost ? n : 0;
        path.push_back({page, i});
        page = ptr(b, i);
    }
}

bool MdxTree::advance(Path& path) {
    for (;;) {
        path.pop_back();
        while (!path.empty()) {
            Step& s = path.back();
            const uint8_t* b = node(s.page, path.size() - 1);
            if (s.index < count(b)) {
                ++s.index;
                descendEdge(ptr(b, s.index), false, path);
                break;
            }
            path.pop_back();
        }
        if (path.empty()) return false;
        if (count(node(path.back().page, path.size() - 1)) > 0) return true;
    }
}

bool MdxTree::retreat(Path& path) {
    for (;;) {
        path.pop_back();
        while (!path.empty()) {
            Step& s = path.back();
            const uint8_t* b = node(s.page, path.size() - 1);
            if (s.index > 0) {
                --s.index;
                descendEdge(ptr(b, s.index), true, path);
                break;
            }
            path.pop_back();
        }
        if (path.empty()) return false;
        if (count(node(path.back().page, path.size() - 1)) > 0) return true;
    }
}

std::optional<IndexEntry> MdxTree::entryAt(const Path& path) {
    const Step& s = path.back();
    const uint8_t* b = node(s.page, path.size() - 1);
    if (s.index < 0 || s.index >= count(b)) return std::nullopt;
    const uint32_t recno = ptr(b, s.index);
    if (recno == 0) file_.damaged("Eintrag ohne Satznummer auf Seite " + std::to_string(s.page));
    return IndexEntry{std::string(key(b, s.index)), recno};
}

std::optional<IndexEntry> MdxTree::first() {
    Path path;
    descendEdge(root(), false, path);
    if (count(node(path.back().page, path.size() - 1)) == 0 && !advance(path)) return std::nullopt;
    return entryAt(path);
}

std::optional<IndexEntry> MdxTree::last() {
    Path path;
    descendEdge(root(), true, path);
    if (path.back().index < 0 && !retreat(path)) return std::nullopt;
    return entryAt(path);
}

std::optional<IndexEntry> MdxTree::lowerBound(std::string_view k, uint32_t recno) {
    Path path;
    descend(k, recno, false, path);
    if (path.back().index >= count(node(path.back().page, path.size() - 1)) && !advance(path))
        return std::nullopt;
    return checked(entryAt(path), k, recno, 0);
}

std::optional<IndexEntry> MdxTree::after(std::string_view k, uint32_t recno) {
    Path path;
    descend(k, recno, true, path);
    if (path.back().index >= count(node(path.back().page, path.size() - 1)) && !advance(path))
        return std::nullopt;
    return checked(entryAt(path), k, recno, 1);
}

std::optional<IndexEntry> MdxTree::before(std::string_view k, uint32_t recno) {
    Path path;
    descend(k, recno, false, path);
    if (path.back().index > 0) {
        --path.back().index;
    } else if (!retreat(path)) {
        return std::nullopt;
    }
    return checked(entryAt(path), k, recno, -1);
}

// A tree out of order could hand back the same entry again and again to a
// caller walking with next() or prior(); such a tree counts as damaged.
std::optional<IndexEntry> MdxTree::checked(std::optional<IndexEntry> e, std::string_view k, uint32_t recno,
                                           int side) {
    if (!e) return e;
    const int c = compareEntry(e->key, e->recno, k, recno);
    if ((side > 0 && c <= 0) || (side == 0 && c < 0) || (side < 0 && c >= 0))
        file_.damaged("Einträge nicht in Schlüsselfolge");
    return e;
}

void MdxTree::insert(std::string_view k, uint32_t recno) {
    Path path;
    descend(k, recno, false, path);
    const uint8_t* b = node(path.back().page, path.size() - 1);
    const int pos = path.back().index;
    if (pos < count(b) && compareEntry(key(b, pos), ptr(b, pos), k, recno) == 0) return;
    insertIntoLeaf(path, k, recno);
    changed(0);
    updateEdges();
}

void MdxTree::insertIntoLeaf(Path& path, std::string_view k, uint32_t recno) {
    const Step leaf = path.back();
    uint8_t* b = file_.mutableBlock(leaf.page);
    const int n = count(b), pos = leaf.index;
    const size_t itemLen = size_t(l_.itemLength);
    if (n < l_.maxKeys) {
        std::memmove(item(b, pos + 1), item(b, pos), size_t(n - pos) * itemLen);
        writeItem(item(b, pos), l_.itemLength, recno, k);
        put32(b, uint32_t(n + 1));
        put32(item(b, n + 1), 0);
        return;
    }
    std::vector<uint8_t> tmp(size_t(n + 1) * itemLen);
    std::memcpy(tmp.data(), item(b, 0), size_t(pos) * itemLen);
    writeItem(tmp.data() + size_t(pos) * itemLen, l_.itemLength, recno, k);
    std::memcpy(tmp.data() + size_t(pos + 1) * itemLen, item(b, pos), size_t(n - pos) * itemLen);
    // Appending at the very end (records added in key order) keeps the left node full.
    bool rightmost = pos == n;
    for (size_t i = 0; rightmost && i + 1 < path.size(); ++i)
        rightmost = path[i].index == count(node(path[i].page, i));
    const int total = n + 1;
    const int leftCount = rightmost ? n : (total + 1) / 2;
    const uint32_t rightPage = allocate();
    uint8_t* r = file_.mutableBlock(rightPage);
    b = file_.mutableBlock(leaf.page);
    std::memset(b + kNodeItems, 0, size_t(file_.blockSize() - kNodeItems));
    std::memcpy(item(b, 0), tmp.data(), size_t(leftCount) * itemLen);
    put32(b, uint32_t(leftCount));
    std::memcpy(item(r, 0), tmp.data() + size_t(leftCount) * itemLen, size_t(total - leftCount) * itemLen);
    put32(r, uint32_t(total - leftCount));
    const std::string sep(key(b, leftCount - 1));
    insertIntoParent(path, path.size() - 1, sep, rightPage);
}

void MdxTree::insertIntoParent(Path& path, size_t level, std::string_view sep, uint32_t right) {
    const uint32_t left = path[level].page;
    const size_t itemLen = size_t(l_.itemLength);
    if (level == 0) {
        const uint32_t newRoot = allocate();
        uint8_t* nb = file_.mutableBlock(newRoot);
        put32(nb, 1);
        writeItem(item(nb, 0), l_.itemLength, left, sep);
        put32(item(nb, 1), right);
        setRoot(newRoot);
        return;
    }
    const Step parent = path[level - 1];
    uint8_t* b = file_.mutableBlock(parent.page);
    const int n = count(b), c = parent.index;
    if (n < l_.maxKeys) {
        std::memmove(item(b, c + 1), item(b, c), size_t(n - c) * itemLen + 4);
        writeItem(item(b, c), l_.itemLength, left, sep);
        put32(item(b, c + 1), right);
        put32(b, uint32_t(n + 1));
        return;
    }
    const int total = n + 1;  // keys after the insert; one pointer more
    std::vector<uint8_t> tmp(size_t(total) * itemLen + 4);
    std::memcpy(tmp.data(), item(b, 0), size_t(c) * itemLen);
    writeItem(tmp.data() + size_t(c) * itemLen, l_.itemLength, left, sep);
    std::memcpy(tmp.data() + size_t(c + 1) * itemLen, item(b, c), size_t(n - c) * itemLen + 4);
    put32(tmp.data() + size_t(c + 1) * itemLen, right);
    // The left half keeps m keys and m + 1 children; key m, its highest, moves up.
    const int m = total / 2;
    const std::string up(reinterpret_cast<const char*>(tmp.data()) + size_t(m) * itemLen + 4,
                         size_t(l_.keyLength));
    const uint32_t newPage = allocate();
    uint8_t* r = file_.mutableBlock(newPage);
    b = file_.mutableBlock(parent.page);
    std::memset(b + kNodeItems, 0, size_t(file_.blockSize() - kNodeItems));
    std::memcpy(item(b, 0), tmp.data(), size_t(m) * itemLen + 4);
    put32(b, uint32_t(m));
    std::memcpy(item(r, 0), tmp.data() + size_t(m + 1) * itemLen, size_t(total - m - 1) * itemLen + 4);
    put32(r, uint32_t(total - m - 1));
    insertIntoParent(path, level - 1, up, newPage);
}

bool MdxTree::remove(std::string_view k, uint32_t recno) {
    Path path;
    descend(k, recno, false, path);
    const Step leaf = path.back();
    const uint8_t* cb = node(leaf.page, path.size() - 1);
    const int n = count(cb), pos = leaf.index;
    if (pos >= n || compareEntry(key(cb, pos), ptr(cb, pos), k, recno) != 0) return false;
    uint8_t* b = file_.mutableBlock(leaf.page);
    const size_t itemLen = size_t(l_.itemLength);
    std::memmove(item(b, pos), item(b, pos + 1), size_t(n - pos - 1) * itemLen);
    std::memset(item(b, n - 1), 0, itemLen);
    put32(b, uint32_t(n - 1));
    if (n == 1 && path.size() > 1) {
        release(leaf.page);
        removeChild(path, path.size() - 2);
    } else if (pos == n - 1 && n > 1) {
        updateSeparator(path, path.size() - 1, key(b, n - 2));
    }
    collapseRoot();
    changed(0);
    updateEdges();
    return true;
}

void MdxTree::removeChild(Path& path, size_t level) {
    const Step s = path[level];
    const int n = count(node(s.page, level)), c = s.index;
    const size_t itemLen = size_t(l_.itemLength);
    if (n == 0) {  // its only child is gone
        if (level == 0) {
            std::memset(file_.mutableBlock(s.page), 0, size_t(file_.blockSize()));
            return;
        }
        release(s.page);
        removeChild(path, level - 1);
        return;
    }
    uint8_t* b = file_.mutableBlock(s.page);
    if (c < n) {
        std::memmove(item(b, c), item(b, c + 1), size_t(n - c - 1) * itemLen + 4);
        std::memset(item(b, n - 1) + 4, 0, itemLen);
        put32(b, uint32_t(n - 1));
    } else {
        const std::string newMax(key(b, n - 1));
        std::memset(item(b, n - 1) + 4, 0, itemLen);
        put32(b, uint32_t(n - 1));
        updateSeparator(path, level, newMax);
    }
}

void MdxTree::updateSeparator(const Path& path, size_t level, std::string_view newMax) {
    const std::string highest(newMax);
    for (size_t l = level; l-- > 0;) {
        const Step& s = path[l];
        if (s.index < count(node(s.page, l))) {
            std::memcpy(item(file_.mutableBlock(s.page), s.index) + 4, highest.data(), highest.size());
            return;
        }
    }
}

void MdxTree::collapseRoot() {
    for (int guard = 0; guard <= kMaxTreeDepth; ++guard) {
        const uint32_t r = root();
        const uint8_t* b = node(r, 0);
        if (isLeaf(b) || count(b) > 0) return;
        const uint32_t child = ptr(b, 0);
        release(r);
        setRoot(child);
    }
    file_.damaged("Schleife im Indexbaum");
}

void MdxTree::updateEdges() {
    Path path;
    descendEdge(root(), false, path);
    const uint32_t firstLeaf = path.back().page;
    const bool hasKeys = count(node(firstLeaf, path.size() - 1)) > 0;
    path.clear();
    descendEdge(root(), true, path);
    const uint32_t lastLeaf = path.back().page;
    uint8_t* h = file_.mutableBlock(l_.headerPage);
    put32(h + tag::firstLeaf, firstLeaf);
    put32(h + tag::lastLeaf, lastLeaf);
    h[tag::hasKeys] = hasKeys ? 1 : 0;
}

void MdxTree::build(const std::vector<IndexEntry>& sorted) {
    const uint32_t firstPage = root();
    const size_t total = sorted.size();
    const size_t perNode = size_t(l_.maxKeys);
    struct Built { uint32_t page; std::string_view highest; };
    std::vector<Built> level;
    const size_t leaves = std::max<size_t>(1, (total + perNode - 1) / perNode);
    size_t at = 0;
    for (size_t i = 0; i < leaves; ++i) {
        const size_t n = total / leaves + (i < total % leaves ? 1 : 0);
        const uint32_t page = i == 0 ? firstPage : allocate();
        uint8_t* b = file_.mutableBlock(page);
        std::memset(b, 0, size_t(file_.blockSize()));
        put32(b, uint32_t(n));
        for (size_t j = 0; j < n; ++j)
            writeItem(item(b, int(j)), l_.itemLength, sorted[at + j].recno, sorted[at + j].key);
        at += n;
        level.push_back({page, n > 0 ? std::string_view(sorted[at - 1].key) : std::string_view()});
    }
    while (level.size() > 1) {
        const size_t children = level.size();
        const size_t nodes = (children + perNode) / (perNode + 1);
        std::vector<Built> up;
        size_t pos = 0;
        for (size_t g = 0; g < nodes; ++g) {
            const size_t n = children / nodes + (g < children % nodes ? 1 : 0);
            const uint32_t page = allocate();
            uint8_t* b = file_.mutableBlock(page);
            put32(b, uint32_t(n - 1));
            for (size_t j = 0; j + 1 < n; ++j)
                writeItem(item(b, int(j)), l_.itemLength, level[pos + j].page, level[pos + j].highest);
            put32(item(b, int(n - 1)), level[pos + n - 1].page);
            up.push_back({page, level[pos + n - 1].highest});
            pos += n;
        }
        level = std::move(up);
    }
    setRoot(level[0].page);
    changed(0);
    updateEdges();
}

void MdxTree::verify() {
    int leafDepth = -1;
    std::string lastKey;
    uint32_t lastRecno = 0;
    bool any = false;
    std::vector<uint32_t> seen;
    verifyNode(root(), 0, leafDepth, lastKey, lastRecno, any, seen);
    std::sort(seen.begin(), seen.end());
    if (std::adjacent_find(seen.begin(), seen.end()) != seen.end())
        file_.damaged("ein Knoten gehört mehrfach zum Indexbaum");
}

uint32_t MdxTree::verifyNode(uint32_t page, size_t depth, int& leafDepth, std::string& lastKey,
                             uint32_t& lastRecno, bool& any, std::vector<uint32_t>& seen) {
    seen.push_back(page);
    const uint8_t* b = node(page, depth);
    const int n = count(b);
    const std::string where = " (Seite " + std::to_string(page) + ")";
    if (isLeaf(b)) {
        if (leafDepth < 0) leafDepth = int(depth);
        if (leafDepth != int(depth)) file_.damaged("Blätter in verschiedener Tiefe" + where);
        if (n == 0 && depth > 0) file_.damaged("leeres Blatt" + where);
        for (int i = 0; i < n; ++i) {
            if (ptr(b, i) == 0) file_.damaged("Eintrag ohne Satznummer" + where);
            if (any && compareEntry(key(b, i), ptr(b, i), lastKey, lastRecno) <= 0)
                file_.damaged("Einträge nicht in Schlüsselfolge" + where);
            lastKey.assign(key(b, i));
            lastRecno = ptr(b, i);
            any = true;
        }
        return page;
    }
    for (int i = 0; i <= n; ++i) {
        const uint32_t child = ptr(b, i);
        verifyNode(child, depth + 1, leafDepth, lastKey, lastRecno, any, seen);
        b = node(page, depth);
        if (i < n && key(b, i) != std::string_view(lastKey))
            file_.damaged("Trennschlüssel ist nicht der höchste Schlüssel des Teilbaums" + where);
    }
    return page;
}

} // namespace zedora::dbase
