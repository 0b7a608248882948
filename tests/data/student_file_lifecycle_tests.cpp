// A student file on a shared workspace over its life: replaced, filled
// anew and reorganised, each killed at every step and read back the way
// the program reads it; held open by another process; without its index.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_file_access.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "data/table_move_journal.h"
#include "dbase/io_hook.h"
#include "dbase/table.h"
#include "support/other_computer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace zedora;
using zedora::test::killedIn;
using zedora::test::killSelf;

namespace {

std::string native(const QString& p)
{
    return QFileInfo(p).absoluteFilePath().toStdString();
}

// The memo names its student; the two versions of a class differ in memo
// sizes, so a table paired with the other version's memo file shows.
std::string reportOf(const std::string& name, int words)
{
    std::string text = "Bericht zu " + name + ":";
    for (int i = 0; i < words; ++i)
        text += " gut";
    return text;
}

// Every engine open for writing fails as on a read-only file system.
class ReadOnlyFileSystem {
public:
    ReadOnlyFileSystem()
    {
        dbase::setIoHook([](dbase::IoStep step, const std::string&) {
            if (step == dbase::IoStep::OpenForWriting)
                throw dbase::SimulatedSystemError{EROFS};
        });
    }
    ~ReadOnlyFileSystem() { dbase::setIoHook(nullptr); }
};

// What a reader found in a class file.
struct ClassRead {
    bool opened = false;
    bool withoutIndex = false;
    std::set<std::string> prefixes; // "Alt" or "Neu" of every record's name
    int records = 0;
    int withId = 0;
    std::vector<std::string> names; // in the order read
    std::vector<std::string> tags;
};

// Reads the class as the program's readers do: the index (when there is
// one) checked against the table, every memo checked to belong to its
// record's student, the journal gone afterwards.
ClassRead readClass(const QString& dbf, const char* tag = "KLASSE")
{
    ClassRead r;
    OpenedTable opened;
    try {
        opened = openToRead(dbf);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "openToRead: " << e.what();
        return r;
    }
    r.opened = true;
    EXPECT_FALSE(QFileInfo::exists(journalPathOf(dbf))) << "the reader left the journal";
    dbase::Table& t = *opened.table;
    r.withoutIndex = opened.withoutIndex;
    EXPECT_EQ(t.withoutIndex(), opened.withoutIndex);
    try {
        if (!opened.withoutIndex) {
            for (const dbase::TagInfo& info : t.tags())
                r.tags.push_back(info.name);
            t.verifyIndex();
            for (const std::string& problem : t.findProblems())
                ADD_FAILURE() << problem;
            if (tag)
                t.selectTag(tag);
        }
        const int tb1 = t.fieldIndex("TB1");
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            const std::string name = t.text("NAME");
            ++r.records;
            r.names.push_back(name);
            r.prefixes.insert(name.substr(0, 3));
            if (!t.text("ID").empty())
                ++r.withId;
            EXPECT_NE(t.memo(tb1).find("Bericht zu " + name + ":"), std::string::npos)
                << "record " << t.recno() << " (" << name << ") carries another memo: " << t.memo(tb1).substr(0, 40);
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << "reading " << dbf.toStdString() << ": " << e.what();
    }
    return r;
}

// Checks that the class reads as exactly one whole version.
void expectWhole(const ClassRead& r, const std::string& prefix, int count)
{
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.prefixes, std::set<std::string>{prefix}) << "records of both versions, or none";
    EXPECT_EQ(r.records, count);
    EXPECT_FALSE(r.withoutIndex);
    EXPECT_EQ(r.tags, (std::vector<std::string>{"KLASSE", "MW", "NAME", "ID"}));
}

