#include "dbase/dbf_header.h"

#include <ctime>
#include <set>

namespace zedora::dbase {

namespace {

uint32_t le32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

uint16_t le16(const std::string& b, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

void put16(std::string& b, size_t at, uint32_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& b, size_t at, uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

bool knownVersion(uint8_t v)
{
    // dBase III / IV without memo, dBase III with memo, dBase IV with memo.
    return v == 0x03 || v == 0x83 || v == 0x8B || v == 0x7B;
}

[[noreturn]] void damaged(const std::string& path, const std::string& why)
{
    throw DbfError("Die Datei " + path + " ist keine gültige dBase-Tabelle: " + why);
}

std::string checkField(const FieldDesc& f)
{
    switch (f.type) {
    case 'C':
        if (f.length < 1 || f.length > 254 || f.decimals != 0)
            return "Textfeld " + f.name + " hat eine ungültige Breite";
        break;
    case 'D':
        if (f.length != 8 || f.decimals != 0)
            return "Datumsfeld " + f.name + " hat nicht die Breite 8";
        break;
    case 'L':
        if (f.length != 1 || f.decimals != 0)
            return "Logikfeld " + f.name + " hat nicht die Breite 1";
        break;
    case 'M':
        if (f.length != 10 || f.decimals != 0)
            return "Memofeld " + f.name + " hat nicht die Breite 10";
        break;
    case 'N':
    case 'F':
        if (f.length < 1 || f.length > 32 || f.decimals < 0 || (f.decimals > 0 && f.decimals >= f.length - 1))
            return "Zahlenfeld " + f.name + " hat eine ungültige Breite";
        break;
    default:
        return "Feld " + f.name + " hat den unbekannten Typ '" + std::string(1, f.type) + "'";
    }
    return {};
}

bool validNameChar(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

bool DbfHeader::hasMemoFields() const
{
    for (const FieldDesc& f : fields)
        if (f.type == 'M')
            return true;
    return false;
}

uint16_t headerLengthOf(const std::string& first32, uint64_t fileSize, const std::string& path)
{
    if (first32.size() < 32 || fileSize < 32)
        damaged(path, "der Dateikopf ist unvollständig.");
    if (!knownVersion(static_cast<uint8_t>(first32[0])))
        damaged(path, "unbekannte Versionskennung.");
    const uint16_t headerLength = le16(first32, 8);
    if (headerLength < 32 + 32 + 1)
        damaged(path, "die Kopflänge ist ungültig.");
    if (headerLength > fileSize)
        damaged(path, "der Dateikopf ist länger als die Datei.");
    return headerLength;
}

DbfHeader parseDbfHeader(const std::string& b, uint64_t fileSize, const std::string& path)
{
    DbfHeader h;
    h.headerLength = headerLengthOf(b, fileSize, path);
    if (b.size() < h.headerLength)
        damaged(path, "der Dateikopf ist unvollständig.");
    h.version = static_cast<uint8_t>(b[0]);
    for (int i = 0; i < 3; ++i)
        h.updated[i] = static_cast<uint8_t>(b[1 + i]);
    h.recordCount = le32(b, 4);
    h.recordLength = le16(b, 10);
    h.productionIndex = static_cast<uint8_t>(b[28]);
    h.languageDriver = static_cast<uint8_t>(b[29]);

    // Field descriptors up to the 0x0D terminator, which must lie inside the header.
    size_t at = 32;
    int offset = 1;
    std::set<std::string> names;
    for (;;) {
        if (at >= h.headerLength)
            damaged(path, "die Feldbeschreibungen haben kein Endezeichen.");
        if (b[at] == '\x0D')
            break;
        if (at + 32 > h.headerLength)
            damaged(path, "die Feldbeschreibungen haben kein Endezeichen.");
        FieldDesc f;
        size_t n = 0;
        while (n < 11 && b[at + n] != '\0')
            ++n;
        f.name = b.substr(at, n);
        for (char& c : f.name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        if (f.name.empty())
            damaged(path, "ein Feld hat keinen Namen.");
        for (unsigned char c : f.name)
            if (c < 0x20 || c == 0x7F)
                damaged(path, "ein Feldname enthält Steuerzeichen.");
        if (!names.insert(f.name).second)
            damaged(path, "der Feldname " + f.name + " kommt doppelt vor.");
        f.type = b[at + 11];
        if (f.type >= 'a' && f.type <= 'z')
            f.type = static_cast<char>(f.type - 32);
        f.length = static_cast<uint8_t>(b[at + 16]);
        f.decimals = static_cast<uint8_t>(b[at + 17]);
        if (std::string why = checkField(f); !why.empty())
            damaged(path, why + ".");
        f.offset = offset;
        offset += f.length;
        h.fields.push_back(f);
        h.indexedFieldFlags.push_back(static_cast<uint8_t>(b[at + 31]));
        at += 32;
    }
    if (h.fields.empty())
        damaged(path, "die Tabelle hat keine Felder.");
    if (offset != h.recordLength)
        damaged(path, "die Satzlänge passt nicht zu den Feldern.");
    const uint64_t available = fileSize - h.headerLength;
    if (static_cast<uint64_t>(h.recordCount) * h.recordLength > available)
        damaged(path, "die Zahl der Datensätze ist größer als die Datei.");
    if ((h.version == kVersionNoMemo) && h.hasMemoFields())
        damaged(path, "Memofelder in einer Tabelle ohne Memodatei.");
    return h;
}

DbfHeader makeDbfHeader(std::vector<FieldDesc> fields, const std::string& path)
{
    DbfHeader h;
    if (fields.empty())
        throw DbfError("Die Tabelle " + path + " kann nicht ohne Felder angelegt werden.");
    if (fields.size() > 255)
        throw DbfError("Die Tabelle " + path + " hat mehr als 255 Felder.");
    std::set<std::string> names;
    int offset = 1;
    for (FieldDesc& f : fields) {
        for (char& c : f.name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        if (f.type >= 'a' && f.type <= 'z')
            f.type = static_cast<char>(f.type - 32);
        if (f.type == 'D')
            f.length = 8;
        else if (f.type == 'L')
            f.length = 1;
        else if (f.type == 'M')
            f.length = 10;
        bool nameOk = !f.name.empty() && f.name.size() <= 10 && f.name[0] >= 'A' && f.name[0] <= 'Z';
        for (unsigned char c : f.name)
            nameOk = nameOk && validNameChar(c);
        if (!nameOk)
            throw DbfError("Ungültiger Feldname \"" + f.name + "\" für die Tabelle " + path + ".");
        if (!names.insert(f.name).second)
            throw DbfError("Der Feldname " + f.name + " kommt in der Tabelle " + path + " doppelt vor.");
        if (std::string why = checkField(f); !why.empty())
            throw DbfError(why + " (Tabelle " + path + ").");
        f.offset = offset;
        offset += f.length;
    }
    if (offset > 65535)
        throw DbfError("Die Datensätze der Tabelle " + path + " wären zu lang.");
    h.fields = std::move(fields);
    h.indexedFieldFlags.assign(h.fields.size(), 0);
    h.version = h.hasMemoFields() ? kVersionDbase4Memo : kVersionNoMemo;
    h.headerLength = static_cast<uint16_t>(32 + 32 * h.fields.size() + 1);
    h.recordLength = static_cast<uint16_t>(offset);
    stampToday(h.updated);
    return h;
}

std::string serializeDbfHeader(const DbfHeader& h)
{
    std::string b(h.headerLength, '\0');
    b[0] = static_cast<char>(h.version);
    for (int i = 0; i < 3; ++i)
        b[1 + i] = static_cast<char>(h.updated[i]);
    put32(b, 4, h.recordCount);
    put16(b, 8, h.headerLength);
    put16(b, 10, h.recordLength);
    b[28] = static_cast<char>(h.productionIndex);
    b[29] = static_cast<char>(h.languageDriver);
    size_t at = 32;
    for (size_t i = 0; i < h.fields.size(); ++i) {
        const FieldDesc& f = h.fields[i];
        for (size_t n = 0; n < f.name.size() && n < 10; ++n)
            b[at + n] = f.name[n];
        b[at + 11] = f.type;
        b[at + 16] = static_cast<char>(f.length);
        b[at + 17] = static_cast<char>(f.decimals);
        b[at + 31] = static_cast<char>(i < h.indexedFieldFlags.size() ? h.indexedFieldFlags[i] : 0);
        at += 32;
    }
    b[at] = '\x0D';
    return b;
}

void stampToday(uint8_t out[3])
{
    std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    out[0] = static_cast<uint8_t>(tm.tm_year);
    out[1] = static_cast<uint8_t>(tm.tm_mon + 1);
    out[2] = static_cast<uint8_t>(tm.tm_mday);
}

} // namespace zedora::dbase
