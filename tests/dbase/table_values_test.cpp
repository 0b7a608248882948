// Writing and reading every field type, memos and deleted records.
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace zedora::dbase;
using zedora::test::TempDir;

namespace {

std::vector<FieldDesc> allTypes()
{
    return {
        {"NAME", 'C', 10, 0, 0}, {"geboren", 'D', 8, 0, 0}, {"BETRAG", 'N', 8, 2, 0},
        {"ANZAHL", 'N', 4, 0, 0}, {"WERT", 'F', 10, 3, 0}, {"AKTIV", 'L', 1, 0, 0},
        {"TEXT", 'M', 10, 0, 0},
    };
}

const std::string kMueller = "M\xFCller";      // Müller in Windows-1252
const std::string kStrasse = "Stra\xDF" "e";   // Straße

} // namespace

TEST(TableValues, EveryTypeSurvivesReopen)
{
    TempDir dir;
    const std::string path = dir.file("ALLE.DBF");
    Table::create(path, allTypes());
    {
        auto t = Table::open(path);
        EXPECT_TRUE(t->isEmpty());
        EXPECT_TRUE(t->eof());
        t->append();
        t->setText("name", kMueller);
        t->setText("GEBOREN", "20130914");
        t->setText("BETRAG", "12.5");
        t->setValue("ANZAHL", Value(42.0));
        t->setText("WERT", "-3,25");
        t->setValue("AKTIV", Value(true));
        t->setMemo(t->fieldIndex("TEXT"), "Zeile 1\r\nZeile 2 " + kStrasse);
        t->post();
        t->append();
        t->setText("NAME", "Langer Name wird abgeschnitten");
        t->post();
    }
    auto t = Table::open(path);
    EXPECT_EQ(t->version(), 0x8B);
    EXPECT_EQ(t->languageDriver(), 0x03);
    ASSERT_EQ(t->fieldCount(), 7);
    EXPECT_EQ(t->field(1).name, "GEBOREN");
    EXPECT_EQ(t->field(2).decimals, 2);
    ASSERT_FALSE(t->eof());
    EXPECT_EQ(t->text("NAME"), kMueller);
    EXPECT_EQ(t->text("GEBOREN"), "20130914");
    EXPECT_EQ(t->textView(t->fieldIndex("BETRAG")), "12.50");
    EXPECT_EQ(t->value("ANZAHL"), Value(42.0));
    EXPECT_EQ(t->value("WERT"), Value(-3.25));
    EXPECT_EQ(t->value("AKTIV"), Value(true));
    EXPECT_EQ(t->value("GEBOREN"), Value(Date{2013, 9, 14}));
    EXPECT_EQ(t->text("TEXT"), "Zeile 1\r\nZeile 2 " + kStrasse);
    ASSERT_TRUE(t->next());
    EXPECT_EQ(t->text("NAME"), "Langer Nam");
    EXPECT_EQ(t->value("ANZAHL"), Value());
    EXPECT_EQ(t->value("AKTIV"), Value());
    EXPECT_EQ(t->text("TEXT"), "");
    EXPECT_FALSE(t->next());
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->recno(), 2u); // stays on the last record
}

TEST(TableValues, BadValuesAreRejectedNotStored)
{
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, allTypes());
    auto t = Table::open(path);
    t->append();
    EXPECT_THROW(t->setText("ANZAHL", "12345"), DbfError); // wider than 4
    EXPECT_THROW(t->setText("ANZAHL", "zwölf"), DbfError);
    EXPECT_THROW(t->setText("GEBOREN", "14.09.2013"), DbfError);
    EXPECT_THROW(t->setText("AKTIV", "vielleicht"), DbfError);
    EXPECT_THROW(t->setText("FEHLT", "x"), DbfError);
    EXPECT_EQ(t->findField("FEHLT"), -1);
    EXPECT_EQ(t->findField("betrag"), 2);
    t->cancel();
    EXPECT_THROW(t->setText("NAME", "x"), DbfError); // not editing
    EXPECT_EQ(t->recordCount(), 0u);
}

TEST(TableValues, MemosLongEmptyAndRewritten)
{
    TempDir dir;
    const std::string path = dir.file("M.DBF");
    Table::create(path, {{"NR", 'N', 3, 0, 0}, {"TB1", 'M', 10, 0, 0}, {"TB2", 'M', 10, 0, 0}});
    std::string longText;
    for (int i = 0; i < 300; ++i)
        longText += "Satz " + std::to_string(i) + " mit \xE4\xF6\xFC\xDF.\r\n";
    {
        auto t = Table::open(path);
        for (int i = 1; i <= 3; ++i) {
            t->append();
            t->setValue("NR", Value(double(i)));
            t->setMemo(1, i == 2 ? longText : "kurz " + std::to_string(i));
            t->post();
        }
        // Shorter text stays in place, longer one moves; neighbours unharmed.
        t->first();
        t->edit();
        t->setMemo(1, "k");
        t->post();
        t->next();
        t->edit();
        t->setMemo(1, longText + longText);
        std::istringstream in("aus dem Strom");
        t->writeMemo(2, in);
        t->post();
        t->next();
        t->edit();
        t->setMemo(1, "");
        t->post();
    }
    auto t = Table::open(path);
    EXPECT_EQ(t->memo(1), "k");
    t->next();
    EXPECT_EQ(t->memo(1), longText + longText);
    std::ostringstream out;
    t->readMemo(2, out);
    EXPECT_EQ(out.str(), "aus dem Strom");
    t->next();
    EXPECT_EQ(t->memo(1), "");
    EXPECT_EQ(t->textView(1), ""); // blank pointer, no block used
}