// Hashes of every file in a folder, hidden ones included.
std::map<QString, QByteArray> folderListing(const QString& dir)
{
    std::map<QString, QByteArray> out;
    for (const QFileInfo& fi : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(fi.absoluteFilePath());
        f.open(QIODevice::ReadOnly);
        out[fi.fileName()] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    return out;
}

class StudentFileLifecycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = tmp.path() + "/";
        QDir().mkpath(ws + "MUSTER");
        QDir().mkpath(ws + "TMP");
        QDir().mkpath(ws + "ZE-2425-1");
        dbase::Table::create(native(ws + "MUSTER/tpl.dbf"), studentFileFields());
        QFile::rename(ws + "MUSTER/tpl.dbf", ws + "MUSTER/MUSTER.MS1");
        QFile::rename(ws + "MUSTER/tpl.dbt", ws + "MUSTER/MUSTER.MS3");
        dir = ws + "ZE-2425-1/";
        dbf = dir + "7B.DBF";
    }

    StudentFileContext context() { return {ws, "testpc", files, ui}; }

    // A class in today's schema with its index. The records are stored
    // against the index order, and the first memo was rewritten longer (it
    // lies last in the memo file), so neither order nor memo layout matches
    // a copy made record by record.
    void writeClass(const QString& path, const std::string& prefix, int count, int words)
    {
        const QString stem = path.left(path.size() - 4);
        for (const char* ext : {".DBF", ".DBT", ".MDX", ".INI", ".REO"})
            QFile::remove(stem + ext);
        dbase::Table::create(native(path), studentFileFields());
        auto t = dbase::Table::open(native(path), dbase::OpenMode::Exclusive);
        const int tb1 = t->fieldIndex("TB1");
        for (int i = 0; i < count; ++i) {
            const std::string name = prefix + char('A' + count - 1 - i);
            t->append();
            t->setText("NAME", name);
            t->setText("VORNAME", "Kind" + std::to_string(i));
            t->setText("KLASSE", "7b");
            t->setText("GEBOREN", "5.3.08");
            t->setMemo(tb1, reportOf(name, words + 30 * i));
            t->post();
        }
        t->gotoRecord(1);
        t->edit();
        t->setMemo(tb1, reportOf(t->text("NAME"), words + 400));
        t->post();
        t->rebuildIndex(studentIndexTagSpecs());
    }

    // The new version of 7B, complete beside it, as a replacement stages it.
    std::vector<MovePart> stageNewClass(int count)
    {
        const QString staged = dir + "NEU7B.DBF";
        writeClass(staged, "Neu", count, 90);
        dbase::MdxIndex::renameTable(native(dir + "NEU7B.MDX"), "7B");
        return {{".DBF", staged}, {".DBT", dir + "NEU7B.DBT"}, {".MDX", dir + "NEU7B.MDX"}};
    }

    QTemporaryDir tmp;
    QString ws, dir, dbf;
    TNeueDateien reg{tmp.path() + "/a.txt", tmp.path() + "/b.txt"};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
};

} // namespace

// A replacement killed once its journal is written, or after any part
// moved, reads as the new class whole; the reader finishes the journal and
// moves the staged files that were still waiting.
TEST_F(StudentFileLifecycle, ReplacementKilledAfterEveryPartReadsAsTheNewClass)
{
    for (int killAt = 0; killAt <= 3; ++killAt) {
        SCOPED_TRACE(killAt);
        writeClass(dbf, "Alt", 5, 20);
        const std::vector<MovePart> parts = stageNewClass(7);
        ASSERT_TRUE(killedIn([&] {
            replaceTable(dbf, parts, [killAt](int moved) {
                if (moved == killAt)
                    killSelf();
            });
        }));
        ASSERT_TRUE(QFileInfo::exists(journalPathOf(dbf))) << "killed before the move began";
        expectWhole(readClass(dbf), "Neu", 7);
        for (const MovePart& p : parts)
            EXPECT_FALSE(QFileInfo::exists(p.source)) << p.source.toStdString();
    }
}

