// The rollover with the Sibank fixtures: the copy with new classes, leavers,
// additions, working groups and electives through AG.TXT and WPK.TXT, the
// cleared columns, and the refusals of bad input with the old file untouched.
#include "base/scripted_interaction.h"
#include "dbase/table.h"
#include "schoolyear/code_lists.h"
#include "schoolyear/rollover.h"
#include "schoolyear/rollover_columns.h"
#include "support/other_computer.h"
#include "schoolyear/rollover_fixture.h"

#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::test;

namespace {

class Rollover : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = QString::fromStdString(dir.path().string()) + "/";
        source = ws + "ZE-2324-2/5A.DBF";
        writeStudentFile(source, {{"Müller", "Anna-Lena", "4a"},
                                  {"Schröder", "Jonas", "4a"},
                                  {"Weiß", "Charlotte", "4a"},
                                  {"Özdemir", "Emre", "4a"},
                                  {"Jäger", "Sophie", "4a"},
                                  {"Groß", "Lena", "4a"},
                                  {"Alt", "Peter", "4a"}});
        QDir().mkpath(ws + "ZE-2425-1");
        request.workspace = ws;
        request.sourcePath = source;
        request.dataDirectory = "ZE-2425-1";
        request.newName = "5A.DBF";
        request.newClass = "5A";
        settings.computerName = "TESTPC";
        settings.now = QDateTime(QDate(2024, 8, 20), QTime(8, 0));
        before = snapshot(source);
    }
    void compareWithFixture()
    {
        request.compare = true;
        request.compareFile = kFixtures + "S_2024.DBF";
        request.codeListFolder = kFixtures;
    }
    QString target() const { return ws + "ZE-2425-1/5A.DBF"; }
    void expectNothingWritten()
    {
        EXPECT_EQ(snapshot(source), before);
        EXPECT_FALSE(QFile::exists(target()));
    }

    TempDir dir;
    QString ws, source;
    RolloverRequest request;
    RolloverSettings settings;
    ScriptedInteraction ui;
    std::map<std::string, std::string> before;
};

TEST_F(Rollover, ComparisonRemovesLeaversAddsNewStudentsAndRefreshesGroups)
{
    compareWithFixture();
    request.keepWorkingGroups = false;
    request.keepElectives = false;
    ui.answers.append(Answer::Yes);
    const auto counts = rollOver(request, settings, ui);
    ASSERT_TRUE(counts) << ui.messages().join("|").toStdString();
    EXPECT_EQ(counts->copied, 7);
    EXPECT_EQ(counts->left, 2);      // Groß has left, Alt is not listed
    EXPECT_EQ(counts->added, 6);     // the other students of 5A still at school
    EXPECT_EQ(counts->refreshed, 5);
    EXPECT_EQ(ui.messages().last(), "6 Schüler wurde(n) ergänzt \n\n2 Schüler wurde(n) entfernt!\n");
    EXPECT_EQ(snapshot(source), before);

    const auto students = readStudents(target());
    EXPECT_EQ(students.size(), 11u);
    EXPECT_EQ(students.count("Groß, Lena"), 0u);
    EXPECT_EQ(students.count("Alt, Peter"), 0u);
    const auto& mueller = students.find("Müller, Anna-Lena")->second;
    EXPECT_EQ(mueller["KLASSE"], "5A");
    EXPECT_EQ(mueller["AG1"], "Chor");
    EXPECT_EQ(mueller["DE"], "2"); // no column was chosen for clearing
    EXPECT_EQ(mueller["JOKE2"], std::string(60, 'j')); // the comparison leaves stored texts alone
    const auto& koehler = students.find("Köhler, Mia")->second;
    EXPECT_EQ(koehler["AG1"], "Chor");     // "ch1" in lower case
    EXPECT_EQ(koehler["AG2"], "Theater-AG");
    EXPECT_EQ(koehler["MW"], "w");
    EXPECT_EQ(koehler["GEBOREN"], "19.01.2014");
    EXPECT_EQ(koehler["ID"], "");
    EXPECT_EQ(students.find("Kowalski, Maximilian")->second["MW"], "m");
    EXPECT_EQ(students.find("Weiß, Charlotte")->second["AG2"], "Chor");
}

// Long work shows how far it got.
class RecordedProgress : public ProgressDisplay {
public:
    void showProgress(const QString& text, int done, int total) override { seen << QString("%1 %2/%3").arg(text).arg(done).arg(total); }
    void hideProgress() override { ++hidden; }
    QStringList seen;
    int hidden = 0;
};

TEST_F(Rollover, ComparisonAndClearingShowTheirProgress)
{
    RecordedProgress progress;
    ui.setProgressDisplay(&progress);
    compareWithFixture();
    request.clearFields = {"DE"};
    ui.answers.append(Answer::Yes);
    ASSERT_TRUE(rollOver(request, settings, ui));
    EXPECT_TRUE(progress.seen.contains("Abgleich mit der Schülerdatei ... 40/40"));
    EXPECT_TRUE(progress.seen.contains("Spalteninhalte werden gelöscht ... 11/11")) << progress.seen.join("|").toStdString();
    EXPECT_EQ(progress.hidden, 2);
}

