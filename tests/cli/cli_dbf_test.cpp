// zedora-cli dbf, run as the real program.
#include "dbase/table.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::readBytes;
using zedora::test::TempDir;

namespace {

using Result = zedora::test::ProgramResult;

Result cli(const TempDir& dir, const std::string& args)
{
    return zedora::test::runProgram(dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli dbf " + args);
}

// Two live records and a deleted one; memo with a line break and umlauts.
std::string makeTable(const TempDir& dir, bool withTags)
{
    const std::string path = dir.file("KLASSE.DBF");
    Table::create(path, {{"NAME", 'C', 20, 0, 0}, {"BETRAG", 'N', 6, 2, 0}, {"TB1", 'M', 10, 0, 0}, {"ID", 'C', 4, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    if (withTags)
        t->addIndexTag("ID", "ID", false);
    const char* rows[][3] = {{"\xD6zt\xFCrk", "B2", "Erste Zeile\r\nzweite Zeile \xE4\xF6\xFC"},
                             {"weg", "C3", ""},
                             {"Adler\tTab", "A1", ""}};
    for (auto& row : rows) {
        t->append();
        t->setText("NAME", row[0]);
        t->setText("ID", row[1]);
        t->setText("BETRAG", "1.5");
        t->setMemo(2, row[2]);
        t->post();
    }
    t->gotoRecord(2);
    t->deleteRecord();
    return path;
}

} // namespace

TEST(CliDbf, InfoTagsAndDump)
{
    TempDir dir;
    const std::string path = makeTable(dir, true);
    Result info = cli(dir, "info " + path);
    EXPECT_EQ(info.code, 0) << info.err;
    for (const char* line : {"Version: 0x8B (dBase IV mit Memo)", "Datensätze: 2\n", "Gelöschte Datensätze: 1",
                             "Sprachtreiber: 0x03 (Windows ANSI, Codepage 1252)", "  NAME\tC\t20\n",
                             "  BETRAG\tN\t6\t2\n", "  TB1\tM\t10\n", "Tags: 1\n  ID\tID\t-\n"})
        EXPECT_NE(info.out.find(line), std::string::npos) << line << "\n" << info.out;

    Result tags = cli(dir, "tags " + path);
    EXPECT_EQ(tags.code, 0);
    EXPECT_EQ(tags.out, "ID\tID\t-\n");

    Result dump = cli(dir, "dump " + path);
    EXPECT_EQ(dump.code, 0);
    EXPECT_EQ(dump.out, "NAME\tBETRAG\tTB1\tID\n"
                        "Öztürk\t1.50\tErste Zeile\\nzweite Zeile äöü\tB2\n"
                        "Adler\\tTab\t1.50\t\tA1\n");
    Result byId = cli(dir, "dump " + path + " --tag ID");
    EXPECT_EQ(byId.code, 0);
    EXPECT_EQ(byId.out.substr(byId.out.find('\n') + 1, 5), "Adler");
}

TEST(CliDbf, ReindexBuildsTheTagSets)
{
    TempDir dir;
    const std::string path = makeTable(dir, true);
    std::filesystem::remove(dir.file("KLASSE.MDX"));
    // A table of unknown kind without its index is read in stored order and says so.
    Result broken = cli(dir, "info " + path);
    EXPECT_EQ(broken.code, 0) << broken.err;
    EXPECT_NE(broken.err.find("Hinweis: Die Indexdatei"), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("KLASSE.MDX"), std::string::npos) << broken.err;
    EXPECT_NE(broken.out.find("Tags: 0"), std::string::npos) << broken.out;

    Result r = cli(dir, "reindex " + path + " --id");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(cli(dir, "tags " + path).out, "ID\tID\t-\n");

    // A damaged index is replaced as well.
    zedora::test::writeBytes(dir.file("KLASSE.MDX"), std::string(3000, '\x42'));
    const Result damaged = cli(dir, "tags " + path);
    EXPECT_EQ(damaged.out, "");
    EXPECT_NE(damaged.err.find("Hinweis: Die Indexdatei"), std::string::npos) << damaged.err;
    EXPECT_EQ(cli(dir, "reindex " + path + " --id").code, 0);
    EXPECT_EQ(cli(dir, "dump " + path + " --tag ID").out.substr(0, 22), "NAME\tBETRAG\tTB1\tID\nAdl");

    // The student tags need the student fields: refused, old index kept.
    const std::string before = readBytes(dir.file("KLASSE.MDX"));
    Result student = cli(dir, "reindex " + path + " --student");
    EXPECT_EQ(student.code, 1);
    EXPECT_NE(student.err.find("Fehler"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("KLASSE.MDX")), before);

    const std::string sibank = dir.file("S_2024.DBF");
    std::filesystem::copy_file(std::string(ZEDORA_FIXTURES_DIR) + "/sibank/S_2024.DBF", sibank);
    EXPECT_EQ(cli(dir, "reindex " + sibank + " --sibank").code, 0);
    const std::string tags = cli(dir, "tags " + sibank).out;
    EXPECT_EQ(std::count(tags.begin(), tags.end(), '\n'), 7);
    EXPECT_NE(tags.find("UNIKLAS\tUPPER(KLASSE)\tUNIQUE\n"), std::string::npos);
}

TEST(CliDbf, ErrorsGoToStderrWithNonZeroExit)
{
    TempDir dir;
    Result missing = cli(dir, "info " + dir.file("FEHLT.DBF"));
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("FEHLT.DBF"), std::string::npos);

    zedora::test::writeBytes(dir.file("BRIEF.DBF"), "Sehr geehrte Damen und Herren, ...");
    Result foreign = cli(dir, "dump " + dir.file("BRIEF.DBF"));
    EXPECT_EQ(foreign.code, 1);
    EXPECT_NE(foreign.err.find("keine gültige dBase-Tabelle"), std::string::npos) << foreign.err;

    const std::string path = makeTable(dir, false);
    EXPECT_EQ(cli(dir, "reindex " + path + " --alles").code, 1);
    EXPECT_EQ(cli(dir, "dump " + path + " --tag FEHLT").code, 1);
    EXPECT_EQ(cli(dir, "wasanderes " + path).code, 2);
    EXPECT_EQ(cli(dir, "info").code, 2);
}
