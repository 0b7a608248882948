// zedora-cli dbf verify|set|append|repair, run as the real program.
#include "dbase/table.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zedora::dbase;
using zedora::test::readBytes;
using zedora::test::TempDir;
using zedora::test::writeBytes;

namespace {

using Result = zedora::test::ProgramResult;

Result cli(const TempDir& dir, const std::string& args)
{
    return zedora::test::runProgram(dir, std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli dbf " + args);
}

std::string makeTable(const TempDir& dir)
{
    const std::string path = dir.file("5A.DBF");
    Table::create(path, {{"NAME", 'C', 20, 0, 0}, {"KLASSE", 'C', 4, 0, 0}, {"TB1", 'M', 10, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    t->addIndexTag("NAME", "UPPER(NAME)", false);
    t->addIndexTag("KLASSE", "KLASSE+NAME", false);
    for (const char* name : {"Berta", "Anton", "Cem"}) {
        t->append();
        t->setText("NAME", name);
        t->setText("KLASSE", "5A");
        t->setMemo(2, std::string("Text von ") + name);
        t->post();
    }
    return path;
}

// Record recno's bytes as stored, for breaking the file behind the engine's back.
void patchRecord(const std::string& path, uint32_t recno, size_t offset, const std::string& bytes)
{
    std::string dbf = readBytes(path);
    const size_t header = static_cast<uint8_t>(dbf[8]) | static_cast<uint8_t>(dbf[9]) << 8;
    const size_t length = static_cast<uint8_t>(dbf[10]) | static_cast<uint8_t>(dbf[11]) << 8;
    dbf.replace(header + (recno - 1) * length + offset, bytes.size(), bytes);
    writeBytes(path, dbf);
}

} // namespace

TEST(CliDbfCheck, SetAndAppendPostThroughTheEngineAndVerifyAgrees)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    Result ok = cli(dir, "verify " + path);
    EXPECT_EQ(ok.code, 0) << ok.err;
    EXPECT_NE(ok.out.find("Keine Fehler: 3 Datensätze, 2 Tags"), std::string::npos) << ok.out;

    Result set = cli(dir, "set " + path + " 2 NAME=Änne 'TB1=Zeile 1\\nZeile 2'");
    EXPECT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "Datensatz 2 von " + path + " gespeichert.\n");
    Result append = cli(dir, "append " + path + " name=Dora KLASSE=5B");
    EXPECT_EQ(append.code, 0) << append.err;
    EXPECT_EQ(append.out, "Datensatz 4 an " + path + " angefügt.\n");
    EXPECT_EQ(cli(dir, "verify " + path).code, 0);

    auto t = Table::open(path);
    t->gotoRecord(2);
    EXPECT_EQ(t->text("NAME"), "\xC4nne");
    EXPECT_EQ(t->memo(2), "Zeile 1\r\nZeile 2");
    t->selectTag("NAME");
    EXPECT_TRUE(t->findKey("\xC4NNE"));
    EXPECT_TRUE(t->findKey("DORA"));
    EXPECT_EQ(t->text("KLASSE"), "5B");

    // Bad input changes nothing.
    Result noField = cli(dir, "set " + path + " 1 GIBTSNICHT=1");
    EXPECT_EQ(noField.code, 1);
    EXPECT_NE(noField.err.find("hat kein Feld GIBTSNICHT"), std::string::npos) << noField.err;
    EXPECT_EQ(cli(dir, "set " + path + " 9 NAME=x").code, 1);
    EXPECT_EQ(cli(dir, "set " + path + " eins NAME=x").code, 2);
    EXPECT_EQ(cli(dir, "append " + path + " NAME").code, 2);
    EXPECT_EQ(cli(dir, "verify " + dir.file("FEHLT.DBF")).code, 1);
    EXPECT_EQ(Table::open(path)->recordCount(), 4u);
}

TEST(CliDbfCheck, VerifyNamesWhatIsWrongAndRepairMendsItKeepingTheOldFiles)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    // Behind the engine's back: record 1 renamed (its index entries now
    // stale), record 3 shares record 2's memo.
    patchRecord(path, 1, 1, "Zora ");
    std::string dbf = readBytes(path);
    const size_t header = static_cast<uint8_t>(dbf[8]) | static_cast<uint8_t>(dbf[9]) << 8;
    const size_t length = static_cast<uint8_t>(dbf[10]) | static_cast<uint8_t>(dbf[11]) << 8;
    patchRecord(path, 3, 25, dbf.substr(header + length + 25, 10));

    Result verify = cli(dir, "verify " + path);
    EXPECT_EQ(verify.code, 1);
    EXPECT_NE(verify.out.find("Index NAME: Datensatz 1 steht unter \"BERTA\" statt unter \"ZORA\""), std::string::npos)
        << verify.out;
    EXPECT_NE(verify.out.find("Index KLASSE: Datensatz 1"), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("Datensatz 3, Feld TB1: Memoblock"), std::string::npos) << verify.out;
    EXPECT_NE(verify.err.find("Probleme in " + path + " gefunden"), std::string::npos) << verify.err;

    const std::string before = readBytes(path);
    Result repair = cli(dir, "repair " + path);
    EXPECT_EQ(repair.code, 0) << repair.err << repair.out;
    EXPECT_NE(repair.out.find("Sicherung: " + path + ".ALT"), std::string::npos) << repair.out;
    EXPECT_NE(repair.out.find("Datensatz 3, Feld TB1: eigene Kopie des Memos angelegt"), std::string::npos) << repair.out;
    EXPECT_NE(repair.out.find("Index neu aufgebaut: NAME KLASSE"), std::string::npos) << repair.out;
    EXPECT_EQ(readBytes(path + ".ALT"), before);
    EXPECT_TRUE(std::filesystem::exists(dir.file("5A.MDX.ALT")));
    EXPECT_EQ(cli(dir, "verify " + path).code, 0);

    // A second repair would overwrite the first one's copies: refused.
    Result again = cli(dir, "repair " + path);
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find(".ALT besteht schon"), std::string::npos) << again.err;
}

