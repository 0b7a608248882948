// zedora-cli create / reorg, run as the real program on a scratch workspace.
#include "dbase/table.h"
#include "support/run_program.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::readBytes;
using zedora::test::TempDir;

namespace {

using Result = zedora::test::ProgramResult;

Result run(const TempDir& dir, const std::string& args)
{
    return zedora::test::runProgram(dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli " + args
                                             + " --workspace " + dir.file("ws"));
}

} // namespace

TEST(CliStudent, CreateMakesAnIndexedFileAndWillNotOverwriteUnasked)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("ws/ZE-2021-1"));
    const std::string file = dir.file("ws/ZE-2021-1/6b.dbf");
    const Result r = run(dir, "create " + file);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string made = dir.file("ws/ZE-2021-1/6B.DBF");
    auto t = Table::open(made);
    EXPECT_EQ(t->fieldCount(), 122);
    EXPECT_EQ(t->tags().size(), 4u);
    t.reset();

    const Result again = run(dir, "create " + file);
    EXPECT_NE(again.code, 0);
    EXPECT_NE(again.err.find("Es existiert bereits eine Datei mit demselben Namen."), std::string::npos);
    EXPECT_EQ(run(dir, "create " + file + " --ueberschreiben").code, 0);
}

TEST(CliStudent, ReorgRebuildsTheIndexAndNormalisesBirthDates)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("ws/ZE-2021-1"));
    const std::string file = dir.file("ws/ZE-2021-1/6B.DBF");
    ASSERT_EQ(run(dir, "create " + file).code, 0);
    {
        auto t = Table::open(file);
        t->append();
        t->setText("NAME", "Kaya");
        t->setText("VORNAME", "Deniz");
        t->setText("GEBOREN", "1.2.11");
        t->post();
    }
    std::filesystem::remove(dir.file("ws/ZE-2021-1/6B.MDX"));
    Table::clearProductionIndexFlag(file);
    const Result r = run(dir, "reorg " + file);
    ASSERT_EQ(r.code, 0) << r.err;
    auto t = Table::open(file);
    t->first();
    EXPECT_EQ(t->text("GEBOREN"), "01.02.2011");
    EXPECT_EQ(t->text("ID"), "40575KAYDENIZ");
    EXPECT_EQ(t->tags().size(), 4u);

    const Result missing = run(dir, "reorg " + dir.file("ws/ZE-2021-1/NIX.DBF"));
    EXPECT_NE(missing.code, 0);
    EXPECT_NE(missing.err.find("nicht vorhanden"), std::string::npos);
}

TEST(CliStudent, SetupLaysOutAWorkspaceWhoseDemoClassPrints)
{
    TempDir dir;
    const Result r = run(dir, "setup");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("ws/ARCHIV")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("ws/KUERZEL.TXT")));
    auto demo = Table::open(dir.file("ws/ZE-0000-0/demo.dbf"));
    EXPECT_EQ(demo->recordCount(), 25u);
    demo.reset();
    const Result pdf = zedora::test::runProgram(
        dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli pdf --workspace " + dir.file("ws")
                 + " --file ZE-0000-0/demo.dbf --out " + dir.file("z.pdf"));
    ASSERT_EQ(pdf.code, 0) << pdf.err;
    EXPECT_GT(std::filesystem::file_size(dir.file("z.pdf")), 10000u);

    // An ID the file lacks prints no blank page: the run fails and writes nothing.
    const Result unknown = zedora::test::runProgram(
        dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli pdf --workspace " + dir.file("ws")
                 + " --file ZE-0000-0/demo.dbf --ids GIBTSNICHT --out " + dir.file("leer.pdf"));
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("GIBTSNICHT"), std::string::npos) << unknown.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("leer.pdf")));
}

TEST(CliStudent, PdfRebuildsADamagedIndexButLeavesAFileOthersHoldAlone)
{
    TempDir dir;
    ASSERT_EQ(run(dir, "setup").code, 0);
    const std::string mdx = dir.file("ws/ZE-0000-0/demo.mdx");
    const auto pdf = [&] {
        return zedora::test::runProgram(dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli pdf --workspace " +
                                                 dir.file("ws") + " --file ZE-0000-0/demo.dbf --out " + dir.file("z.pdf"));
    };
    // The set-up leaves the demo class without index; the first print makes it.
    ASSERT_EQ(pdf().code, 0);
    ASSERT_TRUE(std::filesystem::exists(mdx));
    const std::string index = readBytes(mdx);
    {
        auto held = Table::open(dir.file("ws/ZE-0000-0/demo.dbf"), OpenMode::Exclusive);
        const Result locked = pdf();
        EXPECT_NE(locked.code, 0);
        EXPECT_NE(locked.err.find("Schülerdatei kann nicht geöffnet werden"), std::string::npos) << locked.err;
        EXPECT_EQ(readBytes(mdx), index) << "the index of a file someone else holds is not touched";
    }
    std::filesystem::resize_file(mdx, 100); // cut short: really damaged
    const Result repaired = pdf();
    ASSERT_EQ(repaired.code, 0) << repaired.err;
    auto t = Table::open(dir.file("ws/ZE-0000-0/demo.dbf"));
    EXPECT_TRUE(t->findProblems().empty());
    EXPECT_FALSE(t->tags().empty());
}
