// Global change in all its modes, column clearing, emptying a record, the
// swaps and the epochal list, on a real student file.
#include "base/scripted_interaction.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"
#include "entry/bulk_global_change.h"
#include "entry/bulk_record_edits.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace zedora;

namespace {

struct Row {
    const char* name;
    const char* klasse;
    const char* de;
    const char* tb1;
};

class BulkEdits : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = QString::fromStdString(dir.file("5A.DBF"));
        dbase::Table::create(path.toStdString(), studentFileFields());
        {
            auto t = dbase::Table::open(path.toStdString(), dbase::OpenMode::Exclusive);
            for (const auto& tag : studentIndexTagSpecs())
                t->addIndexTag(tag.name, tag.expression, tag.unique);
            const Row rows[] = {{"Zander", "5a", "3", "Er liest gut."},
                                {"Abel", "5A", "3 ", ""},
                                {"Mohr", "5b", "2", "Zeile 1\r\nZeile 2"},
                                {"Berg", "5a", "1", ""}};
            for (const Row& r : rows) {
                t->append();
                t->setText("NAME", r.name);
                t->setText("VORNAME", "Kim");
                t->setText("KLASSE", r.klasse);
                t->setText("DE", r.de);
                t->setText("EN", "4");
                t->setText("NOTE1", "2");
                if (*r.tb1)
                    t->setMemo(t->fieldIndex("TB1"), r.tb1);
                t->post();
            }
        }
        table.open(path);
        for (int f = 0; f < table.fieldCount(); ++f) {
            const int kind = fieldKind(table.fieldName(f));
            table.setReadOnly(f, kind == FieldKind::MasterData || kind == FieldKind::AssessmentText
                                     || kind == FieldKind::Average || kind == FieldKind::Identity);
        }
    }

    QString valueOf(const char* name, const char* field)
    {
        auto t = dbase::Table::open(path.toStdString());
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            if (t->text("NAME") == name)
                return QString::fromLatin1(t->text(field).c_str());
        return QStringLiteral("<fehlt>");
    }

    test::TempDir dir;
    QString path;
    StudentTable table;
    ScriptedInteraction ui;
};

TEST_F(BulkEdits, ColumnKindsDecideTheModeOrTheRefusal)
{
    EXPECT_EQ(globalChangeMode(table, "DE", false, ui), GlobalChangeMode::Plain);
    EXPECT_EQ(globalChangeMode(table, "TB1", false, ui), GlobalChangeMode::TextBlock);
    EXPECT_EQ(globalChangeMode(table, "KLASSE", false, ui), GlobalChangeMode::Class);
    EXPECT_TRUE(ui.messages().isEmpty());

    EXPECT_FALSE(globalChangeMode(table, "DE", true, ui));
    EXPECT_FALSE(globalChangeMode(table, "NAME", false, ui));
    EXPECT_FALSE(globalChangeMode(table, "D1", false, ui));
    table.setReadOnly(table.findField("EN"), true); // the table lock
    EXPECT_FALSE(globalChangeMode(table, "EN", false, ui));
    EXPECT_EQ(ui.messages(),
              QStringList({"Stammdaten können nicht global gelöscht werden!",
                           "In dieser Spalte ist eine globale Änderung nicht möglich!\n(Spalte gesperrt bzw. Stammdatenspalte)",
                           "Dieses Feld wird von Zedora berechnet!",
                           "In dieser Spalte ist eine globale Änderung nicht möglich!\n(Spalte gesperrt bzw. Stammdatenspalte)"}));
}

TEST_F(BulkEdits, PlainChangeOfOnlyMatchingFieldsOrOfAll)
{
    GlobalChange c;
    c.field = "DE";
    c.allFields = false;
    c.search = "3";
    c.newValue = newValueFromBox("  2 ");
    const auto r = runGlobalChange(table, c);
    EXPECT_EQ(r.changed, 2);
    EXPECT_EQ(valueOf("Zander", "DE"), "2");
    EXPECT_EQ(valueOf("Abel", "DE"), "2"); // "3 " with a trailing blank matches too
    EXPECT_EQ(valueOf("Mohr", "DE"), "2");  // held 2 already
    EXPECT_EQ(valueOf("Berg", "DE"), "1");

    c.allFields = true;
    c.newValue = "5";
    EXPECT_EQ(runGlobalChange(table, c).changed, 4);
    for (const char* n : {"Zander", "Abel", "Mohr", "Berg"})
        EXPECT_EQ(valueOf(n, "DE"), "5") << n;
}

