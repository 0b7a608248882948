// Numeric and date keys as dBase IV stores them, and the key functions
// other programs use in their tags.
#include "dbase/mdx_key_types.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace dbindex_test;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(char(v));
    out.resize(12, '\0');
    return out;
}

FakeTable numbersTable() {
    FakeTable t;
    t.field("NAME", 'C', 12).field("NR", 'N', 7).field("GEBOREN", 'D', 8).field("NOTE", 'C', 6);
    return t;
}

std::string eval(const FakeTable& t, std::string_view expr, uint32_t recno = 1) {
    return KeyExpression::compile(expr, t.fields).evaluate(t.records[recno - 1].data());
}

} // namespace

TEST(TypedKeys, NumbersArePackedDecimalsAsDBaseWritesThem) {
    EXPECT_EQ(numericKey(123.4), bytes({0x37, 0x11, 0x12, 0x34}));
    EXPECT_EQ(numericKey(-0.05), bytes({0x33, 0x85, 0x50}));
    EXPECT_EQ(numericKey(0), bytes({0x34, 0x01}));
    EXPECT_EQ(numericKey(100), bytes({0x37, 0x0D, 0x10, 0x00}));
    EXPECT_EQ(numericKey(7), bytes({0x35, 0x05, 0x70}));
    for (double v : {0.0, 1.0, -1.0, 42.5, -3.75, 1234567.89, 0.001, 99999999.0})
        EXPECT_DOUBLE_EQ(numericKeyValue(numericKey(v)), v) << v;
    // Another writer storing 100 with one digit, or zero without digits but
    // another exponent, means the same value.
    EXPECT_EQ(compareTypedKeys('N', bytes({0x37, 0x05, 0x10}), numericKey(100)), 0);
    EXPECT_EQ(compareTypedKeys('N', bytes({0x40, 0x01}), numericKey(0)), 0);
}

TEST(TypedKeys, NumbersAndDatesCompareAsValuesNotBytes) {
    std::vector<double> values = {-1000, -99.5, -10, -2, -0.5, -0.05, 0, 0.001, 0.05, 0.5, 1, 2, 9, 10, 10.5, 99, 100, 1e6};
    for (size_t i = 0; i < values.size(); ++i)
        for (size_t j = 0; j < values.size(); ++j) {
            const int c = compareTypedKeys('N', numericKey(values[i]), numericKey(values[j]));
            EXPECT_EQ(c < 0, i < j) << values[i] << " vs " << values[j];
            EXPECT_EQ(c == 0, i == j) << values[i] << " vs " << values[j];
        }
    EXPECT_EQ(dayNumberOf("20000101"), 2451545);
    EXPECT_EQ(dayNumberOf("19700101"), 2440588);
    EXPECT_EQ(dayNumberOf("20240229"), dayNumberOf("20240301") - 1);
    EXPECT_EQ(dayNumberOf("20230229"), 0);  // no such day
    EXPECT_EQ(dayNumberOf("        "), 0);
    EXPECT_EQ(dateTextOf(2451545), "20000101");
    EXPECT_EQ(dateTextOf(dayNumberOf("18991231")), "18991231");
    EXPECT_EQ(dateTextOf(0), "        ");
    // Little-endian double: 2451545.0 is 0x4142B42C80000000.
    EXPECT_EQ(dateKey(2451545), std::string("\x00\x00\x00\x80\x2C\xB4\x42\x41", 8));
    // 1.1.2000 before 2.1.2000, although its bytes sort the other way round.
    const std::string a = dateKey(dayNumberOf("20000101")), b = dateKey(dayNumberOf("20000102"));
    EXPECT_LT(compareTypedKeys('D', a, b), 0);
    EXPECT_GT(std::memcmp(a.data(), b.data(), 8), 0);
    EXPECT_LT(compareTypedKeys('D', dateKey(0), a), 0);  // a blank date first
    EXPECT_EQ(searchKeyFromText('D', "01.01.2000"), a);
    EXPECT_EQ(searchKeyFromText('D', "20000101"), a);
    EXPECT_EQ(searchKeyFromText('N', " -3,5 "), numericKey(-3.5));
    EXPECT_THROW(searchKeyFromText('N', "zwölf"), DbfError);
    EXPECT_THROW(searchKeyFromText('D', "31.02.2020"), DbfError);
}

