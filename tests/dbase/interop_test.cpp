// Other dBase software reads what we write (dbfread, GDAL), and we read
// what GDAL writes.
#include "dbase/table.h"
#include "dbase/tag_sets.h"
#include "support/temp_dir.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>

using namespace zedora::dbase;
using zedora::test::TempDir;
using zedora::test::writeBytes;

namespace {

bool haveTool(const std::string& check)
{
    return std::system((check + " >/dev/null 2>&1").c_str()) == 0;
}

std::string run(const std::string& command)
{
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    ::pclose(p);
    return out;
}

// A table with every type, umlauts, a long memo with line breaks and a
// deleted record, plus the student tags.
std::string writeSample(const TempDir& dir)
{
    const std::string path = dir.file("PROBE.DBF");
    Table::create(path, {{"NAME", 'C', 25, 0, 0}, {"GEBOREN", 'D', 8, 0, 0}, {"BETRAG", 'N', 8, 2, 0},
                         {"AKTIV", 'L', 1, 0, 0}, {"TB1", 'M', 10, 0, 0}, {"KLASSE", 'C', 7, 0, 0},
                         {"VORNAME", 'C', 20, 0, 0}, {"MW", 'C', 1, 0, 0}, {"ID", 'C', 15, 0, 0}});
    {
        auto t = Table::open(path, OpenMode::Exclusive);
        for (const TagSpec& s : studentTags())
            t->addIndexTag(s.name, s.expression, s.unique);
        t->append();
        t->setText("NAME", "M\xFCller-Stra\xDF" "er");
        t->setText("GEBOREN", "20130914");
        t->setText("BETRAG", "1234.5");
        t->setText("AKTIV", "T");
        std::string memo;
        for (int i = 0; i < 60; ++i)
            memo += "Zeile " + std::to_string(i) + " \xC4rger \x80\r\n";
        t->setMemo(4, memo);
        t->setText("KLASSE", "5A");
        t->setText("VORNAME", "\x8Eiga");
        t->setText("ID", "41446NOV\x8EIGA");
        t->post();
        t->append();
        t->setText("NAME", "Gel\xF6scht");
        t->post();
        t->deleteRecord();
        t->append();
        t->setText("NAME", "Zwei");
        t->setText("AKTIV", "F");
        t->setMemo(4, "kurz");
        t->post();
    }
    return path;
}

} // namespace

TEST(Interop, DbfreadReadsOurTables)
{
    if (!haveTool("/usr/bin/python3 -c 'import dbfread'"))
        GTEST_SKIP() << "dbfread fehlt";
    TempDir dir;
    const std::string path = writeSample(dir);
    const std::string script = dir.file("lesen.py");
    writeBytes(script, R"(import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
for f in t.fields:
    print('F', f.name, f.type, f.length, f.decimal_count, sep='|')
for r in t:
    print('R', *[repr(v) for v in r.values()], sep='|')
)");
    const std::string out = run("/usr/bin/python3 " + script + " " + path + " 2>&1");
    std::string memo;
    for (int i = 0; i < 60; ++i)
        memo += "Zeile " + std::to_string(i) + " Ärger €\\r\\n";
    const std::string expected =
        "F|NAME|C|25|0\nF|GEBOREN|D|8|0\nF|BETRAG|N|8|2\nF|AKTIV|L|1|0\nF|TB1|M|10|0\n"
        "F|KLASSE|C|7|0\nF|VORNAME|C|20|0\nF|MW|C|1|0\nF|ID|C|15|0\n"
        "R|'Müller-Straßer'|datetime.date(2013, 9, 14)|1234.5|True|'" + memo +
        "'|'5A'|'Žiga'|''|'41446NOVŽIGA'\n"
        "R|'Zwei'|None|None|False|'kurz'|''|''|''|''\n";
    EXPECT_EQ(out, expected);
}

TEST(Interop, OgrinfoReadsOurTables)
{
    if (!haveTool("ogrinfo --version"))
        GTEST_SKIP() << "ogrinfo fehlt";
    TempDir dir;
    const std::string path = writeSample(dir);
    const std::string out = run("ogrinfo -ro -al " + path + " 2>&1");
    for (const char* expected :
         {"NAME: String (25.0)", "GEBOREN: Date (10.0)", "BETRAG: Real (8.2)",
          "KLASSE: String (7.0)", "VORNAME: String (20.0)", "ID: String (15.0)", "NAME (String) = Müller-Straßer",
          "GEBOREN (Date) = 2013/09/14", "BETRAG (Real) = 1234.50", "VORNAME (String) = Žiga",
          "ID (String) = 41446NOVŽIGA", "NAME (String) = Zwei", "AKTIV (String) = F"}) {
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
    }
    EXPECT_EQ(out.find("Gelöscht"), std::string::npos); // the deleted record is skipped
    EXPECT_NE(run("ogrinfo -ro -al -so -mdd SHAPEFILE " + path).find("SOURCE_ENCODING=CP1252"), std::string::npos);
    // ogrinfo has no memo support; it shows the field with its block number.
    EXPECT_NE(out.find("TB1: String (10.0)"), std::string::npos);
}

