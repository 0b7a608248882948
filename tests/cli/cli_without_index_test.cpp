// A class whose index was deleted (the set-up and the zip import do that)
// is read by every command: the index is rebuilt where the command may write.
#include "support/run_program.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using zedora::test::runProgram;
using zedora::test::TempDir;

TEST(CliWithoutIndex, EveryReaderReadsAClassWhoseIndexWasDeleted)
{
    TempDir dir;
    const std::string cli = std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli ";
    const std::string ws = dir.file("ws");
    ASSERT_EQ(runProgram(dir, cli + "setup --workspace " + ws).code, 0);
    fs::create_directories(ws + "/ZE-2425-1");
    fs::copy_file(ws + "/ZE-0000-0/demo.dbf", ws + "/ZE-2425-1/9B.DBF");
    fs::copy_file(ws + "/ZE-0000-0/demo.dbt", ws + "/ZE-2425-1/9B.DBT");
    const std::string dbf = ws + "/ZE-2425-1/9B.DBF", mdx = ws + "/ZE-2425-1/9B.MDX";
    const std::string in = " --workspace " + ws + " ";

    struct Reader {
        std::string commandLine;
        std::string expected; // in standard output
    };
    const Reader readers[] = {
        {"stats grades" + in + "--dir ZE-2425-1", "9B.DBF\tDE\t"},
        {"stats absences" + in + "--dir ZE-2425-1", "9B"},
        {"dbf dump " + dbf, "Berger\tLena"},
        {"dbf info " + dbf, "Tags: 4"},
        {"dbf verify " + dbf, "Keine Fehler: 25 Datens"},
        {"list table" + in + "--file ZE-2425-1/9B.DBF --out " + dir.file("liste.pdf"), ""},
        {"pdf" + in + "--file ZE-2425-1/9B.DBF --all --out " + dir.file("zeugnisse.pdf"), ""},
        {"archive" + in + "--file ZE-2425-1/9B.DBF --into A24-25-1", "25"},
    };
    for (const Reader& r : readers) {
        SCOPED_TRACE(r.commandLine);
        fs::remove(mdx);
        const auto result = runProgram(dir, cli + r.commandLine);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_NE(result.out.find(r.expected), std::string::npos) << result.out;
        EXPECT_EQ(result.err.find("nicht gelesen"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("fehlt"), std::string::npos) << result.err;
        EXPECT_TRUE(fs::exists(mdx)) << "the reader rebuilt the index";
    }
    EXPECT_GT(fs::file_size(dir.file("zeugnisse.pdf")), 10000u);
}
