// zedora-cli setup lays out the demo class and the demo text blocks with
// their production index, named in the letter case of the table.
#include "dbase/table.h"
#include "support/run_program.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::TempDir;

TEST(CliSetupIndex, DemoFilesAreLaidOutIndexed)
{
    TempDir dir;
    const auto r = zedora::test::runProgram(dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli setup --workspace " +
                                                     dir.file("ws"));
    ASSERT_EQ(r.code, 0) << r.err;
    struct Expected {
        std::string dbf, mdx;
        std::vector<std::string> tags;
    };
    for (const Expected& e : {Expected{"ws/ZE-0000-0/demo.dbf", "ws/ZE-0000-0/demo.mdx", {"KLASSE", "MW", "NAME", "ID"}},
                              Expected{"ws/DEFINI/#demo.dbf", "ws/DEFINI/#demo.mdx", {"ID"}}}) {
        SCOPED_TRACE(e.dbf);
        ASSERT_TRUE(std::filesystem::exists(dir.file(e.mdx)));
        auto t = Table::open(dir.file(e.dbf));
        std::vector<std::string> names;
        for (const TagInfo& tag : t->tags())
            names.push_back(tag.name);
        EXPECT_EQ(names, e.tags);
        EXPECT_EQ(t->findProblems(), std::vector<std::string>{});
        // The index is really used: ID order walks every record, IDs ascending.
        t->selectTag("ID");
        t->first();
        std::string last = t->text("ID");
        uint32_t seen = 1;
        while (t->next()) {
            EXPECT_LE(last, t->text("ID"));
            last = t->text("ID");
            ++seen;
        }
        EXPECT_EQ(seen, t->recordCount());
    }
    // A second set-up (which drops the indexes of free tables) leaves them indexed too.
    const auto again = zedora::test::runProgram(dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli setup --workspace " +
                                                         dir.file("ws"));
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("ws/ZE-0000-0/demo.mdx")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("ws/DEFINI/#demo.mdx")));
}