// The same for a new version that comes without its index (a zip import):
// the old index is deleted as a part of the move, and the reader builds
// the index of the new table, never reusing the old one.
TEST_F(StudentFileLifecycle, MoveDeletingTheOldIndexKilledAfterEveryPartReadsAsTheNewClass)
{
    for (int killAt = 0; killAt <= 3; ++killAt) {
        SCOPED_TRACE(killAt);
        writeClass(dbf, "Alt", 5, 20);
        stageNewClass(7);
        QFile::remove(dir + "NEU7B.MDX");
        const std::vector<MovePart> parts = {{".DBF", dir + "NEU7B.DBF"}, {".DBT", dir + "NEU7B.DBT"}, {".MDX", {}}};
        ASSERT_TRUE(killedIn([&] {
            moveTableIntoPlace(dbf, parts, [killAt](int moved) {
                if (moved == killAt)
                    killSelf();
            });
        }));
        ASSERT_TRUE(QFileInfo::exists(journalPathOf(dbf)));
        expectWhole(readClass(dbf), "Neu", 7);
    }
}

// A reorganisation killed at any step: read by the program's readers the
// class is whole, the old one (no identities yet) before the journal and
// the new one after it, and the next reorganisation and edit work on it.
TEST_F(StudentFileLifecycle, ReorganisationKilledAtEveryStepIsReadWholeAndCanBeEditedAgain)
{
    const ReorganisationStep steps[] = {ReorganisationStep::NewFileBuilt, ReorganisationStep::JournalWritten,
                                        ReorganisationStep::MemosReplaced, ReorganisationStep::TableReplaced,
                                        ReorganisationStep::IndexReplaced};
    for (ReorganisationStep killAt : steps) {
        SCOPED_TRACE(int(killAt));
        writeClass(dbf, "Alt", 6, 20);
        ASSERT_TRUE(killedIn([&] {
            ScriptedInteraction childUi;
            TNeueDateien childReg(ws + "c.txt", ws + "d.txt");
            WorkspaceFiles childFiles(childReg);
            reorganiseStudentFile(dbf, {ws, "testpc", childFiles, childUi}, [killAt](ReorganisationStep s) {
                if (s == killAt)
                    killSelf();
            });
        }));
        const bool replaced = killAt != ReorganisationStep::NewFileBuilt;
        EXPECT_EQ(QFileInfo::exists(journalPathOf(dbf)), replaced);

        const ClassRead r = readClass(dbf);
        expectWhole(r, "Alt", 6);
        EXPECT_EQ(r.withId, replaced ? 6 : 0) << "identities of one version only";
        EXPECT_EQ(r.names, (std::vector<std::string>{"AltA", "AltB", "AltC", "AltD", "AltE", "AltF"}));

        // Editing goes on in the file found, and a new reorganisation runs.
        {
            auto t = openToEdit(dbf);
            t->selectTag("NAME");
            ASSERT_TRUE(t->findNearest("ALTC"));
            ASSERT_EQ(t->text("NAME"), "AltC");
            t->edit();
            t->setMemo(t->fieldIndex("TB1"), reportOf("AltC", 700));
            t->post();
        }
        ASSERT_TRUE(reorganiseStudentFile(dbf, context()));
        const ClassRead again = readClass(dbf);
        expectWhole(again, "Alt", 6);
        EXPECT_EQ(again.withId, 6);
    }
}

