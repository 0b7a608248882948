// Refusals because another process holds the table or a record come as
// HeldElsewhere, so callers need not read the message.
#include "dbase/table.h"
#include "dbase/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zedora::dbase;
using zedora::test::Child;
using zedora::test::TempDir;

TEST(LockRefusal, RecordAndTableHeldByAnotherProcess)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    Table::create(path, {{"NAME", 'C', 12, 0, 0}});
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->append();
        t->setText("NAME", "Anna");
        t->post();
    }
    EXPECT_FALSE(Table::inUse(path));
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    Child other([&](int ready) {
        auto t = Table::open(path);
        t->gotoRecord(1);
        t->edit();
        zedora::test::ready(ready);
        char c = 0;
        return ::read(go[0], &c, 1) == 1 ? 0 : 2;
    });
    other.awaitReady();
    EXPECT_TRUE(Table::inUse(path));
    auto t = Table::open(path);
    t->gotoRecord(1);
    try {
        t->edit();
        FAIL() << "the record is in edit elsewhere";
    } catch (const RecordHeldElsewhere& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Der Datensatz 1 der Tabelle " + path + " wird gerade an einem anderen Arbeitsplatz bearbeitet.");
    }
    try {
        t->deleteRecord();
        FAIL() << "the record is in edit elsewhere";
    } catch (const RecordHeldElsewhere&) {
    }
    t.reset();
    try {
        Table::open(path, OpenMode::Exclusive);
        FAIL() << "another process has the table open";
    } catch (const RecordHeldElsewhere&) {
        FAIL() << "the table, not a record, is held";
    } catch (const HeldElsewhere& e) {
        EXPECT_EQ(std::string(e.what()), "Die Tabelle " + path +
                                             " wird noch von einem anderen Programm benutzt und lässt sich nicht "
                                             "exklusiv öffnen.");
    }
    EXPECT_THROW(Table::remove(path), HeldElsewhere);
    ASSERT_EQ(::write(go[1], "x", 1), 1);
    EXPECT_EQ(other.wait(), 0);
    EXPECT_FALSE(Table::inUse(path));
    ::close(go[0]);
    ::close(go[1]);
}
