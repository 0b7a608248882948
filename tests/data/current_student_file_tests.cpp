#include "core/app_context.h"
#include "base/scripted_interaction.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

std::string native(const QString& p)
{
    return p.toStdString();
}

void writeClass(const QString& path, const QStringList& names)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(native(path), studentFileFields());
    auto t = dbase::Table::open(native(path));
    for (const QString& n : names) {
        t->append();
        t->setText("NAME", n.toStdString());
        t->setText("KLASSE", "5a");
        t->setText("GEBOREN", "01.01.2010");
        t->post();
    }
}

class CurrentStudentFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = tmp.path() + "/ws/";
        QDir().mkpath(ws + "TMP");
        QDir().mkpath(ws + "LAYOUT");
        writeClass(ws + "MUSTER/tpl.dbf", {});
        QFile::rename(ws + "MUSTER/tpl.dbf", ws + "MUSTER/MUSTER.MS1");
        QFile::rename(ws + "MUSTER/tpl.dbt", ws + "MUSTER/MUSTER.MS3");
        writeClass(ws + "MUSTER/demo.dbf", {"Demo"});
        QFile::remove(ws + "MUSTER/demo.mdx");
        ProgramPaths paths{tmp.path() + "/share/", ws, "PC1"};
        context = std::make_unique<AppContext>(ui, paths);
        context->openWorkspace(ws);
        context->createdFiles->endDefer();
        file = std::make_unique<CurrentStudentFile>(*context);
    }
    QTemporaryDir tmp;
    QString ws;
    ScriptedInteraction ui;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CurrentStudentFile> file;
};

} // namespace

TEST_F(CurrentStudentFileTest, MissingFileFallsBackToTheRebuiltDemo)
{
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/WEG.DBF"));
    EXPECT_EQ(ui.messages().value(0), ws + "ZE-1920-1/WEG.DBF nicht vorhanden!\n");
    EXPECT_EQ(file->path(), ws + "ZE-0000-0/demo.dbf");
    EXPECT_EQ(file->table().value("NAME"), "Demo");
    EXPECT_EQ(file->assignments().TBSdatei, "#DEMO.DBF");
    EXPECT_EQ(context->settings.NotenDatei, file->path());
}

TEST_F(CurrentStudentFileTest, FileWithoutIndexIsReorganisedSilently)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Zoe", "Anton", "Maria"});
    QFile::remove(ws + "ZE-1920-1/5A.MDX");
    context->settings.Sortierung = 3;
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    EXPECT_TRUE(QFile::exists(ws + "ZE-1920-1/5A.MDX"));
    EXPECT_EQ(file->table().tag(), "NAME");
    EXPECT_EQ(file->table().valueAt(0, file->table().findField("NAME")), "Anton");
    EXPECT_EQ(file->table().value("ID"), "40179ANT");
    EXPECT_EQ(file->previousArchive(), "A18-19-2.DBF");
    EXPECT_EQ(file->dataDirectoryName(), "ZE-1920-1");
}

TEST_F(CurrentStudentFileTest, DamagedFileIsReportedAndTheLastGoodOneOpens)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    QFile bad(ws + "ZE-1920-1/KAPUTT.DBF");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is no dBase file at all");
    bad.close();
    ui.clear();
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/KAPUTT.DBF"));
    ASSERT_FALSE(ui.messages().isEmpty());
    EXPECT_EQ(ui.messages().last(),
              "Datei ist fehlerhaft!\nReorganisation kann nicht durchgeführt werden!\n\n\n");
    EXPECT_EQ(file->path(), ws + "ZE-1920-1/5A.DBF");
    QFile check(ws + "ZE-1920-1/KAPUTT.DBF");
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "this is no dBase file at all") << "a damaged file is never changed";
}

TEST_F(CurrentStudentFileTest, AFileWithoutAssignmentsTakesThoseOfThePreviousFile)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    writeClass(ws + "ZE-1920-1/5B.DBF", {"Berta"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    file->assignments().TBSdatei = "#BIO.DBF";
    ASSERT_TRUE(file->writeAssignments());
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5B.DBF"));
    EXPECT_EQ(file->assignments().TBSdatei, "#BIO.DBF");
    EXPECT_EQ(file->studentFilesOfDirectory(), (QStringList{"5A.DBF", "5B.DBF"}));
}

TEST_F(CurrentStudentFileTest, SwitchingToAnEmptyDataDirectoryCopiesTheDemo)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    QDir().mkpath(ws + "ZE-2021-1");
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    file->switchDataDirectory("ZE-2021-1");
    EXPECT_EQ(file->path(), ws + "ZE-2021-1/demo.dbf");
    EXPECT_EQ(file->table().value("NAME"), "Demo");
    file->switchDataDirectory("ZE-1920-1");
    EXPECT_EQ(file->path(), ws + "ZE-1920-1/5A.DBF");
}

