// The history window in a main-window frame: opening from the menu, the
// headers of the open file's half-year, navigation with its messages,
// editing of the current half-year only, the class table with inserted
// lines, printing and the settings kept on closing.
#include "archive/archive_workspace.h"
#include "archive/statistics_fixture.h"
#include "core/settings.h"
#include "dbase/table.h"
#include "entry/abbreviation_tables.h"
#include "print/print_job.h"
#include "schoolyear/ui/TFHist.h"
#include "schoolyear/ui/history_class_page.h"
#include "schoolyear/ui/history_commands.h"
#include "schoolyear/ui/history_photo.h"
#include "schoolyear/ui/history_settings_panel.h"
#include "support/test_main_frame.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zedora::test {
namespace {

QString S(const char* s) { return QString::fromUtf8(s); }

class HistoryFrame : public TestMainFrame {
public:
    ArchiveWorkspace ws;

    explicit HistoryFrame(const QString& directory = S("ZE-1415-1"), bool demoLayout = false)
    {
        if (demoLayout)
            writeDemo(directory);
        else
            writeSmall(directory);
        open(ws.ui, ProgramPaths{S(ZEDORA_SHARE_DIR "/"), ws.root, S("PC1")}, ws.root + directory + S("/5A.DBF"));
        buildMenu();
        auto* button = new QToolButton(bar);
        button->setObjectName(S("SpeedButton4"));
        installHistory(*this);
        ws.ui.clear();
    }

    void writeSmall(const QString& directory)
    {
        writeStudents(ws.root + directory + S("/5A.DBF"),
                      {{{"NAME", "Albers"}, {"VORNAME", "Anna"}, {"ID", "I1"}, {"KLASSE", "6A"}, {"DE", "5"},
                        {"GEBOREN", "05.03.2004"}, {"MW", "w"}},
                       {{"NAME", "Berg"}, {"VORNAME", "Tom"}, {"ID", "I2"}, {"KLASSE", "6A"}, {"DE", "2"}},
                       {{"NAME", "Zorn"}, {"VORNAME", "Eva"}, {"ID", "I3"}, {"KLASSE", "6A"}, {"DE", "3"}}});
        writeStudents(ws.root + S("ARCHIV/A13-14-2.DBF"),
                      {{{"ID", "I1"}, {"KLASSE", "5A"}, {"DE", "3"}}, {{"ID", "I2"}, {"KLASSE", "5A"}, {"DE", "4"}}});
        writeStudents(ws.root + S("ARCHIV/A12-13-2.DBF"), {{{"ID", "I1"}, {"KLASSE", "4A"}, {"DE", "2"}}});
    }

