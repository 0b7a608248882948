// The .MDX reader and B-tree: any bytes as a production index, read and
// then changed through the paths the table cursor uses.
#include "dbase/index.h"
#include "fuzz_file.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
        for (int tag = 0; tag < int(index->tags().size()); ++tag) {
            try {
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
