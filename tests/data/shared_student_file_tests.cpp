// One student file used by two computers at once: the second computer is a
// forked process working through the engine on the same files.
#include "core/app_context.h"
#include "base/scripted_interaction.h"
#include "data/current_student_file.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "data/table_in_use.h"
#include "dbase/table.h"
#include "support/other_computer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace zedora;
using zedora::test::HoldingComputer;
using zedora::test::gotoStudent;
using zedora::test::onOtherComputer;

namespace {

std::string native(const QString& p)
{
    return p.toStdString();
}

struct Student {
    const char* name;
    const char* memo;
};

void writeClass(const QString& path, const std::vector<Student>& students)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(native(path), studentFileFields());
    auto t = dbase::Table::open(native(path));
    for (const Student& s : students) {
        t->append();
        t->setText("NAME", s.name);
        t->setText("KLASSE", "5a");
        t->setText("GEBOREN", "01.01.2010");
        if (*s.memo)
            t->setMemo(t->fieldIndex("TB1"), s.memo);
        t->post();
    }
}

// The other computer stores values of one student through the engine.
int storeElsewhere(const QString& path, const char* name, std::vector<std::pair<const char*, std::string>> values)
{
    return onOtherComputer([&] {
        auto t = dbase::Table::open(native(path));
        if (!gotoStudent(*t, name))
            throw 1;
        t->edit();
        for (const auto& [field, value] : values) {
            const int f = t->fieldIndex(field);
            if (t->field(f).type == 'M')
                t->setMemo(f, value);
            else
                t->setText(f, value);
        }
        t->post();
    });
}

int appendElsewhere(const QString& path, const char* name)
{
    return onOtherComputer([&] {
        auto t = dbase::Table::open(native(path));
        t->append();
        t->setText("NAME", name);
        t->setText("KLASSE", "5a");
        t->post();
    });
}

std::string storedText(const QString& path, const char* name, const char* field)
{
    auto t = dbase::Table::open(native(path));
    if (!gotoStudent(*t, name))
        return "<missing>";
    return t->text(field);
}

class SharedStudentFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = tmp.path() + "/ws/";
        QDir().mkpath(ws + "TMP");
        QDir().mkpath(ws + "LAYOUT");
        writeClass(ws + "MUSTER/tpl.dbf", {});
        QFile::rename(ws + "MUSTER/tpl.dbf", ws + "MUSTER/MUSTER.MS1");
        QFile::rename(ws + "MUSTER/tpl.dbt", ws + "MUSTER/MUSTER.MS3");
        writeClass(ws + "MUSTER/demo.dbf", {{"Demo", ""}});
        QFile::remove(ws + "MUSTER/demo.mdx");
        path = ws + "ZE-1920-1/5A.DBF";
        writeClass(path, {{"Lehmann", ""}, {"Meyer", "Meyer arbeitet mit."}});
        ProgramPaths paths{tmp.path() + "/share/", ws, "PC1"};
        context = std::make_unique<AppContext>(ui, paths);
        context->openWorkspace(ws);
        context->createdFiles->endDefer();
        file = std::make_unique<CurrentStudentFile>(*context);
        context->settings.Sortierung = 3;
        ASSERT_TRUE(buildIndexes(path, IndexKind::StudentFile, *context->files));
    }
    StudentTable& table() { return file->table(); }
    void openOn(const char* name)
    {
        ASSERT_TRUE(file->open(path));
        for (int r = 0; r < table().rowCount(); ++r) {
            if (table().valueAt(r, table().findField("NAME")) == name) {
                ASSERT_TRUE(table().moveToRow(r));
            }
        }
        ASSERT_EQ(table().value("NAME"), name) << file->path().toStdString() << " " << ui.messages().join("|").toStdString();
        ui.clear();
    }
    QString conflictQuestion(const QString& field, const QString& student, const QString& mine,
                             const QString& theirs) const
    {
        return "Das Feld " + field + " bei " + student + " wurde inzwischen an einem anderen Computer geändert.\n\n"
             + "Ihre Eingabe:\n" + mine + "\n\nAm anderen Computer gespeichert:\n" + theirs + "\n\n"
             + "Ja: Ihre Eingabe speichern\nNein: den Wert des anderen Computers behalten\n"
             + "Abbrechen: noch nicht speichern";
    }
    // Lets the look timer run until cond holds or a generous limit passes.
    bool waitFor(const std::function<bool()>& cond)
    {
        QElapsedTimer clock;
        clock.start();
        while (!cond() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return cond();
    }

    QTemporaryDir tmp;
    QString ws;
    QString path;
    ScriptedInteraction ui;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CurrentStudentFile> file;
};

} // namespace

