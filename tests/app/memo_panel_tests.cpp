#include "core/settings.h"
#include "app/shipped_program.h"
#include "app/ui/TFMain.h"
#include "entry/ui/memo_panel.h"
#include "core/ui/progress_panel.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

// The demo class's table page with its two text-block columns.
class MemoPanelTest : public zedora::test::ShownProgramTest {
protected:
    void SetUp() override
    {
        ShownProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (int c = 0; c < window->entryModel().columnCount(); ++c) {
            const ColumnSpec* described = window->entryModel().column(c);
            if (described->kind == FieldKind::AssessmentText && textColumn < 0)
                textColumn = c;
            if (described->kind == FieldKind::Grade && gradeColumn < 0)
                gradeColumn = c;
        }
        ASSERT_GE(textColumn, 0);
        ASSERT_GE(gradeColumn, 0);
        field = window->entryModel().column(textColumn)->field;
    }
    StudentTable& table() { return window->studentFile().table(); }
    QTableView& grid() { return window->entryGrid(); }
    MemoPanel& panel() { return window->memoPanel(); }
    QPlainTextEdit& memo() { return panel().memo(); }
    // The text column of the current row, entered from the grid.
    void enterTextColumn(int row)
    {
        grid().setFocus();
        grid().setCurrentIndex(window->entryModel().index(row, textColumn));
        QApplication::processEvents();
    }
    // Replaces the memo's text by typing.
    void type(const QString& text)
    {
        memo().setFocus();
        QTest::keyClick(&memo(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&memo(), Qt::Key_Delete);
        QTest::keyClicks(&memo(), text);
    }
    // The value as stored in the file, read past the table's pending edit.
    std::string stored(int row)
    {
        const QString id = table().valueAt(row, table().findField("ID"));
        StudentTable fresh;
        fresh.open(window->studentFile().path());
        for (int r = 0; r < fresh.rowCount(); ++r) {
            if (fresh.valueAt(r, fresh.findField("ID")) == id)
                return fresh.valueAt(r, fresh.findField(field)).toStdString();
        }
        return "(no such student)";
    }

    int textColumn = -1;
    int gradeColumn = -1;
    QString field;
};

TEST_F(MemoPanelTest, FollowsTheTextBlockColumnAndShowsItsText)
{
    enterTextColumn(0);
    ASSERT_TRUE(panel().isVisible());
    const ColumnSpec* described = window->entryModel().column(textColumn);
    EXPECT_EQ(window->findChild<QLabel*>("Label4")->text(),
              " " + described->caption.trimmed() + " (" + described->field + ")");
    QString expected = table().valueAt(0, table().findField(field));
    expected.replace("\r\n", "\n");
    EXPECT_FALSE(expected.isEmpty()) << "the demo class has assessment texts";
    EXPECT_EQ(memo().toPlainText(), expected);

    // Moving on shows the next student's text.
    table().next();
    QString second = table().valueAt(1, table().findField(field));
    second.replace("\r\n", "\n");
    EXPECT_EQ(memo().toPlainText(), second);

    grid().setCurrentIndex(window->entryModel().index(1, gradeColumn));
    EXPECT_FALSE(panel().isVisible());
}

TEST_F(MemoPanelTest, F8SavesAndStaysF9SavesAndMovesOnWithTheTextFocused)
{
    enterTextColumn(2);
    type("Sehr fleißig.");
    QTest::keyClick(&memo(), Qt::Key_F8);
    EXPECT_EQ(stored(2), "Sehr fleißig.");
    EXPECT_EQ(table().currentRow(), 2);
    EXPECT_FALSE(table().isEditing());

    type("Arbeitet mit.");
    QTest::keyClick(&memo(), Qt::Key_F9);
    EXPECT_EQ(stored(2), "Arbeitet mit.");
    EXPECT_EQ(table().currentRow(), 3);
    EXPECT_TRUE(memo().hasFocus());
    EXPECT_EQ(grid().currentIndex().row(), 3);

    // Shift+F8 saves and moves on with the grid focused.
    type("Ruhig.");
    QTest::keyClick(&memo(), Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(stored(3), "Ruhig.");
    EXPECT_EQ(table().currentRow(), 4);
    EXPECT_TRUE(grid().hasFocus());
}

TEST_F(MemoPanelTest, OnTheLastStudentSaveAndNextStaysThere)
{
    const int last = table().rowCount() - 1;
    enterTextColumn(last);
    type("Letzter.");
    QTest::keyClick(&memo(), Qt::Key_F9);
    EXPECT_EQ(stored(last), "Letzter.");
    EXPECT_EQ(table().currentRow(), last);
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
}

TEST_F(MemoPanelTest, EscDropsTheTypedTextAndReturnsToTheGrid)
{
    enterTextColumn(1);
    const std::string before = stored(1);
    type("Verworfen");
    ASSERT_TRUE(table().isEditing());
    QTest::keyClick(&memo(), Qt::Key_Escape);
    EXPECT_FALSE(table().isEditing());
    EXPECT_TRUE(grid().hasFocus());
    QString shown = QString::fromStdString(before);
    shown.replace("\r\n", "\n");
    EXPECT_EQ(memo().toPlainText().toStdString(), shown.toStdString());
    EXPECT_EQ(stored(1), before);
}

TEST_F(MemoPanelTest, EnterEndsThePrintedLineWithTheMarkAndLinesAreStoredWithCrLf)
{
    enterTextColumn(0);
    type("Erste Zeile");
    QTest::keyClick(&memo(), Qt::Key_Return);
    QTest::keyClicks(&memo(), "zweite");
    EXPECT_EQ(memo().toPlainText(), "Erste Zeile#\nzweite");
    // Leaving the text saves it.
    grid().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(stored(0), "Erste Zeile#\r\nzweite");
}

TEST_F(MemoPanelTest, TextBlocksAreReadOnlyWhileTheGridHasTheFocus)
{
    enterTextColumn(0);
    memo().setFocus();
    grid().setFocus();
    QApplication::processEvents();
    const int f = table().findField(field);
    EXPECT_TRUE(table().isReadOnly(f));
    EXPECT_FALSE(table().setValue(f, "aus der Tabelle"));
    memo().setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(table().isReadOnly(f));

    // Released columns of a locked table stay as they are meanwhile.
    grid().setFocus();
    const int grade = window->entryModel().fieldOfColumn(gradeColumn);
    table().setReadOnly(grade, true);
    memo().setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(table().isReadOnly(grade));
}

TEST_F(MemoPanelTest, GrowsWhileFocusedAndItsButtonsKeepTheirLimits)
{
    Settings& s = app->settings;
    enterTextColumn(0);
    EXPECT_EQ(panel().height(), MemoPanel::kRestingHeight);
    memo().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(panel().height(), s.DBMHoehe);
    EXPECT_TRUE(window->findChild<QFrame*>("Panel4")->isVisible());
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/entry-table-text.png");

    auto* higher = window->findChild<QToolButton*>("SpeedButton25");
    s.DBMHoehe = 395;
    higher->click();
    EXPECT_EQ(s.DBMHoehe, 405);
    higher->click();
    EXPECT_EQ(s.DBMHoehe, 405) << "no higher once past 400";
    EXPECT_TRUE(memo().hasFocus()) << "the buttons leave the focus in the text";

    auto* larger = window->findChild<QToolButton*>("SpeedButton23");
    s.dbmemoZeichenGroesse = 24;
    larger->click();
    EXPECT_EQ(s.dbmemoZeichenGroesse, 26);
    larger->click();
    EXPECT_EQ(s.dbmemoZeichenGroesse, 26);
    EXPECT_EQ(memo().font().pointSize(), 26);

    grid().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(panel().height(), MemoPanel::kRestingHeight);
    EXPECT_FALSE(window->findChild<QFrame*>("Panel4")->isVisible());
}

TEST_F(MemoPanelTest, EnterInTheGridOnATextBlockColumnFocusesTheText)
{
    enterTextColumn(0);
    QTest::keyClick(&grid(), Qt::Key_Return);
    EXPECT_TRUE(memo().hasFocus());
    EXPECT_EQ(memo().textCursor().position(), memo().toPlainText().size()) << "caret at the end";
}

TEST_F(MemoPanelTest, MaskTextsShowTheKeyHintGrowAndSaveWhenLeft)
{
    window->pages().setCurrentIndex(1);
    QApplication::processEvents();
    auto* t1 = window->findChild<QPlainTextEdit*>("t1");
    auto* hint1 = window->findChild<QLabel*>("t1hinweis");
    auto* n01 = window->findChild<QLineEdit*>("n01");
    ASSERT_TRUE(t1 && hint1 && n01);
    EXPECT_EQ(hint1->text(), "");
    EXPECT_EQ(t1->height(), 25);
    t1->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(hint1->text(), "<F8>Speichern, <F9>Speichern und nächster, <ESC>Abbruch");
    EXPECT_EQ(t1->height(), 70);

    QTest::keyClick(t1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(t1, "Aus der Maske");
    n01->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(table().isEditing()) << "leaving the text saved it";
    EXPECT_EQ(hint1->text(), "");
    EXPECT_EQ(t1->height(), 25);
    field = "TB1";
    EXPECT_EQ(stored(table().currentRow()), "Aus der Maske");
}

TEST_F(MemoPanelTest, MaskGradeBoxesTakeTheColourOfTheirValue)
{
    window->pages().setCurrentIndex(1);
    QApplication::processEvents();
    auto* n01 = window->findChild<QLineEdit*>("n01");
    auto* n02 = window->findChild<QLineEdit*>("n02");
    ASSERT_TRUE(n01 && n02);
    const QColor plain = n02->palette().color(QPalette::Base);
    n01->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(n01->palette().color(QPalette::Base), QColor(255, 255, 128)) << "yellow on entering";
    QTest::keyClick(n01, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(n01, "2");
    EXPECT_EQ(n01->palette().color(QPalette::Base), plain) << "typing shows the value's colour";
    QTest::keyClick(n01, Qt::Key_Backspace);
    QTest::keyClicks(n01, "5");
    EXPECT_EQ(n01->palette().color(QPalette::Base), QColor(253, 123, 169));
    n02->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(n01->palette().color(QPalette::Base), QColor(253, 123, 169)) << "and keeps it after leaving";
}

TEST_F(MemoPanelTest, ProgressReplacesTheStatusButtonsWhileLongWorkRuns)
{
    auto* spDatei = window->findChild<QToolButton*>("spDatei");
    ASSERT_TRUE(spDatei->isVisible());
    {
        ProgressScope progress(ui, "Reorganisation", 10);
        progress.step(5);
        EXPECT_TRUE(window->progressPanel().isVisible());
        EXPECT_FALSE(spDatei->isVisible());
        EXPECT_EQ(window->progressPanel().text(), "Reorganisation");
    }
    EXPECT_FALSE(window->progressPanel().isVisible());
    EXPECT_TRUE(spDatei->isVisible());
}

} // namespace

namespace {

TEST_F(MemoPanelTest, AClickedCellBecomesTheCurrentCell)
{
    grid().setFocus();
    const QModelIndex target = window->entryModel().index(5, gradeColumn);
    const QRect cell = grid().visualRect(target);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid().currentIndex(), target);
    EXPECT_EQ(table().currentRow(), 5);
    const QModelIndex next = window->entryModel().index(9, gradeColumn + 1);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(next).center());
    EXPECT_EQ(grid().currentIndex(), next);
}

} // namespace