TEST(TableValues, DeletedRecordsAreHiddenEverywhere)
{
    TempDir dir;
    const std::string path = dir.file("D.DBF");
    Table::create(path, {{"NR", 'N', 3, 0, 0}});
    auto t = Table::open(path);
    for (int i = 1; i <= 5; ++i) {
        t->append();
        t->setValue(0, Value(double(i)));
        t->post();
    }
    t->gotoRecord(1);
    t->deleteRecord();
    EXPECT_EQ(t->text(0), "2"); // moved on to the next record
    t->gotoRecord(5);
    t->deleteRecord();
    EXPECT_EQ(t->text(0), "4"); // no next one: back to the one before
    t->gotoRecord(3);
    t->deleteRecord();

    std::string seen;
    for (t->first(); !t->eof(); t->next())
        seen += t->text(0);
    EXPECT_EQ(seen, "24");
    t->last();
    EXPECT_EQ(t->text(0), "4");
    EXPECT_TRUE(t->prior());
    EXPECT_EQ(t->text(0), "2");
    EXPECT_FALSE(t->prior());
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recordCount(), 5u);
    EXPECT_THROW(t->gotoBookmark(3), DbfError);
}

TEST(TableValues, NavigationBookmarksFilterAndCancel)
{
    TempDir dir;
    const std::string path = dir.file("N.DBF");
    Table::create(path, {{"NR", 'N', 3, 0, 0}, {"NAME", 'C', 5, 0, 0}});
    auto t = Table::open(path);
    for (int i = 1; i <= 10; ++i) {
        t->append();
        t->setValue("NR", Value(double(i)));
        t->post();
    }
    t->first();
    EXPECT_EQ(t->moveBy(4), 4);
    EXPECT_EQ(t->text("NR"), "5");
    const auto mark = t->bookmark();
    EXPECT_EQ(t->moveBy(100), 5);
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->moveBy(-3), -3);
    EXPECT_EQ(t->text("NR"), "7");
    t->gotoBookmark(mark);
    EXPECT_EQ(t->text("NR"), "5");

    t->edit();
    t->setText("NAME", "neu");
    t->cancel();
    EXPECT_EQ(t->text("NAME"), "");
    t->append();
    t->cancel();
    EXPECT_EQ(t->text("NR"), "5");
    EXPECT_EQ(t->recordCount(), 10u);

    t->setFilter([](const Table& row) { return std::stoi(row.text(0)) % 3 == 0; });
    std::string seen;
    for (t->first(); !t->eof(); t->next())
        seen += t->text(0) + " ";
    EXPECT_EQ(seen, "3 6 9 ");
    t->setFilter([](const Table&) { return false; });
    EXPECT_TRUE(t->isEmpty());
    EXPECT_TRUE(t->eof() && t->bof());
    t->clearFilter();
    EXPECT_EQ(t->text(0), "1");
}

TEST(TableValues, VariantsCopyBetweenTables)
{
    TempDir dir;
    const std::string a = dir.file("A.DBF"), b = dir.file("B.DBF");
    Table::create(a, allTypes());
    Table::create(b, allTypes());
    {
        auto t = Table::open(a);
        t->append();
        t->setText("NAME", kMueller);
        t->setText("GEBOREN", "20000101");
        t->setText("BETRAG", "7.25");
        t->setText("AKTIV", "F");
        t->setMemo(6, "Memo " + kStrasse);
        t->post();
    }
    auto src = Table::open(a);
    auto dst = Table::open(b);
    dst->append();
    for (int i = 0; i < src->fieldCount(); ++i)
        dst->setValue(i, src->value(i));
    dst->post();
    dst->first();
    for (int i = 0; i < src->fieldCount(); ++i)
        EXPECT_EQ(dst->text(i), src->text(i)) << src->field(i).name;
}

TEST(TableValues, CreateRejectsBadSchemasAndExistingFiles)
{
    TempDir dir;
    EXPECT_THROW(Table::create(dir.file("X.DBF"), {}), DbfError);
    EXPECT_THROW(Table::create(dir.file("X.DBF"), {{"ZU_LANGER_NAME", 'C', 5, 0, 0}}), DbfError);
    EXPECT_THROW(Table::create(dir.file("X.DBF"), {{"A", 'C', 0, 0, 0}}), DbfError);
    EXPECT_THROW(Table::create(dir.file("X.DBF"), {{"A", 'Q', 5, 0, 0}}), DbfError);
    EXPECT_THROW(Table::create(dir.file("X.DBF"), {{"A", 'C', 5, 0, 0}, {"a", 'C', 5, 0, 0}}), DbfError);
    Table::create(dir.file("X.DBF"), {{"A", 'C', 5, 0, 0}});
    const std::string before = zedora::test::readBytes(dir.file("X.DBF"));
    EXPECT_THROW(Table::create(dir.file("X.DBF"), {{"B", 'C', 9, 0, 0}}), DbfError);
    EXPECT_EQ(zedora::test::readBytes(dir.file("X.DBF")), before);
    EXPECT_EQ(before.size(), 32u + 32 + 1 + 1);
    EXPECT_EQ(before.back(), '\x1A');
}
