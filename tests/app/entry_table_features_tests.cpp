#include "core/app_context.h"
#include "core/settings.h"
#include "entry/ui/TFFilterfrage.h"
#include "app/ui/TFMain.h"
#include "entry/ui/entry_grid_delegate.h"
#include "entry/ui/entry_table_features.h"
#include "core/ui/main_menu.h"
#include "app/ui/program_start.h"
#include "entry/ui/table_lock.h"
#include "app/shipped_program.h"
#include "base/scripted_interaction.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

// The shipped demo class in a fresh workspace; the main window installs the
// features itself.
class EntryTableFeatures : public zedora::test::ShippedProgramTest {
protected:
    void SetUp() override
    {
        ShippedProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        window->resize(1280, 800);
        window->show();
        ui.clear();
    }
    StudentTable& table() { return window->studentFile().table(); }
    QTableView& grid() { return window->entryGrid(); }
    QToolButton* button(const char* name) { return window->findChild<QToolButton*>(QLatin1String(name)); }
    // Model columns of DBGrid1 of a field kind.
    std::vector<int> columnsOfKind(int kind)
    {
        std::vector<int> found;
        for (int c = 0; c < window->entryModel().columnCount(); ++c)
            if (window->entryModel().column(c)->kind == kind)
                found.push_back(c);
        return found;
    }
    int fieldOf(int column) { return window->entryModel().fieldOfColumn(column); }
    void store(int row, int column, const QString& value)
    {
        ASSERT_TRUE(table().moveToRow(row));
        table().edit();
        ASSERT_TRUE(table().setValue(fieldOf(column), value)) << value.toStdString();
        ASSERT_TRUE(table().post());
    }
    QStyleOptionViewItem look(int row, int column)
    {
        auto* delegate = qobject_cast<EntryGridDelegate*>(grid().itemDelegate());
        QStyleOptionViewItem option;
        option.initFrom(&grid());
        delegate->initStyleOption(&option, window->entryModel().index(row, column));
        return option;
    }
    // Answers the filter dialog as soon as it is shown.
    void answerFilter(const QString& value, const char* buttonName)
    {
        QTimer::singleShot(0, [this, value, buttonName] {
            auto* dialog = window->findChild<TFFilterfrage*>();
            ASSERT_TRUE(dialog);
            dialogLabel = dialog->findChild<QLabel*>()->text();
            dialogPreset = dialog->findChild<QLineEdit*>()->text();
            if (!value.isNull())
                dialog->findChild<QLineEdit*>()->setText(value);
            dialog->findChild<QPushButton*>(QLatin1String(buttonName))->click();
        });
    }

    QString dialogLabel;
    QString dialogPreset;
};

} // namespace

TEST_F(EntryTableFeatures, SearchFindsTheFirstNameBeginningWithTheAnswer)
{
    const int nameField = table().findField("NAME");
    const int target = table().rowCount() - 1;
    const QString name = table().valueAt(target, nameField).trimmed();
    ASSERT_FALSE(name.isEmpty());
    int expected = -1;
    for (int r = 0; r < table().rowCount() && expected < 0; ++r)
        if (table().valueAt(r, nameField).startsWith(name, Qt::CaseInsensitive))
            expected = r;

    ui.texts.enqueue("  " + name.toLower() + " ");
    button("SpeedButton7")->click();
    EXPECT_EQ(table().currentRow(), expected);
    ASSERT_FALSE(ui.shown.isEmpty());
    EXPECT_EQ(ui.shown.first().text, "Schüler(in) suchen");
    EXPECT_EQ(ui.shown.first().detail, "Namen eingeben: ");
    EXPECT_TRUE(ui.messages().isEmpty());

    // A miss beeps, names the upper-cased answer and leaves the cursor.
    ui.clear();
    ui.texts.enqueue("xqzy");
    window->menu().action("Schlerinsuchen1")->trigger();
    EXPECT_EQ(table().currentRow(), expected);
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_EQ(ui.messages(), QStringList{"XQZY wurde nicht gefunden\n"});

    // Blank or cancelled: nothing.
    ui.clear();
    ui.texts.enqueue("   ");
    ui.texts.enqueue(std::nullopt);
    button("SpeedButton7")->click();
    button("SpeedButton7")->click();
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(table().currentRow(), expected);
}