    // The shipped demo layout's columns and a class with three earlier
    // half-years, for the pictures.
    void writeDemo(const QString& directory)
    {
        QDir().mkpath(ws.root + S("LAYOUT"));
        QFile::copy(S(ZEDORA_SHARE_DIR "/MUSTER/DEMOLAY.MST"), ws.root + S("LAYOUT/DEMO.LAY"));
        QDir().mkpath(ws.root + directory);
        QFile ini(ws.root + directory + S("/5A.INI"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[ZUORDNUNGEN]\r\nLayoutdatei=" + ws.root + "LAYOUT/DEMO.LAY\r\n").toUtf8());
        ini.close();
        const std::vector<std::pair<const char*, const char*>> people = {
            {"Albers", "Anna"}, {"Berg", "Tom"}, {"Celik", "Deniz"}, {"Dorn", "Lea"}, {"Engel", "Paul"}};
        const char* grades[] = {"2", "3", "1", "4", "2", "5", "3", "2"};
        const char* subjects[] = {"RE", "DE", "EN", "MA", "GE", "EK", "BI", "SP"};
        const auto record = [&](int person, int shift, const char* klasse) {
            Record r{{"NAME", people[size_t(person)].first}, {"VORNAME", people[size_t(person)].second},
                     {"ID", "ID" + std::to_string(person)}, {"KLASSE", klasse}, {"GEBOREN", "05.03.2004"},
                     {"GEBORT", "Köln"}, {"MW", "w"}, {"VS1", std::to_string(person + shift)}, {"UE1", "0"}};
            for (int i = 0; i < 8; ++i)
                r[subjects[i]] = grades[(i + person * 3 + shift) % 8];
            return r;
        };
        std::vector<Record> current, before, earlier;
        for (int p = 0; p < 5; ++p) {
            current.push_back(record(p, 0, "7B"));
            before.push_back(record(p, 2, "6B"));
            if (p != 1)
                earlier.push_back(record(p, 5, "5B"));
        }
        writeStudents(ws.root + directory + S("/5A.DBF"), current);
        writeStudents(ws.root + S("ARCHIV/A13-14-2.DBF"), before);
        writeStudents(ws.root + S("ARCHIV/A13-14-1.DBF"), before);
        writeStudents(ws.root + S("ARCHIV/A12-13-2.DBF"), earlier);
    }

    TFHist& openHistory()
    {
        menu().action(S("history"))->trigger();
        auto* w = main.findChild<TFHist*>();
        EXPECT_NE(w, nullptr);
        return *w;
    }

    // The grid row of a field, by the hidden last column.
    static int rowOf(TFHist& w, const QString& field)
    {
        QTableWidget& g = w.grid();
        for (int r = 0; r < g.rowCount(); ++r) {
            if (g.item(r, g.columnCount() - 1)->text() == field)
                return r;
        }
        return -1;
    }

    QString storedDe(int record) const
    {
        auto t = dbase::Table::open((ws.root + S("ZE-1415-1/5A.DBF")).toStdString());
        t->gotoRecord(uint32_t(record));
        return QString::fromStdString(t->text("DE"));
    }
};

TEST(HistoryWindow, OpensFromTheMenuWithTheHalfYearsOfTheOpenFile)
{
    HistoryFrame f;
    f.ctx->settings.HJSichtbar = 4;
    TFHist& w = f.openHistory();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), S("Notenübersicht einzelner Schüler mit Historie         Zedora"));
    QTableWidget& g = w.grid();
    ASSERT_EQ(g.columnCount(), 6);
    QStringList headers;
    for (int c = 1; c <= 4; ++c)
        headers << g.horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, QStringList({S("ZE-1415-1"), S("13-14-2"), S("13-14-1"), S("12-13-2")}));
    EXPECT_TRUE(g.isColumnHidden(5));
    EXPECT_EQ(g.item(0, 0)->text(), S("   Klasse"));
    EXPECT_EQ(g.item(0, 1)->text(), S("6A"));
    EXPECT_EQ(g.item(0, 2)->text(), S("5A"));
    EXPECT_EQ(g.item(0, 3)->text(), QString());
    EXPECT_EQ(g.item(0, 4)->text(), S("4A"));
    const int de = HistoryFrame::rowOf(w, S("DE"));
    ASSERT_GE(de, 1);
    EXPECT_EQ(g.item(de, 1)->text(), S("     5"));
    EXPECT_EQ(g.item(de, 2)->text(), S("   3"));
    // 5 after 3 got worse by two grades; the missing class is grey.
    EXPECT_EQ(g.item(de, 1)->background().color(), windowsColour(f.ctx->settings.FarbeNegi));
    EXPECT_EQ(g.item(0, 3)->background().color(), kHistoryMissingClass);
    EXPECT_EQ(w.nameList().count(), 3);
    EXPECT_EQ(w.nameList().currentItem()->text(), S("Albers, Anna"));
    EXPECT_TRUE(f.ws.ui.messages().isEmpty());
}

TEST(HistoryWindow, HalfYearTwoStartsWithTheFirstHalfOfTheSameYear)
{
    HistoryFrame f(S("ZE-1415-2"));
    f.ctx->settings.HJSichtbar = 2;
    TFHist& w = f.openHistory();
    ASSERT_EQ(w.grid().columnCount(), 4);
    EXPECT_EQ(w.grid().horizontalHeaderItem(1)->text(), S("ZE-1415-2"));
    EXPECT_EQ(w.grid().horizontalHeaderItem(2)->text(), S("14-15-1"));
}

TEST(HistoryWindow, NavigationStopsAtBothEndsWithAMessage)
{
    HistoryFrame f;
    TFHist& w = f.openHistory();
    const int de = HistoryFrame::rowOf(w, S("DE"));
    w.priorStudent();
    EXPECT_EQ(f.ws.ui.messages(), QStringList({S("Dateianfang erreicht!\n")}));
    QTest::keyClick(&w.grid(), Qt::Key_Space);
    EXPECT_EQ(w.grid().item(de, 1)->text(), S("     2"));
    EXPECT_EQ(w.grid().item(de, 2)->text(), S("   4"));
    EXPECT_EQ(w.grid().item(de, 1)->background().color(), windowsColour(f.ctx->settings.FarbePosi));
    EXPECT_EQ(w.studentLine().text().left(17), S("        Tom Berg,"));
    w.lastStudent();
    EXPECT_EQ(w.nameList().currentItem()->text(), S("Zorn, Eva"));
    // Without an archive record the earlier columns are empty.
    EXPECT_EQ(w.grid().item(de, 2)->text(), QString());
    f.ws.ui.clear();
    w.nextStudent();
    EXPECT_EQ(f.ws.ui.messages(), QStringList({S("Dateiende erreicht!\n")}));
    QTest::keyClick(&w.grid(), Qt::Key_Backspace);
    EXPECT_EQ(w.nameList().currentItem()->text(), S("Berg, Tom"));
    f.ws.ui.clear();
    w.grid().setCurrentCell(de, 2);
    QTest::keyClick(&w.grid(), Qt::Key_Return);
    EXPECT_EQ(f.ws.ui.messages(), QStringList({w.grid().item(de, 0)->text() + S(":     \n\n      4")}));
}

