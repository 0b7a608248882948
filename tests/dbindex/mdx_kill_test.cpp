// A process killed while it changes the index leaves either a whole tree or
// a file that says it is incomplete, never a quietly broken tree.
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace dbindex_test;

namespace {
std::string key(uint32_t n) {
    std::string k(1, 'K');
    k += std::to_string(n);
    return k;
}
} // namespace

TEST(MdxKill, KilledWriterLeavesAWholeTreeOrAnIncompleteMark) {
    TempDir dir;
    FakeTable table;
    table.field("K", 'C', 40);
    const std::string path = dir.file("KILL.MDX");
    MdxIndex::create(path, "KILL", 512)
        ->addTag("K", KeyExpression::compile("K", table.fields), false, table.visitor());
    int whole = 0, incomplete = 0;
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                auto index = MdxIndex::open(path, true);
                for (uint32_t r = 1;; ++r) {
                    index->insert(0, key((r * 7919u) % 100000u), r + uint32_t(round) * 1000000u);
                    if (r % 3 == 0) index->remove(0, key((r * 104729u) % 100000u), r);
                    index->flush();
                }
            } catch (...) {
            }
            ::_exit(1);
        }
        ::usleep(20000 + 7000 * unsigned(round));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
        try {
            auto index = MdxIndex::open(path, true);
            index->verify(0);
            ++whole;
        } catch (const MdxIncomplete& e) {
            EXPECT_NE(std::string(e.what()).find("nicht vollständig geschrieben"), std::string::npos);
            ++incomplete;
            // What the table does then: a fresh index.
            MdxIndex::create(path, "KILL", 512)
                ->addTag("K", KeyExpression::compile("K", table.fields), false, table.visitor());
        }
    }
    EXPECT_EQ(whole + incomplete, 12);
}