TEST_F(EntryTableFeatures, FilterShowsMatchingRowsAndTheButtonSaysSo)
{
    const auto grades = columnsOfKind(FieldKind::Grade);
    ASSERT_FALSE(grades.empty());
    const int column = grades.front();
    const int total = table().rowCount();
    ASSERT_GE(total, 4);
    store(0, column, "5");
    store(2, column, "5");
    store(1, column, "");
    store(3, column, "2");
    grid().setCurrentIndex(window->entryModel().index(0, column));

    // Cancel changes nothing.
    answerFilter(QString(), "BitBtn3");
    button("FilterButton")->click();
    EXPECT_EQ(dialogPreset, "5");
    EXPECT_EQ(dialogLabel, "Datenfeld \"" + window->entryModel().column(column)->caption.trimmed() + "\" enthält ...");
    EXPECT_EQ(table().rowCount(), total);
    EXPECT_FALSE(table().filtered());

    // Closing a dialog may move the grid's current cell; put it back.
    grid().setCurrentIndex(window->entryModel().index(0, column));
    answerFilter(QString(), "BitBtn1");
    button("FilterButton")->click();
    ASSERT_TRUE(table().filtered());
    EXPECT_GE(table().rowCount(), 2);
    EXPECT_LT(table().rowCount(), total);
    for (int r = 0; r < table().rowCount(); ++r)
        EXPECT_TRUE(table().valueAt(r, fieldOf(column)).contains("5")) << r;
    EXPECT_EQ(button("FilterButton")->text(), "Filter aktiv");
    EXPECT_EQ(button("FilterButton")->toolTip(), "Wenn Filter aktiv, keine Datenbearbeitung möglich!");
    // A rebuild of the table keeps the filter in force.
    const int shown = table().rowCount();
    button("SpeedButton13")->click();
    EXPECT_EQ(table().rowCount(), shown);
    EXPECT_EQ(button("FilterButton")->text(), "Filter aktiv");

    // An empty value shows exactly the records whose field is empty.
    grid().setCurrentIndex(window->entryModel().index(0, column));
    answerFilter("  ", "BitBtn1");
    button("FilterButton")->click();
    ASSERT_GE(table().rowCount(), 1);
    for (int r = 0; r < table().rowCount(); ++r)
        EXPECT_TRUE(table().valueAt(r, fieldOf(column)).trimmed().isEmpty());

    grid().setCurrentIndex(window->entryModel().index(0, column));
    answerFilter(QString(), "BitBtn2");
    button("FilterButton")->click();
    EXPECT_FALSE(table().filtered());
    EXPECT_EQ(table().rowCount(), total);
    EXPECT_EQ(button("FilterButton")->text(), "Filter inaktiv");
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
}

TEST_F(EntryTableFeatures, NoFilterOnATextBlockColumn)
{
    const auto texts = columnsOfKind(FieldKind::AssessmentText);
    if (texts.empty())
        GTEST_SKIP() << "the demo layout shows no text block";
    grid().setCurrentIndex(window->entryModel().index(0, texts.front()));
    button("FilterButton")->click();  // no dialog: exec would block the test
    EXPECT_EQ(ui.messages(), QStringList{"HINWEIS: In einer Textblockspalte ist keine Filtersetzung möglich\n"});
    EXPECT_FALSE(table().filtered());
}

