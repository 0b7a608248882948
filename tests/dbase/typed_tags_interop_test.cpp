// Tables other dBase writers made (GDAL, Perl's XBase) get numeric, date
// and STR() tags from us; we navigate, seek and post in them, and Perl's
// XBase::Index walks what we wrote.
#include "dbase/mdx_key_types.h"
#include "dbase/table.h"
#include "support/temp_dir.h"
#include "xbase_perl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace zedora::dbase;
using zedora::test::TempDir;
using zedora::test::writeBytes;
using namespace xbase_perl;

namespace {

std::vector<double> numbersInOrder(Table& t, const std::string& tag, const std::string& field)
{
    t.selectTag(tag);
    std::vector<double> out;
    for (t.first(); !t.eof(); t.next()) {
        const Value v = t.value(field);
        out.push_back(std::holds_alternative<double>(v) ? std::get<double>(v) : 0);
    }
    return out;
}

std::string gdalTable(const TempDir& dir, int rows)
{
    std::string csv = "NAME,ANZAHL,BETRAG,TAG\n";
    for (int i = 0; i < rows; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "Name%03d,%d,%.2f,%s\n", (i * 37) % rows, (i * 53) % 211 - 105,
                      double((i * 71) % 1000) / 8 - 60, i % 17 == 0 ? "" : ("20" + std::to_string(10 + i % 15) + "-0" +
                                                                           std::to_string(1 + i % 9) + "-1" +
                                                                           std::to_string(i % 10)).c_str());
        csv += line;
    }
    writeBytes(dir.file("in.csv"), csv);
    writeBytes(dir.file("in.csvt"), "\"String(20)\",\"Integer(5)\",\"Real(9.3)\",\"Date\"\n");
    const std::string out = dir.file("schule.dbf");
    EXPECT_EQ(std::system(("ogr2ogr -f 'ESRI Shapefile' " + out + " " + dir.file("in.csv") +
                           " -lco ENCODING=LDID/3 >/dev/null 2>&1").c_str()), 0);
    return out;
}

} // namespace

TEST(TypedTagsInterop, GdalTableGetsNumberDateAndStrTagsThatPerlReads)
{
    if (!haveTool("ogr2ogr --version"))
        GTEST_SKIP() << "ogr2ogr fehlt";
    TempDir dir;
    const std::string path = gdalTable(dir, 400);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->addIndexTag("ANZAHL", "anzahl", false);
        t->addIndexTag("BETRAG", "BETRAG", false);
        t->addIndexTag("TAG", "TAG", false);
        t->addIndexTag("STRNR", "str(ANZAHL,5)+trim(NAME)", false);
    }
    // The companion takes the letter case of the table's extension, the
    // expressions are stored in upper case.
    EXPECT_TRUE(std::filesystem::exists(dir.file("schule.mdx")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("schule.MDX")));
    auto t = Table::open(path);
    ASSERT_EQ(t->tags().size(), 4u);
    EXPECT_EQ(t->tags()[0].keyType, 'N');
    EXPECT_EQ(t->tags()[2].keyType, 'D');
    EXPECT_EQ(t->tags()[3].expression, "STR(ANZAHL,5)+TRIM(NAME)");

    // Numbers in numeric order, negatives first (byte order would not give that).
    for (const char* tag : {"ANZAHL", "BETRAG"}) {
        const auto values = numbersInOrder(*t, tag, tag);
        ASSERT_EQ(values.size(), 400u);
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << tag;
        EXPECT_LT(values.front(), 0);
    }
    // Dates in calendar order, blanks first.
    t->selectTag("TAG");
    std::string last;
    int blanks = 0;
    for (t->first(); !t->eof(); t->next()) {
        const std::string day = t->text("TAG");
        if (day.find_first_not_of(' ') == std::string::npos) {
            ++blanks;
            EXPECT_TRUE(last.empty()) << "a blank date after " << last;
            continue;
        }
        EXPECT_LE(last, day);
        last = day;
    }
    EXPECT_EQ(blanks, 24);

    // Seek by number and by date, as typed.
    t->selectTag("ANZAHL");
    ASSERT_TRUE(t->findKey("-105"));
    EXPECT_EQ(t->text("ANZAHL"), "-105");
    EXPECT_FALSE(t->findKey("106"));
    ASSERT_TRUE(t->findNearest("0,5"));
    EXPECT_EQ(std::get<double>(t->value("ANZAHL")), 1);
    t->selectTag("TAG");
    ASSERT_TRUE(t->findKey("11.02.2011"));
    EXPECT_EQ(t->text("TAG"), "20110211");
    t->selectTag("STRNR");
    ASSERT_TRUE(t->findNearest("   -5"));
    EXPECT_EQ(std::get<double>(t->value("ANZAHL")), -5);

    // A range on a numeric tag holds the numbers between its bounds, by value.
    const auto all = numbersInOrder(*t, "ANZAHL", "ANZAHL");
    const auto inside = std::count_if(all.begin(), all.end(), [](double v) { return v >= -10 && v <= 9.5; });
    ASSERT_GT(inside, 0);
    t->selectTag("ANZAHL");
    t->setRangeStart("-10");
    t->setRangeEnd("9,5");
    t->applyRange();
    long counted = 0;
    for (t->first(); !t->eof(); t->next()) {
        const double v = std::get<double>(t->value("ANZAHL"));
        EXPECT_TRUE(v >= -10 && v <= 9.5) << v;
        ++counted;
    }
    EXPECT_EQ(counted, inside);
    t->last();
    EXPECT_EQ(std::get<double>(t->value("ANZAHL")), 9);
    t->cancelRange();

    // Posting moves the record in every tag; a new record joins them.
    t->selectTag("ANZAHL");
    t->findKey("-5");
    const uint32_t moved = t->recno();
    t->edit();
    t->setText("ANZAHL", "999");
    t->setText("TAG", "18991231");
    t->post();
    t->last();
    EXPECT_EQ(t->recno(), moved);
    t->append();
    t->setText("NAME", "Neu");
    t->setText("ANZAHL", "-999");
    t->setText("BETRAG", "-0.001");
    t->setText("TAG", "20300101");
    t->post();
    const uint32_t added = t->recno();
    t->first();
    EXPECT_EQ(t->recno(), added);
    t->selectTag("BETRAG");
    t->first();
    EXPECT_NE(t->recno(), added);  // -0.001 is not the smallest amount
    ASSERT_TRUE(t->findKey("-0.001"));
    EXPECT_EQ(t->recno(), added);
    t->selectTag("TAG");
    t->last();
    EXPECT_EQ(t->recno(), added);
    ASSERT_TRUE(t->findKey("18991231"));
    EXPECT_EQ(t->recno(), moved);
    t->flush();
    EXPECT_EQ(t->findProblems(), std::vector<std::string>{});

    // Perl's XBase::Index walks every tag in our order.
    if (!haveTool("/usr/bin/perl -MXBase::Index -e 1"))
        GTEST_SKIP() << "libdbd-xbase-perl fehlt";
    for (const TagInfo& tag : t->tags()) {
        SCOPED_TRACE(tag.name);
        const std::string ours = ourWalk(*t, tag.name, tag.keyLength);
        EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 401);
        EXPECT_EQ(perlWalk(dir, dir.file("schule.mdx"), tag.name), ours);
    }
}

