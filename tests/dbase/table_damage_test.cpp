// Damaged and foreign files: a clear error naming the file, no crash, and
// the file left exactly as it was.
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::readBytes;
using zedora::test::TempDir;
using zedora::test::writeBytes;

namespace {

// A table with two records and one memo each; returns the .DBF path.
std::string makeTable(const TempDir& dir, const std::string& name)
{
    const std::string path = dir.file(name + ".DBF");
    Table::create(path, {{"NAME", 'C', 10, 0, 0}, {"TB", 'M', 10, 0, 0}});
    auto t = Table::open(path);
    for (const char* text : {"eins", "zwei"}) {
        t->append();
        t->setText("NAME", text);
        t->setMemo(1, std::string("Memo ") + text);
        t->post();
    }
    return path;
}

void put16(std::string& b, size_t at, unsigned v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

// Opening must fail with the file's name in the message and change nothing.
void expectRejected(const std::string& path, const std::string& nameInMessage)
{
    const std::string before = readBytes(path);
    try {
        auto t = Table::open(path);
        FAIL() << "opened a damaged file " << path;
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find(nameInMessage), std::string::npos) << e.what();
    }
    EXPECT_EQ(readBytes(path), before);
}

} // namespace

TEST(TableDamage, BrokenHeadersAreRejected)
{
    TempDir dir;
    const std::string good = readBytes(makeTable(dir, "GUT"));
    const std::string memo = readBytes(dir.file("GUT.DBT"));
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"KURZ", good.substr(0, 20)});
    cases.push_back({"LEER", ""});
    std::string b = good;
    b[4] = '\x10'; b[5] = '\x27'; // 10000 records in a file of two
    cases.push_back({"ANZAHL", b});
    b = good;
    put16(b, 8, 40);
    cases.push_back({"KOPF1", b});
    b = good;
    put16(b, 8, 60000);
    cases.push_back({"KOPF2", b});
    b = good;
    b[32 + 64] = 'X'; // the 0x0D terminator
    cases.push_back({"ENDE", b});
    b = good;
    put16(b, 10, 12);
    cases.push_back({"SATZ", b});
    b = good;
    b[32 + 11] = 'Q';
    cases.push_back({"TYP", b});
    b = good;
    b[32 + 16] = 0; // zero width
    cases.push_back({"BREITE", b});
    b = good;
    b[0] = '\x30'; // Visual FoxPro
    cases.push_back({"VERSION", b});
    b = good;
    std::copy_n(good.begin() + 32, 11, b.begin() + 64); // the same name twice
    cases.push_back({"DOPPELT", b});
    cases.push_back({"TEXT", "Dies ist keine dBase-Tabelle, sondern ein Brief.\r\n" + std::string(200, 'x')});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(std::string(c.name) + ".DBF");
        writeBytes(path, c.bytes);
        writeBytes(dir.file(std::string(c.name) + ".DBT"), memo);
        expectRejected(path, c.name);
    }
}

TEST(TableDamage, MissingOrBrokenMemoFile)
{
    TempDir dir;
    const std::string path = makeTable(dir, "MEMO");
    const std::string dbt = dir.file("MEMO.DBT");
    const std::string memo = readBytes(dbt);

    std::filesystem::rename(dbt, dir.file("weg.dbt"));
    expectRejected(path, "MEMO.DBT");
    std::filesystem::rename(dir.file("weg.dbt"), dbt);

    writeBytes(dbt, memo.substr(0, 10));
    expectRejected(path, "MEMO.DBT");

    // A length running past the end of the file.
    std::string b = memo;
    b[512 + 4] = '\xFF';
    b[512 + 5] = '\xFF';
    b[512 + 6] = '\xFF';
    writeBytes(dbt, b);
    {
        auto t = Table::open(path);
        EXPECT_THROW(t->memo(1), DbfError);
        t->next();
        EXPECT_EQ(t->memo(1), "Memo zwei");
    }
    writeBytes(dbt, memo);

    // Pointers out of range and not a number.
    std::string d = readBytes(path);
    const size_t rec1 = 32 + 64 + 1 + 1 + 10;
    std::copy_n("   9999999", 10, d.begin() + static_cast<long>(rec1));
    std::copy_n("  12ab    ", 10, d.begin() + static_cast<long>(rec1 + 21));
    writeBytes(path, d);
    auto t = Table::open(path);
    try {
        t->memo(1);
        FAIL();
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("MEMO.DBT"), std::string::npos);
    }
    t->next();
    EXPECT_THROW(t->text(1), DbfError);
    EXPECT_EQ(t->text(0), "zwei");
    EXPECT_EQ(readBytes(path), d);
}