TEST_F(EntryTableFeatures, LockMakesGradesReadOnlyAndF2ReleasesOneColumn)
{
    const auto grades = columnsOfKind(FieldKind::Grade);
    ASSERT_GE(grades.size(), 2u);
    const int a = grades[0];
    const int b = grades[1];
    auto* lock = window->findChild<TableLock*>();
    ASSERT_TRUE(lock);
    QAction* f2 = window->menu().action("SperrungfraktuelleSpalteaufheben1");
    ASSERT_TRUE(f2);

    button("SpeedButton19")->click();
    EXPECT_TRUE(app->settings.SperreOption);
    EXPECT_TRUE(table().isReadOnly(fieldOf(a)));
    EXPECT_FALSE(window->entryModel().flags(window->entryModel().index(0, a)) & Qt::ItemIsEditable);
    EXPECT_TRUE(window->findChild<QWidget*>("Panel16")->isVisible());
    // The frame around the grids is red while locked, lime while free.
    const auto frameColour = [this] { return window->findChild<QWidget*>("Panel15")->grab().toImage().pixelColor(1, 1); };
    EXPECT_EQ(frameColour(), QColor(Qt::red));
    EXPECT_TRUE(ui.messages().isEmpty());
    button("SpeedButton19")->click();
    EXPECT_EQ(ui.messages(), QStringList{"Tabelle ist bereits gesperrt!"});

    grid().setCurrentIndex(window->entryModel().index(0, a));
    f2->trigger();
    EXPECT_FALSE(table().isReadOnly(fieldOf(a)));
    EXPECT_EQ(lock->releasedColumn(), a);
    grid().setCurrentIndex(window->entryModel().index(0, b));
    f2->trigger();
    EXPECT_TRUE(table().isReadOnly(fieldOf(a))) << "only one column is released";
    EXPECT_FALSE(table().isReadOnly(fieldOf(b)));
    EXPECT_EQ(look(1, b).backgroundBrush.color(), EntryGridDelegate::releasedColour());
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/entry-table-locked.png");
    f2->trigger();
    EXPECT_TRUE(table().isReadOnly(fieldOf(b)));
    EXPECT_EQ(lock->releasedColumn(), -1);

    // F2 on a column of another kind changes nothing.
    for (int kind : {FieldKind::MasterData, FieldKind::Average, FieldKind::AssessmentText}) {
        for (int c : columnsOfKind(kind)) {
            const bool before = table().isReadOnly(fieldOf(c));
            grid().setCurrentIndex(window->entryModel().index(0, c));
            f2->trigger();
            EXPECT_EQ(table().isReadOnly(fieldOf(c)), before) << kind;
            EXPECT_EQ(lock->releasedColumn(), -1);
        }
    }

    // Unlocking frees every grade, a released one too.
    grid().setCurrentIndex(window->entryModel().index(0, a));
    f2->trigger();
    ui.clear();
    button("SpeedButton20")->click();
    EXPECT_FALSE(app->settings.SperreOption);
    for (int c : grades)
        EXPECT_FALSE(table().isReadOnly(fieldOf(c)));
    EXPECT_EQ(lock->releasedColumn(), -1);
    EXPECT_FALSE(window->findChild<QWidget*>("Panel16")->isVisible());
    EXPECT_EQ(frameColour(), QColor(0, 255, 0));
    button("SpeedButton20")->click();
    EXPECT_EQ(ui.messages(), QStringList{"Tabelle ist bereits zur Eingabe frei!"});

    // F2 on an unlocked table locks it and releases the column.
    grid().setCurrentIndex(window->entryModel().index(0, b));
    f2->trigger();
    EXPECT_TRUE(lock->locked());
    EXPECT_TRUE(table().isReadOnly(fieldOf(a)));
    EXPECT_FALSE(table().isReadOnly(fieldOf(b)));
}

