// Tags with a FOR condition: built, reopened, navigated, sought and kept
// right by every post; Perl's XBase::Index walks them as we do.
#include "dbase/mdx_format.h"
#include "dbase/table.h"
#include "support/temp_dir.h"
#include "xbase_perl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace zedora::dbase;
using namespace xbase_perl;
using zedora::test::readBytes;
using zedora::test::TempDir;
using zedora::test::writeBytes;

namespace {

const std::vector<TagSpec>& filteredTags()
{
    static const std::vector<TagSpec> tags = {
        {"FUENF", "UPPER(NAME)", false, "KLASSE = '5' .AND. .NOT. DELETED()"},
        {"POSITIV", "NR", false, "NR > 0"},
        {"ERSTE", "KLASSE", true, "AKTIV"},
        {"ALLE", "NAME", false, ""},
    };
    return tags;
}

std::string makeTable(const TempDir& dir)
{
    const std::string path = dir.file("KLASSE.DBF");
    Table::create(path, {{"NAME", 'C', 12, 0, 0}, {"KLASSE", 'C', 3, 0, 0}, {"NR", 'N', 4, 0, 0},
                         {"AKTIV", 'L', 1, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    for (int i = 0; i < 60; ++i) {
        t->append();
        t->setText("NAME", "Kind" + std::to_string((i * 37) % 60));
        t->setText("KLASSE", i % 3 == 0 ? "5a" : i % 3 == 1 ? "5b" : "6a");
        t->setText("NR", std::to_string(i % 7 - 3));
        t->setText("AKTIV", i % 4 == 0 ? "T" : "F");
        t->post();
    }
    for (const TagSpec& s : filteredTags())
        t->addIndexTag(s.name, s.expression, s.unique, s.condition);
    return path;
}

// What a tag must hold, worked out from the records alone: (key, recno) of
// every live record meeting the condition, a unique tag the first per key.
std::vector<uint32_t> expectedOrder(Table& t, const std::string& tag)
{
    std::multimap<std::pair<std::string, uint32_t>, uint32_t> byKey;
    std::map<std::string, bool> seen;
    t.selectTag("");
    for (t.first(); !t.eof(); t.next()) {
        const std::string name = t.text("NAME"), klasse = t.text("KLASSE");
        const int nr = std::stoi(t.text("NR"));
        const bool aktiv = t.text("AKTIV") == "T";
        std::string key;
        if (tag == "FUENF" && klasse[0] == '5')
            key = name;
        else if (tag == "POSITIV" && nr > 0)
            key = std::string(1, char('0' + nr));
        else if (tag == "ERSTE" && aktiv && !seen[klasse]) {
            seen[klasse] = true;
            key = klasse;
        } else if (tag == "ALLE")
            key = name;
        else
            continue;
        for (char& c : key)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        byKey.insert({{key, t.recno()}, t.recno()});
    }
    std::vector<uint32_t> out;
    for (const auto& [k, r] : byKey)
        out.push_back(r);
    return out;
}

std::vector<uint32_t> walk(Table& t, const std::string& tag)
{
    t.selectTag(tag);
    std::vector<uint32_t> out;
    for (t.first(); !t.eof(); t.next())
        out.push_back(t.recno());
    return out;
}

void expectTagsRight(Table& t)
{
    EXPECT_EQ(t.findProblems(), std::vector<std::string>{});
    for (const TagSpec& s : filteredTags()) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(walk(t, s.name), expectedOrder(t, s.name));
    }
}

} // namespace

TEST(FilteredTags, ReopenedTagsHoldOnlyRecordsMeetingTheirCondition)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    auto t = Table::open(path);
    const auto tags = t->tags();
    ASSERT_EQ(tags.size(), 4u);
    EXPECT_EQ(tags[0].condition, "KLASSE = '5' .AND. .NOT. DELETED()");
    EXPECT_EQ(tags[2].condition, "AKTIV");
    EXPECT_EQ(tags[3].condition, "");
    expectTagsRight(*t);
    EXPECT_EQ(walk(*t, "FUENF").size(), 40u);
    EXPECT_EQ(walk(*t, "ERSTE").size(), 3u);  // one active record per class

    // Seeking finds only what the tag holds.
    t->selectTag("FUENF");
    ASSERT_TRUE(t->findKey("KIND0"));
    EXPECT_EQ(t->text("KLASSE"), "5a");
    EXPECT_FALSE(t->findKey("KIND2"));  // Kind2 is in class 6a
    t->selectTag("POSITIV");
    EXPECT_FALSE(t->findKey("0"));
    ASSERT_TRUE(t->findNearest("-5"));
    EXPECT_EQ(t->text("NR"), "1");
    // A record outside the tag, chosen by number, steps on into the tag's order.
    t->gotoRecord(1);  // NR -3
    ASSERT_TRUE(t->next());
    EXPECT_EQ(t->text("NR"), "1");

    // The field flag promises a tag over all values: not given for a filtered one.
    const std::string header = readBytes(path);
    EXPECT_EQ(header[32 + 2 * 32 + 31], 0);  // NR: only POSITIV
    EXPECT_EQ(header[32 + 0 * 32 + 31], 1);  // NAME: ALLE
}

TEST(FilteredTags, PostsMoveRecordsInAndOutOfTheTags)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    auto t = Table::open(path);
    // A record now meets the condition: it enters.
    t->gotoRecord(3);  // 6a, NR -1, inactive
    t->edit();
    t->setText("KLASSE", "5c");
    t->setText("NR", "4");
    t->post();
    expectTagsRight(*t);
    t->selectTag("FUENF");
    EXPECT_TRUE(t->findKey("KIND14"));
    // ... and now fails it again: it leaves.
    t->edit();
    t->setText("KLASSE", "7");
    t->post();
    expectTagsRight(*t);
    EXPECT_FALSE(t->findKey("KIND14"));
    // A key change inside the condition moves it within the tag.
    t->gotoRecord(4);  // 5a, NR 0
    t->edit();
    t->setText("NR", "9");
    t->post();
    t->selectTag("POSITIV");
    t->last();
    EXPECT_EQ(t->recno(), 4u);
    // Appended records enter only when they meet it.
    for (const char* klasse : {"5x", "8"}) {
        t->append();
        t->setText("NAME", std::string("Neu") + klasse);
        t->setText("KLASSE", klasse);
        t->setText("NR", "2");
        t->setText("AKTIV", "T");
        t->post();
    }
    expectTagsRight(*t);
    // The first active record of class 8 now heads the unique tag's key.
    t->selectTag("ERSTE");
    ASSERT_TRUE(t->findKey("8"));
    EXPECT_EQ(t->text("NAME"), "Neu8");
    // Deleted records leave; the unique tag takes the next active one of the class.
    t->selectTag("ERSTE");
    ASSERT_TRUE(t->findKey("5a"));
    const uint32_t first = t->recno();
    t->deleteRecord();
    expectTagsRight(*t);
    t->selectTag("ERSTE");
    ASSERT_TRUE(t->findKey("5a"));
    EXPECT_GT(t->recno(), first);
}