TEST(TableDamage, DbaseThreeMemosAreRead)
{
    TempDir dir;
    // Hand-made dBase III table: one C field, one memo, two records.
    std::string dbf(32, '\0');
    dbf[0] = '\x83';
    dbf[4] = 2;
    put16(dbf, 8, 32 + 64 + 1);
    put16(dbf, 10, 1 + 5 + 10);
    std::string fieldA(32, '\0'), fieldM(32, '\0');
    std::copy_n("A", 1, fieldA.begin());
    fieldA[11] = 'C';
    fieldA[16] = 5;
    std::copy_n("M", 1, fieldM.begin());
    fieldM[11] = 'M';
    fieldM[16] = 10;
    dbf += fieldA + fieldM + "\x0D";
    dbf += " eins          1";
    dbf += " zwei          2";
    dbf += "\x1A";
    std::string dbt(512, '\0');
    dbt[0] = 4;
    std::string block1 = "Alter Text \xFC" "ber zwei\r\nZeilen\x1A\x1A";
    block1.resize(512, '\0');
    std::string block2 = "ohne Ende bis zum Dateiende";
    dbt += block1 + block2;
    writeBytes(dir.file("ALT.DBF"), dbf);
    writeBytes(dir.file("ALT.DBT"), dbt);
    auto t = Table::open(dir.file("ALT.DBF"));
    EXPECT_EQ(t->version(), 0x83);
    EXPECT_EQ(t->memo(1), "Alter Text \xFC" "ber zwei\r\nZeilen");
    t->next();
    EXPECT_EQ(t->memo(1), "ohne Ende bis zum Dateiende");
    t->edit();
    EXPECT_THROW(t->setMemo(1, "neu"), DbfError); // dBase III memos are only read
    t->cancel();
}

TEST(TableDamage, ProductionIndexFlagWithoutIndex)
{
    TempDir dir;
    const std::string path = makeTable(dir, "FLAG");
    std::string b = readBytes(path);
    b[28] = 1;
    writeBytes(path, b);
    expectRejected(path, "FLAG.MDX");
    Table::clearProductionIndexFlag(path);
    EXPECT_EQ(readBytes(path)[28], 0);
    auto t = Table::open(path);
    EXPECT_EQ(t->text(0), "eins");

    // Clearing the flag never writes to a file it does not understand.
    writeBytes(dir.file("KAPUTT.DBF"), b.substr(0, 40));
    EXPECT_THROW(Table::clearProductionIndexFlag(dir.file("KAPUTT.DBF")), DbfError);
    EXPECT_EQ(readBytes(dir.file("KAPUTT.DBF")), b.substr(0, 40));
}

TEST(TableDamage, GarbageIndexFileIsRejected)
{
    TempDir dir;
    const std::string path = makeTable(dir, "IDX");
    std::string b = readBytes(path);
    b[28] = 1;
    writeBytes(path, b);
    for (const std::string& garbage : {std::string(4096, '\x55'), std::string("\x02kurz"), std::string()}) {
        writeBytes(dir.file("IDX.MDX"), garbage);
        expectRejected(path, "IDX.MDX");
        EXPECT_EQ(readBytes(dir.file("IDX.MDX")), garbage);
    }
}

TEST(TableDamage, GdalZeroDatesReadAsEmpty)
{
    auto t = Table::open(std::string(ZEDORA_FIXTURES_DIR) + "/sibank/S_2024.DBF");
    t->gotoRecord(1);
    EXPECT_EQ(t->text("ABGANG_DAT"), "");
    EXPECT_EQ(t->value("ABGANG_DAT"), Value());
    t->gotoRecord(7);
    EXPECT_EQ(t->value("ABGANG_DAT"), Value(Date{2019, 7, 31}));
}