TEST(HistoryWindow, EditingRefusalsWithTheirTexts)
{
    HistoryFrame f;
    TFHist& w = f.openHistory();
    const int de = HistoryFrame::rowOf(w, S("DE"));
    f.ctx->settings.SperreOption = true;
    w.grid().setCurrentCell(de, 1);
    w.editCell();
    f.ctx->settings.SperreOption = false;
    w.grid().setCurrentCell(de, 2);
    w.editCell();
    w.grid().setCurrentCell(de, 0);
    w.editCell();
    w.grid().setCurrentCell(de, 1);
    f.ws.ui.texts.enqueue(S(" 5 "));
    w.editCell();
    EXPECT_EQ(f.ws.ui.messages(),
              QStringList({S("Tabell ist gesperrt, Änderung nicht möglich!"),
                           S("Es können nur die Daten des \naktuellen Schuljahres bearbeitet werden!\n\n"),
                           S("Es können nur die Daten des \naktuellen Schuljahres bearbeitet werden!\n\n"),
                           S("Abbruch!")}));
    EXPECT_FALSE(f.file->table().isEditing());

    // A field the user may not change now is refused before anything is asked.
    f.ws.ui.clear();
    f.file->table().setReadOnly(f.file->table().findField(S("KLASSE")), true);
    w.grid().setCurrentCell(0, 1);
    w.editCell();
    EXPECT_EQ(f.ws.ui.messages(), QStringList({S("Klasse: Dieses Feld kann hier nicht geändert werden!")}));
    EXPECT_EQ(w.grid().item(0, 1)->text(), S("6A"));
}

TEST(HistoryWindow, AnEditOfTheCurrentHalfYearLandsInTheStudentFile)
{
    HistoryFrame f;
    TFHist& w = f.openHistory();
    const int de = HistoryFrame::rowOf(w, S("DE"));
    w.grid().setCurrentCell(de, 1);
    f.ws.ui.texts.enqueue(S("1"));
    w.editCell();
    ASSERT_FALSE(f.ws.ui.shown.isEmpty());
    EXPECT_EQ(f.ws.ui.shown.first().text, w.grid().item(de, 0)->text());
    EXPECT_EQ(f.ws.ui.shown.first().detail, S("Alter Eintrag:   5\n\nNEUER EINTRAG:"));
    EXPECT_EQ(w.grid().item(de, 1)->text(), S("     1"));
    // The next move saves the record.
    w.nextStudent();
    EXPECT_EQ(f.storedDe(1), S("1"));
    // An edit left pending is saved when the window closes.
    w.grid().setCurrentCell(de, 1);
    f.ws.ui.texts.enqueue(S("6"));
    w.editCell();
    w.close();
    EXPECT_EQ(f.storedDe(2), S("6"));

    // The view follows a move made in the main window.
    w.show();
    f.file->table().last();
    EXPECT_EQ(w.nameList().currentItem()->text(), S("Zorn, Eva"));
}

