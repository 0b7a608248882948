#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace zedora;

namespace {

std::string native(const QString& p)
{
    return p.toStdString();
}

// A workspace with the student-file template and a class file.
class StudentFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = tmp.path() + "/";
        QDir().mkpath(ws + "MUSTER");
        QDir().mkpath(ws + "TMP");
        QDir().mkpath(ws + "ZE-1920-1");
        dbase::Table::create(native(ws + "MUSTER/tpl.dbf"), studentFileFields());
        QFile::rename(ws + "MUSTER/tpl.dbf", ws + "MUSTER/MUSTER.MS1");
        QFile::rename(ws + "MUSTER/tpl.dbt", ws + "MUSTER/MUSTER.MS3");
    }

    StudentFileContext context() { return {ws, "testpc", files, ui}; }

    // An old-style class file: the first fields only, no index.
    QString makeOldFile(int students)
    {
        // Older files hold the first fields of today's schema.
        std::vector<dbase::FieldDesc> fields = studentFileFields();
        fields.resize(14);
        const QString path = ws + "ZE-1920-1/7B.DBF";
        dbase::Table::create(native(path), fields);
        auto t = dbase::Table::open(native(path));
        for (int i = 0; i < students; ++i) {
            t->append();
            t->setText("NAME", i % 2 ? "M\xFCller" : "Adam");
            t->setText("VORNAME", "Kind" + std::to_string(i));
            t->setText("KLASSE", "7b");
            t->setText("GEBOREN", i == 3 ? "30.02.2005" : "5.3.08");
            t->setText("DE", "2");
            t->post();
        }
        return path;
    }

    QTemporaryDir tmp;
    QString ws;
    TNeueDateien reg{tmp.path() + "/a.txt", tmp.path() + "/b.txt"};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
};

} // namespace

TEST_F(StudentFilesTest, CreatedFileHasTheSchemaAndItsFourTags)
{
    ASSERT_TRUE(createEmptyStudentFile(ws + "ZE-1920-1/neu.dbf", context()));
    auto t = dbase::Table::open(native(ws + "ZE-1920-1/NEU.DBF"));
    EXPECT_EQ(t->fieldCount(), 122);
    ASSERT_EQ(t->tags().size(), 4u);
    EXPECT_EQ(t->tags()[0].name, "KLASSE");
    EXPECT_EQ(t->tags()[3].name, "ID");
    EXPECT_TRUE(reg.files().contains(ws + "ZE-1920-1/NEU.DBF"));
}

TEST_F(StudentFilesTest, CreatingOverAnExistingFileAsksAndKeepsItUnlessYes)
{
    const QString old = makeOldFile(2);
    ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(createEmptyStudentFile(old, context()));
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_TRUE(ui.messages()[0].startsWith("Es existiert bereits eine Datei mit demselben Namen."));
    EXPECT_EQ(dbase::Table::open(native(old))->fieldCount(), 14);

    ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(createEmptyStudentFile(old, context()));
    auto t = dbase::Table::open(native(old));
    EXPECT_EQ(t->fieldCount(), 122);
    EXPECT_EQ(t->recordCount(), 0u);
}

TEST_F(StudentFilesTest, MissingTemplateIsReported)
{
    QFile::remove(ws + "MUSTER/MUSTER.MS1");
    EXPECT_FALSE(createEmptyStudentFile(ws + "ZE-1920-1/X.DBF", context()));
    EXPECT_EQ(ui.messages().last(),
              QString::fromUtf8("Neuanlegen nicht fehlerfrei gelungen!\n\nIst das Programm BDE ordnungsgemäß installiert?\n\n"));
    EXPECT_FALSE(QFile::exists(ws + "ZE-1920-1/X.DBF"));
}

