// The production index driven by the cursor: tags added, kept current,
// searched, ranged, and carried along when the table is renamed.
#include "dbase/table.h"
#include "dbase/tag_sets.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::readBytes;
using zedora::test::TempDir;

namespace {

std::vector<FieldDesc> studentFields()
{
    return {{"NAME", 'C', 25, 0, 0}, {"VORNAME", 'C', 25, 0, 0}, {"MW", 'C', 1, 0, 0},
            {"KLASSE", 'C', 7, 0, 0}, {"ID", 'C', 15, 0, 0}, {"TB1", 'M', 10, 0, 0}};
}

void addStudent(Table& t, const std::string& name, const std::string& vorname, const std::string& mw,
                const std::string& klasse, const std::string& id)
{
    t.append();
    t.setText("NAME", name);
    t.setText("VORNAME", vorname);
    t.setText("MW", mw);
    t.setText("KLASSE", klasse);
    t.setText("ID", id);
    t.post();
}

std::string names(Table& t)
{
    std::string out;
    for (t.first(); !t.eof(); t.next())
        out += (out.empty() ? "" : ",") + t.text("NAME");
    return out;
}

// A student file with the four tags and a few students.
std::string makeStudents(const TempDir& dir, const std::string& file = "5A.DBF")
{
    const std::string path = dir.file(file);
    Table::create(path, studentFields());
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        for (const TagSpec& s : studentTags())
            t->addIndexTag(s.name, s.expression, s.unique);
    }
    auto t = Table::open(path);
    addStudent(*t, "Schr\xF6" "der", "Jonas", "M", "5A", "S3");
    addStudent(*t, "\xD6zdemir", "Emre", "M", "5B", "S1");
    addStudent(*t, "Adler", "Mia", "W", "5A", "S4");
    addStudent(*t, "Schmidt", "Lukas", "M", "5A", "S2");
    addStudent(*t, "Oswald", "Lea", "W", "5B", "S5");
    return path;
}

} // namespace

TEST(TableIndex, AddTagNeedsExclusiveAndSetsTheFlag)
{
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, studentFields());
    {
        auto t = Table::open(path);
        EXPECT_THROW(t->addIndexTag("ID", "ID", false), DbfError);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("T.MDX")));
    EXPECT_EQ(readBytes(path)[28], 0);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        EXPECT_THROW(t->addIndexTag("X", "NICHTDA+NAME", false), DbfError);
        t->addIndexTag("ID", "id", false);
        t->addIndexTag("name", "UPPER(NAME)+VORNAME", false);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("T.MDX")));
    const std::string header = readBytes(path);
    EXPECT_EQ(header[28], 1);
    EXPECT_EQ(header[32 + 4 * 32 + 31], 1); // the ID field is marked as indexed
    auto t = Table::open(path);
    const auto tags = t->tags();
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "ID");
    EXPECT_EQ(tags[1].name, "NAME");
    EXPECT_EQ(tags[1].expression, "UPPER(NAME)+VORNAME");
    EXPECT_THROW(t->selectTag("FEHLT"), DbfError);
}

TEST(TableIndex, OrderFollowsTagsAndGermanLetters)
{
    TempDir dir;
    auto t = Table::open(makeStudents(dir));
    EXPECT_EQ(names(*t), "Schr\xF6" "der,\xD6zdemir,Adler,Schmidt,Oswald"); // physical
    t->selectTag("NAME");
    EXPECT_EQ(names(*t), "Adler,Oswald,\xD6zdemir,Schmidt,Schr\xF6" "der");
    t->selectTag("klasse");
    EXPECT_EQ(names(*t), "Adler,Schmidt,Schr\xF6" "der,Oswald,\xD6zdemir");
    t->selectTag("MW");
    EXPECT_EQ(names(*t), "Schmidt,Schr\xF6" "der,Adler,\xD6zdemir,Oswald");
    t->last();
    EXPECT_EQ(t->text("NAME"), "Oswald");
    EXPECT_TRUE(t->prior());
    EXPECT_EQ(t->text("NAME"), "\xD6zdemir");
    t->selectTag("");
    EXPECT_EQ(t->text("NAME"), "\xD6zdemir"); // the record stays current
}

TEST(TableIndex, FindKeyIsExactFindNearestIsNot)
{
    TempDir dir;
    auto t = Table::open(makeStudents(dir));
    t->selectTag("ID");
    EXPECT_TRUE(t->findKey("S4"));
    EXPECT_EQ(t->text("NAME"), "Adler");
    EXPECT_FALSE(t->findKey("S"));
    EXPECT_EQ(t->text("NAME"), "Adler"); // unchanged after a miss
    EXPECT_TRUE(t->findNearest("S35"));
    EXPECT_EQ(t->text("ID"), "S4");
    EXPECT_FALSE(t->findNearest("Z"));
    EXPECT_TRUE(t->eof());
    t->selectTag("");
    EXPECT_THROW(t->findKey("S1"), DbfError);
}

TEST(TableIndex, RangesRestrictToKeys)
{
    TempDir dir;
    auto t = Table::open(makeStudents(dir));
    t->selectTag("KLASSE");
    t->setRangeStart("5B");
    t->setRangeEnd("5B");
    t->applyRange();
    EXPECT_EQ(names(*t), "Oswald,\xD6zdemir");
    t->last();
    EXPECT_EQ(t->text("NAME"), "\xD6zdemir");
    EXPECT_TRUE(t->findNearest("5A"));
    EXPECT_EQ(t->text("NAME"), "Oswald"); // clipped to the range
    t->cancelRange();
    t->setRangeEnd("5A");
    t->applyRange();
    EXPECT_EQ(names(*t), "Adler,Schmidt,Schr\xF6" "der");
    t->last();
    EXPECT_EQ(t->text("NAME"), "Schr\xF6" "der");
    t->cancelRange();
    EXPECT_EQ(names(*t), "Adler,Schmidt,Schr\xF6" "der,Oswald,\xD6zdemir");
}