TEST_F(Rollover, ExceptionGroupsKeepTheGroupsOfMatchedStudentsOnly)
{
    compareWithFixture();
    ui.answers.append(Answer::Yes);
    ASSERT_TRUE(rollOver(request, settings, ui));
    const auto students = readStudents(target());
    EXPECT_EQ(students.find("Müller, Anna-Lena")->second["AG1"], "altAG");
    EXPECT_EQ(students.find("Müller, Anna-Lena")->second["WPK1"], "altWPK");
    EXPECT_EQ(students.find("Yildiz, Elif")->second["AG2"], "Kochen & Backen");
}

TEST_F(Rollover, TwoStudentsOfOneNameAreBothKeptAndElectivesGetLongNames)
{
    source = ws + "ZE-2324-2/6A.DBF";
    writeStudentFile(source, {{"Schmidt", "Lukas", "6a"},
                              {"Schmidt", "Lukas", "6a"},
                              {"Hartmann", "Jan-Luca", "6a"},
                              {"Bäcker", "Jana", "6a"}});
    before = snapshot(source);
    request.sourcePath = source;
    request.newName = "6A";
    request.newClass = "6a"; // the administration writes 6A
    request.keepElectives = false;
    compareWithFixture();
    ui.answers.append(Answer::Yes);
    const auto counts = rollOver(request, settings, ui);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->left, 1); // Bäcker has left
    EXPECT_EQ(counts->refreshed, 3);
    const auto students = readStudents(ws + "ZE-2425-1/6A.DBF");
    ASSERT_EQ(students.count("Schmidt, Lukas"), 2u);
    auto range = students.equal_range("Schmidt, Lukas");
    EXPECT_EQ(range.first->second["WPK1"], "Informatik");
    EXPECT_EQ(std::next(range.first)->second["WPK1"], "Naturwissenschaften");
    EXPECT_EQ(students.find("Hartmann, Jan-Luca")->second["WPK1"], "Informatik"); // "inf"
    EXPECT_EQ(students.find("Hartmann, Jan-Luca")->second["KLASSE"], "6A");
    EXPECT_EQ(students.find("Petrenko, Sofiia")->second["WPK1"], "RU"); // no long name
    EXPECT_EQ(students.find("Günther, Tim")->second["KM"], "A");
    EXPECT_EQ(snapshot(source), before);
}

TEST_F(Rollover, AnEmptyClassFileIsFilledFromTheComparison)
{
    source = ws + "ZE-2324-2/LEER.DBF";
    writeStudentFile(source, {});
    request.sourcePath = source;
    request.newName = "5B";
    request.newClass = "5b";
    compareWithFixture();
    ui.answers.append(Answer::Yes);
    const auto counts = rollOver(request, settings, ui);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->copied, 0);
    EXPECT_EQ(counts->added, 11); // Schäfer leaves only in 2099 and is still there
    EXPECT_EQ(readStudents(ws + "ZE-2425-1/5B.DBF").count("Schäfer, Lukas"), 1u);
}

TEST_F(Rollover, ChosenColumnsAreClearedAndClassesRenamedWithoutComparison)
{
    request.clearFields = {"DE", "TB1", "AG1"};
    ui.answers.append(Answer::Yes);
    const auto counts = rollOver(request, settings, ui);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->cleared, 3);
    EXPECT_FALSE(counts->compared);
    const auto students = readStudents(target());
    ASSERT_EQ(students.size(), 7u);
    for (const auto& [name, s] : students) {
        EXPECT_EQ(s["KLASSE"], "5A") << name;
        EXPECT_EQ(s["DE"], "") << name;
        EXPECT_EQ(s["TB1"], "") << name;
        EXPECT_EQ(s["EN"], "3") << name;
    }
    EXPECT_EQ(ui.messages().first().left(37), "Folgende Schritte werden durchgeführt");
    EXPECT_TRUE(ui.messages().first().contains("3. Ein Abgleich mit der Schülerdatei wird NICHT durchgeführt!"));
    auto t = dbase::Table::open(target().toStdString());
    EXPECT_TRUE(t->findProblems().empty());
    EXPECT_EQ(t->tags().size(), 4u);
    EXPECT_EQ(snapshot(source), before);
}

TEST_F(Rollover, AllClearableColumnsLeaveMasterDataAndTheExceptedGroups)
{
    ColumnExceptions e;
    e.epochalSubjects = {"GE"};
    const QStringList all = allClearableFields(e);
    EXPECT_TRUE(all.contains("DE"));
    EXPECT_TRUE(all.contains("TB23"));
    for (const char* kept : {"NAME", "KLASSE", "ID", "AG1", "WPK3", "GE", "D1"})
        EXPECT_FALSE(all.contains(kept)) << kept;
    e.workingGroups = e.electives = e.epochal = false;
    EXPECT_TRUE(allClearableFields(e).contains("AG1"));
    EXPECT_TRUE(allClearableFields(e).contains("GE"));
}

