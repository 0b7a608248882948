// What one process sees of another's changes: the change probe, memos
// written elsewhere, records read again.
#include "dbase/raw_file.h"
#include "dbase/table.h"
#include "dbase/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sched.h>

using namespace zedora::dbase;
using zedora::test::Child;
using zedora::test::TempDir;

namespace {

std::string makeTable(const TempDir& dir)
{
    const std::string path = dir.file("TEILEN.DBF");
    Table::create(path, {{"NAME", 'C', 10, 0, 0}, {"TEXT", 'M', 10, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    t->addIndexTag("NAME", "NAME", false);
    t->append();
    t->setText("NAME", "Anna");
    t->setMemo(1, "Erste Fassung");
    t->post();
    return path;
}

// Runs body against the table in a child process and waits for it.
template<typename F>
int inChild(const std::string& path, F body)
{
    Child child([&](int) {
        auto t = Table::open(path);
        body(*t);
        return 0;
    });
    return child.wait();
}

} // namespace

TEST(TableSharing, ChangeProbeSeesWritesOfEveryProcess)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    auto t = Table::open(path);
    EXPECT_FALSE(t->changedSinceLastLook()) << "nothing happened since the open";
    t->first();
    EXPECT_FALSE(t->changedSinceLastLook()) << "reading changes nothing";

    ASSERT_EQ(inChild(path, [](Table& other) {
                  other.append();
                  other.setText("NAME", "Bernd");
                  other.post();
              }),
              0);
    EXPECT_TRUE(t->changedSinceLastLook()) << "an append elsewhere";
    EXPECT_FALSE(t->changedSinceLastLook()) << "reported once";

    // Only the memo text changes: the record keeps its length, the .DBT grows.
    ASSERT_EQ(inChild(path, [](Table& other) {
                  other.first();
                  other.edit();
                  other.setMemo(1, "Zweite Fassung, länger als die erste");
                  other.post();
              }),
              0);
    EXPECT_TRUE(t->changedSinceLastLook()) << "a memo edit elsewhere";

    t->first();
    t->edit();
    t->setText("NAME", "Anne");
    t->post();
    EXPECT_TRUE(t->changedSinceLastLook()) << "our own post";
    EXPECT_FALSE(t->changedSinceLastLook());
}

TEST(TableSharing, MemosWrittenElsewhereAreReadFresh)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    auto t = Table::open(path);
    t->first();
    ASSERT_EQ(t->memo(1), "Erste Fassung");

    // Same length, so a cached window of the memo file would hide it.
    ASSERT_EQ(inChild(path, [](Table& other) {
                  other.first();
                  other.edit();
                  other.setMemo(1, "Erste FASSUNG");
                  other.post();
              }),
              0);
    t->gotoRecord(1);
    EXPECT_EQ(t->memo(1), "Erste FASSUNG") << "gotoRecord reads the other's memo";

    ASSERT_EQ(inChild(path, [](Table& other) {
                  other.first();
                  other.edit();
                  other.setMemo(1, "Dritte");
                  other.post();
              }),
              0);
    t->refresh();
    EXPECT_EQ(t->memo(1), "Dritte") << "refresh reads the other's memo";

    // Our edit starts from what is on disk and overwrites nobody's text.
    t->edit();
    EXPECT_EQ(t->memo(1), "Dritte");
    t->setText("NAME", "Anna B");
    t->post();
    ASSERT_EQ(inChild(path, [](Table& other) {
                  other.first();
                  if (other.memo(1) != "Dritte" || other.text("NAME") != "Anna B")
                      throw std::runtime_error("stale: " + other.memo(1));
              }),
              0);
}

class TableSharingLocks : public ::testing::TestWithParam<bool> {
protected:
    // As on a network file system: memo and index files locked as well.
    void SetUp() override { RawFile::forceNetworkFileSystem(GetParam()); }
    void TearDown() override { RawFile::forceNetworkFileSystem(false); }
};

INSTANTIATE_TEST_SUITE_P(LocalAndNetwork, TableSharingLocks, ::testing::Bool());

TEST_P(TableSharingLocks, TwoWritersOfMemosNeverTakeTheSameBlocks)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    constexpr int kRecords = 25;
    auto writer = [&](char who) {
        return [&, who](int) {
            auto t = Table::open(path);
            for (int i = 0; i < kRecords; ++i) {
                const std::string name = std::string(1, who) + std::to_string(i);
                t->append();
                t->setText("NAME", name);
                t->setMemo(1, name + std::string(static_cast<size_t>(100 + 37 * i), who));
                t->post();
                // Grow the memo of the first record, which both write.
                // The other writer may be editing it just now.
                for (int attempt = 0;; ++attempt) {
                    try {
                        t->gotoRecord(1);
                        t->edit();
                        break;
                    } catch (const DbfError&) {
                        if (attempt > 100000)
                            throw;
                        ::sched_yield();
                    }
                }
                t->setMemo(1, t->memo(1) + who);
                t->post();
            }
            return 0;
        };
    };
    Child a(writer('A'));
    Child b(writer('B'));
    ASSERT_EQ(a.wait(), 0);
    ASSERT_EQ(b.wait(), 0);

    auto t = Table::open(path);
    const std::vector<std::string> problems = t->findProblems();
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(t->recordCount(), 1u + 2 * kRecords);
    for (uint32_t r = 2; r <= t->recordCount(); ++r) {
        t->gotoRecord(r);
        const std::string name = t->text("NAME");
        const std::string memo = t->memo(1);
        EXPECT_EQ(memo.substr(0, name.size()), name) << "record " << r;
        EXPECT_EQ(memo.find_first_not_of(name[0], name.size()), std::string::npos) << "record " << r;
    }
    t->gotoRecord(1);
    const std::string first = t->memo(1);
    EXPECT_EQ(std::count(first.begin(), first.end(), 'A'), kRecords) << "no edit of the shared memo was lost";
    EXPECT_EQ(std::count(first.begin(), first.end(), 'B'), kRecords);
}