TEST(HistoryWindow, ClassTableIsBuiltWhenFirstShownAndTakesInsertedLines)
{
    HistoryFrame f;
    f.ctx->settings.HJSichtbar = 3;
    TFHist& w = f.openHistory();
    EXPECT_FALSE(w.classTableBuilt());
    w.switchTables();
    ASSERT_TRUE(w.classTableBuilt());
    QTableWidget& k = w.classPage().grid();
    ASSERT_EQ(k.rowCount(), 9);
    EXPECT_EQ(k.item(0, 0)->text(), S("Albers,"));
    EXPECT_EQ(k.item(1, 0)->text(), S("  Anna"));
    EXPECT_EQ(k.item(0, 1)->text(), S("ZE-1415-1/6A"));
    EXPECT_EQ(k.item(1, 1)->text(), S("13-14-2/5A"));
    EXPECT_EQ(k.item(3, 0)->text(), S("Berg,"));
    // The current student stays where it was.
    EXPECT_EQ(f.file->table().currentRow(), 0);

    k.setCurrentCell(0, 1);
    f.ws.ui.texts.enqueue(S("Förderkurs"));
    w.insertLine();
    ASSERT_EQ(k.rowCount(), 12);
    EXPECT_EQ(k.item(1, 1)->text(), S("Förderkurs"));
    EXPECT_EQ(k.item(5, 1)->text(), S("Förderkurs"));
    EXPECT_EQ(f.ws.ui.shown.first().text, S("Zeile einfügen unter aktueller"));
    EXPECT_EQ(f.ws.ui.shown.first().detail, S("Text für 2. Spalte: "));
    // An empty text inserts nothing.
    f.ws.ui.texts.enqueue(S(""));
    w.insertLine();
    EXPECT_EQ(k.rowCount(), 12);

    w.printClassTable();
    EXPECT_EQ(f.printed, QStringList({QString::number(JobKind::History)}));
    // Refreshing builds the class table anew, without the lines.
    w.rebuild();
    EXPECT_FALSE(w.classTableBuilt());
}

TEST(HistoryWindow, PrintsThroughTheHistoryListAndKeepsItsSettingsOnClosing)
{
    HistoryFrame f;
    TFHist& w = f.openHistory();
    w.printSingle();
    w.nextStudent();
    w.printAll();
    EXPECT_EQ(f.printed.size(), 2);
    EXPECT_EQ(f.file->table().currentRow(), 0);

    w.findChild<QSpinBox*>(S("drzSpin"))->setValue(60);
    w.classPage().repeatHeader().setChecked(false);
    w.findChild<QSpinBox*>(S("spSchrift"))->setValue(12);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(f.ctx->settings.HistDruckzeilenhoehe, 60);
    EXPECT_FALSE(f.ctx->settings.WiederholeHistKopf);
    EXPECT_EQ(f.ctx->settings.Histschriftgrad, 12);
}

TEST(HistoryWindow, ThePhotoShowsWhenSwitchedOnAndTheStudentHasOne)
{
    HistoryFrame f;
    const QString folder = f.ws.root + S("bilder");
    QDir().mkpath(folder);
    QImage picture(30, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(folder + S("/AlA05031.jpg"), "JPG"));
    f.ctx->settings.SibankFotoordner = folder;
    TFHist& w = f.openHistory();
    EXPECT_TRUE(w.photo().isHidden());
    f.ctx->settings.FotoAnzeigen = true;
    w.fillCurrent();
    EXPECT_FALSE(w.photo().isHidden());
    EXPECT_TRUE(w.photo().file().endsWith(S("AlA05031.jpg")));
    // Tom has none.
    w.nextStudent();
    EXPECT_TRUE(w.photo().isHidden());
}

TEST(HistoryWindow, SettingsApplyAtOnceAndTheNumberOfHalfYearsWhenThePanelCloses)
{
    HistoryFrame f;
    TFHist& w = f.openHistory();
    ASSERT_EQ(w.grid().columnCount(), 8);
    HistorySettingsPanel& panel = w.settingsPanel();
    panel.firstWidth().setValue(220);
    EXPECT_EQ(w.grid().columnWidth(0), 220);
    panel.rowHeight().setValue(30);
    EXPECT_EQ(w.grid().rowHeight(0), 30);
    panel.halfYears().setValue(3);
    EXPECT_EQ(w.grid().columnCount(), 8);
    w.findChild<QPushButton*>(S("btEinstellSchliessen"))->click();
    EXPECT_EQ(w.grid().columnCount(), 5);
    EXPECT_EQ(f.ctx->settings.HJSichtbar, 3);
    EXPECT_EQ(f.ctx->settings.Histspalte1, 220);
    // Resizing one earlier column resizes them all.
    w.grid().horizontalHeader()->resizeSection(3, 90);
    EXPECT_EQ(w.grid().columnWidth(2), 90);
    EXPECT_EQ(f.ctx->settings.Histspalte3, 90);
}

class Progress : public ProgressDisplay {
public:
    QList<std::pair<int, int>> shown;
    bool hidden = false;
    void showProgress(const QString&, int done, int total) override { shown << std::pair{done, total}; }
    void hideProgress() override { hidden = true; }
};