TEST(TypedTagsInterop, PerlTableWithRecallByPerlIsFoundAndRebuilt)
{
    if (!haveTool("/usr/bin/perl -MXBase -e 1"))
        GTEST_SKIP() << "libdbd-xbase-perl fehlt";
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    runPerl(dir,
            "use XBase;\n"
            "my $t = XBase->create(name => $ARGV[0], field_names => ['NAME', 'NR', 'GEBOREN'],\n"
            "  field_types => ['C', 'N', 'D'], field_lengths => [20, 6, 8], field_decimals => [undef, 1, undef])\n"
            "  or die XBase->errstr;\n"
            "for my $i (0 .. 199) {\n"
            "  $t->set_record($i, 'Kind' . (199 - $i), ($i * 7) % 101 - 50.5, sprintf('20%02d%02d%02d', 5 + $i % 10, 1 + $i % 12, 1 + $i % 28));\n"
            "}\n"
            "$t->delete_record(10);\n"
            "$t->close;\n"
            "rename(\"$ARGV[0].dbf\", \"$ARGV[0].DBF\") or die;\n",
            dir.file("KLASSE"));
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->addIndexTag("NR", "NR", false);
        t->addIndexTag("GEBOREN", "Geboren", false);
        t->addIndexTag("NRNAME", "STR(NR,6,1)+UPPER(NAME)", true);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("KLASSE.MDX")));
    {
        auto t = Table::open(path);
        const auto values = numbersInOrder(*t, "NR", "NR");
        ASSERT_EQ(values.size(), 199u);  // the deleted record stays hidden
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
        for (const TagInfo& tag : t->tags()) {
            SCOPED_TRACE(tag.name);
            EXPECT_EQ(perlWalk(dir, dir.file("KLASSE.MDX"), tag.name), ourWalk(*t, tag.name, tag.keyLength));
        }
    }
    // Another program recalls the deleted record: our tags do not hold it,
    // the check names it and a rebuild takes it in.
    runPerl(dir, "use XBase;\nmy $t = XBase->new($ARGV[0]) or die XBase->errstr;\n$t->undelete_record(10);\n$t->close;\n",
            path);
    auto t = Table::open(path, OpenMode::Exclusive);
    const auto problems = t->findProblems();
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.front().find("Datensatz 11"), std::string::npos) << problems.front();
    EXPECT_NE(problems.front().find("fehlt im Index"), std::string::npos) << problems.front();
    std::vector<TagSpec> specs;
    for (const TagInfo& tag : t->tags())
        specs.push_back({tag.name, tag.expression, tag.unique});
    t->rebuildIndex(specs);
    EXPECT_EQ(t->findProblems(), std::vector<std::string>{});
    EXPECT_EQ(numbersInOrder(*t, "NR", "NR").size(), 200u);
    t->selectTag("NR");
    ASSERT_TRUE(t->findKey("-50.5"));
    EXPECT_EQ(t->recno(), 1u);
}