// A new class filled in the scratch folder and killed after any number of
// records, or failing, leaves the old class whole; a later complete fill
// replaces it despite the scratch files the killed one left.
TEST_F(StudentFileLifecycle, FillKilledOrFailingLeavesTheOldClassWhole)
{
    writeClass(dbf, "Alt", 5, 20);
    const auto fillNew = [](int count, int killAfter) {
        return [count, killAfter](const QString& staging) {
            auto t = openToEdit(staging);
            for (int i = 0; i < count; ++i) {
                if (i == killAfter)
                    killSelf();
                const std::string name = std::string("Neu") + char('A' + i);
                t->append();
                t->setText("NAME", name);
                t->setText("KLASSE", "7b");
                t->setMemo(t->fieldIndex("TB1"), reportOf(name, 60 + 50 * i));
                t->post();
            }
        };
    };
    for (int killAfter = 0; killAfter < 4; ++killAfter) {
        SCOPED_TRACE(killAfter);
        ASSERT_TRUE(killedIn([&] {
            ScriptedInteraction childUi;
            childUi.answers.enqueue(Answer::Yes);
            TNeueDateien childReg(ws + "c.txt", ws + "d.txt");
            WorkspaceFiles childFiles(childReg);
            createStudentFile(dbf, {ws, "testpc", childFiles, childUi}, fillNew(4, killAfter));
        }));
        EXPECT_FALSE(QFileInfo::exists(journalPathOf(dbf)));
        expectWhole(readClass(dbf), "Alt", 5);
    }

    ui.answers.enqueue(Answer::Yes);
    EXPECT_FALSE(createStudentFile(dbf, context(), [](const QString&) { throw dbase::DbfError("Platte voll"); }));
    EXPECT_TRUE(ui.messages().join('|').contains("Eine vorhandene Datei bleibt unverändert"));
    expectWhole(readClass(dbf), "Alt", 5);
    EXPECT_TRUE(QDir(ws + "TMP").entryList({"*NEU*"}, QDir::Files).isEmpty()) << "staging files left";

    ui.answers.enqueue(Answer::Yes);
    ASSERT_TRUE(createStudentFile(dbf, context(), fillNew(4, -1)));
    expectWhole(readClass(dbf), "Neu", 4);
}

// A missing or damaged index is rebuilt when nobody has the table open:
// the records come by class and name again.
TEST_F(StudentFileLifecycle, MissingOrDamagedIndexIsRebuiltWhenTheTableIsFree)
{
    for (const char* damage : {"", "kein Index"}) {
        SCOPED_TRACE(damage);
        writeClass(dbf, "Alt", 4, 20);
        QFile::remove(dir + "7B.MDX");
        if (*damage) {
            QFile f(dir + "7B.MDX");
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(damage);
        }
        const ClassRead r = readClass(dbf);
        expectWhole(r, "Alt", 4);
        EXPECT_EQ(r.names, (std::vector<std::string>{"AltA", "AltB", "AltC", "AltD"}));
        EXPECT_TRUE(QFileInfo::exists(dir + "7B.MDX"));
    }
}

