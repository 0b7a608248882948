// Whether an open table's path still names the files it has open.
#include "dbase/table.h"
#include "dbase/sample_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

using namespace zedora::dbase;
using zedora::test::makeSampleTable;
using zedora::test::TempDir;

namespace fs = std::filesystem;

TEST(StillAtPath, TrueWhileNothingMovedEvenAfterWrites)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeSampleTable(path);
    auto t = Table::open(path);
    EXPECT_TRUE(t->stillAtPath());
    t->first();
    t->edit();
    t->setMemo(1, "Neuer Text");
    t->post();
    auto other = Table::open(path);
    other->append();
    other->setText("NAME", "Alf");
    other->post();
    EXPECT_TRUE(t->stillAtPath()) << "writing keeps the files";
    EXPECT_TRUE(Table::open(path, OpenMode::SharedWithoutIndex)->stillAtPath());
}

TEST(StillAtPath, FalseOnceTheTableOrACompanionIsDeletedMovedAwayOrReplaced)
{
    // Another table of the same name, to move over ours.
    TempDir elsewhere;
    const std::string replacement = elsewhere.file("KLASSE.DBF");
    Table::create(replacement, {{"NAME", 'C', 10, 0, 0}, {"TEXT", 'M', 10, 0, 0}});
    {
        auto t = Table::open(replacement, OpenMode::Exclusive);
        t->addIndexTag("NAME", "NAME", false);
        t->append();
        t->setText("NAME", "Ersatz");
        t->post();
    }

    struct Change {
        const char* name;
        std::function<void(const TempDir&)> apply;
        bool reopens; // the path names a complete table again
    };
    auto copyOver = [&](const TempDir& dir, const char* ext) {
        const std::string from = elsewhere.file(std::string("KLASSE") + ext);
        const std::string copy = dir.file(std::string("NEU") + ext);
        fs::copy_file(from, copy);
        fs::rename(copy, dir.file(std::string("KLASSE") + ext));
    };
    const Change changes[] = {
        {"table deleted", [](const TempDir& dir) { fs::remove(dir.file("KLASSE.DBF")); }, false},
        {"table renamed away",
         [](const TempDir& dir) { fs::rename(dir.file("KLASSE.DBF"), dir.file("ALT.DBF")); }, false},
        {"table moved to another directory",
         [](const TempDir& dir) {
             fs::create_directory(dir.file("ARCHIV"));
             fs::rename(dir.file("KLASSE.DBF"), dir.file("ARCHIV/KLASSE.DBF"));
         },
         false},
        {"another table renamed over it",
         [&](const TempDir& dir) {
             for (const char* ext : {".DBF", ".DBT", ".MDX"})
                 copyOver(dir, ext);
         },
         true},
        {"only the memo file replaced", [&](const TempDir& dir) { copyOver(dir, ".DBT"); }, true},
        {"only the index replaced", [&](const TempDir& dir) { copyOver(dir, ".MDX"); }, true},
        {"the index deleted", [](const TempDir& dir) { fs::remove(dir.file("KLASSE.MDX")); }, false},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("KLASSE.DBF");
        makeSampleTable(path);
        auto t = Table::open(path);
        ASSERT_TRUE(t->stillAtPath());
        c.apply(dir);
        EXPECT_FALSE(t->stillAtPath());
        t->first();
        EXPECT_EQ(t->text("NAME"), "Clara") << "the open still reads its own files";
        if (c.reopens) {
            auto again = Table::open(path);
            EXPECT_TRUE(again->stillAtPath());
            EXPECT_FALSE(t->stillAtPath()) << "the old open stays replaced";
        }
    }
}

TEST(StillAtPath, TheIndexLeftClosedDoesNotCount)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeSampleTable(path);
    auto t = Table::open(path, OpenMode::SharedWithoutIndex);
    fs::remove(dir.file("KLASSE.MDX"));
    EXPECT_TRUE(t->stillAtPath()) << "this open never had the index";
    fs::remove(dir.file("KLASSE.DBT"));
    EXPECT_FALSE(t->stillAtPath()) << "but it has the memo file";
}
