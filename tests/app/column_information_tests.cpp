#include "entry/column_info.h"
#include "app/shipped_program.h"
#include "data/student_schema.h"
#include "entry/ui/Tspalteninfo.h"
#include "core/ui/admin_commands.h"
#include "entry/ui/entry_grid_header.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

using namespace zedora;

TEST(ColumnInfoModel, MasterDataIsExactlyTheListedFields)
{
    for (const char* field : {"NAME", "VORNAME", "KLASSE", "GEBORT", "ORT", "MW", "SIB3", "SIB4", "name"})
        EXPECT_TRUE(isMasterDataName(QLatin1String(field))) << field;
    // Parts of listed names, or a name spanning two entries, are no master data.
    for (const char* field : {"DE", "D1", "TB1", "AM", "BORT", "SIB", "NAME#VORNAME", "#", ""})
        EXPECT_FALSE(isMasterDataName(QLatin1String(field))) << field;
}

TEST(ColumnInfoModel, PlaceholderCountsInAnyLineWhateverItsCase)
{
    EXPECT_TRUE(layoutContainsPlaceholder({"[Kopf]", "; Note in Deutsch: %de%"}, "%DE%"));
    EXPECT_TRUE(layoutContainsPlaceholder({"TEXT 100 200 %De%"}, "%de%"));
    EXPECT_FALSE(layoutContainsPlaceholder({"%DEU% %EN%", "DE"}, "%DE%"));
    EXPECT_FALSE(layoutContainsPlaceholder({}, "%DE%"));
}

TEST(ColumnInfoModel, DescribesMasterDataAndGradeColumns)
{
    const ColumnInfo name = describeColumn(0, "NAME", "Name      ", {"x", "%NAME%"}, "DEMO.LAY");
    EXPECT_EQ(name.number, "Spalte Nr. 0");
    EXPECT_EQ(name.caption, "Name");
    EXPECT_EQ(name.placeholder, "%NAME%");
    EXPECT_EQ(name.masterData,
              QStringList({"Es handelt sich um eine Stammdatenspalte; die Inhalte sind in dieser Ansicht ",
                           "nicht veränderbar! Wechseln Sie auf die Registerseite \"Stammdaten\"!"}));
    EXPECT_TRUE(name.inLayout);
    EXPECT_EQ(name.presence, "Variable %NAME% kommt im aktuellen Layout vor!");
    EXPECT_EQ(name.layout, "Aktuelles Layout: DEMO.LAY");

    const ColumnInfo de = describeColumn(7, "DE", "Deutsch", {"%DEU%"}, "");
    EXPECT_EQ(de.number, "Spalte Nr. 7");
    EXPECT_TRUE(de.masterData.isEmpty());
    EXPECT_FALSE(de.inLayout);
    EXPECT_EQ(de.presence, "Variable %DE% kommt im aktuellen Layout NICHT vor!");
    EXPECT_EQ(de.layout, "Aktuelles Layout: ");
}

namespace {

// The demo layout prints DE but not MW.
class ColumnInformation : public zedora::test::ShownProgramTest {
protected:
    void SetUp() override
    {
        ShownProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        de = columnOf("DE");
        mw = columnOf("MW");
        ASSERT_GE(de, 0);
        ASSERT_GE(mw, 0);
    }
    QTableView& grid() { return window->entryGrid(); }
    EntryGridHeader* header() { return qobject_cast<EntryGridHeader*>(grid().horizontalHeader()); }
    int columnOf(const char* field)
    {
        for (int c = 0; c < window->entryModel().columnCount(); ++c)
            if (window->entryModel().column(c)->field == QLatin1String(field))
                return c;
        return -1;
    }
    // The colour in the middle of a section's strip, as painted.
    QColor stripPixel(int column)
    {
        grid().scrollTo(window->entryModel().index(0, column));
        const QImage image = header()->grab().toImage();
        const int x = header()->sectionViewportPosition(column) + header()->sectionSize(column) / 2;
        return image.pixelColor(x, (EntryGridHeader::kStripTop + EntryGridHeader::kStripBottom) / 2);
    }
    void clickTitle(int column)
    {
        grid().scrollTo(window->entryModel().index(0, column));
        const QPoint at(header()->sectionViewportPosition(column) + header()->sectionSize(column) / 2,
                        header()->height() / 2);
        QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, at);
    }

    struct Seen {
        bool opened = false;
        QString number, placeholder, masterData, presence;
        QColor presenceColour;
        bool marks = false;
        QColor stripDe, stripMw;
        bool canEdit = false;
    };
    // Runs trigger and records what the window showed; then presses button,
    // or closes the window when that is disabled, so the test cannot hang.
    Seen showing(const std::function<void()>& trigger, const char* button = "BitBtn1")
    {
        auto seen = std::make_shared<Seen>();
        QTimer::singleShot(0, [this, seen, button] {
            auto* dialog = qobject_cast<Tspalteninfo*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            const auto text = [dialog](const char* name) { return dialog->findChild<QLabel*>(name)->text(); };
            seen->opened = true;
            seen->number = text("Label1");
            seen->placeholder = text("Label5");
            seen->masterData = text("Label6");
            seen->presence = text("Label7");
            seen->presenceColour = dialog->findChild<QLabel*>("Label7")->palette().color(QPalette::WindowText);
            seen->marks = header()->marksShown();
            seen->stripDe = stripPixel(de);
            seen->stripMw = stripPixel(mw);
            if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS")) {
                window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/column-marks.png");
                dialog->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/column-information.png");
            }
            seen->canEdit = dialog->findChild<QPushButton*>("BitBtn2")->isEnabled();
            QPushButton* b = dialog->findChild<QPushButton*>(button);
            b->isEnabled() ? b->click() : dialog->reject();
        });
        trigger();
        QCoreApplication::processEvents();  // the timer, when nothing opened
        return *seen;
    }

    int de = -1;
    int mw = -1;
};

} // namespace

