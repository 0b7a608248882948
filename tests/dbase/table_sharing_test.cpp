// What one process sees of another's changes: the change probe, memos
// written elsewhere, records read again.
#include "dbase/table.h"
#include "dbase/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

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
