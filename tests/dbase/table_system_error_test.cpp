// System errors reach the user as German sentences that name the file.
#include "dbase/system_error.h"
#include "dbase/table.h"
#include "dbase/sample_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zedora::dbase;
using zedora::test::endsWith;
using zedora::test::makeSampleTable;
using zedora::test::namesOf;
using zedora::test::TempDir;

namespace {

// The system's own (English) text must not show through.
void expectNoSystemText(const std::string& message, int error)
{
    EXPECT_EQ(message.find(std::strerror(error)), std::string::npos) << message;
}

} // namespace

TEST(SystemErrorText, NoErrorShowsTheSystemsEnglishText)
{
    for (int error : {ENOENT, EACCES, EPERM, EROFS, ENOSPC, EDQUOT, EEXIST, EISDIR, ENOTDIR, EIO, ENAMETOOLONG,
                      EMFILE, ENFILE, ETXTBSY, EBUSY, EXDEV, EFBIG, ESTALE, ENOLCK, EINVAL, ENOMEM}) {
        const std::string text = systemErrorText(error);
        EXPECT_EQ(text.find("Systemfehler"), std::string::npos) << error << " has a text of its own";
        expectNoSystemText(text, error);
    }
    EXPECT_EQ(systemErrorText(4242), "Systemfehler 4242");
}

// Each step of a save that the system refuses: the write or sync of the
// table, its memo or its index.
TEST(SystemErrors, AFailedSaveNamesTheFileAndTheReasonInGerman)
{
    struct Case {
        const char* ext;
        IoStep step;
        int error;
    };
    const Case cases[] = {
        {".DBF", IoStep::Write, ENOSPC}, {".DBT", IoStep::Write, EDQUOT}, {".MDX", IoStep::Write, EIO},
        {".DBF", IoStep::Sync, EIO},     {".DBT", IoStep::Sync, ESTALE},  {".MDX", IoStep::Sync, ENOSPC},
        {".DBF", IoStep::Write, EFBIG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ext) + " " + systemErrorText(c.error));
        TempDir dir;
        const std::string path = dir.file("KLASSE.DBF");
        makeSampleTable(path);
        auto t = Table::open(path);
        t->setWriteThrough(true);
        t->append();
        t->setText("NAME", "Emil");
        t->setMemo(1, "Text von Emil");
        bool fired = false;
        setIoHook([&](IoStep step, const std::string& file) {
            if (!fired && step == c.step && endsWith(file, c.ext)) {
                fired = true;
                throw SimulatedSystemError{c.error};
            }
        });
        try {
            t->post();
            ADD_FAILURE() << "the save was reported as done";
        } catch (const DbfError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(systemErrorText(c.error)), std::string::npos) << message;
            EXPECT_NE(message.find(dir.file(std::string("KLASSE") + c.ext)), std::string::npos) << message;
            expectNoSystemText(message, c.error);
        }
        setIoHook(nullptr);
        EXPECT_TRUE(fired);
        EXPECT_EQ(t->state(), Table::State::Insert) << "the record stays pending";
        t->post();
        auto other = Table::open(path);
        other->selectTag("NAME");
        EXPECT_EQ(namesOf(*other), (std::vector<std::string>{"Anna", "Bernd", "Clara", "Emil"})) << "saved once";
        EXPECT_TRUE(other->findProblems().empty());
    }
}

TEST(SystemErrors, AFailedOpenNamesTheFileAndTheReasonInGerman)
{
    TempDir dir;
    const std::string path = dir.file("KLASSE.DBF");
    makeSampleTable(path);
    auto expectOpenFails = [](const std::string& file, int error) {
        try {
            Table::open(file);
            ADD_FAILURE() << file << " opened";
        } catch (const DbfError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(systemErrorText(error)), std::string::npos) << message;
            EXPECT_NE(message.find(file), std::string::npos) << message;
            expectNoSystemText(message, error);
        }
    };
    expectOpenFails(dir.file("FEHLT.DBF"), ENOENT);
    expectOpenFails(path + "/KLASSE.DBF", ENOTDIR);
    expectOpenFails(dir.file(std::string(300, 'A') + ".DBF"), ENAMETOOLONG);

    // Errors other than a refused write do not turn into a read-only open.
    for (const char* ext : {".DBF", ".DBT", ".MDX"}) {
        SCOPED_TRACE(ext);
        setIoHook([ext](IoStep step, const std::string& file) {
            if (step == IoStep::OpenForWriting && endsWith(file, ext))
                throw SimulatedSystemError{EMFILE};
        });
        try {
            auto t = Table::open(path);
            ADD_FAILURE() << "opened; read-only: " << t->readOnly();
        } catch (const DbfError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("Zu viele offene Dateien"), std::string::npos) << message;
            EXPECT_NE(message.find(dir.file(std::string("KLASSE") + ext)), std::string::npos) << message;
        }
        setIoHook(nullptr);
    }
}