TEST_F(EntryTableFeatures, CellsTakeTheColoursOfTheirRules)
{
    const auto grades = columnsOfKind(FieldKind::Grade);
    ASSERT_FALSE(grades.empty());
    const int g = grades.front();
    store(1, g, "5");
    store(2, g, "2");
    store(3, g, "4");
    const int other = g == 0 ? 1 : 0;
    grid().setCurrentIndex(window->entryModel().index(0, other));
    const Settings& s = app->settings;

    EXPECT_EQ(look(1, g).backgroundBrush.color(), windowsColour(s.Farbe01));
    EXPECT_EQ(look(3, g).backgroundBrush.color(), windowsColour(s.Farbe02));
    EXPECT_EQ(look(2, g).backgroundBrush.style(), Qt::NoBrush);
    app->settings.VglLaenge = 2;
    store(1, g, "5-");
    EXPECT_EQ(look(1, g).backgroundBrush.style(), Qt::NoBrush) << "\"5-\" is in no chain";
    app->settings.VglLaenge = 1;
    EXPECT_EQ(look(1, g).backgroundBrush.color(), windowsColour(s.Farbe01));

    // The focused cell: selection colour, black text; a chain colour wins.
    grid().setCurrentIndex(window->entryModel().index(2, g));
    EXPECT_EQ(look(2, g).backgroundBrush.color(), colourScheme(s.FARBSCHEMA).second);
    EXPECT_EQ(look(2, g).palette.color(QPalette::Text), QColor(Qt::black));
    grid().setCurrentIndex(window->entryModel().index(1, g));
    EXPECT_EQ(look(1, g).backgroundBrush.color(), windowsColour(s.Farbe01));

    const auto master = columnsOfKind(FieldKind::MasterData);
    if (!master.empty()) {
        EXPECT_EQ(look(0, master.front()).backgroundBrush.color(), QApplication::palette().color(QPalette::Button));
        app->settings.Stammdatengrau = false;
        EXPECT_EQ(look(0, master.front()).backgroundBrush.style(), Qt::NoBrush);
    }
}

TEST(EntryGridText, TextBlockCellsShowTheirBeginningOnOneLine)
{
    EXPECT_EQ(EntryGridDelegate::textBlockPreview("Zeile1\r\nZeile2 und mehr"), "Zeile1  Zeile2 ...");
    EXPECT_EQ(EntryGridDelegate::textBlockPreview("kurz"), "kurz...");
    EXPECT_EQ(EntryGridDelegate::textBlockPreview(" \r\n "), "    ");
    EXPECT_EQ(EntryGridDelegate::textBlockPreview(""), "");
}

namespace {

TEST_F(EntryTableFeatures, AFilterOnAnAverageComparesItAsShown)
{
    int column = -1;
    for (int c = 0; c < window->entryModel().columnCount(); ++c) {
        if (window->entryModel().column(c)->field == "D1")
            column = c;
    }
    ASSERT_GE(column, 0) << "the demo layout shows D1";
    const int total = table().rowCount();
    const QString first = table().valueAt(0, fieldOf(column));
    ASSERT_FALSE(first.isEmpty());
    int matching = 0;
    for (int r = 0; r < total; ++r)
        matching += table().valueAt(r, fieldOf(column)).contains(first);
    ASSERT_LT(matching, total) << "the demo class has different averages";

    grid().setCurrentIndex(window->entryModel().index(0, column));
    answerFilter(QString(), "BitBtn1");
    button("FilterButton")->click();
    EXPECT_TRUE(table().filtered());
    EXPECT_EQ(table().rowCount(), matching);
    for (int r = 0; r < table().rowCount(); ++r)
        EXPECT_TRUE(table().valueAt(r, fieldOf(column)).contains(first)) << r;
    EXPECT_EQ(button("FilterButton")->text(), "Filter aktiv");

    grid().setCurrentIndex(window->entryModel().index(0, column));
    answerFilter(QString(), "BitBtn2");
    button("FilterButton")->click();
    EXPECT_EQ(table().rowCount(), total);
    EXPECT_EQ(button("FilterButton")->text(), "Filter inaktiv");
}

} // namespace
