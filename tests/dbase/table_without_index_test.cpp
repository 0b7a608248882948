// Shared opens that leave the index closed: reading a table whose index is
// gone, damaged or half written without touching it.
#include "dbase/mdx_format.h"
#include "dbase/table.h"
#include "dbase/sample_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace zedora::dbase;
using zedora::test::makeSampleTable;
using zedora::test::namesOf;
using zedora::test::readBytes;
using zedora::test::TempDir;
using zedora::test::writeBytes;

namespace {

const std::vector<std::string> kPhysical = {"Clara", "Anna", "Bernd"};

} // namespace

TEST(SharedWithoutIndex, ReadsInPhysicalOrderWhateverStateTheIndexIsIn)
{
    const std::pair<const char*, std::function<void(const std::string&)>> states[] = {
        {"sound", [](const std::string&) {}},
        {"missing", [](const std::string& mdx) { std::filesystem::remove(mdx); }},
        {"damaged", [](const std::string& mdx) { writeBytes(mdx, std::string(3000, '\x55')); }},
        {"half written",
         [](const std::string& mdx) {
             std::string bytes = readBytes(mdx);
             bytes[mdx::header::writing] = 1;
             writeBytes(mdx, bytes);
         }},
    };
    for (const auto& [name, spoil] : states) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string path = dir.file("KLASSE.DBF");
        const std::string mdx = dir.file("KLASSE.MDX");
        makeSampleTable(path);
        spoil(mdx);
        const std::string before = readBytes(path) + readBytes(dir.file("KLASSE.DBT")) + readBytes(mdx);
        {
            auto t = Table::open(path, OpenMode::SharedWithoutIndex);
            EXPECT_TRUE(t->withoutIndex());
            EXPECT_TRUE(t->readOnly());
            EXPECT_FALSE(t->exclusive());
            EXPECT_TRUE(t->productionIndexFlag()) << "the header is left as it is";
            EXPECT_TRUE(t->tags().empty());
            EXPECT_EQ(namesOf(*t), kPhysical) << "the deleted record is skipped";
            t->last();
            EXPECT_EQ(t->text("NAME"), "Bernd");
            EXPECT_EQ(t->memo(1), "Text von Bernd");
            EXPECT_THROW(t->selectTag("NAME"), DbfError);
            t->selectTag("");
            EXPECT_EQ(t->currentTag(), "");
            EXPECT_THROW(t->findKey("Anna"), DbfError) << "no tag to search";

            t->first();
            const std::pair<const char*, std::function<void()>> changes[] = {
                {"edit", [&] { t->edit(); }},
                {"append", [&] { t->append(); }},
                {"deleteRecord", [&] { t->deleteRecord(); }},
                {"addIndexTag", [&] { t->addIndexTag("NAME2", "NAME", false); }},
                {"rebuildIndex", [&] { t->rebuildIndex({{"NAME", "NAME"}}); }},
            };
            for (const auto& [what, change] : changes) {
                try {
                    change();
                    ADD_FAILURE() << what << " was allowed";
                } catch (const DbfError& e) {
                    const std::string message = e.what();
                    EXPECT_NE(message.find(path), std::string::npos) << what << ": " << message;
                    if (std::string(what) != "rebuildIndex") {
                        EXPECT_NE(message.find("ohne ihren Index"), std::string::npos) << what << ": " << message;
                    }
                }
                EXPECT_EQ(t->state(), Table::State::Browse) << what;
            }
            EXPECT_NO_THROW(t->flush());
        }
        EXPECT_EQ(readBytes(path) + readBytes(dir.file("KLASSE.DBT")) + readBytes(mdx), before)
            << "not even a half-written index is repaired";
    }
}

TEST(SharedWithoutIndex, SharesTheTableWithOtherOpensAndSeesTheirChanges)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeSampleTable(path);
    auto reader = Table::open(path, OpenMode::SharedWithoutIndex);
    EXPECT_TRUE(Table::inUse(path));
    EXPECT_THROW(Table::open(path, OpenMode::Exclusive), HeldElsewhere);
    auto writer = Table::open(path);
    EXPECT_FALSE(writer->withoutIndex());
    writer->append();
    writer->setText("NAME", "Alf");
    writer->setMemo(1, "Text von Alf");
    writer->post();
    std::vector<std::string> expected = kPhysical;
    expected.push_back("Alf");
    EXPECT_EQ(namesOf(*reader), expected) << "the new record comes last, in physical order";
    reader->last();
    EXPECT_EQ(reader->memo(1), "Text von Alf");
    writer.reset();
    reader.reset();

    auto exclusive = Table::open(path, OpenMode::Exclusive);
    EXPECT_THROW(Table::open(path, OpenMode::SharedWithoutIndex), HeldElsewhere);
    EXPECT_TRUE(exclusive->findProblems().empty()) << "the index was kept by the writer alone";
}

TEST(SharedWithoutIndex, WithoutIndexTellsWhetherTheIndexWasLeftClosed)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeSampleTable(path);
    EXPECT_FALSE(Table::open(path)->withoutIndex());
    EXPECT_FALSE(Table::open(path, OpenMode::Exclusive)->withoutIndex());
    EXPECT_FALSE(Table::open(path)->readOnly()) << "a plain shared open still writes";
    {
        auto t = Table::open(path, OpenMode::ExclusiveWithoutIndex);
        EXPECT_TRUE(t->withoutIndex());
        EXPECT_THROW(t->append(), DbfError);
        t->rebuildIndex({{"NAME", "NAME"}});
        EXPECT_FALSE(t->withoutIndex()) << "the rebuilt index is open";
        t->append();
        t->setText("NAME", "Alf");
        t->post();
    }

    const std::string plain = dir.file("OHNE.DBF");
    Table::create(plain, {{"NAME", 'C', 10, 0, 0}});
    EXPECT_FALSE(Table::open(plain, OpenMode::ExclusiveWithoutIndex)->withoutIndex()) << "there is no index";
    auto t = Table::open(plain, OpenMode::SharedWithoutIndex);
    EXPECT_TRUE(t->withoutIndex());
    EXPECT_THROW(t->append(), DbfError) << "this mode only reads";
}
