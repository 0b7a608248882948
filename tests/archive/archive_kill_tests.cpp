// A transfer killed after any record: the archive stays a sound file that
// the foreign check accepts, every record in its old or its new state, and
// every record found through the ID index.
#include "archive/archive_workspace.h"
#include "archive/statistics_fixture.h"
#include "schoolyear/archive_files.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zedora::test {
namespace {

class ArchiveKilled : public ::testing::TestWithParam<int> {};

TEST_P(ArchiveKilled, ArchiveSoundWithEachRecordOldOrNew)
{
    ArchiveWorkspace ws;
    const auto archive = createArchiveFile(QStringLiteral("A23-24-1"), ws.context);
    ASSERT_TRUE(archive);
    const QString oldClass = ws.root + QStringLiteral("ZE-2324-1/ALT.DBF");
    writeStudents(oldClass, {{{"NAME", "Eins"}, {"ID", "I1"}, {"DE", "5"}}, {{"NAME", "Zwei"}, {"ID", "I2"}, {"DE", "5"}}});
    ASSERT_TRUE(transferIntoArchive(oldClass, *archive, ws.context));
    const QString newClass = ws.root + QStringLiteral("ZE-2324-1/NEU.DBF");
    writeStudents(newClass, {{{"NAME", "Eins"}, {"ID", "I1"}, {"DE", "1"}}, {{"NAME", "Drei"}, {"ID", "I3"}, {"DE", "1"}},
                             {{"NAME", "Zwei"}, {"ID", "I2"}, {"DE", "1"}}, {{"NAME", "Vier"}, {"ID", "I4"}, {"DE", "1"}}});

    const int stopAfter = GetParam();
    const pid_t pid = ::fork();
    if (pid == 0) {
        transferIntoArchive(newClass, *archive, ws.context, [stopAfter](int written) {
            if (written == stopAfter)
                ::_exit(42);
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 42);

    QProcess check;
    check.start(QStringLiteral(ZEDORA_BINARY_DIR "/bin/zedora-cli"), {QStringLiteral("dbf"), QStringLiteral("verify"), *archive});
    check.waitForFinished(60000);
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString() << check.readAllStandardError().toStdString();

    auto t = dbase::Table::open(archive->toStdString());
    t->selectTag("ID");
    int records = 0;
    for (t->first(); !t->isEmpty() && !t->eof(); t->next()) {
        ++records;
        const std::string de = t->text("DE").substr(0, 1);
        EXPECT_TRUE(de == "1" || de == "5") << de;
    }
    EXPECT_EQ(records, 2 + std::max(0, stopAfter - 2));   // I1, I2 kept; I3, I4 new in ID order
    for (const char* id : {"I1", "I2"})
        EXPECT_TRUE(t->findKey(id)) << id;
    // Starting again completes the transfer.
    const auto rest = transferIntoArchive(newClass, *archive, ws.context);
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->added + rest->updated, 4);
    EXPECT_EQ(rest->added, 4 - std::min(4, 2 + std::max(0, stopAfter - 2)));
}

INSTANTIATE_TEST_SUITE_P(AfterEachRecord, ArchiveKilled, ::testing::Values(1, 2, 3, 4));

} // namespace
} // namespace zedora::test
