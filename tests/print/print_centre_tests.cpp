// The print centre's run rules without the window: copies, the 200-page cap,
// bad copy counts, whole-class runs with and without a graduation code,
// table forms, slot checks and the student list's line format.
#include "print/print_centre.h"
#include "print_centre_support.h"

#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

ListRecords students(int n)
{
    ListRecords r;
    for (int i = 0; i < n; ++i)
        r.add({{QStringLiteral("NAME"), QStringLiteral("Name%1").arg(i)},
               {QStringLiteral("VORNAME"), QStringLiteral("Vor%1").arg(i)},
               {QStringLiteral("ABSCH"), i % 2 ? QStringLiteral("hs ") : QStringLiteral("RS")},
               {QStringLiteral("ID"), QStringLiteral("S%1").arg(i)}});
    return r;
}

QStringList idsOf(const ListRecords& r)
{
    QStringList ids;
    for (const auto& row : r.rows)
        ids << row.value(QStringLiteral("ID"));
    return ids;
}

} // namespace

TEST(PrintCentreRun, CopiesRepeatEachStudentInARowAndTheCapStopsAt200WithOneMessage)
{
    ScriptedInteraction ui;
    TDruckLayout layout;
    ListRecords three = students(3);
    PrintCentre::Choice c;
    c.selectedIds = idsOf(three);
    c.copies = 2;
    auto run = PrintCentre::prepareRun(layout, c, three, ui);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->selection, RecordSelection::Selection);
    EXPECT_EQ(run->ids, (QStringList{"S0", "S0", "S1", "S1", "S2", "S2"}));
    EXPECT_TRUE(ui.messages().isEmpty());

    ListRecords many = students(150);
    c.selectedIds = idsOf(many);
    run = PrintCentre::prepareRun(layout, c, many, ui);
    ASSERT_TRUE(run);
    ASSERT_EQ(run->ids.size(), 200);
    EXPECT_EQ(run->ids.first(), QStringLiteral("S0"));
    EXPECT_EQ(run->ids.last(), QStringLiteral("S99"));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Es können max. 200 Seiten gedruckt werden!")});

    // Exactly 200 pages is no overflow.
    ui.clear();
    c.selectedIds = idsOf(many).mid(0, 100);
    run = PrintCentre::prepareRun(layout, c, many, ui);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->ids.size(), 200);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(PrintCentreRun, CopyCountsOutsideOneToTenAreRefusedAndPrintNothing)
{
    TDruckLayout layout;
    ListRecords r = students(3);
    for (int copies : {0, -1, 11, 1000}) {
        ScriptedInteraction ui;
        PrintCentre::Choice c;
        c.selectedIds = idsOf(r);
        c.copies = copies;
        EXPECT_FALSE(PrintCentre::prepareRun(layout, c, r, ui)) << copies;
        EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Die Anzahl der Exemplare muss zwischen 1 und 10 liegen!")})
            << copies;
    }
}

TEST(PrintCentreRun, WholeClassWithACodeCountsOnlyItsStudentsAndRefusesWhenNoneHasIt)
{
    TDruckLayout layout;
    ListRecords r = students(5);
    r.current = 3;
    ScriptedInteraction ui;
    PrintCentre::Choice c;
    c.wholeClass = true;
    c.code = QStringLiteral("HS");
    c.selectedIds = idsOf(r);
    auto run = PrintCentre::prepareRun(layout, c, r, ui);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->selection, RecordSelection::WholeClass);
    EXPECT_EQ(run->graduationCode, QStringLiteral("HS"));
    EXPECT_EQ(PrintCentre::countStudents(r, QStringLiteral("hs")), 2);
    EXPECT_EQ(r.current, 3) << "counting puts the cursor back";
    EXPECT_TRUE(ui.messages().isEmpty());

    c.code = QStringLiteral("FOR");
    EXPECT_FALSE(PrintCentre::prepareRun(layout, c, r, ui));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Keinen Schüler (Abschluss FOR) gefunden!")});

    // "Ganze Klasse" with "Alle" is the selection of every student.
    c.code = QStringLiteral("Alle");
    run = PrintCentre::prepareRun(layout, c, r, ui);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->selection, RecordSelection::Selection);
    EXPECT_EQ(run->ids.size(), 5);
}