TEST(FilteredTags, ConditionSurvivesRebuildAndAnInterruptedWrite)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        std::vector<TagSpec> specs;
        for (const TagInfo& tag : t->tags())
            specs.push_back({tag.name, tag.expression, tag.unique, tag.condition});
        t->rebuildIndex(specs);
        EXPECT_EQ(t->tags()[1].condition, "NR > 0");
        expectTagsRight(*t);
    }
    // A writer killed mid-flush leaves the index marked; the next open
    // rebuilds it with the same conditions.
    std::string mdx = readBytes(dir.file("KLASSE.MDX"));
    mdx[mdx::header::writing] = 1;
    writeBytes(dir.file("KLASSE.MDX"), mdx);
    auto t = Table::open(path);
    ASSERT_EQ(t->tags().size(), 4u);
    EXPECT_EQ(t->tags()[0].condition, "KLASSE = '5' .AND. .NOT. DELETED()");
    expectTagsRight(*t);
}

TEST(FilteredTags, BadConditionsAreRefusedAndTheIndexStaysAsItWas)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    auto t = Table::open(path, OpenMode::Exclusive);
    for (const char* bad : {"NAME", "NR = 'x'", "KLASSE = '5", "NICHTDA > 1"})
        EXPECT_THROW(t->addIndexTag("NEU", "NAME", false, bad), DbfError) << bad;
    EXPECT_EQ(t->tags().size(), 4u);
    // Blank means no condition at all.
    t->addIndexTag("NEU", "NAME", false, "  ");
    EXPECT_EQ(t->tags().back().condition, "");
    EXPECT_EQ(walk(*t, "NEU").size(), 60u);
}

TEST(FilteredTags, PerlWalksTheFilteredTagsAsWeDo)
{
    if (!haveTool("/usr/bin/perl -MXBase::Index -e 1"))
        GTEST_SKIP() << "libdbd-xbase-perl fehlt";
    TempDir dir;
    const std::string path = makeTable(dir);
    {
        auto t = Table::open(path);
        t->gotoRecord(3);
        t->edit();
        t->setText("KLASSE", "5c");
        t->post();
        t->gotoRecord(6);
        t->deleteRecord();
    }
    auto t = Table::open(path);
    for (const TagInfo& tag : t->tags()) {
        SCOPED_TRACE(tag.name);
        const std::string ours = ourWalk(*t, tag.name, tag.keyLength);
        EXPECT_FALSE(ours.empty());
        EXPECT_EQ(perlWalk(dir, dir.file("KLASSE.MDX"), tag.name), ours);
    }
}

