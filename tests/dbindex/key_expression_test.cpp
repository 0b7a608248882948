#include "dbase/collation.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace dbindex_test;

namespace {

FakeTable sibankLike() {
    FakeTable t;
    t.field("NAME", 'C', 20).field("VORNAME", 'C', 15).field("KLASSE", 'C', 5)
     .field("GESCHLECHT", 'C', 1).field("SGL", 'C', 3).field("GEBOREN", 'D', 8)
     .field("ID", 'C', 15).field("ZAHL", 'N', 5).field("TB1", 'M', 10);
    return t;
}

std::string eval(const FakeTable& t, std::string_view expr, uint32_t recno = 1) {
    return KeyExpression::compile(expr, t.fields).evaluate(t.records[recno - 1].data());
}

std::string pad(std::string s, size_t n) { s.resize(n, ' '); return s; }

} // namespace

TEST(KeyExpression, StudentAndSibankKeysEvaluateBlankPadded) {
    FakeTable t = sibankLike();
    t.append({{"NAME", w("Müller")}, {"VORNAME", "Anna-Lena"}, {"KLASSE", "5a"}, {"GESCHLECHT", "W"},
              {"SGL", "g8"}, {"GEBOREN", "20120304"}, {"ID", w("40972MÜLANNA-LE")}});

    const auto klasse = KeyExpression::compile("KLASSE+UPPER(NAME)+VORNAME", t.fields);
    EXPECT_EQ(klasse.type(), 'C');
    EXPECT_EQ(klasse.length(), 40);
    EXPECT_EQ(klasse.evaluate(t.records[0].data()),
              pad("5a", 5) + pad(w("MÜLLER"), 20) + pad("Anna-Lena", 15));

    EXPECT_EQ(eval(t, "upper(sgl+klasse)+upper(left(name,10))"), "G8 5A   " + pad(w("MÜLLER"), 10));
    EXPECT_EQ(eval(t, "dtos(GEBOREN)+upper(left(NAME,10))+left(VORNAME,5)"),
              "20120304" + pad(w("MÜLLER"), 10) + "Anna-");
    EXPECT_EQ(eval(t, "UPPER(KLASSE)+GESCHLECHT+UPPER(left(NAME,10))+left(VORNAME,10)"),
              "5A   W" + pad(w("MÜLLER"), 10) + "Anna-Lena ");
    EXPECT_EQ(eval(t, " Left ( Name , 3 ) + Sgl "), w("Mül") + "g8 ");
    // LEFT longer than its argument keeps the argument.
    EXPECT_EQ(KeyExpression::compile("LEFT(SGL,10)", t.fields).length(), 3);

    const auto id = KeyExpression::compile("ID", t.fields);
    EXPECT_EQ(id.length(), 15);
    EXPECT_EQ(id.text(), "ID");
    EXPECT_EQ(id.evaluate(t.records[0].data()), w("40972MÜLANNA-LE"));
}

TEST(KeyExpression, EmptyDateGivesBlanks) {
    FakeTable t = sibankLike();
    t.append({{"NAME", "Ohne"}});
    EXPECT_EQ(eval(t, "DTOS(GEBOREN)+LEFT(NAME,4)"), "        Ohne");
}

TEST(KeyExpression, ErrorsAreClear) {
    const FakeTable t = sibankLike();
    auto message = [&](std::string_view expr) -> std::string {
        try {
            KeyExpression::compile(expr, t.fields);
        } catch (const DbfError& e) {
            return e.what();
        }
        return "(no error)";
    };
    EXPECT_NE(message("UPPER(NAMEN)").find("unbekanntes Feld NAMEN"), std::string::npos);
    EXPECT_NE(message("UPPER(NAME").find("')' erwartet"), std::string::npos);
    EXPECT_NE(message("NAME+").find("Ausdruck endet unerwartet"), std::string::npos);
    EXPECT_NE(message("NAME VORNAME").find("unerwartetes Zeichen"), std::string::npos);
    EXPECT_NE(message("LEFT(NAME)").find("',' erwartet"), std::string::npos);
    EXPECT_NE(message("LEFT(NAME,x)").find("ganze Zahl"), std::string::npos);
    EXPECT_NE(message("LOWER(NAME)").find("unbekannte Funktion LOWER"), std::string::npos);
    EXPECT_NE(message("DTOS(NAME)").find("DTOS verlangt ein Datumsfeld"), std::string::npos);
    EXPECT_NE(message("GEBOREN+NAME").find("kein Datum"), std::string::npos);
    EXPECT_EQ(message("GEBOREN"), "(no error)");  // a date key
    EXPECT_EQ(message("ZAHL"), "(no error)");     // a numeric key
    EXPECT_NE(message("UPPER(ZAHL)").find("UPPER verlangt Zeichenwerte"), std::string::npos);
    EXPECT_NE(message("STR(NAME,5)").find("STR verlangt eine Zahl"), std::string::npos);
    EXPECT_NE(message("ZAHL+NAME").find("+ verbindet nur"), std::string::npos);
    EXPECT_NE(message("SUBSTR(NAME,0,3)").find("ersten Zeichen"), std::string::npos);
    EXPECT_NE(message("TB1").find("vom Typ M"), std::string::npos);
    EXPECT_NE(message("").find("Ausdruck endet unerwartet"), std::string::npos);
    EXPECT_NE(message("LEFT(NAME,0)").find("1 bis 100"), std::string::npos);
    EXPECT_NE(message("NAME+NAME+NAME+NAME+NAME+NAME").find("1 bis 100"), std::string::npos);
    // The message quotes the expression.
    EXPECT_NE(message("UPPER(NAMEN)").find("\"UPPER(NAMEN)\""), std::string::npos);
}

TEST(KeyExpression, UpperRaisesUmlautsAndWindowsLetters) {
    FakeTable t = sibankLike();
    t.append({{"NAME", w("äöüßàéîõøþ")}, {"VORNAME", "\x9A\x9C\x9E\xFF\xB5\xF7z"}});
    EXPECT_EQ(eval(t, "UPPER(NAME)"), pad(w("ÄÖÜßÀÉÎÕØÞ"), 20));
    // š œ ž ÿ to Š Œ Ž Ÿ; µ and ÷ have no capital.
    EXPECT_EQ(eval(t, "UPPER(VORNAME)"), pad("\x8A\x8C\x8E\x9F\xB5\xF7Z", 15));
}
