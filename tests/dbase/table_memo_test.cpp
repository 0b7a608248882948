// Memo files written by other programs, and file systems with weaker locks.
#include "dbase/raw_file.h"
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::TempDir;
using zedora::test::readBytes;
using zedora::test::writeBytes;

namespace {

std::string memoText(int n)
{
    return "Beurteilung " + std::to_string(n) + ": " + std::string(600, static_cast<char>('a' + n));
}

std::string makeTable(const TempDir& dir)
{
    const std::string path = dir.file("FREMD.DBF");
    Table::create(path, {{"NAME", 'C', 10, 0, 0}, {"TEXT", 'M', 10, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    t->addIndexTag("NAME", "NAME", false);
    for (int i = 1; i <= 3; ++i) {
        t->append();
        t->setText("NAME", "S" + std::to_string(i));
        t->setMemo(1, memoText(i));
        t->post();
    }
    return path;
}

} // namespace

TEST(TableMemos, NewMemosNeverGoIntoBlocksOfAForeignFreeChain)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    const std::string dbt = dir.file("FREMD.DBT");
    // dBase IV keeps its free-block chain behind the header's first word:
    // here it points at block 1, where the first student's memo lives.
    std::string bytes = readBytes(dbt);
    const size_t blocksBefore = bytes.size() / 512;
    bytes[0] = 1;
    bytes[1] = bytes[2] = bytes[3] = 0;
    writeBytes(dbt, bytes);

    auto t = Table::open(path);
    t->append();
    t->setText("NAME", "S4");
    t->setMemo(1, memoText(4));
    t->post();
    t->gotoRecord(2);
    t->edit();
    t->setMemo(1, "kurz");
    t->post();

    for (int i = 1; i <= 4; ++i) {
        t->gotoRecord(static_cast<uint32_t>(i));
        EXPECT_EQ(t->memo(1), i == 2 ? "kurz" : memoText(i)) << "record " << i;
    }
    const std::vector<std::string> problems = t->findProblems();
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_GE(readBytes(dbt).size() / 512, blocksBefore + 2) << "the new memos went to the end of the file";
}

TEST(TableMemos, CheckFindsSharedAndDanglingMemosAndRepairGivesEachItsOwn)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    // Record 2 points to record 1's memo, record 3 beyond the file's end.
    std::string dbf = readBytes(path);
    const size_t header = static_cast<uint8_t>(dbf[8]) | static_cast<uint8_t>(dbf[9]) << 8;
    const size_t length = static_cast<uint8_t>(dbf[10]) | static_cast<uint8_t>(dbf[11]) << 8;
    const std::string first = dbf.substr(header + 11, 10);
    dbf.replace(header + length + 11, 10, first);
    dbf.replace(header + 2 * length + 11, 10, "     99999");
    writeBytes(path, dbf);

    {
        auto t = Table::open(path);
        const std::vector<std::string> problems = t->findProblems();
        ASSERT_EQ(problems.size(), 2u);
        EXPECT_NE(problems[0].find("Datensatz 3, Feld TEXT"), std::string::npos) << problems[0];
        EXPECT_NE(problems[1].find("gehört auch zu Datensatz 1"), std::string::npos) << problems[1];
        EXPECT_THROW(t->repairMemos(), DbfError) << "only on an exclusive open";
    }
    auto t = Table::open(path, OpenMode::Exclusive);
    const std::vector<std::string> done = t->repairMemos();
    EXPECT_EQ(done.size(), 2u);
    EXPECT_TRUE(t->findProblems().empty());
    t->gotoRecord(2);
    EXPECT_EQ(t->memo(1), memoText(1)) << "record 2 keeps the text it showed";
    t->edit();
    t->setMemo(1, "nur für S2");
    t->post();
    t->gotoRecord(1);
    EXPECT_EQ(t->memo(1), memoText(1)) << "record 1's memo is its own again";
    t->gotoRecord(3);
    EXPECT_EQ(t->memo(1), "");
}

TEST(TableMemos, WithoutOpenFileLocksASharedOpenOnlyReadsAndAFileOpensOncePerProcess)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    RawFile::forcePerProcessLocks(true);
    struct Reset {
        ~Reset() { RawFile::forcePerProcessLocks(false); }
    } reset;
    {
        auto shared = Table::open(path);
        EXPECT_TRUE(shared->readOnly());
        shared->first();
        EXPECT_EQ(shared->text("NAME"), "S1") << "reading works";
        try {
            shared->edit();
            FAIL() << "shared writing without open-file locks";
        } catch (const DbfError& e) {
            EXPECT_NE(std::string(e.what()).find("kann hier nur gelesen werden"), std::string::npos) << e.what();
        }
        EXPECT_THROW(Table::open(path), DbfError) << "a second open would share the first one's locks";
        EXPECT_THROW(Table::open(path, OpenMode::Exclusive), DbfError);
        EXPECT_THROW(Table::rename(path, dir.file("NEU.DBF")), DbfError) << "our own open is not excluded by the lock";
        EXPECT_THROW(Table::remove(path), DbfError);
    }
    auto exclusive = Table::open(path, OpenMode::Exclusive);
    EXPECT_FALSE(exclusive->readOnly());
    exclusive->first();
    exclusive->edit();
    exclusive->setText("NAME", "S1b");
    exclusive->post();
    EXPECT_TRUE(exclusive->findProblems().empty());
}