TEST_F(Rollover, BadInputIsRefusedAndNothingIsWritten)
{
    const auto refused = [&](const QString& message) {
        ui.clear();
        ui.answers.clear();
        ui.answers.append(Answer::Yes);
        EXPECT_FALSE(rollOver(request, settings, ui));
        EXPECT_TRUE(ui.messages().contains(message)) << ui.messages().join("|").toStdString();
        expectNothingWritten();
    };
    RolloverRequest good = request;

    request.dataDirectory = "ARCHIV";
    refused("Das Zielverzeichnis ARCHIV ist kein Datenverzeichnis (ZE-JJZZ-H)!");
    request.dataDirectory = "../ZE-2425-1";
    refused("Das Zielverzeichnis ../ZE-2425-1 ist kein Datenverzeichnis (ZE-JJZZ-H)!");
    request = good;
    request.newName = "  ";
    refused("Neuer Dateiname fehlt");
    request = good;
    request.dataDirectory = "ZE-2324-2";
    refused("Das geht nicht, es ist die aktuelle Datei!");
    request = good;
    request.newClass = "10.1.2ab";
    refused("Der Klassenname 10.1.2ab ist zu lang (höchstens 7 Zeichen)!");
    request = good;
    compareWithFixture();
    request.newClass = " ";
    refused("Für den Abgleich muss angegeben sein, welche Klasse die neue Datei enthält!");
    request = good;
    request.compare = true;
    request.compareFile = ws + "FEHLT.DBF";
    refused("Abgleichdatei ist nicht vorhanden,\nbitte \"Bereitstellung\" anwählen!");
    writeBytes(dir.file("TEXT.DBF"), "Dies ist keine Tabelle.\r\n");
    request.compareFile = ws + "TEXT.DBF";
    refused("Die Abgleichdatei " + ws + "TEXT.DBF\nist keine Datei im Sibank-Format!");
    request.compareFile = kFixtures + "FACHKURS.DBF";
    refused("In der Abgleichdatei " + kFixtures + "FACHKURS.DBF\nfehlen die Felder NAME, VORNAME, KLASSE, "
            "GEBOREN, GEB_ORT, GESCHLECHT, STAAT, AG1, AG2, AG3, FOERDER1, FOERDER2, L_KU_MA_FA, L_KU_EN_FA, "
            "WPK1_FACH, WPK2_FACH, WPK3_FACH, WPK4_FACH!");
    // Declining the start question writes nothing either.
    request = good;
    ui.clear();
    ui.answers.clear();
    ui.answers.append(Answer::No);
    EXPECT_FALSE(rollOver(request, settings, ui));
    expectNothingWritten();
}

TEST_F(Rollover, AnExistingTargetIsReplacedOnlyAfterYesAndNotWhileInUse)
{
    writeStudentFile(target(), {{"Vorher", "Da", "5A"}});
    const auto old = snapshot(target());
    ui.answers.append(Answer::No);
    EXPECT_FALSE(rollOver(request, settings, ui));
    EXPECT_EQ(ui.messages(), QStringList({"Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n"}));
    EXPECT_EQ(snapshot(target()), old);
    {
        HoldingComputer other(target());
        ASSERT_TRUE(other.ok());
        ui.clear();
        ui.answers.append({Answer::Yes, Answer::Yes});
        EXPECT_FALSE(rollOver(request, settings, ui));
        EXPECT_EQ(ui.messages().last(), "Die Datei 5A.DBF wird gerade auf einem anderen Computer benutzt\n"
                                        "und kann jetzt nicht überschrieben werden!");
        EXPECT_EQ(snapshot(target()), old);
    }
    ui.answers.clear();
    ui.answers.append({Answer::Yes, Answer::Yes});
    ASSERT_TRUE(rollOver(request, settings, ui));
    EXPECT_EQ(readStudents(target()).size(), 7u);
    EXPECT_EQ(snapshot(source), before);
}

TEST(CodeLists, LongNamesOfTheLastMatchingLineInAnyLetterCase)
{
    const QStringList lines = readCodeList(kFixtures + "AG.TXT");
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(longNameOf(" fb ", lines), "Fußball");
    EXPECT_EQ(longNameOf("IMK", lines), "IMK");
    EXPECT_EQ(longNameOf("", lines), "");
    EXPECT_EQ(longNameOf("X", {"X#Erste", "Y#Zweite#X#", "X#Dritte mit einem sehr langen Namen, der weit über "
                                                     "sechzig Zeichen hinausgeht und gekürzt wird"}),
              "Dritte mit einem sehr langen Namen, der weit über sechzig Ze");
    EXPECT_EQ(longNameOf("AL-HAUS", readCodeList(kFixtures + "WPK.TXT")), "Arbeitslehre Hauswirtschaft");
}

} // namespace
