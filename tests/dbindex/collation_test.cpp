#include "dbase/collation.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dbindex_test;

namespace {

std::vector<std::string> sorted(std::vector<std::string> keys) {
    std::sort(keys.begin(), keys.end(),
              [](const std::string& a, const std::string& b) { return compareKeys(a, b) < 0; });
    return keys;
}

std::vector<std::string> ws(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* s : utf8) out.push_back(w(s));
    return out;
}

} // namespace

TEST(Collation, UmlautsSortWithTheirBaseLetters) {
    // Ü counts as U (not as UE); equal weights fall back to the byte code.
    EXPECT_EQ(sorted(ws({"MÜLLERS", "MÜLLER", "MULLER", "MUELLER", "MULL", "MÜLL", "MUNZ", "MAYER"})),
              ws({"MAYER", "MUELLER", "MULL", "MÜLL", "MULLER", "MÜLLER", "MÜLLERS", "MUNZ"}));
    EXPECT_EQ(sorted(ws({"ÖZDEMIR", "OTTO", "OZ", "PAUL", "ÄRGER", "ANTON", "BERT"})),
              ws({"ANTON", "ÄRGER", "BERT", "OTTO", "OZ", "ÖZDEMIR", "PAUL"}));
    EXPECT_EQ(sorted(ws({"ärger", "anton", "bert", "Zoe", "Ärger"})),
              ws({"Ärger", "Zoe", "anton", "ärger", "bert"}));  // everything else by code: Z < a
}

TEST(Collation, SharpSSortsAsSS) {
    EXPECT_EQ(sorted(ws({"STRASSEN", "STRAßE", "STRASSE", "STRASBURG", "STRAUß"})),
              ws({"STRASBURG", "STRASSE", "STRAßE", "STRASSEN", "STRAUß"}));
    // In mixed case ß weighs as ss and so stays among the lower-case letters.
    EXPECT_EQ(sorted(ws({"Straußberg", "Straubing", "Strauss", "Strauß", "Strauz"})),
              ws({"Straubing", "Strauss", "Strauß", "Straußberg", "Strauz"}));
}

TEST(Collation, BlankPaddingAndOtherCharactersByCode) {
    EXPECT_EQ(compareKeys("ABC", "ABC   "), 0);
    EXPECT_LT(compareKeys("AB", "AB!"), 0);
    EXPECT_LT(compareKeys("AB", "ABA"), 0);
    EXPECT_LT(compareKeys("Z", w("É")), 0);      // É is not an umlaut: by code, after Z
    EXPECT_GT(compareKeys(w("ß"), "SS"), 0);     // tie on weights, then ß > S
    EXPECT_LT(compareKeys(w("ß"), "ST"), 0);
    EXPECT_LT(compareKeys(w("ß"), "SSA"), 0);
    EXPECT_LT(compareKeys("1", "A"), 0);
    EXPECT_GT(compareKeys("", "\x01"), 0);      // the padding blank is compared too
}

TEST(Collation, TotalOrderAgreesWithSortKeys) {
    // Random keys over letters that exercise every special weight.
    const std::string alphabet = w("AaÄäOoÖöUuÜüSsß Zz1É");
    std::mt19937 rng(42);
    std::vector<std::string> keys;
    for (int i = 0; i < 400; ++i) {
        std::string k;
        const int n = int(rng() % 6);
        for (int j = 0; j < n; ++j) k.push_back(alphabet[rng() % alphabet.size()]);
        keys.push_back(k);
    }
    for (const auto& a : keys) {
        for (const auto& b : keys) {
            const int c = compareKeys(a, b);
            ASSERT_EQ(c, -compareKeys(b, a)) << a << " / " << b;
            std::string pa = a, pb = b;
            pa.resize(6, ' ');
            pb.resize(6, ' ');
            ASSERT_EQ(c == 0, pa == pb) << a << " / " << b;  // equal only when the bytes are
            const int s = collationSortKey(a, 6).compare(collationSortKey(b, 6));
            ASSERT_EQ(c < 0, s < 0) << a << " / " << b;
            ASSERT_EQ(c > 0, s > 0) << a << " / " << b;
        }
    }
    const auto order = sorted(keys);
    for (size_t i = 0; i + 2 < order.size(); ++i)
        ASSERT_LE(compareKeys(order[i], order[i + 2]), 0);
}