// When the index may not be rebuilt here (another process reads the table
// without it, or the folder is read-only) the class is read in record
// order and marked so; changing records is refused with a German reason
// instead of leaving the index behind the table.
TEST_F(StudentFileLifecycle, IndexThatCannotBeRebuiltHereIsReadInRecordOrderAndRefusesEdits)
{
    const std::vector<std::string> stored = {"AltD", "AltC", "AltB", "AltA"};
    const auto expectReadWithoutIndex = [&] {
        const ClassRead r = readClass(dbf);
        EXPECT_TRUE(r.withoutIndex);
        EXPECT_EQ(r.names, stored);
        EXPECT_EQ(r.prefixes, std::set<std::string>{"Alt"});
        try {
            openToEdit(dbf);
            ADD_FAILURE() << "openToEdit opened a table whose index is missing";
        } catch (const dbase::DbfError& e) {
            EXPECT_NE(std::string(e.what()).find("7B.DBF"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("Index"), std::string::npos) << e.what();
        }
        OpenedTable opened = openToRead(dbf);
        ASSERT_TRUE(opened.withoutIndex);
        opened.table->first();
        try {
            opened.table->edit();
            opened.table->setText("NAME", "Anders");
            opened.table->post();
            ADD_FAILURE() << "a record was changed without its index";
        } catch (const dbase::DbfError& e) {
            EXPECT_NE(std::string(e.what()).find("Die Tabelle"), std::string::npos) << e.what();
        }
    };

    {
        SCOPED_TRACE("held without index by another process");
        writeClass(dbf, "Alt", 4, 20);
        QFile::remove(dir + "7B.MDX");
        test::HoldingComputer other(dbf, nullptr, dbase::OpenMode::SharedWithoutIndex);
        ASSERT_TRUE(other.ok());
        expectReadWithoutIndex();
        EXPECT_FALSE(QFileInfo::exists(dir + "7B.MDX")) << "the index was built under another process";
    }
    {
        SCOPED_TRACE("read-only folder");
        writeClass(dbf, "Alt", 4, 20);
        QFile::remove(dir + "7B.MDX");
        {
            ReadOnlyFileSystem readOnly;
            expectReadWithoutIndex();
        }
        // Writable again: the next reader rebuilds it.
        expectWhole(readClass(dbf), "Alt", 4);
    }
}

// Replacing or deleting a class another process has open (with or without
// its index) is refused and changes nothing; once it is closed both work.
TEST_F(StudentFileLifecycle, ReplaceAndDeleteAreRefusedWhileAnotherProcessHasTheClass)
{
    for (dbase::OpenMode mode : {dbase::OpenMode::Shared, dbase::OpenMode::SharedWithoutIndex}) {
        SCOPED_TRACE(int(mode));
        writeClass(dbf, "Alt", 5, 20);
        QFile ini(dir + "7B.INI");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[ZUORDNUNGEN]\r\n");
        ini.close();
        const std::vector<MovePart> parts = stageNewClass(7);
        const auto before = folderListing(dir);
        {
            test::HoldingComputer other(dbf, nullptr, mode);
            ASSERT_TRUE(other.ok());
            EXPECT_EQ(replaceTable(dbf, parts), ReplaceOutcome::InUse);
            EXPECT_EQ(deleteTable(dbf, files), ReplaceOutcome::InUse);
            EXPECT_TRUE(folderListing(dir) == before) << "a refused replacement changed files";
        }
        expectWhole(readClass(dbf), "Alt", 5);

        ASSERT_EQ(replaceTable(dbf, parts), ReplaceOutcome::Done);
        expectWhole(readClass(dbf), "Neu", 7);
        ASSERT_EQ(deleteTable(dbf, files), ReplaceOutcome::Done);
        for (const char* f : {"7B.DBF", "7B.DBT", "7B.MDX", "7B.INI", "7B.REO"})
            EXPECT_FALSE(QFileInfo::exists(dir + f)) << f;
    }
}

// A journal whose mover still runs is left to it (Busy, nothing moved);
// once the mover was killed the next one to look finishes it.
TEST_F(StudentFileLifecycle, PendingMoveIsBusyWhileItsMoverLivesAndFinishedAfterItWasKilled)
{
    writeClass(dbf, "Alt", 5, 20);
    const std::vector<MovePart> parts = stageNewClass(7);
    const auto before = folderListing(dir);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t mover = ::fork();
    if (mover == 0) {
        moveTableIntoPlace(dbf, parts, [&](int moved) {
            if (moved == 0) {
                const char c = 'j';
                if (::write(ready[1], &c, 1) == 1)
                    ::pause();
            }
        });
        ::_exit(3);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(finishPendingMove(dbf, 100), PendingMove::Busy);
    EXPECT_TRUE(QFileInfo::exists(journalPathOf(dbf)));
    auto during = folderListing(dir);
    during.erase("7B.REO");
    EXPECT_TRUE(during == before) << "files moved under the running mover";

    ::kill(mover, SIGKILL);
    ::waitpid(mover, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(finishPendingMove(dbf, 100), PendingMove::Finished);
    EXPECT_FALSE(QFileInfo::exists(journalPathOf(dbf)));
    EXPECT_EQ(finishPendingMove(dbf, 100), PendingMove::None);
    expectWhole(readClass(dbf), "Neu", 7);
}

// Another computer reaching the shared workspace under another path finishes
// a journal the killed one left, instead of skipping the staged files it
// cannot find and pairing the new table with the old memos and index.
TEST_F(StudentFileLifecycle, JournalLeftByOneComputerIsFinishedByOneThatMountsTheWorkspaceElsewhere)
{
    writeClass(dbf, "Alt", 5, 20);
    const std::vector<MovePart> parts = stageNewClass(7);
    ASSERT_TRUE(killedIn([&] {
        replaceTable(dbf, parts, [](int moved) {
            if (moved == 1)
                killSelf();
        });
    }));
    QTemporaryDir other;
    const QString moved = other.path() + "/ws";
    ASSERT_TRUE(QDir().rename(tmp.path(), moved));
    const ClassRead r = readClass(moved + "/ZE-2425-1/7B.DBF");
    QDir().rename(moved, tmp.path());
    expectWhole(r, "Neu", 7);
}

// A journal is taken only as this program writes it: the table's own kinds
// of file, sources beside the table or in the TMP folder next to it. A
// journal from elsewhere that names other files moves and deletes nothing,
// and the table is not read around it.
TEST_F(StudentFileLifecycle, JournalNamingOtherFilesIsRefusedAndMovesNothing)
{
    const QString t = "/ws/ZE-2425-1/5A.DBF";
    const auto good = readJournal(t, ".DBT\t../TMP/PC-TMP.DBT\n.dbf\t.5A.DBF.zipimport\n.MDX\t\n.INI\t/ws/tmp/PC.INI\n");
    ASSERT_TRUE(good);
    ASSERT_EQ(good->size(), 4u);
    EXPECT_EQ((*good)[0].source, "/ws/TMP/PC-TMP.DBT");
    EXPECT_EQ((*good)[1].ext, ".DBF");
    EXPECT_EQ((*good)[1].source, "/ws/ZE-2425-1/.5A.DBF.zipimport");
    EXPECT_TRUE((*good)[2].source.isEmpty());
    for (const char* bad : {".DBF\t../../etc/passwd\n", ".DBF\t/etc/passwd\n", ".DBF\t../LAYOUT/DEMO.LAY\n",
                            ".LAY\t.5A.LAY\n", ".DBF/../../x\t\n", ".DBF\t5A.DBF\n", ".DBF\t../ZE-2324-1/5A.DBF\n",
                            ".DBF .5A.DBF.zipimport\n", ".DBF\t../TMP/sub/X.DBF\n", ".DBFX\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(readJournal(t, bad));
    }

    writeClass(dbf, "Alt", 5, 20);
    const QString outside = tmp.path() + "/fremd.txt";
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(outside, "bleibt");
    write(journalPathOf(dbf), (".DBT\t\n.DBF\t" + QDir(dir).relativeFilePath(outside) + "\n").toUtf8());
    EXPECT_EQ(finishPendingMove(dbf, 100), PendingMove::Failed);
    EXPECT_TRUE(QFileInfo::exists(outside));
    EXPECT_TRUE(QFileInfo::exists(dir + "7B.DBT")) << "no deletion either";
    EXPECT_THROW(openToRead(dbf), dbase::DbfError);
}

// A part that cannot be moved (here its place is taken by a folder) leaves
// the journal and the parts still waiting: no reader reads the mix of new
// table and old rest, and once the obstacle is gone the next reader
// finishes the move.
TEST_F(StudentFileLifecycle, FailedMoveIsNotReadAroundAndFinishedOnceItCanBe)
{
    writeClass(dbf, "Alt", 5, 20);
    QFile::remove(dir + "7B.MDX");
    ASSERT_TRUE(QDir().mkpath(dir + "7B.MDX/belegt"));
    const std::vector<MovePart> parts = stageNewClass(7);
    EXPECT_EQ(replaceTable(dbf, parts), ReplaceOutcome::Failed);
    EXPECT_TRUE(QFileInfo::exists(journalPathOf(dbf)));
    EXPECT_TRUE(QFileInfo::exists(dir + "NEU7B.MDX")) << "a part the journal names is kept";
    try {
        openToRead(dbf);
        ADD_FAILURE() << "read around an unfinished move";
    } catch (const dbase::DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("wurde beim Ersetzen unterbrochen"), std::string::npos) << e.what();
    }
    ASSERT_TRUE(QDir(dir + "7B.MDX").removeRecursively());
    expectWhole(readClass(dbf), "Neu", 7);
}