TEST(TypedKeys, KeyFunctionsInAnyLetterCase) {
    FakeTable t = numbersTable();
    t.append({{"NAME", "  Ada"}, {"NR", "   42.5"}, {"GEBOREN", "20120304"}, {"NOTE", "2-"}});
    t.append({{"NAME", "Bert"}, {"NR", "-123456"}, {"GEBOREN", ""}, {"NOTE", "12abc"}});
    EXPECT_EQ(eval(t, "STR(NR,5)"), "   43");  // rounded
    EXPECT_EQ(eval(t, "str(nr, 8, 2)"), "   42.50");
    EXPECT_EQ(eval(t, "Str(NR)"), "        43");
    EXPECT_EQ(eval(t, "STR(NR,3)", 2), "***");  // does not fit
    EXPECT_EQ(eval(t, "STR(NR,8)", 2), " -123456");
    EXPECT_EQ(eval(t, "DTOC(GEBOREN)"), "03/04/12");
    EXPECT_EQ(eval(t, "DTOC(GEBOREN)", 2), "  /  /  ");
    EXPECT_EQ(eval(t, "SUBSTR(NAME,3,2)"), "Ad");
    EXPECT_EQ(eval(t, "substr(NAME,3)"), "Ada       ");
    EXPECT_EQ(eval(t, "LTRIM(NAME)+NOTE"), "Ada       2-" + std::string(6, ' '));
    EXPECT_EQ(eval(t, "TRIM(NAME)+NOTE", 2), "Bert12abc" + std::string(9, ' '));
    EXPECT_EQ(eval(t, "RTRIM(NAME)+NAME", 2), "BertBert" + std::string(16, ' '));
    EXPECT_EQ(eval(t, "UPPER(LEFT(LTRIM(NAME),2))"), "AD");
    EXPECT_EQ(eval(t, "VAL(NOTE)", 2), numericKey(12));
    EXPECT_EQ(eval(t, "val(NOTE)+NR"), numericKey(44.5));
    EXPECT_EQ(eval(t, "NR"), numericKey(42.5));
    EXPECT_EQ(eval(t, "GEBOREN"), dateKey(dayNumberOf("20120304")));
    EXPECT_EQ(eval(t, "GEBOREN", 2), dateKey(0));
    const KeyExpression n = KeyExpression::compile("nr", t.fields);
    EXPECT_EQ(n.type(), 'N');
    EXPECT_EQ(n.length(), 12);
    const KeyExpression d = KeyExpression::compile("geboren", t.fields);
    EXPECT_EQ(d.type(), 'D');
    EXPECT_EQ(d.length(), 8);
    EXPECT_EQ(KeyExpression::compile("STR(NR,5)+TRIM(NAME)", t.fields).length(), 17);
}

TEST(TypedKeys, NumericAndDateTagsAreBuiltSoughtAndMaintained) {
    TempDir dir;
    FakeTable t = numbersTable();
    std::mt19937 rng(11);
    for (int i = 0; i < 1500; ++i) {
        char nr[16], day[16];
        std::snprintf(nr, sizeof nr, "%7.1f", double(int(rng() % 20000) - 10000) / 10);
        std::snprintf(day, sizeof day, "%04d%02d%02d", 1950 + int(rng() % 70), 1 + int(rng() % 12), 1 + int(rng() % 28));
        t.append({{"NAME", "N" + std::to_string(i)}, {"NR", nr}, {"GEBOREN", i % 50 == 0 ? "" : day}});
    }
    const std::string path = dir.file("TYPED.MDX");
    auto index = MdxIndex::create(path, "TYPED", 512);  // small blocks: a deeper tree
    index->addTag("NR", KeyExpression::compile("NR", t.fields), false, t.visitor());
    index->addTag("GEB", KeyExpression::compile("GEBOREN", t.fields), false, t.visitor());
    index->addTag("NRU", KeyExpression::compile("NR", t.fields), true, t.visitor());
    // Maintenance: new values for a third of the records.
    for (uint32_t r = 1; r <= 500; ++r) {
        for (int tag = 0; tag < 3; ++tag) index->remove(tag, index->keyExpression(tag).evaluate(t.records[r - 1].data()), r);
        char nr[16];
        std::snprintf(nr, sizeof nr, "%7.2f", double(r % 37) - 18.25);
        t.records[r - 1].replace(13, 7, nr);
        for (int tag = 0; tag < 3; ++tag) index->insert(tag, index->keyExpression(tag).evaluate(t.records[r - 1].data()), r);
    }
    index->flush();
    index.reset();
    index = MdxIndex::open(path, true, t.fields);
    ASSERT_EQ(index->tags()[0].keyType, 'N');
    ASSERT_EQ(index->tags()[1].keyType, 'D');

    auto valueOf = [&](int tag, const IndexEntry& e) {
        return tag == 1 ? dateKeyValue(e.key) : numericKeyValue(e.key);
    };
    for (int tag = 0; tag < 2; ++tag) {
        SCOPED_TRACE(tag);
        index->verify(tag);
        const auto entries = walkForward(*index, tag);
        ASSERT_EQ(entries.size(), t.records.size());
        for (size_t i = 1; i < entries.size(); ++i) {
            ASSERT_LE(valueOf(tag, entries[i - 1]), valueOf(tag, entries[i])) << "entry " << i;
            ASSERT_EQ(entries[i].key, index->keyExpression(tag).evaluate(t.records[entries[i].recno - 1].data()));
        }
        auto back = walkBackward(*index, tag);
        std::reverse(back.begin(), back.end());
        ASSERT_EQ(back.size(), entries.size());
    }
    // The unique tag holds each value once, with its lowest record.
    const auto unique = walkForward(*index, 2);
    for (size_t i = 1; i < unique.size(); ++i) ASSERT_LT(valueOf(2, unique[i - 1]), valueOf(2, unique[i]));

    // Seek by value: -5.25 comes from records 24 and 61 ...
    auto hit = index->seek(0, searchKeyFromText('N', "-5,25"));
    ASSERT_TRUE(hit);
    EXPECT_DOUBLE_EQ(numericKeyValue(hit->key), -5.25);
    EXPECT_EQ(hit->recno, 13u);  // 13 % 37 - 18.25
    // ... and a date seek lands on the first birthday on or after it.
    hit = index->seek(1, searchKeyFromText('D', "01.01.1990"));
    ASSERT_TRUE(hit);
    EXPECT_GE(dateKeyValue(hit->key), dayNumberOf("19900101"));
    const auto before = index->prior(1, *hit);
    ASSERT_TRUE(before);
    EXPECT_LT(dateKeyValue(before->key), dayNumberOf("19900101"));
}