TEST_F(ColumnInformation, F10AndTheMenuShowTheCurrentColumnWithMarksThenRebuild)
{
    ASSERT_TRUE(header());
    EXPECT_GE(header()->height(), EntryGridHeader::kMinimumHeight);
    QSignalSpy rebuilt(&window->studentFile(), &CurrentStudentFile::opened);
    grid().setCurrentIndex(window->entryModel().index(1, de));

    Seen seen = showing([this] { window->menu().action("Spalteninformation1")->trigger(); });
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.number, "Spalte Nr. " + QString::number(de));
    EXPECT_EQ(seen.placeholder, "%DE%");
    EXPECT_EQ(seen.masterData, "");
    EXPECT_EQ(seen.presence, "Variable %DE% kommt im aktuellen Layout vor!");
    EXPECT_EQ(seen.presenceColour, Tspalteninfo::presentColour());
    EXPECT_TRUE(seen.marks);
    EXPECT_EQ(seen.stripDe, Tspalteninfo::presentColour());
    EXPECT_EQ(seen.stripMw, Tspalteninfo::missingColour());
    EXPECT_FALSE(header()->marksShown());
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(window->studentFile().table().currentRow(), 1) << "the rebuild keeps the record";

    // The menu item on a master-data column the layout does not print.
    grid().setCurrentIndex(window->entryModel().index(2, mw));
    seen = showing([this] { window->menu().action("Tabellenrefresh")->trigger(); });
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.number, "Spalte Nr. " + QString::number(mw));
    EXPECT_TRUE(seen.masterData.startsWith("Es handelt sich um eine Stammdatenspalte"));
    EXPECT_EQ(seen.presence, "Variable %MW% kommt im aktuellen Layout NICHT vor!");
    EXPECT_EQ(seen.presenceColour, Tspalteninfo::missingColour());
    EXPECT_EQ(rebuilt.count(), 2);
    EXPECT_EQ(window->studentFile().table().currentRow(), 2);
}

TEST_F(ColumnInformation, TitleClickAndInfoButtonDoNotRebuildAndNothingOpensOffTheTablePage)
{
    QSignalSpy rebuilt(&window->studentFile(), &CurrentStudentFile::opened);
    grid().setCurrentIndex(window->entryModel().index(3, de));
    Seen seen = showing([this] { clickTitle(mw); });
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.number, "Spalte Nr. " + QString::number(mw));
    EXPECT_FALSE(seen.marks);
    EXPECT_NE(seen.stripMw, Tspalteninfo::missingColour());
    EXPECT_EQ(window->studentFile().table().currentRow(), 3) << "a title click does not move the record";
    EXPECT_EQ(grid().currentIndex().column(), de);

    QToolButton* info = window->findChild<QToolButton*>("SpeedButton12");
    ASSERT_TRUE(info);
    ASSERT_TRUE(info->isEnabled());
    seen = showing([info] { info->click(); });
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.placeholder, "%DE%");
    EXPECT_TRUE(seen.marks);
    EXPECT_EQ(rebuilt.count(), 0);

    window->pages().setCurrentIndex(1);
    EXPECT_FALSE(showing([this] { window->menu().action("Spalteninformation1")->trigger(); }).opened);
    EXPECT_FALSE(showing([info] { info->click(); }).opened);
    EXPECT_EQ(rebuilt.count(), 0);
}

TEST_F(ColumnInformation, OnlyTheAdministratorGoesOnToTheLayoutEditor)
{
    // "Spalten ändern": the editor on its page "Eingabelayout".
    QToolButton* editor = window->iconBar().findChild<QToolButton*>("SpeedButton18");
    ASSERT_TRUE(editor);
    QSignalSpy editorOpened(editor, &QToolButton::clicked);

    app->userMode.setAdministrator(false);
    Seen seen = showing([this] { clickTitle(de); }, "BitBtn2");
    ASSERT_TRUE(seen.opened);
    EXPECT_FALSE(seen.canEdit);

    app->userMode.setAdministrator(true);
    window->adminCommands().setAvailable(editor, true);
    ASSERT_TRUE(editor->isEnabled());
    seen = showing([this] { clickTitle(de); }, "BitBtn2");
    ASSERT_TRUE(seen.opened);
    EXPECT_TRUE(seen.canEdit);
    EXPECT_EQ(editorOpened.count(), 1);

    // While the editor cannot open, the button only closes the window.
    window->adminCommands().setAvailable(editor, false);
    EXPECT_TRUE(showing([this] { clickTitle(de); }, "BitBtn2").opened);
    EXPECT_EQ(editorOpened.count(), 1);
}