TEST(Interop, WeReadGdalFixtures)
{
    const std::string dirName = std::string(ZEDORA_FIXTURES_DIR) + "/sibank/";
    {
        auto t = Table::open(dirName + "S_2024.DBF");
        EXPECT_EQ(t->recordCount(), 40u);
        EXPECT_EQ(t->fieldCount(), 34);
        EXPECT_EQ(t->languageDriver(), 0x03);
        EXPECT_EQ(t->field(3).type, 'D');
        EXPECT_EQ(t->field(33).name, "IDENT");
        int count = 0;
        for (t->first(); !t->eof(); t->next())
            ++count;
        EXPECT_EQ(count, 40);
        t->gotoRecord(13);
        EXPECT_EQ(t->text("VORNAME"), "\x8Eiga");
        EXPECT_EQ(t->text("IDENT"), "41446NOV\x8EIGA");
        t->gotoRecord(1);
        EXPECT_EQ(t->text("NAME"), "M\xFCller");
        EXPECT_EQ(t->text("IDENT"), "36526M\xFCLANNA-LE");
        EXPECT_EQ(t->value("GEBOREN"), Value(Date{2000, 1, 1}));
        t->gotoRecord(40);
        EXPECT_EQ(t->text("L_KU_DE_FA"), "E2");
        EXPECT_EQ(t->text("KLASSE"), "10.1.2");
    }
    {
        auto t = Table::open(dirName + "FACHKURS.DBF");
        EXPECT_EQ(t->recordCount(), 13u);
        EXPECT_EQ(t->text("FACHLANG"), "Franz\xF6sisch ab Jahrgang 6 (F6)");
        t->last();
        EXPECT_EQ(t->text("FACHKURZ"), "AL-HAUS");
    }
    {
        auto t = Table::open(dirName + "IMPORT_ANY.DBF");
        EXPECT_EQ(t->languageDriver(), 0x57);
        EXPECT_EQ(t->fieldCount(), 17);
        t->gotoRecord(6);
        EXPECT_EQ(t->text("NAME"), "Stra\xDF" "er");
        EXPECT_EQ(t->text("M_W"), "m\xE4nnlich");
    }
}

TEST(Interop, WeReadWhatOgr2ogrWrites)
{
    if (!haveTool("ogr2ogr --version"))
        GTEST_SKIP() << "ogr2ogr fehlt";
    TempDir dir;
    writeBytes(dir.file("in.csv"), "NAME,BETRAG,ANZAHL,TAG\n\"Größe, Jürgen\",3.75,12,2024-02-29\nÖl,,-4,\n");
    writeBytes(dir.file("in.csvt"), "\"String(20)\",\"Real(8.2)\",\"Integer(5)\",\"Date\"\n");
    const std::string out = dir.file("out.dbf");
    ASSERT_EQ(std::system(("ogr2ogr -f 'ESRI Shapefile' " + out + " " + dir.file("in.csv") +
                           " -lco ENCODING=LDID/3 >/dev/null 2>&1").c_str()), 0);
    auto t = Table::open(out);
    ASSERT_EQ(t->fieldCount(), 4);
    EXPECT_EQ(t->field(1).type, 'N');
    EXPECT_EQ(t->field(1).decimals, 2);
    EXPECT_EQ(t->text("NAME"), "Gr\xF6\xDF" "e, J\xFCrgen");
    EXPECT_EQ(t->value("BETRAG"), Value(3.75));
    EXPECT_EQ(t->value("ANZAHL"), Value(12.0));
    EXPECT_EQ(t->value("TAG"), Value(Date{2024, 2, 29}));
    ASSERT_TRUE(t->next());
    EXPECT_EQ(t->text("NAME"), "\xD6l");
    EXPECT_EQ(t->value("BETRAG"), Value());
    EXPECT_EQ(t->value("ANZAHL"), Value(-4.0));
    EXPECT_EQ(t->value("TAG"), Value());
    // And we can write to it.
    t->edit();
    t->setText("NAME", "\xC4nderung");
    t->post();
    EXPECT_NE(run("ogrinfo -ro -al " + out).find("NAME (String) = Änderung"), std::string::npos);
}
