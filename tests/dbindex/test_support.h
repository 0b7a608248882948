#pragma once
// Shared helpers of the index tests: a temporary directory, an in-memory
// table of raw records, and Windows-1252 text from UTF-8 literals.
#include "dbase/index.h"

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace dbindex_test {

using namespace zedora::dbase;

// UTF-8 literal to Windows-1252 bytes (Latin-1 range only).
inline std::string w(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) { out.push_back(char(c)); continue; }
        const unsigned next = static_cast<unsigned char>(utf8[++i]);
        out.push_back(char(((c & 0x1F) << 6) | (next & 0x3F)));
    }
    return out;
}

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("zedora-dbindex-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
private:
    std::filesystem::path path_;
};

struct FakeTable {
    std::vector<FieldDesc> fields;
    int recordLength = 1;
    std::vector<std::string> records;   // index recno - 1
    std::vector<bool> deleted;

    FakeTable& field(const std::string& name, char type, int length) {
        fields.push_back({name, type, length, 0, recordLength});
        recordLength += length;
        return *this;
    }
    uint32_t append(const std::map<std::string, std::string>& values) {
        std::string record(size_t(recordLength), ' ');
        for (const auto& [name, value] : values)
            for (const FieldDesc& f : fields)
                if (f.name == name) record.replace(size_t(f.offset), value.size() < size_t(f.length) ? value.size() : size_t(f.length), value.substr(0, size_t(f.length)));
        records.push_back(record);
        deleted.push_back(false);
        return uint32_t(records.size());
    }
    std::function<void(const MdxIndex::RecordVisitor&)> visitor() const {
        return [this](const MdxIndex::RecordVisitor& visit) {
            for (size_t i = 0; i < records.size(); ++i)
                if (!deleted[i]) visit(uint32_t(i + 1), records[i].data());
        };
    }
};

// The four tags of a student file.
inline FakeTable studentTable() {
    FakeTable t;
    t.field("NAME", 'C', 30).field("VORNAME", 'C', 30).field("KLASSE", 'C', 10)
     .field("MW", 'C', 1).field("GEBOREN", 'D', 8).field("ID", 'C', 15);
    return t;
}

inline std::vector<IndexEntry> walkForward(MdxIndex& index, int tag) {
    std::vector<IndexEntry> out;
    for (auto e = index.first(tag); e; e = index.next(tag, *e)) out.push_back(*e);
    return out;
}

inline std::vector<IndexEntry> walkBackward(MdxIndex& index, int tag) {
    std::vector<IndexEntry> out;
    for (auto e = index.last(tag); e; e = index.prior(tag, *e)) out.push_back(*e);
    return out;
}

} // namespace dbindex_test
