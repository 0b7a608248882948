#pragma once
// The .DBF header: parsing with every check a damaged file needs, and
// building the header of a new dBase IV table.
#include "dbase/index.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zedora::dbase {

// Windows ANSI (code page 1252): the driver byte that dBase readers such as
// GDAL and dbfread decode as Windows-1252, including the 0x80-0x9F letters.
constexpr uint8_t kLanguageDriverAnsi = 0x03;
constexpr uint8_t kVersionNoMemo = 0x03;
constexpr uint8_t kVersionDbase4Memo = 0x8B;
constexpr uint8_t kVersionDbase3Memo = 0x83;

struct DbfHeader {
    uint8_t version = kVersionNoMemo;
    uint8_t updated[3] = {0, 1, 1}; // year - 1900, month, day
    uint32_t recordCount = 0;
    uint16_t headerLength = 0;
    uint16_t recordLength = 0;
    uint8_t productionIndex = 0;    // byte 28
    uint8_t languageDriver = kLanguageDriverAnsi;
    std::vector<FieldDesc> fields;
    std::vector<uint8_t> indexedFieldFlags; // byte 31 of each descriptor

    bool hasMemoFields() const;
    // dBase IV memo layout (block headers) rather than dBase III.
    bool dbase4Memo() const { return version == kVersionDbase4Memo || version == 0x7B; }
};

// Validates and parses the header bytes (all of them, up to headerLength)
// of a file of fileSize bytes. Throws DbfError naming path.
DbfHeader parseDbfHeader(const std::string& bytes, uint64_t fileSize, const std::string& path);
// The number of bytes to read for the header, from its first 32 bytes.
uint16_t headerLengthOf(const std::string& first32, uint64_t fileSize, const std::string& path);

// A new header for the given fields (names upper-cased, offsets computed).
// Throws DbfError for an invalid field list.
DbfHeader makeDbfHeader(std::vector<FieldDesc> fields, const std::string& path);
std::string serializeDbfHeader(const DbfHeader& header);
// Today's date in the header's three bytes.
void stampToday(uint8_t out[3]);

} // namespace zedora::dbase