TEST_F(BulkEdits, ARefusedValueStopsTheRunAfterThatRecordAndKeepsEarlierOnes)
{
    table.setTag("NAME"); // Abel, Berg, Mohr, Zander
    int refusals = 0;
    table.setChangeCheck([&](const QString& field, const QString& value) -> std::optional<QString> {
        if (field == "DE" && value == "9") {
            ++refusals;
            ui.error("Dieses Kürzel ist nicht zulässig!");
            return std::nullopt;
        }
        return value;
    });
    GlobalChange c;
    c.field = "DE";
    c.newValue = "9";
    const auto r = runGlobalChange(table, c);
    EXPECT_TRUE(r.stoppedByCheck);
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(valueOf("Abel", "DE"), "3");
    EXPECT_EQ(valueOf("Zander", "DE"), "3");
}

TEST_F(BulkEdits, ClassRenamingIgnoresLetterCaseAndKeepsOtherClasses)
{
    table.setTag("KLASSE");
    GlobalChange c;
    c.mode = GlobalChangeMode::Class;
    c.field = "KLASSE";
    c.oldClass = "5a";
    c.newValue = "6a";
    EXPECT_EQ(runGlobalChange(table, c).changed, 3);
    EXPECT_EQ(valueOf("Zander", "KLASSE"), "6a");
    EXPECT_EQ(valueOf("Abel", "KLASSE"), "6a");
    EXPECT_EQ(valueOf("Berg", "KLASSE"), "6a");
    EXPECT_EQ(valueOf("Mohr", "KLASSE"), "5b");
    // The order and the field's lock are as before.
    EXPECT_EQ(table.tag(), "KLASSE");
    EXPECT_TRUE(table.isReadOnly(table.findField("KLASSE")));
}

TEST_F(BulkEdits, TextBlockAppendsToTheLastLineWithPlaceholdersOrReplaces)
{
    GlobalChange c;
    c.mode = GlobalChangeMode::TextBlock;
    c.field = "TB1";
    c.newValue = newValueFromBox("A1  >%NAME% arbeitet mit.");
    c.replaceText = false;
    const auto replace = [&](const QString& text) {
        QString t = text;
        return t.replace("%NAME%", table.value("NAME").trimmed());
    };
    EXPECT_EQ(runGlobalChange(table, c, replace).changed, 4);
    EXPECT_EQ(valueOf("Zander", "TB1"), "Er liest gut. Zander arbeitet mit.");
    EXPECT_EQ(valueOf("Abel", "TB1"), "Abel arbeitet mit.");
    EXPECT_EQ(valueOf("Mohr", "TB1"), "Zeile 1\r\nZeile 2 Mohr arbeitet mit.");

    c.replaceText = true;
    c.newValue = "Neu.";
    runGlobalChange(table, c);
    EXPECT_EQ(valueOf("Mohr", "TB1"), "Neu.");
    EXPECT_TRUE(table.isReadOnly(table.findField("TB1")));
}

TEST_F(BulkEdits, TextBlockWritesOnlyFilteredRecordsAndSetsTheFilterAgain)
{
    table.setFilter("KLASSE", "5a");
    const int shown = table.rowCount();
    GlobalChange c;
    c.mode = GlobalChangeMode::TextBlock;
    c.field = "TB2";
    c.newValue = "Gut.";
    runGlobalChange(table, c);
    EXPECT_EQ(valueOf("Zander", "TB2"), "Gut.");
    EXPECT_EQ(valueOf("Berg", "TB2"), "Gut.");
    EXPECT_EQ(valueOf("Mohr", "TB2"), "");
    EXPECT_TRUE(table.filtered());
    EXPECT_EQ(table.filterFieldName(), "KLASSE");
    EXPECT_EQ(table.rowCount(), shown);
}

TEST_F(BulkEdits, PlainChangeUnderAFilterWritesOnlyTheRecordsShown)
{
    table.setFilter("KLASSE", "5b");
    GlobalChange c;
    c.field = "EN";
    c.newValue = "1";
    EXPECT_EQ(runGlobalChange(table, c).changed, 1);
    EXPECT_EQ(valueOf("Mohr", "EN"), "1");
    EXPECT_EQ(valueOf("Zander", "EN"), "4");
    EXPECT_EQ(valueOf("Berg", "EN"), "4");
}

TEST_F(BulkEdits, ClearingAColumnAsksUnlessSilent)
{
    ui.answers.append({Answer::No});
    EXPECT_FALSE(clearColumn(table, "DE", " Deutsch ", false, ui));
    EXPECT_EQ(ui.messages(), QStringList({"Soll Inhalt der Spalte Deutsch wirklich gelöscht werden?"}));
    EXPECT_EQ(valueOf("Berg", "DE"), "1");

    ui.answers.append({Answer::Yes});
    EXPECT_TRUE(clearColumn(table, "DE", "Deutsch", false, ui));
    EXPECT_TRUE(clearColumn(table, "TB1", "Text 1", true, ui));
    EXPECT_EQ(ui.messages().size(), 2);
    for (const char* n : {"Zander", "Abel", "Mohr", "Berg"}) {
        EXPECT_EQ(valueOf(n, "DE"), "") << n;
        EXPECT_EQ(valueOf(n, "TB1"), "") << n;
        EXPECT_EQ(valueOf(n, "EN"), "4") << n;
    }
}