TEST_F(StudentFilesTest, ReorganisationBringsOldFilesIntoTheSchemaWithIdentities)
{
    const QString path = makeOldFile(6);
    {
        auto t = dbase::Table::open(native(path));
        t->gotoRecord(6);
        t->deleteRecord();
    }
    ASSERT_TRUE(reorganiseStudentFile(path, context()));
    auto t = dbase::Table::open(native(path));
    EXPECT_EQ(t->fieldCount(), 122);
    EXPECT_EQ(t->recordCount(), 5u) << "deleted records are not copied";
    EXPECT_EQ(t->tags().size(), 4u);
    t->gotoRecord(1);
    EXPECT_EQ(t->text("GEBOREN"), "05.03.2008");
    EXPECT_EQ(t->text("ID"), "39512ADAKIND0");
    EXPECT_EQ(t->text("DE"), "2");
    t->gotoRecord(4);
    EXPECT_EQ(t->text("ID"), "000");
    EXPECT_EQ(t->text("GEBOREN"), "30.02.2005");
    ASSERT_EQ(ui.messages().size(), 1) << "the wrong birth date is reported once";
    EXPECT_TRUE(ui.messages()[0].contains("(M\u00fcller, Kind3)"));
    EXPECT_TRUE(QDir(ws + "TMP").isEmpty());
    EXPECT_FALSE(QFile::exists(ws + "ZE-1920-1/7B.REO"));
}

// What the main window's progress panel would show.
struct RecordedProgress : ProgressDisplay {
    std::vector<int> steps;
    int total = 0;
    bool shown = false;
    void showProgress(const QString&, int done, int all) override
    {
        steps.push_back(done);
        total = all;
        shown = true;
    }
    void hideProgress() override { shown = false; }
};

TEST_F(StudentFilesTest, ReorganisationShowsItsProgressAndEndsItAlsoWhenItFails)
{
    const QString path = makeOldFile(120);
    RecordedProgress progress;
    ui.setProgressDisplay(&progress);
    ASSERT_TRUE(reorganiseStudentFile(path, context()));
    EXPECT_EQ(progress.total, 120);
    EXPECT_EQ(progress.steps, (std::vector<int>{0, 50, 100}));
    EXPECT_FALSE(progress.shown);

    progress.steps.clear();
    auto inUse = dbase::Table::open(native(path));
    EXPECT_FALSE(reorganiseStudentFile(path, context()));
    EXPECT_FALSE(progress.shown);
    ui.setProgressDisplay(nullptr);
}

TEST_F(StudentFilesTest, ReorganisationOfAFileInUseFailsAndLeavesItAlone)
{
    const QString path = makeOldFile(2);
    auto inUse = dbase::Table::open(native(path));
    EXPECT_FALSE(reorganiseStudentFile(path, context()));
    inUse.reset();
    EXPECT_EQ(dbase::Table::open(native(path))->fieldCount(), 14);
    EXPECT_TRUE(QDir(ws + "TMP").isEmpty());
}

