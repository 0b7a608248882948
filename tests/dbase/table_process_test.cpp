// Several processes on one table: real child processes via fork().
#include "dbase/table.h"
#include "dbase/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace zedora::dbase;
using zedora::test::TempDir;
using zedora::test::Child;
using zedora::test::ready;

namespace {

std::string makeTable(const TempDir& dir)
{
    const std::string path = dir.file("GEMEINS.DBF");
    Table::create(path, {{"WER", 'C', 1, 0, 0}, {"NR", 'N', 5, 0, 0}, {"TEXT", 'M', 10, 0, 0}, {"SCHLUESSEL", 'C', 8, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    t->addIndexTag("SCHLUESSEL", "SCHLUESSEL", false);
    return path;
}

} // namespace

TEST(TableProcesses, ExclusiveOpenFailsWhileOthersHaveTheTable)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    int release[2];
    ASSERT_EQ(::pipe(release), 0);
    Child child([&](int fd) {
        auto t = Table::open(path);
        ready(fd);
        char c;
        (void)!::read(release[0], &c, 1); // hold the table until told
        return 0;
    });
    child.awaitReady();
    EXPECT_THROW(Table::open(path, OpenMode::Exclusive), DbfError);
    auto shared = Table::open(path); // shared opens live side by side
    EXPECT_THROW(Table::rename(path, dir.file("NEU.DBF")), DbfError);
    const char c = 1;
    (void)!::write(release[1], &c, 1);
    EXPECT_EQ(child.wait(), 0);
    EXPECT_THROW(Table::open(path, OpenMode::Exclusive), DbfError); // our own shared open counts too
    shared.reset();
    auto exclusive = Table::open(path, OpenMode::Exclusive);
    Child other([&](int) {
        try {
            Table::open(path);
            return 1;
        } catch (const DbfError&) {
            return 0;
        }
    });
    EXPECT_EQ(other.wait(), 0);
    ::close(release[0]);
    ::close(release[1]);
}

TEST(TableProcesses, ConcurrentAppendsAndEditsLoseNothing)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    {
        auto t = Table::open(path);
        for (int i = 0; i < 40; ++i) {
            t->append();
            t->setText("WER", "-");
            t->setValue("NR", Value(double(i)));
            t->post();
        }
    }
    constexpr int kAppends = 150;
    auto work = [&](const char* who, int parity) {
        return [=](int) {
            auto t = Table::open(path);
            for (int i = 0; i < kAppends; ++i) {
                t->append();
                t->setText("WER", who);
                t->setValue("NR", Value(double(i)));
                t->setMemo(2, std::string(who) + " Memo " + std::to_string(i));
                char key[16];
                std::snprintf(key, sizeof key, "%s%05d", who, i);
                t->setText("SCHLUESSEL", key);
                t->post();
                // Edit one of the first records: the even ones belong to A, the odd ones to B.
                t->gotoRecord(static_cast<uint32_t>(1 + (i % 20) * 2 + parity));
                t->edit();
                t->setMemo(2, std::string(who) + " hat bearbeitet " + std::to_string(i));
                t->post();
            }
            return 0;
        };
    };
    Child a(work("A", 0));
    Child b(work("B", 1));
    EXPECT_EQ(a.wait(), 0);
    EXPECT_EQ(b.wait(), 0);

    auto t = Table::open(path);
    EXPECT_EQ(t->recordCount(), 40u + 2 * kAppends);
    std::set<std::string> seen;
    int edited = 0;
    for (t->first(); !t->eof(); t->next()) {
        const std::string who = t->text("WER");
        const std::string memo = t->memo(2);
        if (who == "-") {
            const int nr = std::stoi(t->text("NR"));
            if (nr < 40) {
                const std::string owner = nr % 2 == 0 ? "A" : "B";
                EXPECT_EQ(memo.rfind(owner + " hat bearbeitet ", 0), 0u) << nr << ": " << memo;
                ++edited;
            }
        } else {
            EXPECT_EQ(memo, who + " Memo " + t->text("NR"));
            EXPECT_TRUE(seen.insert(who + t->text("NR")).second);
        }
    }
    EXPECT_EQ(seen.size(), 2u * kAppends);
    EXPECT_EQ(edited, 40);

    // Both processes kept the one index current.
    t->verifyIndex();
    t->selectTag("SCHLUESSEL");
    std::string previous;
    int indexed = 0;
    for (t->first(); !t->eof(); t->next()) {
        const std::string key = t->text("SCHLUESSEL");
        EXPECT_LE(previous, key);
        previous = key;
        ++indexed;
    }
    EXPECT_EQ(indexed, 40 + 2 * kAppends);
    EXPECT_TRUE(t->findKey("B00149"));
    EXPECT_EQ(t->memo(2), "B Memo 149");
}

TEST(TableProcesses, ChangesOfOthersBecomeVisibleAndEditsAreLocked)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    auto mine = Table::open(path);
    mine->append();
    mine->setText("WER", "X");
    mine->post();

    Child writer([&](int) {
        auto t = Table::open(path);
        t->append();
        t->setText("WER", "Y");
        t->post();
        t->first();
        t->edit();
        t->setText("WER", "Z");
        t->post();
        return 0;
    });
    EXPECT_EQ(writer.wait(), 0);
    EXPECT_EQ(mine->recordCount(), 2u);
    mine->first();
    EXPECT_EQ(mine->text("WER"), "Z");
    ASSERT_TRUE(mine->next());
    EXPECT_EQ(mine->text("WER"), "Y");

    // A record being edited here cannot be edited by someone else meanwhile.
    mine->first();
    mine->edit();
    Child rival([&](int) {
        auto t = Table::open(path);
        try {
            t->edit();
            return 1;
        } catch (const DbfError&) {
        }
        t->next();
        t->edit(); // another record is free
        t->cancel();
        return 0;
    });
    EXPECT_EQ(rival.wait(), 0);
    mine->cancel();
}