TEST(FilteredTags, PerlWrittenTableGetsFilteredNumberAndDateTags)
{
    if (!haveTool("/usr/bin/perl -MXBase -e 1") || !haveTool("/usr/bin/perl -MXBase::Index -e 1"))
        GTEST_SKIP() << "libdbd-xbase-perl fehlt";
    TempDir dir;
    const std::string path = dir.file("SCHUELER.DBF");
    runPerl(dir,
            "use XBase;\n"
            "my $t = XBase->create(name => $ARGV[0], field_names => ['NAME', 'NR', 'GEBOREN'],\n"
            "  field_types => ['C', 'N', 'D'], field_lengths => [20, 6, 8], field_decimals => [undef, 1, undef])\n"
            "  or die XBase->errstr;\n"
            "for my $i (0 .. 149) {\n"
            "  $t->set_record($i, 'Kind' . (149 - $i), ($i * 7) % 101 - 50.5, sprintf('20%02d%02d%02d', 5 + $i % 10, 1 + $i % 12, 1 + $i % 28));\n"
            "}\n"
            "$t->close;\n"
            "rename(\"$ARGV[0].dbf\", \"$ARGV[0].DBF\") or die;\n",
            dir.file("SCHUELER"));
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->addIndexTag("PLUS", "NR", false, "NR >= 0");
        t->addIndexTag("JUNG", "GEBOREN", false, "DTOS(GEBOREN) >= '2010' .AND. NAME = 'Kind1'");
    }
    auto t = Table::open(path);
    auto count = [&](auto&& meets) {
        size_t n = 0;
        t->selectTag("");
        for (t->first(); !t->eof(); t->next())
            n += meets() ? 1 : 0;
        return n;
    };
    auto plus = [&] { return std::stod(t->text("NR")) >= 0; };
    auto jung = [&] { return t->text("GEBOREN") >= "2010" && t->text("NAME").rfind("Kind1", 0) == 0; };
    ASSERT_GT(count(jung), 10u);
    EXPECT_EQ(walk(*t, "PLUS").size(), count(plus));
    EXPECT_EQ(walk(*t, "JUNG").size(), count(jung));
    // Record 1 (NR -50.5) turns positive and enters; the first of PLUS leaves.
    t->gotoRecord(1);
    t->edit();
    t->setText("NR", "999");
    t->post();
    t->selectTag("PLUS");
    t->last();
    EXPECT_EQ(t->recno(), 1u);
    t->first();
    const uint32_t lowest = t->recno();
    t->edit();
    t->setText("NR", "-1");
    t->post();
    EXPECT_EQ(walk(*t, "PLUS").size(), count(plus));
    const std::vector<uint32_t> after = walk(*t, "PLUS");
    EXPECT_EQ(std::count(after.begin(), after.end(), lowest), 0);
    EXPECT_EQ(t->findProblems(), std::vector<std::string>{});
    for (const TagInfo& tag : t->tags()) {
        SCOPED_TRACE(tag.name);
        EXPECT_EQ(perlWalk(dir, dir.file("SCHUELER.MDX"), tag.name), ourWalk(*t, tag.name, tag.keyLength));
    }
}

TEST(FilteredTags, AConditionWeCannotEvaluateKeepsTheTagReadableAndTheTableUnchanged)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    std::vector<uint32_t> before;
    {
        auto t = Table::open(path);
        before = walk(*t, "POSITIV");
    }
    // Another program's function in the condition of tag 2 (POSITIV).
    std::string mdx = readBytes(dir.file("KLASSE.MDX"));
    const auto* entry = reinterpret_cast<const uint8_t*>(mdx.data() + mdx::kTagTableOffset + 32);
    const size_t header = size_t(mdx::get32(entry)) * mdx::kPageSize;
    ASSERT_EQ(mdx.substr(header + mdx::tag::condition, 7), std::string("NR > 0\0", 7));
    const std::string foreign = "INLIST(NR, 1, 2, 3)";
    mdx.replace(header + mdx::tag::condition, foreign.size() + 1, foreign + '\0');
    writeBytes(dir.file("KLASSE.MDX"), mdx);

    auto t = Table::open(path);
    EXPECT_EQ(t->tags()[1].condition, foreign);
    EXPECT_EQ(walk(*t, "POSITIV"), before);
    t->selectTag("POSITIV");
    EXPECT_TRUE(t->findKey("2"));
    EXPECT_EQ(t->findProblems(), std::vector<std::string>{});
    try {
        t->edit();
        t->setText("NAME", "Neu");
        t->post();
        ADD_FAILURE() << "posted into a tag whose condition is unknown";
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("Bedingung, die nicht ausgewertet werden kann"), std::string::npos)
            << e.what();
    }
}