TEST(PrintCentreRun, TableFormsPrintTheWholeClassEvenUnderSelectionAndAnEmptyFileSaysX)
{
    TDruckLayout table;
    table.Bereich = 1;
    ListRecords r = students(4);
    ScriptedInteraction ui;
    PrintCentre::Choice c;
    c.selectedIds = {QStringLiteral("S1")};
    auto run = PrintCentre::prepareRun(table, c, r, ui);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->selection, RecordSelection::WholeClass);
    EXPECT_EQ(run->graduationCode, QStringLiteral("X"));

    // A table form with a code prints only that code's students, also under "Auswahl".
    c.code = QStringLiteral("RS");
    run = PrintCentre::prepareRun(table, c, r, ui);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->graduationCode, QStringLiteral("RS"));

    // A file without students: the message names X and the empty run goes on.
    ListRecords empty;
    c.code = QStringLiteral("Alle");
    c.selectedIds.clear();
    run = PrintCentre::prepareRun(table, c, empty, ui);
    EXPECT_TRUE(run);
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Keinen Schüler (Abschluss X) gefunden!")});

    // Without a table form an empty selection prints nothing and says nothing.
    ui.clear();
    EXPECT_FALSE(PrintCentre::prepareRun(TDruckLayout{}, c, empty, ui));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(PrintCentreSlots, EmptyAndMissingSlotsAreToldAndTheSlotsMapToTheSettings)
{
    ScriptedInteraction ui;
    EXPECT_FALSE(PrintCentre::checkSlot(QStringLiteral("  "), ui));
    EXPECT_FALSE(PrintCentre::checkSlot(QStringLiteral("/nirgends/WEG.LAY"), ui));
    EXPECT_EQ(ui.messages(), (QStringList{QStringLiteral("Schalter nicht belegt!\nBelegung ändern mit rechter Maustaste."),
                                          QStringLiteral("Layoutdatei nicht gefunden!")}));
    DemoWorkspace ws;
    EXPECT_EQ(PrintCentre::checkSlot(ws.layout(), ui).value_or(QString()), ws.layout());

    Settings s;
    s.Layout[3] = QStringLiteral("/ws/LAYOUT/ZEUGNIS.LAY");
    EXPECT_EQ(PrintCentre::slotPath(s, 3, QStringLiteral("/x/AKTUELL.LAY")), s.Layout[3]);
    EXPECT_EQ(PrintCentre::slotPath(s, 12, QStringLiteral("/x/AKTUELL.LAY")), QStringLiteral("/x/AKTUELL.LAY"));
    EXPECT_TRUE(PrintCentre::slotPath(s, 13, QStringLiteral("/x/AKTUELL.LAY")).isEmpty());
    EXPECT_EQ(PrintCentre::slotCaption(QStringLiteral("C:\\ZEDORA\\LAYOUT\\ZEUGNIS.LAY")), QStringLiteral("ZEUGNIS.LAY"));
    PrintCentre::setSlotPath(s, 12, QStringLiteral("/y.LAY"));
    PrintCentre::setSlotPath(s, 13, QStringLiteral("/y.LAY"));
    EXPECT_TRUE(s.Layout[12].isEmpty());
    EXPECT_TRUE(s.Layout[13].isEmpty());
    EXPECT_TRUE(PrintCentre::isTemplatePath(QStringLiteral("/ws/LayoutVorlagen/a.lay")));
    EXPECT_FALSE(PrintCentre::isTemplatePath(QStringLiteral("/ws/LAYOUT/a.lay")));
}

TEST(PrintCentreList, LinesCarryTheIdFromColumn50AndTheCurrentStudentIsMarked)
{
    const QString line = PrintCentre::studentLine(QStringLiteral("Müller-Lüdenscheidt von und zu Hohenzollern"),
                                                  QStringLiteral("Anna-Maria Theresa"), QStringLiteral("12345ABCDEFGHIJ"));
    EXPECT_EQ(line.left(49), QStringLiteral("Müller-Lüdenscheidt von und zu Hohenzollern, Anna"));
    EXPECT_EQ(PrintCentre::idOfLine(line), QStringLiteral("12345ABCDEFGHIJ"));
    const QString shortLine = PrintCentre::studentLine(QStringLiteral("Ott"), QStringLiteral("Eva"), QStringLiteral("7"));
    EXPECT_EQ(shortLine.indexOf(u'7'), 49);
    EXPECT_EQ(PrintCentre::idOfLine(shortLine), QStringLiteral("7"));

    ListRecords r = students(4);
    r.current = 2;
    const PrintCentre::StudentList list = PrintCentre::studentList(r);
    ASSERT_EQ(list.lines.size(), 4);
    EXPECT_EQ(list.current, 2);
    EXPECT_TRUE(list.lines[0].startsWith(QStringLiteral("Name0, Vor0 ")));
    EXPECT_EQ(r.current, 2);
}
