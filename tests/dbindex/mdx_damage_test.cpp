#include "dbase/mdx_format.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace dbindex_test;
using namespace zedora::dbase::mdx;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), std::streamsize(data.size()));
}

uint32_t at32(const std::string& d, size_t o) { return get32(reinterpret_cast<const uint8_t*>(d.data() + o)); }
void set32(std::string& d, size_t o, uint32_t v) { put32(reinterpret_cast<uint8_t*>(d.data() + o), v); }

// A valid index of a few hundred entries, three levels deep with 512-byte blocks.
struct DamageFixture : ::testing::Test {
    TempDir dir;
    FakeTable table;
    std::string path;
    std::string good;
    void SetUp() override {
        table.field("K", 'C', 60);
        for (int i = 0; i < 400; ++i) table.append({{"K", "KEY" + std::to_string(i * 37 % 400)}});
        path = dir.file("D.MDX");
        auto index = MdxIndex::create(path, "D", 512);
        index->addTag("K", KeyExpression::compile("K", table.fields), false, table.visitor());
        index.reset();
        good = readAll(path);
    }
    uint32_t tagHeader() const { return at32(good, kTagTableOffset); }
    uint32_t rootPage() const { return at32(good, size_t(tagHeader()) * kPageSize); }

    // Opens and uses `data`; returns the DbfError text, "" when all went well.
    std::string exercise(const std::string& data) {
        writeAll(path, data);
        try {
            auto index = MdxIndex::open(path, true, table.fields);
            for (int tag = 0; tag < int(index->tags().size()); ++tag) {
                int steps = 0;
                for (auto e = index->first(tag); e && steps < 1000; e = index->next(tag, *e)) ++steps;
                steps = 0;
                for (auto e = index->last(tag); e && steps < 1000; e = index->prior(tag, *e)) ++steps;
                index->seek(tag, "KEY2");
                for (uint32_t r = 0; r < 40; ++r) index->insert(tag, "NEU" + std::to_string(r), 500 + r);
                index->remove(tag, "KEY5", 1);
                index->verify(tag);
            }
        } catch (const DbfError& e) {
            return e.what();
        }
        return "";
    }
};

} // namespace

TEST_F(DamageFixture, HeaderFaultsAreRefusedAtOpen) {
    std::string bad = good;
    bad[0] = 3;
    EXPECT_NE(exercise(bad).find(path), std::string::npos);

    EXPECT_NE(exercise(good.substr(0, 1000)).find("zu kurz"), std::string::npos);
    // The pages the header counts must be there.
    EXPECT_NE(exercise(good.substr(0, good.size() - 512)).find("Dateigröße"), std::string::npos);

    bad = good;
    bad[header::blockSize] = 7;
    EXPECT_NE(exercise(bad).find("Blockgröße"), std::string::npos);
    bad = good;
    bad[header::tagsUsed] = 60;
    EXPECT_NE(exercise(bad).find("Anzahl der Tags"), std::string::npos);

    bad = good;
    set32(bad, kTagTableOffset, 9999);   // tag header beyond the end
    EXPECT_NE(exercise(bad).find("außerhalb der Datei"), std::string::npos);

    EXPECT_NE(exercise(std::string(4096, 'x')).find("keine gültige MDX"), std::string::npos);

    // A flush that was cut off by a killed process.
    bad = good;
    bad[header::writing] = 1;
    EXPECT_NE(exercise(bad).find("nicht vollständig geschrieben"), std::string::npos);
    EXPECT_EQ(exercise(good), "");
}

TEST_F(DamageFixture, BrokenTreesAreReportedAndNeverWritten) {
    // Root pointing beyond the file.
    std::string bad = good;
    set32(bad, size_t(tagHeader()) * kPageSize, 123456);
    std::string message = exercise(bad);
    EXPECT_NE(message.find("beschädigt"), std::string::npos);
    EXPECT_NE(message.find(path), std::string::npos);
    EXPECT_EQ(readAll(path), bad);

    // An interior node whose first child is the node itself: a loop.
    bad = good;
    const size_t root = size_t(rootPage()) * kPageSize;
    ASSERT_NE(at32(bad, root + 8 + at32(bad, root) * 64), 0u) << "root must be interior";
    set32(bad, root + 8, rootPage());
    message = exercise(bad);
    EXPECT_NE(message.find("Schleife"), std::string::npos);
    EXPECT_EQ(readAll(path), bad);

    // A node claiming more keys than fit.
    bad = good;
    set32(bad, root, 5000);
    EXPECT_NE(exercise(bad).find("zu viele Einträge"), std::string::npos);
    EXPECT_EQ(readAll(path), bad);

    // A free list that loops, found when a split needs a block.
    bad = good;
    set32(bad, header::firstFree, rootPage());
    set32(bad, root + 4, rootPage());
    EXPECT_NE(exercise(bad), "");
    EXPECT_EQ(readAll(path), bad);
}

TEST_F(DamageFixture, GarbageNeverCrashes) {
    std::mt19937 rng(11);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bad = good;
        const int flips = 1 + int(rng() % 40);
        for (int i = 0; i < flips; ++i) {
            // Mostly inside the header and the tree, sometimes whole garbage blocks.
            const size_t pos = rng() % bad.size();
            if (rng() % 8 == 0) {
                for (size_t j = pos; j < std::min(bad.size(), pos + 512); ++j) bad[j] = char(rng());
            } else {
                bad[pos] = char(rng());
            }
        }
        if (!exercise(bad).empty()) ++refused;
    }
    EXPECT_GT(refused, 0);
}

TEST_F(DamageFixture, ForeignTagsOpenButAreNotMaintained) {
    // A key type no dBase writes, a numeric type over a character
    // expression, and a key over a field this table does not have.
    std::string foreign = good;
    const size_t th = size_t(tagHeader()) * kPageSize;
    foreign[th + tag::keyType] = 'X';
    foreign[kTagTableOffset + entry::keyType] = 'X';
    writeAll(path, foreign);
    auto index = MdxIndex::open(path, true, table.fields);
    ASSERT_EQ(index->tags().size(), 1u);
    EXPECT_EQ(index->tags()[0].keyType, 'X');
    EXPECT_THROW(index->keyExpression(0), DbfError);
    EXPECT_THROW(index->first(0), DbfError);
    EXPECT_THROW(index->insert(0, "1", 1), DbfError);
    index.reset();
    EXPECT_EQ(readAll(path), foreign);

    foreign[th + tag::keyType] = 'N';
    writeAll(path, foreign);
    index = MdxIndex::open(path, true, table.fields);
    try {
        index->keyExpression(0);
        ADD_FAILURE() << "no error";
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("Schlüsseltyp passt nicht"), std::string::npos) << e.what();
    }
    EXPECT_THROW(index->insert(0, "1", 1), DbfError);
    index.reset();
    EXPECT_EQ(readAll(path), foreign);

    FakeTable other;
    other.field("ANDERS", 'C', 60);
    writeAll(path, good);
    index = MdxIndex::open(path, true, other.fields);
    try {
        index->keyExpression(0);
        ADD_FAILURE() << "no error";
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("unbekanntes Feld K"), std::string::npos) << e.what();
    }
    EXPECT_THROW(index->remove(0, "KEY1", 1), DbfError);
    EXPECT_TRUE(index->first(0));  // reading in the stored order still works
}