TEST_F(SharedStudentFileTest, TheSameFieldChangedOnBothIsAskedAboutWithBothValues)
{
    openOn("Lehmann");
    ASSERT_TRUE(table().setValue("DE", "5"));
    ASSERT_EQ(storeElsewhere(path, "Lehmann", {{"DE", "1"}}), 0);

    // "Abbrechen" saves nothing and keeps the edit.
    ui.answers.enqueue(Answer::Cancel);
    EXPECT_FALSE(table().post());
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages().value(0), conflictQuestion("DE", "Lehmann", "5", "1"));
    EXPECT_TRUE(table().isEditing());
    EXPECT_EQ(table().value("DE"), "5");
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "1");

    // "Ja" keeps this computer's value.
    ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(table().post());
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "5");
    EXPECT_FALSE(table().isEditing());
}

TEST_F(SharedStudentFileTest, KeepingTheOtherValueStillSavesTheRestAndAnotherChangeIsAskedAgain)
{
    openOn("Lehmann");
    ASSERT_TRUE(table().setValue("DE", "5"));
    ASSERT_TRUE(table().setValue("EN", "2"));
    ASSERT_EQ(storeElsewhere(path, "Lehmann", {{"DE", "1"}, {"EN", "4"}}), 0);
    // Per field: DE from the other computer, EN from here.
    ui.answers.enqueue(Answer::No);
    ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(table().post());
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages().value(1), conflictQuestion("EN", "Lehmann", "2", "4"));
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "1");
    EXPECT_EQ(storedText(path, "Lehmann", "EN"), "2");
    EXPECT_EQ(table().value("DE"), "1");

    // Once decided, the other value is what this edit knows: the next edit of
    // the same field is no conflict, a third value stored elsewhere is one.
    ui.clear();
    ASSERT_TRUE(table().setValue("DE", "3"));
    EXPECT_TRUE(table().post());
    EXPECT_TRUE(ui.messages().isEmpty());
    ASSERT_TRUE(table().setValue("DE", "6"));
    ASSERT_EQ(storeElsewhere(path, "Lehmann", {{"DE", "2"}}), 0);
    ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(table().post());
    EXPECT_EQ(ui.messages().value(0), conflictQuestion("DE", "Lehmann", "6", "2"));
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "6");
}

TEST_F(SharedStudentFileTest, DifferentFieldsOrTheSameValueOnBothAreKeptWithoutAQuestion)
{
    openOn("Lehmann");
    ASSERT_TRUE(table().setValue("DE", "5"));
    ASSERT_TRUE(table().setValue("EN", "3"));
    ASSERT_EQ(storeElsewhere(path, "Lehmann", {{"MA", "2"}, {"EN", "3"}}), 0);
    EXPECT_TRUE(table().post());
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "5");
    EXPECT_EQ(storedText(path, "Lehmann", "MA"), "2");
    EXPECT_EQ(storedText(path, "Lehmann", "EN"), "3");
    EXPECT_EQ(table().value("MA"), "2") << "the saved record shows the other computer's field";
}

TEST_F(SharedStudentFileTest, AMemoChangedElsewhereIsShownFreshAndNotOverwrittenUnseen)
{
    openOn("Meyer");
    const int tb1 = table().findField("TB1");
    ASSERT_EQ(table().value(tb1), "Meyer arbeitet mit.");
    ASSERT_EQ(storeElsewhere(path, "Meyer", {{"TB1", "Meyer arbeitet mit. Er hilft anderen."}}), 0);

    // Any reader that takes the record a moment later (preview, print run,
    // memo panel) gets the stored text.
    EXPECT_TRUE(waitFor([&] { return table().value(tb1) == "Meyer arbeitet mit. Er hilft anderen."; }));

    // Typed on the text as it was shown before: the save asks.
    openOn("Meyer");
    ASSERT_EQ(storeElsewhere(path, "Meyer", {{"TB1", "Text von PC2."}}), 0);
    ASSERT_TRUE(table().setValue(tb1, "Meyer arbeitet mit. Neu von PC1."));
    ui.answers.enqueue(Answer::No);
    EXPECT_TRUE(table().post());
    EXPECT_EQ(ui.messages().value(0),
              conflictQuestion("TB1", "Meyer", "Meyer arbeitet mit. Neu von PC1.", "Text von PC2."));
    EXPECT_EQ(storedText(path, "Meyer", "TB1"), "Text von PC2.");

    // Once the look has shown the other text, writing on it is no conflict.
    file->setLookInterval(30);
    ui.clear();
    QSignalSpy changedRows(&table(), &StudentTable::rowChanged);
    ASSERT_EQ(storeElsewhere(path, "Meyer", {{"TB1", "Text von PC2, erweitert."}}), 0);
    ASSERT_TRUE(waitFor([&] { return !changedRows.isEmpty(); }));
    ASSERT_TRUE(table().setValue(tb1, "Text von PC2, erweitert. Und von PC1."));
    EXPECT_TRUE(table().post());
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(storedText(path, "Meyer", "TB1"), "Text von PC2, erweitert. Und von PC1.");
}