TEST(CliDbfCheck, VerifyReportsAnIndexLeftHalfWrittenWithoutRebuildingIt)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    std::string mdx = readBytes(dir.file("5A.MDX"));
    mdx[52] = 1; // the mark a writer leaves when it is killed in the middle
    writeBytes(dir.file("5A.MDX"), mdx);
    Result verify = cli(dir, "verify " + path);
    EXPECT_EQ(verify.code, 1);
    EXPECT_NE(verify.out.find("nicht vollständig geschrieben"), std::string::npos) << verify.out;
    EXPECT_EQ(readBytes(dir.file("5A.MDX")), mdx) << "verify only looks";
    EXPECT_EQ(cli(dir, "repair " + path).code, 0);
    EXPECT_EQ(cli(dir, "verify " + path).code, 0);
}

TEST(CliDbfCheck, FilteredTagsShowTheirConditionAndKeepItThroughARepair)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        t->addIndexTag("OHNEC", "UPPER(NAME)", true, "name # 'C' .and. klasse = '5A'");
        t->addIndexTag("UMLAUT", "NAME", false, "NAME = \"\xC4\"");  // Ä
    }
    Result tags = cli(dir, "tags " + path);
    EXPECT_EQ(tags.code, 0) << tags.err;
    EXPECT_EQ(tags.out, "NAME\tUPPER(NAME)\t-\n"
                        "KLASSE\tKLASSE+NAME\t-\n"
                        "OHNEC\tUPPER(NAME)\tUNIQUE FOR NAME # 'C' .AND. KLASSE = '5A'\n"
                        "UMLAUT\tNAME\tFOR NAME = \"Ä\"\n");
    EXPECT_NE(cli(dir, "info " + path).out.find("  OHNEC\tUPPER(NAME)\tUNIQUE FOR NAME # 'C'"), std::string::npos);

    // Record 1 now begins with C behind the engine's back: it must leave the tag.
    patchRecord(path, 1, 1, "Carl ");
    Result verify = cli(dir, "verify " + path);
    EXPECT_EQ(verify.code, 1);
    EXPECT_NE(verify.out.find("Index OHNEC: Datensatz 1 gehört nicht hinein, steht aber im Index"), std::string::npos)
        << verify.out;
    Result repair = cli(dir, "repair " + path);
    EXPECT_EQ(repair.code, 0) << repair.err << repair.out;
    EXPECT_EQ(cli(dir, "verify " + path).code, 0);
    EXPECT_EQ(cli(dir, "tags " + path).out, tags.out);
    auto t = Table::open(path);
    t->selectTag("OHNEC");
    std::vector<std::string> names;
    for (t->first(); !t->eof(); t->next())
        names.push_back(t->text("NAME"));
    EXPECT_EQ(names, (std::vector<std::string>{"Anton"}));
}

TEST(CliDbfCheck, AddtagBuildsAFilteredTagOthersCanCheck)
{
    TempDir dir;
    const std::string path = makeTable(dir);
    Result added = cli(dir, "addtag " + path + " ANTON 'UPPER(NAME)' --unique --for \"NAME = 'A' .OR. NAME = 'Ä'\"");
    EXPECT_EQ(added.code, 0) << added.err;
    EXPECT_EQ(added.out, "Tag ANTON angelegt: UPPER(NAME)\tUNIQUE FOR NAME = 'A' .OR. NAME = 'Ä'\n");
    EXPECT_EQ(cli(dir, "verify " + path).code, 0);
    Result dump = cli(dir, "dump " + path + " --tag ANTON");
    EXPECT_EQ(dump.out, "NAME\tKLASSE\tTB1\nAnton\t5A\tText von Anton\n");

    // A broken condition changes nothing.
    const std::string before = readBytes(dir.file("5A.MDX"));
    Result bad = cli(dir, "addtag " + path + " X NAME --for \"NAME = \"");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("Fehler in der Bedingung"), std::string::npos) << bad.err;
    EXPECT_EQ(readBytes(dir.file("5A.MDX")), before);
    EXPECT_EQ(cli(dir, "addtag " + path + " X NAME --for").code, 2);
}