TEST_F(CurrentStudentFileTest, DeletingTheCurrentFileIsRefusedOthersGoWithTheirCompanions)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    writeClass(ws + "ZE-1920-1/5B.DBF", {"Berta"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    ui.texts.enqueue(ws + "ZE-1920-1/5a.dbf");
    file->deleteFiles();
    EXPECT_EQ(ui.messages().last(), "Die gewählte Datei ist aktiv.\nSie kann nicht gelöscht werden!\n");
    ui.texts.enqueue(ws + "ZE-1920-1/5B.DBF");
    ui.answers.enqueue(Answer::Yes);
    file->deleteFiles();
    EXPECT_FALSE(QFile::exists(ws + "ZE-1920-1/5B.DBF"));
    EXPECT_FALSE(QFile::exists(ws + "ZE-1920-1/5B.MDX"));
    EXPECT_FALSE(QFile::exists(ws + "ZE-1920-1/5B.DBT"));
}

TEST_F(CurrentStudentFileTest, ReorganiseCurrentAsksAndReports)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton", "Berta"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    file->table().last();
    ui.clear();
    ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(file->reorganiseCurrent());
    ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(file->reorganiseCurrent());
    EXPECT_EQ(ui.messages().last(), "Reorganisation war erfolgreich!");
    EXPECT_EQ(file->table().value("NAME"), "Berta") << "the record is kept";
}

TEST_F(CurrentStudentFileTest, CreatingAFileThroughTheMenu)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    ui.texts.enqueue(ws + "ZE-1920-1/6c");
    ASSERT_TRUE(file->createEmpty());
    EXPECT_EQ(file->path(), ws + "ZE-1920-1/6C.DBF");
    EXPECT_EQ(file->table().rowCount(), 0);
    ui.clear();
    ui.texts.enqueue(ws + "ZE-0000-0/DEMO.DBF");
    EXPECT_FALSE(file->createEmpty());
    EXPECT_TRUE(ui.messages().isEmpty()) << "the demo file is refused silently";
}

TEST_F(CurrentStudentFileTest, FieldsAreEditableByKindMasterDataEditingAndTableLock)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    StudentTable& t = file->table();
    EXPECT_FALSE(t.setValue("NAME", "Bert")) << "master data need master-data editing";
    EXPECT_TRUE(t.setValue("DE", "2"));
    EXPECT_FALSE(t.setValue("ID", "x"));
    t.post();

    file->applyEditState({true, false, false});
    EXPECT_TRUE(t.setValue("NAME", "Bert"));
    t.post();

    file->applyEditState({false, true, false});
    EXPECT_FALSE(t.setValue("DE", "3")) << "the table lock stops grades";
    EXPECT_TRUE(t.setValue("TB1", "Text"));
    t.post();
    EXPECT_EQ(t.value("DE"), "2");
    EXPECT_EQ(t.value("NAME"), "Bert");
}

TEST_F(CurrentStudentFileTest, ATableThatIsNoStudentFileIsNeverConverted)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    const QString foreign = ws + "ZE-1920-1/S_2024.DBF";
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZEDORA_FIXTURES_DIR) + "/sibank/S_2024.DBF", foreign));
    QFile::setPermissions(foreign, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile before(foreign);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();
    ui.clear();
    ASSERT_TRUE(file->open(foreign));
    EXPECT_EQ(file->path(), ws + "ZE-1920-1/5A.DBF");
    EXPECT_FALSE(ui.messages().isEmpty());
    QFile after(foreign);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
}

TEST_F(CurrentStudentFileTest, WhenNoFileAtAllOpensTheWindowIsToldToClose)
{
    writeClass(ws + "ZE-1920-1/5A.DBF", {"Anton"});
    ASSERT_TRUE(file->open(ws + "ZE-1920-1/5A.DBF"));
    QSignalSpy gone(file.get(), &CurrentStudentFile::cannotGoOn);
    // Neither the file, nor the last good one, nor the demo class is there.
    QFile::remove(ws + "MUSTER/demo.dbf");
    QFile::remove(ws + "ZE-1920-1/5A.DBF");
    QDir(ws + "ZE-0000-0").removeRecursively();
    ui.clear();
    EXPECT_FALSE(file->open(ws + "ZE-1920-1/5A.DBF"));
    EXPECT_TRUE(ui.messages().last().startsWith("Zedora kann nicht ordnungsgemäß ausgeführt werden!\n"));
    EXPECT_EQ(gone.size(), 1);
    EXPECT_TRUE(file->path().isEmpty());
}