TEST_F(SharedStudentFileTest, TheLookTimerShowsOtherComputersChangesButLeavesAnEditAlone)
{
    file->setLookInterval(30);
    openOn("Lehmann");
    QSignalSpy changedRows(&table(), &StudentTable::rowChanged);
    const int lehmann = table().currentRow();
    const auto told = [&](int row) {
        for (const QList<QVariant>& args : changedRows) {
            if (args.value(0).toInt() == row)
                return true;
        }
        return false;
    };
    ASSERT_EQ(storeElsewhere(path, "Meyer", {{"DE", "2"}}), 0);
    EXPECT_TRUE(waitFor([&] { return told(1 - lehmann); })) << "the views are told";
    EXPECT_FALSE(told(lehmann)) << "the current record did not change";
    EXPECT_EQ(table().value("NAME"), "Lehmann") << "the cursor stays";
    changedRows.clear();
    ASSERT_EQ(storeElsewhere(path, "Lehmann", {{"DE", "3"}}), 0);
    EXPECT_TRUE(waitFor([&] { return told(lehmann); }));
    EXPECT_EQ(table().value("DE"), "3");

    ASSERT_EQ(appendElsewhere(path, "Neumann"), 0);
    EXPECT_TRUE(waitFor([&] { return table().rowCount() == 3; }));
    EXPECT_EQ(table().value("NAME"), "Lehmann");

    // While this computer edits, a student added elsewhere waits for the end
    // of the edit; the pending value is untouched.
    ASSERT_TRUE(table().setValue("DE", "4"));
    changedRows.clear();
    ASSERT_EQ(appendElsewhere(path, "Otto"), 0);
    EXPECT_TRUE(waitFor([&] { return !changedRows.isEmpty(); }));
    EXPECT_EQ(table().rowCount(), 3);
    EXPECT_TRUE(table().isEditing());
    EXPECT_EQ(table().value("DE"), "4");
    table().cancel();
    EXPECT_EQ(table().rowCount(), 4);
    EXPECT_EQ(table().value("NAME"), "Lehmann");
    EXPECT_EQ(table().value("DE"), "3");
}

TEST_F(SharedStudentFileTest, ARecordHeldInEditElsewhereIsReportedAndTheEditKept)
{
    openOn("Lehmann");
    table().setErrorReport([this](const QString& text) { ui.error(text); });
    ASSERT_TRUE(table().setValue("DE", "5"));
    {
        HoldingComputer other(path, "Lehmann");
        ASSERT_TRUE(other.ok());
        EXPECT_FALSE(table().post());
    }
    EXPECT_EQ(ui.messages().value(0),
              "Der Datensatz Lehmann wird gerade an einem anderen Computer bearbeitet.\n"
              "Ihre Eingaben bleiben erhalten; bitte versuchen Sie es gleich noch einmal.");
    EXPECT_TRUE(table().isEditing());
    EXPECT_EQ(table().value("DE"), "5");
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "");
    // "Abbruch" after the refusal: the stored value is back, nothing written.
    table().cancel();
    EXPECT_FALSE(table().isEditing());
    EXPECT_EQ(table().value("DE"), "");
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "");

    ASSERT_TRUE(table().setValue("DE", "5"));
    EXPECT_TRUE(table().post()) << "once the other computer is done";
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "5");
}

TEST_F(SharedStudentFileTest, AReorganisationIsRefusedWhileAnotherComputerHasTheFile)
{
    HoldingComputer other(path);
    ASSERT_TRUE(other.ok());
    openOn("Meyer");
    ASSERT_TRUE(table().setValue("DE", "3"));

    QSignalSpy gone(file.get(), &CurrentStudentFile::cannotGoOn);
    ui.answers.enqueue(Answer::Yes);
    EXPECT_FALSE(file->reorganiseCurrent());
    EXPECT_EQ(ui.messages().last(),
              "Die Datei 5A.DBF wird an einem anderen Computer benutzt.\n"
              "Reorganisation kann nicht durchgeführt werden!\n");
    EXPECT_TRUE(QFile::exists(ws + "ZE-1920-1/5A.MDX")) << "no index deleted first";
    EXPECT_TRUE(gone.isEmpty());
    EXPECT_TRUE(table().isOpen());
    EXPECT_EQ(table().value("NAME"), "Meyer");
    EXPECT_EQ(storedText(path, "Meyer", "DE"), "3") << "the pending edit was saved first";
    EXPECT_TRUE(tableInUse(path));

    // Both computers go on saving; nothing was replaced under them.
    ASSERT_TRUE(table().setValue("EN", "1"));
    EXPECT_TRUE(table().post());
    EXPECT_EQ(storeElsewhere(path, "Lehmann", {{"DE", "2"}}), 0);
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "2");
    EXPECT_EQ(storedText(path, "Meyer", "EN"), "1");

    other.letGo();
    ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(file->reorganiseCurrent());
    EXPECT_EQ(ui.messages().last(), "Reorganisation war erfolgreich!");
    EXPECT_EQ(storedText(path, "Lehmann", "DE"), "2");
}