TEST(TableIndex, EveryTagStaysCurrentOnEditAndDelete)
{
    TempDir dir;
    const std::string path = makeStudents(dir);
    {
        auto t = Table::open(path);
        t->selectTag("ID");
        ASSERT_TRUE(t->findKey("S4"));
        t->edit();
        t->setText("NAME", "Zander");
        t->setText("KLASSE", "5B");
        t->post();
        EXPECT_EQ(t->text("NAME"), "Zander");
        ASSERT_TRUE(t->findKey("S2"));
        t->deleteRecord();
        EXPECT_EQ(t->text("ID"), "S3");
    }
    auto t = Table::open(path);
    t->verifyIndex();
    t->selectTag("NAME");
    EXPECT_EQ(names(*t), "Oswald,\xD6zdemir,Schr\xF6" "der,Zander");
    t->selectTag("KLASSE");
    EXPECT_EQ(names(*t), "Schr\xF6" "der,Oswald,\xD6zdemir,Zander");
    t->selectTag("ID");
    EXPECT_FALSE(t->findKey("S2"));
    EXPECT_TRUE(t->findKey("S4"));
    EXPECT_EQ(t->text("NAME"), "Zander");
}

TEST(TableIndex, RenamedTableOpensWithItsIndexElsewhere)
{
    TempDir dir;
    const std::string path = makeStudents(dir);
    std::filesystem::create_directory(dir.path() / "archiv");
    const std::string target = dir.file("archiv/ALT5A.DBF");
    {
        auto open = Table::open(path);
        EXPECT_THROW(Table::rename(path, target), DbfError); // still open
    }
    Table::rename(path, target);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(dir.file("5A.MDX")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("5A.DBT")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("archiv/ALT5A.DBT")));
    EXPECT_EQ(readBytes(dir.file("archiv/ALT5A.MDX")).substr(4, 6), std::string("ALT5A\0", 6));
    auto t = Table::open(target);
    t->selectTag("NAME");
    t->first();
    EXPECT_EQ(t->text("NAME"), "Adler");

    // Never over an existing table.
    const std::string other = makeStudents(dir, "5B.DBF");
    t.reset();
    EXPECT_THROW(Table::rename(other, target), DbfError);
    EXPECT_TRUE(std::filesystem::exists(other));
}

TEST(TableIndex, RebuildReplacesTheIndex)
{
    TempDir dir;
    const std::string path = makeStudents(dir);
    std::filesystem::remove(dir.file("5A.MDX"));
    EXPECT_THROW(Table::open(path), DbfError);
    Table::clearProductionIndexFlag(path);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->rebuildIndex(textBlockTags());
        ASSERT_EQ(t->tags().size(), 1u);
        t->rebuildIndex(studentTags());
    }
    auto t = Table::open(path);
    ASSERT_EQ(t->tags().size(), 4u);
    t->selectTag("NAME");
    EXPECT_EQ(names(*t), "Adler,Oswald,\xD6zdemir,Schmidt,Schr\xF6" "der");
    EXPECT_FALSE(std::filesystem::exists(dir.file("5A.MDX.neu")));
}

TEST(TableIndex, SibankTagsOnGdalFile)
{
    TempDir dir;
    const std::string path = dir.file("S_2024.DBF");
    std::filesystem::copy_file(std::string(ZEDORA_FIXTURES_DIR) + "/sibank/S_2024.DBF", path);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        for (const TagSpec& s : sibankTags())
            t->addIndexTag(s.name, s.expression, s.unique);
    }
    auto t = Table::open(path);
    EXPECT_EQ(t->tags().size(), 7u);
    t->selectTag("UNIKLAS"); // one entry per class
    std::string classes;
    for (t->first(); !t->eof(); t->next())
        classes += t->text("KLASSE") + "|";
    EXPECT_EQ(classes, "10.1.2|5 a/b|5A|5B|6A|");
    t->selectTag("INDIV");
    t->first();
    EXPECT_EQ(t->text("GEBOREN"), "20000101");
}

TEST(TableIndex, UniqueTagTakesTheNextRecordWhenItsEntryGoes)
{
    TempDir dir;
    const std::string path = dir.file("U.DBF");
    Table::create(path, studentFields());
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->addIndexTag("UNIKLAS", "UPPER(KLASSE)", true);
    }
    auto t = Table::open(path);
    addStudent(*t, "Erster", "A", "W", "5a", "1");
    addStudent(*t, "Zweiter", "B", "M", "5A", "2");
    addStudent(*t, "Dritter", "C", "M", "6A", "3");
    t->selectTag("UNIKLAS");
    EXPECT_EQ(names(*t), "Erster,Dritter");
    t->first();
    t->deleteRecord();
    EXPECT_EQ(names(*t), "Zweiter,Dritter");
    t->first();
    t->edit();
    t->setText("KLASSE", "7A");
    t->post();
    EXPECT_EQ(names(*t), "Dritter,Zweiter");
    t->verifyIndex();
}