// A reorganisation killed at any step leaves a complete file: the old one
// before the replacement began, the new one from then on (the next open
// finishes an interrupted replacement).
TEST_F(StudentFilesTest, KilledReorganisationNeverLosesTheFile)
{
    const ReorganisationStep steps[] = {ReorganisationStep::NewFileBuilt,
                                        ReorganisationStep::JournalWritten,
                                        ReorganisationStep::MemosReplaced,
                                        ReorganisationStep::TableReplaced,
                                        ReorganisationStep::IndexReplaced};
    for (ReorganisationStep killAt : steps) {
        SCOPED_TRACE(int(killAt));
        const QString path = makeOldFile(12);
        const pid_t child = ::fork();
        if (child == 0) {
            ScriptedInteraction childUi;
            TNeueDateien childReg(ws + "c.txt", ws + "d.txt");
            WorkspaceFiles childFiles(childReg);
            reorganiseStudentFile(path, {ws, "testpc", childFiles, childUi},
                                  [killAt](ReorganisationStep s) {
                                      if (s == killAt)
                                          ::kill(::getpid(), SIGKILL);
                                  });
            ::_exit(3);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child was to be killed";

        finishInterruptedReorganisation(path);
        auto t = dbase::Table::open(native(path));
        const bool replaced = killAt != ReorganisationStep::NewFileBuilt;
        EXPECT_EQ(t->fieldCount(), replaced ? 122 : 14);
        EXPECT_EQ(t->recordCount(), 12u);
        t->gotoRecord(12);
        EXPECT_EQ(t->text("VORNAME"), "Kind11");
        if (replaced) {
            t->verifyIndex();
            EXPECT_EQ(t->text("ID"), "39512M\xFCLKIND11");
        }
        t.reset();
        dbase::Table::remove(native(path));
        QFile::remove(ws + "ZE-1920-1/7B.REO");
    }
}

TEST_F(StudentFilesTest, StudentTableEditsPostsAndKeepsTheOrder)
{
    const QString path = makeOldFile(4);
    ASSERT_TRUE(reorganiseStudentFile(path, context()));
    StudentTable table;
    table.open(path, "NAME");
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.value("NAME"), "Adam");
    EXPECT_EQ(table.fieldCount(), 125);
    EXPECT_EQ(table.fieldName(122), "D1");

    int resets = 0;
    QObject::connect(&table, &StudentTable::rowsReset, [&] { ++resets; });
    table.setChangeCheck([](const QString& field, const QString& value) -> std::optional<QString> {
        if (field == "DE" && value == "9")
            return std::nullopt;
        return value;
    });
    ASSERT_TRUE(table.setValue("DE", "1"));
    EXPECT_FALSE(table.setValue("DE", "9"));
    EXPECT_TRUE(table.setValue("NAME", "Zander"));
    EXPECT_EQ(table.state(), StudentTable::State::Edit);
    EXPECT_EQ(table.value("DE"), "1");
    ASSERT_TRUE(table.post());
    EXPECT_EQ(resets, 1);
    // Zander now sorts last, and the cursor stays on the record.
    EXPECT_EQ(table.currentRow(), 3);
    EXPECT_EQ(table.value("NAME"), "Zander");
    EXPECT_EQ(table.valueAt(0, table.findField("NAME")), "Adam");

    table.edit();
    table.setValue("DE", "5");
    table.cancel();
    EXPECT_EQ(table.value("DE"), "1");

    // The averages come from the values of the record.
    AverageDefinitions defs;
    defs.lists[0] = "#DE#";
    table.setAverageDefinitions(defs);
    EXPECT_EQ(table.value("D1"), "1,00");

    table.setFilter("NAME", QString::fromUtf8("Mü"));
    EXPECT_EQ(table.rowCount(), 2);
    table.clearFilter();
    EXPECT_EQ(table.rowCount(), 4);

    table.append();
    table.setValue("NAME", "Neu");
    ASSERT_TRUE(table.post());
    EXPECT_EQ(table.rowCount(), 5);
    EXPECT_EQ(table.value("NAME"), "Neu");
    table.deleteCurrent();
    EXPECT_EQ(table.rowCount(), 4);

    // Another program's change shows after a refresh.
    {
        auto other = dbase::Table::open(native(path));
        other->gotoRecord(1);
        other->edit();
        other->setText("DE", "4");
        other->post();
    }
    table.refresh();
    table.last();
    EXPECT_EQ(table.value("NAME"), "Zander");
    EXPECT_EQ(table.value("DE"), "4");
}

TEST_F(StudentFilesTest, PostWritesOnlyTheChangedFieldsSoOthersChangesSurvive)
{
    const QString path = makeOldFile(1);
    ASSERT_TRUE(reorganiseStudentFile(path, context()));
    StudentTable table;
    table.open(path);
    table.setValue("DE", "3");
    {
        auto other = dbase::Table::open(native(path));
        other->gotoRecord(1);
        other->edit();
        other->setText("EN", "2");
        other->post();
    }
    ASSERT_TRUE(table.post());
    EXPECT_EQ(table.value("DE"), "3");
    EXPECT_EQ(table.value("EN"), "2");
}