TEST_F(SharedStudentFileTest, OpeningAFileWhoseIndexIsMissingWhileOthersHoldItSaysSo)
{
    HoldingComputer other(path);
    ASSERT_TRUE(other.ok());
    QFile::remove(ws + "ZE-1920-1/5A.MDX");
    ASSERT_TRUE(file->open(path));
    EXPECT_EQ(ui.messages().value(0),
              "Die Datei 5A.DBF wird an einem anderen Computer benutzt.\n"
              "Reorganisation kann nicht durchgeführt werden!\n");
    EXPECT_EQ(file->path(), ws + "ZE-0000-0/demo.dbf") << "the fallback opens";
}

TEST_F(SharedStudentFileTest, AFileAnotherComputerWorksInIsNeitherDeletedNorOverwritten)
{
    const QString other = ws + "ZE-1920-1/5B.DBF";
    writeClass(other, {{"Schulz", ""}});
    ASSERT_TRUE(buildIndexes(other, IndexKind::StudentFile, *context->files));
    openOn("Lehmann");
    {
        HoldingComputer holder(other);
        ASSERT_TRUE(holder.ok());
        ui.texts.enqueue(other);
        file->deleteFiles();
        ui.texts.enqueue(other);
        EXPECT_FALSE(file->createEmpty());
        EXPECT_EQ(ui.messages(),
                  QStringList({"Die Datei 5B.DBF wird an einem anderen Computer benutzt.\nSie kann nicht gelöscht werden!\n",
                               "Die Datei 5B.DBF wird an einem anderen Computer benutzt.\nSie kann nicht überschrieben werden!\n"}));
        EXPECT_EQ(storedText(other, "Schulz", "KLASSE"), "5a");
    }
    // Once nobody has it open, it may go after the question.
    ui.clear();
    ui.texts.enqueue(other);
    ui.answers.enqueue(Answer::Yes);
    file->deleteFiles();
    EXPECT_FALSE(QFile::exists(other));
}

TEST_F(SharedStudentFileTest, WhileTheUserTypesTheLookPutsOffRowsAddedElsewhere)
{
    bool typing = true;
    file->setTypingProbe([&] { return typing; });
    file->setLookInterval(30);
    openOn("Lehmann");
    QSignalSpy resets(&table(), &StudentTable::rowsReset);
    ASSERT_EQ(appendElsewhere(path, "Neumann"), 0);
    ASSERT_EQ(storeElsewhere(path, "Lehmann", {{"DE", "4"}}), 0);
    QSignalSpy changedRows(&table(), &StudentTable::rowChanged);
    ASSERT_TRUE(waitFor([&] { return !changedRows.isEmpty(); }));
    EXPECT_EQ(table().rowCount(), 2);
    EXPECT_TRUE(resets.isEmpty()) << "an open cell editor would be closed";
    for (const QList<QVariant>& args : changedRows)
        EXPECT_NE(args.value(0).toInt(), table().currentRow());

    // The typing ended without a save (Esc): the next look shows it all,
    // though nothing new was stored meanwhile.
    typing = false;
    EXPECT_TRUE(waitFor([&] { return table().rowCount() == 3; }));
    EXPECT_EQ(table().value("NAME"), "Lehmann");
    EXPECT_EQ(table().value("DE"), "4");
}

TEST_F(SharedStudentFileTest, ASaveStartedByAViewRightAfterASaveIsNoConflict)
{
    openOn("Lehmann");
    // As the identity renewal does: the reset of one save starts the next.
    bool once = true;
    QObject::connect(&table(), &StudentTable::rowsReset, &table(), [&] {
        if (!once)
            return;
        once = false;
        EXPECT_TRUE(table().setValue("EN", "2"));
        EXPECT_TRUE(table().post());
    });
    ASSERT_TRUE(table().setValue("EN", "1"));
    EXPECT_TRUE(table().post());
    EXPECT_FALSE(once);
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
    EXPECT_EQ(storedText(path, "Lehmann", "EN"), "2");
}
