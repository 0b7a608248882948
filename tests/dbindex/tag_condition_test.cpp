// FOR conditions of tags: how they evaluate, and where the .MDX keeps them.
#include "dbase/mdx_format.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace dbindex_test;

namespace {

FakeTable pupils() {
    FakeTable t;
    t.field("NAME", 'C', 12).field("KLASSE", 'C', 4).field("NR", 'N', 5).field("GEBOREN", 'D', 8)
     .field("AKTIV", 'L', 1);
    return t;
}

bool holds(const FakeTable& t, std::string_view condition, uint32_t recno) {
    return KeyExpression::compileCondition(condition, t.fields).matches(t.records[recno - 1].data());
}

std::string failure(const FakeTable& t, std::string_view text, bool condition) {
    try {
        if (condition)
            KeyExpression::compileCondition(text, t.fields);
        else
            KeyExpression::compile(text, t.fields);
    } catch (const DbfError& e) {
        return e.what();
    }
    return "(no error)";
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(TagCondition, ComparisonsFollowDbaseWithExactOff) {
    FakeTable t = pupils();
    t.append({{"NAME", w("Müller")}, {"KLASSE", "5A"}, {"NR", "   12"}, {"GEBOREN", "20120304"}, {"AKTIV", "T"}});
    t.append({{"NAME", "Adler"}, {"KLASSE", "10B"}, {"NR", "   -3"}, {"AKTIV", "F"}});

    // The left side counts only as far as the right one reaches; == compares all of it.
    EXPECT_TRUE(holds(t, "KLASSE = '5'", 1));
    EXPECT_TRUE(holds(t, "klasse='5A'", 1));
    EXPECT_FALSE(holds(t, "KLASSE == '5'", 1));
    EXPECT_TRUE(holds(t, "KLASSE == '5A'", 1));  // trailing blanks do not count
    EXPECT_FALSE(holds(t, "KLASSE = '5B'", 1));
    EXPECT_TRUE(holds(t, "KLASSE <> '5B'", 1));
    EXPECT_TRUE(holds(t, "KLASSE # \"10\"", 1));
    EXPECT_TRUE(holds(t, "KLASSE != '10'", 1));
    EXPECT_FALSE(holds(t, "KLASSE # '10'", 2));
    EXPECT_TRUE(holds(t, "'5' $ KLASSE", 1));
    EXPECT_FALSE(holds(t, "'B' $ KLASSE", 1));
    // Order as the German tags sort: Ü with U, before V.
    EXPECT_TRUE(holds(t, w("UPPER(NAME) < 'MV'"), 1));
    EXPECT_TRUE(holds(t, w("UPPER(NAME) >= 'MÜ'"), 1));
    EXPECT_TRUE(holds(t, "NAME < 'B'", 2));

    // Numbers and dates by value.
    EXPECT_TRUE(holds(t, "NR > 9.5", 1));
    EXPECT_FALSE(holds(t, "NR > 12", 1));
    EXPECT_TRUE(holds(t, "NR >= 12 .AND. NR <= 12", 1));
    EXPECT_TRUE(holds(t, "NR < -2", 2));
    EXPECT_TRUE(holds(t, "NR + 3 = 0", 2));
    EXPECT_TRUE(holds(t, "VAL(KLASSE) = 10", 2));
    EXPECT_TRUE(holds(t, "DTOS(GEBOREN) >= '2012'", 1));
    EXPECT_TRUE(holds(t, "DTOS(GEBOREN) = '        '", 2));

    // Logical fields, constants and the connectives, any letter case.
    EXPECT_TRUE(holds(t, "AKTIV", 1));
    EXPECT_FALSE(holds(t, "AKTIV", 2));
    EXPECT_TRUE(holds(t, ".not. AKTIV", 2));
    EXPECT_TRUE(holds(t, "!AKTIV .Or. NR > 100", 2));
    EXPECT_FALSE(holds(t, "AKTIV .AND. KLASSE = '10'", 1));
    EXPECT_TRUE(holds(t, "(KLASSE = '10' .OR. KLASSE = '5') .AND. .NOT. (NR < 0)", 1));
    EXPECT_FALSE(holds(t, "(KLASSE = '10' .OR. KLASSE = '5') .AND. .NOT. (NR < 0)", 2));
    EXPECT_TRUE(holds(t, "AKTIV = .T.", 1));
    EXPECT_TRUE(holds(t, ".F. = AKTIV", 2));
    EXPECT_TRUE(holds(t, ".NOT. DELETED()", 1));
    t.records[0][0] = '*';
    EXPECT_TRUE(holds(t, "deleted()", 1));
}

TEST(TagCondition, LiteralsJoinKeysAndMistakesAreNamed) {
    FakeTable t = pupils();
    t.append({{"NAME", "Adler"}, {"KLASSE", "5A"}});
    const KeyExpression key = KeyExpression::compile("TRIM(KLASSE)+'-'+NAME", t.fields);
    EXPECT_EQ(key.length(), 17);
    EXPECT_EQ(key.evaluate(t.records[0].data()), "5A-Adler         ");
    EXPECT_EQ(KeyExpression::compile("\"x\"", t.fields).evaluate(t.records[0].data()), "x");

    EXPECT_NE(failure(t, "NAME", true).find("kein logischer Wert"), std::string::npos);
    EXPECT_NE(failure(t, "NR = 'A'", true).find("gleicher Art"), std::string::npos);
    EXPECT_NE(failure(t, "NAME .AND. AKTIV", true).find(".AND., .OR. und .NOT."), std::string::npos);
    EXPECT_NE(failure(t, "NAME = 'A", true).find("Zeichenkette ohne Ende"), std::string::npos);
    EXPECT_NE(failure(t, "AKTIV < .T.", true).find("nur auf Gleichheit"), std::string::npos);
    EXPECT_NE(failure(t, "NR $ NR", true).find("$ verlangt Zeichenwerte"), std::string::npos);
    EXPECT_NE(failure(t, "NR > 1.2.3", true).find("ungültige Zahl"), std::string::npos);
    EXPECT_NE(failure(t, "NICHTDA = 'x'", true).find("Fehler in der Bedingung \"NICHTDA = 'x'\""),
              std::string::npos);
    // A comparison or a logical field is no key.
    EXPECT_NE(failure(t, "NAME = 'x'", false).find("keine Bedingung sein"), std::string::npos);
    EXPECT_NE(failure(t, "AKTIV", false).find("keine Bedingung sein"), std::string::npos);
    EXPECT_NE(failure(t, "AKTIV+AKTIV", false).find("+ verbindet nur"), std::string::npos);
}

TEST(TagCondition, HeaderHoldsTheConditionWhereOtherReadersLook) {
    TempDir dir;
    FakeTable t = pupils();
    for (int i = 0; i < 40; ++i)
        t.append({{"NAME", "Kind" + std::to_string(i)}, {"KLASSE", i % 3 == 0 ? "5a" : "6b"},
                  {"NR", std::to_string(i)}});
    const std::string path = dir.file("T.MDX");
    {
        auto index = MdxIndex::create(path, "T");
        const KeyExpression key = KeyExpression::compile("upper(name)", t.fields);
        const KeyExpression condition = KeyExpression::compileCondition("  klasse = '5a' .and. nr > 3 ", t.fields);
        index->addTag("ALLE", key, false, t.visitor());
        index->addTag("FUENF", key, false, &condition, t.visitor());
        EXPECT_EQ(index->tags()[0].condition, "");
        EXPECT_EQ(index->tags()[1].condition, "KLASSE = '5a' .AND. NR > 3");  // literals keep their case
        EXPECT_EQ(walkForward(*index, 0).size(), 40u);
        EXPECT_EQ(walkForward(*index, 1).size(), 12u);  // 6, 9, ... 39
    }
    // dBase's layout: flag at 245 and text at 762 of the tag's header, which
    // is found through the tag table entry at 544 + 32 * n.
    const std::string bytes = fileBytes(path);
    for (int n : {0, 1}) {
        const auto* entry = reinterpret_cast<const uint8_t*>(bytes.data() + mdx::kTagTableOffset + 32 * n);
        const size_t header = size_t(mdx::get32(entry)) * mdx::kPageSize;
        ASSERT_LT(header + 1024, bytes.size() + 1);
        EXPECT_EQ(bytes[header + 245], n == 1 ? 1 : 0);
        EXPECT_EQ(std::string(bytes.c_str() + header + 762), n == 1 ? "KLASSE = '5a' .AND. NR > 3" : "");
    }

    auto reopened = MdxIndex::open(path, true, t.fields);
    ASSERT_NE(reopened->condition(1), nullptr);
    EXPECT_EQ(reopened->condition(0), nullptr);
    EXPECT_TRUE(reopened->condition(1)->matches(t.records[6].data()));
    EXPECT_FALSE(reopened->condition(1)->matches(t.records[3].data()));
    EXPECT_EQ(MdxIndex::tagsOfIncomplete(path)[1].condition, "KLASSE = '5a' .AND. NR > 3");
    // Opened without the table's fields the text is still there to show.
    EXPECT_EQ(MdxIndex::open(path, false)->tags()[1].condition, "KLASSE = '5a' .AND. NR > 3");
}

TEST(TagCondition, UniqueTagTakesOnlyAReplacementThatMeetsTheCondition) {
    TempDir dir;
    FakeTable t = pupils();
    t.append({{"NAME", "Adler"}, {"KLASSE", "5a"}});
    t.append({{"NAME", "Adler"}, {"KLASSE", "6b"}});
    t.append({{"NAME", "Adler"}, {"KLASSE", "5a"}});
    auto index = MdxIndex::create(dir.file("U.MDX"), "U");
    const KeyExpression key = KeyExpression::compile("NAME", t.fields);
    const KeyExpression condition = KeyExpression::compileCondition("KLASSE = '5'", t.fields);
    index->addTag("U", key, true, &condition, t.visitor());
    index->setRecordSource(t.visitor());
    ASSERT_EQ(walkForward(*index, 0).size(), 1u);
    EXPECT_EQ(walkForward(*index, 0)[0].recno, 1u);
    // Record 1 leaves: record 2 has the key but not the class, record 3 takes its place.
    t.deleted[0] = true;
    index->remove(0, key.evaluate(t.records[0].data()), 1);
    ASSERT_EQ(walkForward(*index, 0).size(), 1u);
    EXPECT_EQ(walkForward(*index, 0)[0].recno, 3u);
}

TEST(TagCondition, SmallBlocksCannotHoldACondition) {
    TempDir dir;
    FakeTable t = pupils();
    auto index = MdxIndex::create(dir.file("K.MDX"), "K", 512);
    const KeyExpression key = KeyExpression::compile("NAME", t.fields);
    const KeyExpression condition = KeyExpression::compileCondition("NR > 1", t.fields);
    try {
        index->addTag("K", key, false, &condition, t.visitor());
        ADD_FAILURE() << "a condition in a 512-byte block";
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("mindestens 1024 Bytes"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(index->tags().empty());
    // Not a condition at all.
    EXPECT_THROW(index->addTag("K", key, false, &key, t.visitor()), DbfError);
}
