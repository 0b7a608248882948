// A writer killed in the middle of a post while other processes have the
// table open: they go on reading, seeking and saving, and the index they
// repair between them agrees with the table.
#include "dbase/io_hook.h"
#include "dbase/table.h"
#include "dbase/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <unistd.h>

using namespace zedora::dbase;
using zedora::test::Child;
using zedora::test::TempDir;

namespace {

const std::vector<std::string> kBefore = {"Anna", "Bernd", "Clara"};
const std::vector<std::string> kAfter = {"Anna", "Bernd", "Clara", "Dora"};

void makeTable(const std::string& path)
{
    Table::create(path, {{"NAME", 'C', 12, 0, 0}, {"NOTE", 'C', 2, 0, 0}, {"TEXT", 'M', 10, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    t->addIndexTag("NAME", "NAME", false);
    t->addIndexTag("NOTE", "NOTE+NAME", false);
    for (const char* name : {"Anna", "Bernd", "Clara"}) {
        t->append();
        t->setText("NAME", name);
        t->setText("NOTE", "2");
        t->setMemo(2, std::string(name) + " arbeitet gut mit.");
        t->post();
    }
}

std::vector<std::string> names(Table& t)
{
    std::vector<std::string> out;
    t.selectTag("NAME");
    for (t.first(); !t.eof() && !t.isEmpty(); t.next())
        out.push_back(t.text("NAME"));
    return out;
}

// In a child: appends Dora and is killed at the given write of the post.
int appendAndDie(const std::string& path, int killAt)
{
    auto t = Table::open(path);
    t->setWriteThrough(true);
    t->append();
    t->setText("NAME", "Dora");
    t->setText("NOTE", "1");
    t->setMemo(2, "Dora ist neu in der Klasse.");
    int step = 0;
    setIoHook([&](IoStep, const std::string&) {
        if (++step == killAt)
            ::raise(SIGKILL);
    });
    t->post();
    setIoHook(nullptr);
    return 0;
}

// Where the cut leaves the index marked half written.
bool indexMarked(const std::string& path)
{
    try {
        MdxIndex::open(path.substr(0, path.size() - 4) + ".MDX", false);
    } catch (const MdxIncomplete&) {
        return true;
    }
    return false;
}

} // namespace

TEST(KilledWriter, TheOthersKeepReadingSeekingAndSavingAfterEveryCut)
{
    TempDir original;
    makeTable(original.file("KLASSE.DBF"));
    int markedCuts = 0;
    int completedAt = 0;
    for (int killAt = 1; killAt < 200 && completedAt == 0; ++killAt) {
        SCOPED_TRACE("Abbruch bei Schreibschritt " + std::to_string(killAt));
        TempDir dir;
        for (const auto& e : std::filesystem::directory_iterator(original.path()))
            std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
        const std::string path = dir.file("KLASSE.DBF");
        auto holder = Table::open(path);
        holder->selectTag("NAME");
        holder->first();
        {
            Child writer([&](int) { return appendAndDie(path, killAt); });
            const int code = writer.wait();
            ASSERT_TRUE(code == 0 || code == 100) << "writer failed with " << code;
            if (code == 0)
                completedAt = killAt;
        }
        if (indexMarked(path))
            ++markedCuts;

        // Stepping on from where the holder stood, under the tag.
        ASSERT_EQ(holder->text("NAME"), "Anna");
        ASSERT_TRUE(holder->next());
        EXPECT_EQ(holder->text("NAME"), "Bernd");
        const std::vector<std::string> seen = names(*holder);
        EXPECT_TRUE(seen == kBefore || seen == kAfter) << seen.size() << " names";
        EXPECT_FALSE(indexMarked(path)) << "the first read repairs the index";

        // Seeking, under another tag too.
        EXPECT_TRUE(holder->findKey("Clara"));
        EXPECT_EQ(holder->text("TEXT"), "Clara arbeitet gut mit.");
        holder->selectTag("NOTE");
        holder->first();
        EXPECT_EQ(holder->text("NAME"), seen.size() == 4 ? "Dora" : "Anna");

        // Saving: a key change and an append, both found again in order.
        holder->selectTag("NAME");
        ASSERT_TRUE(holder->findKey("Bernd"));
        holder->edit();
        holder->setText("NAME", "Zeno");
        holder->post();
        holder->append();
        holder->setText("NAME", "Emil");
        holder->setText("NOTE", "3");
        holder->post();
        std::vector<std::string> expected = {"Anna", "Clara", "Dora", "Emil", "Zeno"};
        if (seen.size() == 3)
            expected.erase(expected.begin() + 2);
        EXPECT_EQ(names(*holder), expected);
        const std::vector<std::string> problems = holder->findProblems();
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
    EXPECT_GT(completedAt, 4);
    EXPECT_GT(markedCuts, 0) << "some cuts must hit the index";
}

TEST(KilledWriter, AnotherProcessThatHadTheTableOpenReadsTheIndexRepairedHere)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeTable(path);
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    Child reader([&](int ready) {
        auto t = Table::open(path);
        t->selectTag("NAME");
        t->first();
        zedora::test::ready(ready);
        char c = 0;
        if (::read(go[0], &c, 1) != 1)
            return 2;
        // Its handles are still those opened before the repair.
        if (names(*t) != kAfter)
            return 3;
        if (!t->findKey("Dora") || t->text("TEXT") != "Dora ist neu in der Klasse.")
            return 4;
        return t->findProblems().empty() ? 0 : 5;
    });
    reader.awaitReady();
    {
        // After the record and its count, in the middle of the index.
        Child writer([&](int) {
            auto t = Table::open(path);
            t->append();
            t->setText("NAME", "Dora");
            t->setMemo(2, "Dora ist neu in der Klasse.");
            int step = 0;
            setIoHook([&](IoStep, const std::string& file) {
                if (file.find(".MDX") != std::string::npos && ++step == 2)
                    ::raise(SIGKILL);
            });
            t->post();
            return 0;
        });
        ASSERT_EQ(writer.wait(), 100);
    }
    ASSERT_TRUE(indexMarked(path));
    auto here = Table::open(path);
    EXPECT_EQ(names(*here), kAfter);
    EXPECT_FALSE(indexMarked(path));
    ASSERT_EQ(::write(go[1], "x", 1), 1);
    EXPECT_EQ(reader.wait(), 0);
    ::close(go[0]);
    ::close(go[1]);
}

TEST(KilledWriter, ARepairThatIsKilledItselfIsRepairedByTheNext)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeTable(path);
    auto holder = Table::open(path);
    holder->selectTag("NAME");
    {
        Child writer([&](int) { return appendAndDie(path, 6); });
        ASSERT_EQ(writer.wait(), 100);
    }
    ASSERT_TRUE(indexMarked(path)) << "the cut must hit the index for this test";
    // The second process dies at each write of its repair in turn.
    for (int killAt = 1;; ++killAt) {
        ASSERT_LT(killAt, 50);
        Child repairer([&](int) {
            int step = 0;
            setIoHook([&](IoStep step_, const std::string& file) {
                if (step_ == IoStep::Write && file.find(".MDX") != std::string::npos && ++step == killAt)
                    ::raise(SIGKILL);
            });
            auto t = Table::open(path);
            setIoHook(nullptr);
            return 0;
        });
        if (repairer.wait() == 0)
            break;
        ASSERT_TRUE(indexMarked(path)) << "a cut repair must leave the mark, step " << killAt;
    }
    EXPECT_FALSE(indexMarked(path));
    const std::vector<std::string> seen = names(*holder);
    EXPECT_TRUE(seen == kBefore || seen == kAfter);
    EXPECT_TRUE(holder->findProblems().empty());
}

TEST(KilledWriter, AReadOnlyOpenCannotRepairAndSaysWhy)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeTable(path);
    {
        Child writer([&](int) { return appendAndDie(path, 6); });
        ASSERT_EQ(writer.wait(), 100);
    }
    ASSERT_TRUE(indexMarked(path));
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    if (::access(path.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running as root: the file stays writable";
    try {
        Table::open(path);
        FAIL() << "a read-only open must not claim a sound index";
    } catch (const IndexDamaged& e) {
        EXPECT_NE(std::string(e.what()).find("schreibgeschützt"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(indexMarked(path)) << "nothing was written";
}
