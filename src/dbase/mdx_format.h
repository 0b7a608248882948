#pragma once
// Byte layout of a dBase IV multiple index (.MDX). All numbers little-endian.
// The file is counted in 512-byte pages; a block (one tag header or one
// B-tree node) is a whole number of pages, 1024 bytes by default.
#include <cstdint>

namespace zedora::dbase::mdx {

constexpr int kPageSize = 512;
constexpr uint32_t kHeaderPages = 4;      // file header and tag table: 2048 bytes
constexpr int kTagTableOffset = 544;      // 512..543 is the anchor entry of the tag-name tree
constexpr int kTagEntryLength = 32;
constexpr int kTagEntrySlots = 48;
constexpr int kMaxTags = 47;              // entries that fit below offset 2048
constexpr int kMaxKeyLength = 100;
constexpr int kMaxExpressionLength = 220;
constexpr int kDefaultBlockSize = 1024;
constexpr int kMaxTreeDepth = 32;         // deeper means a loop in a damaged file

namespace header {
constexpr int version = 0;          // 0x02
constexpr int created = 1;          // YY MM DD, year - 1900
constexpr int dbfName = 4;          // 16 bytes, NUL-padded, no extension
constexpr int dbfNameLength = 16;
constexpr int pagesPerBlock = 20;   // uint16
constexpr int blockSize = 22;       // uint16, bytes
constexpr int production = 24;      // 1 for a production index
constexpr int entrySlots = 25;      // 48
constexpr int entryLength = 26;     // 32
constexpr int tagsUsed = 28;        // uint16
constexpr int nextTag = 30;
constexpr int marker = 31;          // 0x1B
constexpr int pageCount = 32;       // uint32, pages in use including the header
constexpr int firstFree = 36;       // uint32, first free block (page number) or 0
constexpr int freeBlocks = 40;      // uint32
constexpr int updated = 44;         // YY MM DD
constexpr int changeCounter = 48;   // uint32 in the reserved area: bumped by every flush
constexpr int writing = 52;         // reserved area: 1 while a flush is under way
constexpr int anchorRoot = 529;     // anchor entry: number of the tag at the root of the name tree
}

namespace entry {                   // one tag table entry
constexpr int headerPage = 0;       // uint32
constexpr int name = 4;             // 11 bytes, NUL-padded
constexpr int nameLength = 11;
constexpr int keyFormat = 15;       // 0x10
constexpr int leftTag = 16;         // name tree: 1-based tag numbers, 0 = none
constexpr int rightTag = 17;
constexpr int parentTag = 18;
constexpr int reserved2 = 19;       // 0x02
constexpr int keyType = 20;         // 'C', 'N', 'D'
}

// Tag header block. Other writers (and dBase's own readers) agree on:
// 0..23 the tree and key description below, 24 the key expression as
// ASCIIZ (at most 220 characters), 245 a flag that the tag has a FOR
// condition, 246 a flag that it holds keys, 248/252 the first and last
// leaf, 257 the creation date, 480 a flag for a key of one plain field,
// and 762 the FOR condition as ASCIIZ (at most 220 characters). The
// condition thus lies in the second page of the header: readers take the
// header as 1024 bytes, so a file with 512-byte blocks cannot hold one.
namespace tag {
constexpr int rootPage = 0;         // uint32
constexpr int sizePages = 4;        // uint32, pages held by the tag's nodes
constexpr int keyFormat = 8;        // 0x10 | 0x08 descending | 0x40 unique
constexpr int keyType = 9;
constexpr int marker = 11;          // 0x1B
constexpr int keyLength = 12;       // uint16
constexpr int maxKeys = 14;         // uint16, keys per node
constexpr int secondaryType = 16;   // uint16
constexpr int itemLength = 18;      // uint16, 4-byte pointer + key, rounded up to 4
constexpr int serial = 20;          // bumped on every change
constexpr int unique = 23;
constexpr int expression = 24;      // ASCIIZ
constexpr int hasCondition = 245;   // 1 when a FOR condition follows at `condition`
constexpr int hasKeys = 246;
constexpr int firstLeaf = 248;      // uint32
constexpr int lastLeaf = 252;       // uint32
constexpr int created = 257;        // YY MM DD
constexpr int plainField = 480;     // 1 when the key is a single field
constexpr int condition = 762;      // ASCIIZ FOR condition
constexpr int conditionBlockSize = 1024; // header bytes a reader takes for it
constexpr uint8_t fmtDescending = 0x08;
constexpr uint8_t fmtField = 0x10;
constexpr uint8_t fmtUnique = 0x40;
}

// Node: uint32 entry count, uint32 (unused by us), then items of itemLength
// bytes: uint32 pointer + key. Leaves point to record numbers; interior nodes
// to child pages and hold one pointer more than keys, each key being the
// highest key of its child. A node is a leaf when the pointer after its last
// item is 0.
constexpr int kNodeItems = 8;

inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

} // namespace zedora::dbase::mdx
