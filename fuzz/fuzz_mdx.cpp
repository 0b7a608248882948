// The .MDX reader and B-tree: any bytes as a production index, read and
// then changed through the paths the table cursor uses.
#include "dbase/index.h"
#include "fuzz_file.h"

#include <algorithm>

using namespace zedora::dbase;

namespace {

// Fields of the seed files' tables; tags over other fields open without keys.
const std::vector<FieldDesc>& fields() {
    static const std::vector<FieldDesc> f = {
        {"K", 'C', 60, 0, 1}, {"NAME", 'C', 20, 0, 61}, {"ID", 'C', 15, 0, 81}, {"GEBOREN", 'D', 8, 0, 96},
        {"NR", 'N', 6, 2, 104}};
    return f;
}

void walk(MdxIndex& index, int tag) {
    int steps = 0;
    for (auto e = index.first(tag); e && steps < 2000; e = index.next(tag, *e)) ++steps;
    steps = 0;
    for (auto e = index.last(tag); e && steps < 2000; e = index.prior(tag, *e)) ++steps;
    (void)index.seek(tag, "M");
    (void)index.next(tag, {"KEY1", 3});
}

// A record of the seed table's layout with every kind of field filled in.
std::string sampleRecord() {
    std::string record(110, ' ');
    record.replace(1, 4, "KEY1");
    record.replace(61, 4, "Anna");
    record.replace(96, 8, "20120304");
    record.replace(104, 6, "  1.50");
    return record;
}

// The bytes also as a key expression and as a tag condition: the parser
// sees what a damaged tag header could hold.
void parseAsExpressions(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 220));
    const std::string record = sampleRecord();
    try {
        (void)KeyExpression::compile(text, fields()).evaluate(record.data());
    } catch (const DbfError&) {
    }
    try {
        (void)KeyExpression::compileCondition(text, fields()).matches(record.data());
    } catch (const DbfError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    parseAsExpressions(data, size);
    const std::string path = zedora::fuzz::scratchDir() + "/T.MDX";
    zedora::fuzz::writeFile(path, data, size);
    try {
        auto index = MdxIndex::open(path, false);
        for (int tag = 0; tag < int(index->tags().size()); ++tag) {
            try {
                walk(*index, tag);
            } catch (const DbfError&) {
            }
        }
    } catch (const DbfError&) {
    }
    try {
        // The tag definitions of a file marked incomplete, read for its rebuild.
        (void)MdxIndex::tagsOfIncomplete(path);
    } catch (const DbfError&) {
    }
    try {
        auto index = MdxIndex::open(path, true, fields());
        const std::string record = sampleRecord();
        for (int tag = 0; tag < int(index->tags().size()); ++tag) {
            try {
                if (const KeyExpression* condition = index->condition(tag)) (void)condition->matches(record.data());
                for (uint32_t r = 1; r <= 30; ++r) index->insert(tag, "NEU" + std::to_string(r * 7 % 30), r);
                for (uint32_t r = 1; r <= 30; r += 2) index->remove(tag, "NEU" + std::to_string(r * 7 % 30), r);
                index->remove(tag, "KEY1", 1);
                walk(*index, tag);
                index->verify(tag);
            } catch (const DbfError&) {
            }
        }
        index->flush();
    } catch (const DbfError&) {
    }
    return 0;
}
