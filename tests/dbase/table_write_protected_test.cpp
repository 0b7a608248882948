// Tables whose .DBF, .DBT or .MDX may not be written: read-only opens that
// read everything and change nothing, and exclusive opens that fail.
#include "dbase/mdx_format.h"
#include "dbase/table.h"
#include "dbase/sample_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zedora::dbase;
using zedora::test::makeSampleTable;
using zedora::test::namesOf;
using zedora::test::readBytes;
using zedora::test::RefuseWriting;
using zedora::test::TempDir;
using zedora::test::writeBytes;

namespace {

struct Protection {
    const char* ext;
    int error;
};

void PrintTo(const Protection& p, std::ostream* out)
{
    *out << p.ext << (p.error == EROFS ? " on a read-only file system" : " write-protected");
}

std::string protectionName(const testing::TestParamInfo<Protection>& info)
{
    return std::string(info.param.ext + 1) + (info.param.error == EROFS ? "_ReadOnlyFileSystem" : "_WriteProtected");
}

class WriteProtected : public testing::TestWithParam<Protection> {
protected:
    void SetUp() override
    {
        path = dir.file("KLASSE.DBF");
        makeSampleTable(path);
        protectedFile = dir.file(std::string("KLASSE") + GetParam().ext);
    }
    std::string allBytes() const
    {
        return readBytes(path) + readBytes(dir.file("KLASSE.DBT")) + readBytes(dir.file("KLASSE.MDX"));
    }

    TempDir dir;
    std::string path;
    std::string protectedFile;
};

void markIndexHalfWritten(const std::string& mdx)
{
    std::string bytes = readBytes(mdx);
    bytes[mdx::header::writing] = 1;
    writeBytes(mdx, bytes);
}

bool indexMarked(const std::string& mdx)
{
    return readBytes(mdx)[mdx::header::writing] == 1;
}

} // namespace

TEST_P(WriteProtected, TheTableOpensReadOnlyReadsEverythingAndRefusesEveryChange)
{
    const std::string before = allBytes();
    {
        RefuseWriting refuse(GetParam().ext, GetParam().error);
        auto t = Table::open(path);
        EXPECT_TRUE(t->readOnly());
        EXPECT_FALSE(t->exclusive());
        EXPECT_EQ(t->tags().size(), 1u) << "the index is open for reading";
        t->selectTag("NAME");
        EXPECT_EQ(namesOf(*t), (std::vector<std::string>{"Anna", "Bernd", "Clara"}));
        ASSERT_TRUE(t->findKey("Bernd"));
        EXPECT_EQ(t->memo(1), "Text von Bernd");

        const std::vector<std::pair<const char*, std::function<void()>>> changes = {
            {"edit", [&] { t->edit(); }},
            {"append", [&] { t->append(); }},
            {"insert", [&] { t->insert(); }},
            {"deleteRecord", [&] { t->deleteRecord(); }},
            {"addIndexTag", [&] { t->addIndexTag("TEXT", "LEFT(NAME,3)", false); }},
        };
        for (const auto& [what, change] : changes) {
            try {
                change();
                ADD_FAILURE() << what << " was allowed";
            } catch (const DbfError& e) {
                const std::string message = e.what();
                EXPECT_NE(message.find(protectedFile), std::string::npos) << what << ": " << message;
                EXPECT_NE(message.find("schreibgeschützt"), std::string::npos) << what << ": " << message;
            }
            EXPECT_EQ(t->state(), Table::State::Browse) << what;
        }
        EXPECT_NO_THROW(t->flush()) << "nothing to write, nothing to refuse";
        t->first();
        EXPECT_EQ(t->text("NAME"), "Anna") << "still readable after the refusals";
        t.reset();
        EXPECT_TRUE(refuse.written.empty()) << "first write went to " << refuse.written.front();
    }
    EXPECT_EQ(allBytes(), before);

    auto writable = Table::open(path);
    EXPECT_FALSE(writable->readOnly()) << "writable again once the protection is gone";
}

TEST_P(WriteProtected, AnExclusiveOpenFailsAndLeavesTheTableFree)
{
    {
        RefuseWriting refuse(GetParam().ext, GetParam().error);
        std::vector<OpenMode> modes = {OpenMode::Exclusive};
        if (std::string(GetParam().ext) != ".MDX")
            modes.push_back(OpenMode::ExclusiveWithoutIndex);
        for (OpenMode mode : modes) {
            try {
                Table::open(path, mode);
                ADD_FAILURE() << "exclusive open of a table that may not be written";
            } catch (const IndexDamaged& e) {
                ADD_FAILURE() << "a protected file is no damaged index: " << e.what();
            } catch (const DbfError& e) {
                const std::string message = e.what();
                EXPECT_NE(message.find("schreibgeschützt und lässt sich nicht exklusiv öffnen"), std::string::npos)
                    << message;
                EXPECT_NE(message.find(protectedFile), std::string::npos) << message;
            }
            EXPECT_FALSE(Table::inUse(path)) << "the failed open holds nothing";
        }
        // Left closed, the index is replaced rather than written: that stays possible.
        if (std::string(GetParam().ext) == ".MDX") {
            auto t = Table::open(path, OpenMode::ExclusiveWithoutIndex);
            EXPECT_TRUE(t->withoutIndex());
        }
    }
    auto t = Table::open(path, OpenMode::Exclusive);
    EXPECT_FALSE(t->readOnly());
}

TEST_P(WriteProtected, AHalfWrittenIndexIsNotRepairedAndTheOpenSaysWhy)
{
    const std::string mdx = dir.file("KLASSE.MDX");
    markIndexHalfWritten(mdx);
    {
        RefuseWriting refuse(GetParam().ext, GetParam().error);
        try {
            Table::open(path);
            ADD_FAILURE() << "a half-written index must not be read as sound";
        } catch (const IndexDamaged& e) {
            EXPECT_NE(std::string(e.what()).find("schreibgeschützt"), std::string::npos) << e.what();
        }
        try {
            Table::open(path, OpenMode::Exclusive);
            ADD_FAILURE() << "exclusive open of a table that may not be written";
        } catch (const IndexDamaged& e) {
            ADD_FAILURE() << "the protection, not the index, stops this open: " << e.what();
        } catch (const DbfError& e) {
            EXPECT_NE(std::string(e.what()).find("exklusiv"), std::string::npos) << e.what();
        }
        EXPECT_TRUE(refuse.written.empty());
    }
    EXPECT_TRUE(indexMarked(mdx)) << "nothing was written";
    auto t = Table::open(path);
    EXPECT_FALSE(indexMarked(mdx)) << "a writable open repairs it";
    t->selectTag("NAME");
    EXPECT_EQ(namesOf(*t), (std::vector<std::string>{"Anna", "Bernd", "Clara"}));
}

INSTANTIATE_TEST_SUITE_P(Files, WriteProtected,
                         testing::Values(Protection{".DBF", EACCES}, Protection{".DBT", EACCES},
                                         Protection{".MDX", EACCES}, Protection{".DBF", EROFS},
                                         Protection{".DBT", EROFS}, Protection{".MDX", EROFS}),
                         protectionName);