TEST(HistoryWindow, BuildingTheClassTableShowsItsProgress)
{
    HistoryFrame f;
    Progress progress;
    f.ws.ui.setProgressDisplay(&progress);
    TFHist& w = f.openHistory();
    w.showClassTable();
    EXPECT_EQ(progress.shown, (QList<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    EXPECT_TRUE(progress.hidden);
    f.ws.ui.setProgressDisplay(nullptr);
}

TEST(HistoryWindow, OneWindowForMenuItemsAndButtonFollowsTheOpenFile)
{
    HistoryFrame f;
    f.bar->findChild<QToolButton*>(S("SpeedButton4"))->click();
    TFHist* w = f.main.findChild<TFHist*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    w->close();
    f.menu().action(S("showHistory"))->trigger();
    EXPECT_EQ(f.main.findChildren<TFHist*>().size(), 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->findChild<QPushButton*>(S("tabschalter"))->text(), S("Umschalten\nKlassentabelle"));

    // A click on the file name asks for another file with the main window's command.
    f.admin.setAvailable(f.menu().action(S("openStudentFile")), true);
    QSignalSpy asked(f.menu().action(S("openStudentFile")), &QAction::triggered);
    QTest::mouseClick(w->findChild<QLineEdit*>(S("Edit1")), Qt::LeftButton);
    EXPECT_EQ(asked.count(), 1);
    // Whatever opens another file, the view follows it.
    writeStudents(f.ws.root + S("ZE-1415-2/6B.DBF"), {{{"NAME", "Ney"}, {"VORNAME", "Ida"}, {"ID", "I1"}}});
    ASSERT_TRUE(f.file->open(f.ws.root + S("ZE-1415-2/6B.DBF")));
    EXPECT_EQ(w->grid().horizontalHeaderItem(1)->text(), S("ZE-1415-2"));
    EXPECT_EQ(w->grid().horizontalHeaderItem(2)->text(), S("14-15-1"));
    EXPECT_EQ(w->findChild<QLineEdit*>(S("Edit1"))->text(), S("6B.DBF"));
    EXPECT_EQ(w->nameList().count(), 1);
}

TEST(HistoryWindow, AClickInTheNameListGoesToThatStudent)
{
    HistoryFrame f;
    TFHist& w = f.openHistory();
    QListWidget& names = w.nameList();
    QListWidgetItem* zorn = names.item(2);
    QTest::mouseClick(names.viewport(), Qt::LeftButton, {}, names.visualItemRect(zorn).center());
    EXPECT_EQ(f.file->table().value(S("NAME")).trimmed(), S("Zorn"));
    EXPECT_TRUE(w.studentLine().text().contains(S("Eva Zorn")));
    // Not while the class table is shown.
    w.showClassTable();
    QTest::mouseClick(names.viewport(), Qt::LeftButton, {}, names.visualItemRect(names.item(0)).center());
    EXPECT_EQ(f.file->table().value(S("NAME")).trimmed(), S("Zorn"));
}

TEST(HistoryWindow, TheGradeViewShowsMeaningsAndStartsWithTheCodes)
{
    HistoryFrame f;
    AbbreviationTable entries;
    entries[0] = {S("5"), S("mangelhaft"), S("fünf")};
    entries[1] = {S("3"), S("befriedigend"), S("drei")};
    f.tables.grades.setEntries(entries);
    TFHist& w = f.openHistory();
    const int de = HistoryFrame::rowOf(w, S("DE"));
    w.showClassTable();
    w.findChild<QRadioButton*>(S("rbAnsicht1"))->click();
    EXPECT_EQ(w.grid().item(de, 1)->text(), S("     mangelhaft"));
    EXPECT_EQ(w.grid().item(de, 2)->text(), S("   befriedigend"));
    EXPECT_FALSE(w.classTableBuilt());
    w.showClassTable();
    EXPECT_EQ(w.classPage().grid().item(0, 2)->text(), S("mangelhaft"));
    w.close();
    w.openView();
    EXPECT_TRUE(w.findChild<QRadioButton*>(S("rbAnsicht0"))->isChecked());
    EXPECT_EQ(w.grid().item(de, 1)->text(), S("     5"));
}

TEST(HistoryWindow, Screenshots)
{
    if (!qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        GTEST_SKIP() << "ZEDORA_SCREENSHOTS not set";
    HistoryFrame f(S("ZE-1415-1"), true);
    f.ctx->settings.HJSichtbar = 5;
    TFHist& w = f.openHistory();
    w.resize(1100, 700);
    ASSERT_TRUE(w.grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + S("/TFHist.png")));
    w.switchTables();
    ASSERT_TRUE(w.grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + S("/TFHist-Klassentabelle.png")));
}

} // namespace
} // namespace zedora::test