TEST_F(BulkEdits, EmptyingARecordKeepsMasterDataTextsAndLockedFields)
{
    table.setTag("NAME");
    table.first(); // Abel
    table.setReadOnly(table.findField("NOTE1"), true);
    ui.answers.append({Answer::Cancel, Answer::Yes});
    const QStringList shown = {"NAME", "DE", "EN", "NOTE1", "TB1", "D1"};
    EXPECT_FALSE(emptyCurrentRecord(table, shown, ui));
    EXPECT_EQ(valueOf("Abel", "EN"), "4");
    EXPECT_TRUE(emptyCurrentRecord(table, shown, ui));
    EXPECT_EQ(ui.messages().first(), "Sollen die Einträge der aktuelle Zeile wirklich gelöscht werden?\n"
                                     "(Löschung erfolgt NICHT Stammdaten- und Textblockfeldern!!)");
    EXPECT_EQ(valueOf("Abel", "DE"), "");
    EXPECT_EQ(valueOf("Abel", "EN"), "");
    EXPECT_EQ(valueOf("Abel", "NOTE1"), "2");
    EXPECT_EQ(valueOf("Abel", "NAME"), "Abel");
    EXPECT_EQ(valueOf("Berg", "EN"), "4");
}

TEST_F(BulkEdits, CellAndColumnSwapsAndTheLock)
{
    table.setTag("NAME");
    table.first(); // Abel: DE "3", EN "4"
    const SwapStart start = startCellSwap(table, "DE");
    EXPECT_EQ(start.value.trimmed(), "3");
    EXPECT_FALSE(finishCellSwap(table, start, "EN", true, ui));
    EXPECT_EQ(ui.messages(), QStringList({"Nicht möglich, Tabelle ist gesperrt!\n"}));
    EXPECT_TRUE(finishCellSwap(table, start, "EN", false, ui));
    EXPECT_EQ(valueOf("Abel", "DE"), "4");
    EXPECT_EQ(valueOf("Abel", "EN"), "3");

    ui.clear();
    ui.answers.append({Answer::Yes});
    EXPECT_TRUE(swapColumns(table, "DE", "NOTE1", false, ui));
    EXPECT_EQ(ui.messages(), QStringList({"Soll Inhalt der Spalte DE\n\ngetauscht werden mit Inhalt der Spalte NOTE1?\n"}));
    EXPECT_EQ(valueOf("Zander", "DE"), "2");
    EXPECT_EQ(valueOf("Zander", "NOTE1"), "3");
    EXPECT_EQ(valueOf("Berg", "NOTE1"), "1");
    EXPECT_EQ(valueOf("Abel", "NOTE1"), "4");
}

TEST_F(BulkEdits, ASwapPassesTheChecksAndARefusalLeavesTheRecord)
{
    table.setChangeCheck([](const QString& field, const QString& value) -> std::optional<QString> {
        if (field == "NOTE1" && value.trimmed() == "1")
            return std::nullopt;
        return value;
    });
    table.setTag("NAME"); // Abel 3, Berg 1, ...
    ui.answers.append({Answer::Yes});
    EXPECT_FALSE(swapColumns(table, "DE", "NOTE1", false, ui));
    EXPECT_EQ(valueOf("Abel", "NOTE1"), "3");
    EXPECT_EQ(valueOf("Berg", "DE"), "1");
    EXPECT_EQ(valueOf("Berg", "NOTE1"), "2");
}

TEST(EpochalSubjects, FirstTenCheckedEntriesUpperCasedAndCut)
{
    QStringList checked;
    for (int i = 1; i <= 12; ++i)
        checked << epochalEntry(QString("ge%1").arg(i), QString(" Geschichte %1 ").arg(i));
    EXPECT_EQ(checked.first(), "ge1 (Geschichte 1)");
    const QStringList list = epochalListFromChecked(checked + QStringList{"sehrlangerfeldnamexyz123"});
    ASSERT_EQ(list.size(), 10);
    EXPECT_EQ(list.first(), "GE1");
    EXPECT_EQ(list.last(), "GE10");
    EXPECT_EQ(epochalListFromChecked({"sehrlangerfeldnamexyz123"}).first(), "SEHRLANGERFELDNAMEXY");
    EXPECT_TRUE(isEpochal(" ge3", list));
    EXPECT_FALSE(isEpochal("GE11", list));
}

} // namespace
