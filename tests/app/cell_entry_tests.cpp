// Values typed into the entry grid: what is still in a cell editor belongs
// to the record, whichever way the record is saved or left.
#include "app/entry_grid_test.h"
#include "app/shipped_program.h"
#include "app/ui/TFMain.h"
#include "data/current_student_file.h"
#include "data/student_table.h"
#include "data/student_table_model.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class CellEntryTest : public zedora::test::EntryGridTest {
protected:
    QToolButton* button(const char* name) { return window->findChild<QToolButton*>(QLatin1String(name)); }

    // A valid grade other than the stored one.
    QString otherGrade(int row, const QString& field)
    {
        return stored(row, field) == QLatin1String("5") ? QStringLiteral("4") : QStringLiteral("5");
    }
};

TEST_F(CellEntryTest, AValueLeftInTheEditorIsSavedWhenTheWindowCloses)
{
    const QString before = stored(2, "DE");
    const QString typed = otherGrade(2, "DE");
    typeInto(2, "DE", typed);
    ASSERT_EQ(stored(2, "DE"), before) << "not handed over yet";
    const QString id = table().valueAt(2, table().findField("ID"));
    window->close();

    StudentTable fresh;
    fresh.open(path);
    bool found = false;
    for (int r = 0; r < fresh.rowCount(); ++r) {
        if (fresh.valueAt(r, fresh.findField("ID")) == id) {
            EXPECT_EQ(fresh.valueAt(r, fresh.findField("DE")).trimmed(), typed);
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(CellEntryTest, SaveKeysAndButtonsTakeTheValueStillBeingTyped)
{
    // While typing, save and cancel can be pressed.
    const QString typed = otherGrade(1, "DE");
    typeInto(1, "DE", typed);
    EXPECT_TRUE(button("btnspei")->isEnabled());
    EXPECT_TRUE(button("btnabbr")->isEnabled());
    QTest::keyClick(editor(), Qt::Key_F8);
    EXPECT_EQ(stored(1, "DE"), typed);
    EXPECT_EQ(table().currentRow(), 1);
    EXPECT_FALSE(table().isEditing());
    EXPECT_FALSE(button("btnspei")->isEnabled());

    const QString english = otherGrade(1, "EN");
    typeInto(1, "EN", english);
    button("btnspei")->click();
    EXPECT_EQ(stored(1, "EN"), english);
    EXPECT_FALSE(editor());

    // Cancel drops the typed text and leaves the file alone.
    const QString before = stored(1, "MA");
    typeInto(1, "MA", otherGrade(1, "MA"));
    button("btnabbr")->click();
    EXPECT_FALSE(editor());
    EXPECT_FALSE(table().isEditing());
    EXPECT_EQ(table().value("MA").trimmed(), before);
    table().savePending();
    EXPECT_EQ(stored(1, "MA"), before);
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
}

TEST_F(CellEntryTest, F9SavesAndMovesOnAlsoOnTheLastStudent)
{
    const QString typed = otherGrade(3, "DE");
    typeInto(3, "DE", typed);
    QTest::keyClick(editor(), Qt::Key_F9);
    EXPECT_EQ(stored(3, "DE"), typed);
    EXPECT_EQ(table().currentRow(), 4);

    const int last = table().rowCount() - 1;
    const QString lastTyped = otherGrade(last, "DE");
    typeInto(last, "DE", lastTyped);
    QTest::keyClick(editor(), Qt::Key_F9);
    EXPECT_EQ(stored(last, "DE"), lastTyped) << "saved on the first press";
    EXPECT_EQ(table().currentRow(), last);
    EXPECT_FALSE(table().isEditing());
    EXPECT_FALSE(button("btnspei")->isEnabled());
}

TEST_F(CellEntryTest, ChangingThePageOrOpeningThePreviewSavesTheTypedValue)
{
    const QString typed = otherGrade(4, "DE");
    typeInto(4, "DE", typed);
    window->pages().setCurrentIndex(1);
    EXPECT_EQ(stored(4, "DE"), typed);
    window->pages().setCurrentIndex(0);

    const QString english = otherGrade(5, "EN");
    typeInto(5, "EN", english);
    window->pages().setCurrentIndex(2);
    EXPECT_EQ(stored(5, "EN"), english);
    window->pages().setCurrentIndex(0);

    const QString maths = otherGrade(6, "MA");
    typeInto(6, "MA", maths);
    window->iconBar().findChild<QToolButton*>("PreView")->click();
    EXPECT_EQ(stored(6, "MA"), maths);
}

TEST_F(CellEntryTest, F8OnTheMaskPageTakesTheValueOfTheFieldStillBeingTyped)
{
    table().moveToRow(2);
    const auto storedRecord = [this] {
        const QString id = table().valueAt(2, table().findField("ID"));
        StudentTable fresh;
        fresh.open(path);
        QStringList values;
        for (int r = 0; r < fresh.rowCount(); ++r) {
            if (fresh.valueAt(r, fresh.findField("ID")) != id)
                continue;
            for (int f = 0; f < fresh.fieldCount(); ++f)
                values << fresh.valueAt(r, f).trimmed();
        }
        return values;
    };
    const QStringList before = storedRecord();
    window->pages().setCurrentIndex(1);
    auto* first = window->findChild<QLineEdit*>("n01");
    ASSERT_TRUE(first && first->isVisible());
    first->setFocus();
    const QString typed = first->text().trimmed() == "5" ? QStringLiteral("4") : QStringLiteral("5");
    first->selectAll();
    QTest::keyClicks(first, typed);
    QTest::keyClick(first, Qt::Key_F8);
    const QStringList after = storedRecord();
    ASSERT_EQ(after.size(), before.size());
    QStringList changed;
    for (qsizetype f = 0; f < after.size(); ++f) {
        if (after[f] != before[f])
            changed << after[f];
    }
    EXPECT_EQ(changed, QStringList{typed});
    EXPECT_TRUE(first->hasFocus());
}

TEST_F(CellEntryTest, AMoveByTheWheelOrTheNavigationTakesTheValueToItsOwnStudent)
{
    const QString typed = otherGrade(7, "DE");
    typeInto(7, "DE", typed);
    button("vor")->click();
    EXPECT_EQ(table().currentRow(), 8);
    EXPECT_EQ(stored(7, "DE"), typed);

    const QString english = otherGrade(8, "EN");
    const QString nextBefore = stored(9, "EN");
    typeInto(8, "EN", english);
    QWheelEvent wheel(QPointF(5, 5), grid().viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid().viewport(), &wheel);
    EXPECT_GT(table().currentRow(), 8);
    EXPECT_EQ(stored(8, "EN"), english);
    EXPECT_EQ(stored(9, "EN"), nextBefore) << "the value stays with the student it was typed for";
}

TEST_F(CellEntryTest, AClickIntoAnotherRowKeepsTheClickedColumnWhenTheRowsAreReadAfresh)
{
    // As when another computer's change arrives with the move.
    bool refreshed = false;
    QObject guard;
    QObject::connect(&table(), &StudentTable::currentRowChanged, &guard, [&] {
        if (!refreshed) {
            refreshed = true;
            table().refresh();
        }
    });
    grid().setFocus();
    grid().setCurrentIndex(cell(0, "MW").isValid() ? cell(0, "MW") : window->entryModel().index(0, 0));
    const QModelIndex target = cell(1, "DE");
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(target).center());
    ASSERT_TRUE(refreshed);
    EXPECT_EQ(grid().currentIndex(), target);
    QTest::keyClicks(&grid(), "4");
    ASSERT_TRUE(editor());
    EXPECT_EQ(editor()->text(), "4");
    button("btnabbr")->click();

    // A rebuild (refresh, lock) lays out the columns anew and keeps the cell.
    grid().setCurrentIndex(cell(3, "EN"));
    window->rebuildTable();
    EXPECT_EQ(grid().currentIndex(), cell(3, "EN"));
    window->iconBar().findChild<QToolButton*>("SpeedButton19")->click();
    EXPECT_EQ(grid().currentIndex(), cell(3, "EN"));
}

TEST_F(CellEntryTest, TypingIntoAReadOnlyCellNeverMovesTheRecord)
{
    // Locked: a grade cell takes no input, and the grid must not search.
    window->iconBar().findChild<QToolButton*>("SpeedButton19")->click();
    ASSERT_TRUE(table().isReadOnly(table().findField("DE")));
    const QModelIndex target = cell(6, "DE");
    grid().setFocus();
    grid().setCurrentIndex(target);
    const int beeps = ui.beeps();
    for (const char* typed : {"1", "2", "m", "B"})
        QTest::keyClicks(&grid(), QLatin1String(typed));
    EXPECT_EQ(table().currentRow(), 6);
    EXPECT_EQ(grid().currentIndex(), target);
    EXPECT_FALSE(editor());
    EXPECT_EQ(ui.beeps(), beeps + 4);
    window->iconBar().findChild<QToolButton*>("SpeedButton20")->click();

    // Unlocked, master data stay read-only.
    if (columnOf("MW") >= 0) {
        grid().setFocus();
        grid().setCurrentIndex(cell(0, "MW"));
        QTest::keyClicks(&grid(), "m");
        EXPECT_EQ(table().currentRow(), 0);
        EXPECT_FALSE(editor());
    }
    // The name grid never edits, so it never searches either.
    QTableView& names = window->nameGrid();
    names.setFocus();
    names.setCurrentIndex(names.model()->index(3, 0));
    QTest::keyClicks(&names, "a");
    EXPECT_EQ(table().currentRow(), 3);
    // An editable cell still opens its editor on the first key.
    grid().setFocus();
    grid().setCurrentIndex(cell(3, "DE"));
    QTest::keyClicks(&grid(), "2");
    ASSERT_TRUE(editor());
    EXPECT_EQ(editor()->text(), "2");
    EXPECT_EQ(table().currentRow(), 3);
}

TEST_F(CellEntryTest, OpeningAndLeavingACellUnchangedKeepsACodeTheAbbreviationsLack)
{
    const bool withGraduation = columnOf("ABSCH") >= 0;
    {
        // As after a layout switched the abbreviation file.
        const QString id = table().valueAt(2, table().findField("ID"));
        StudentTable other;
        other.open(path);
        for (int r = 0; r < other.rowCount(); ++r) {
            if (other.valueAt(r, other.findField("ID")) == id)
                other.moveToRow(r);
        }
        ASSERT_TRUE(other.setValue("DE", "Q7"));
        if (withGraduation) {
            ASSERT_TRUE(other.setValue("ABSCH", "ZZZ"));
        }
        ASSERT_TRUE(other.post());
    }
    ASSERT_EQ(stored(2, "DE"), "Q7");
    window->rebuildTable();
    ASSERT_EQ(stored(2, "DE"), "Q7");
    ASSERT_EQ(table().valueAt(2, table().findField("DE")).trimmed(), "Q7");
    ui.clear();
    QStringList fields{"DE"};
    if (withGraduation)
        fields << "ABSCH";
    for (const QString& field : fields) {
        grid().setFocus();
        grid().setCurrentIndex(cell(2, field));
        grid().edit(cell(2, field));
        ASSERT_TRUE(editor());
        // Left by a click into the next row, then by F8 with the editor open.
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(cell(3, field)).center());
        QApplication::processEvents();
        grid().setCurrentIndex(cell(2, field));
        grid().edit(cell(2, field));
        ASSERT_TRUE(editor());
        QTest::keyClick(editor(), Qt::Key_F8);
        QApplication::processEvents();
        EXPECT_FALSE(table().isEditing()) << field.toStdString();
    }
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
    EXPECT_EQ(stored(2, "DE"), "Q7");
    if (withGraduation) {
        EXPECT_EQ(stored(2, "ABSCH"), "ZZZ");
    }

    // The same value set again is no change at all.
    table().moveToRow(2);
    EXPECT_TRUE(table().setValue("DE", table().value("DE")));
    EXPECT_FALSE(table().isEditing());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(CellEntryTest, AnUndefinedCodeTypedIsStillRefusedWhenTheSaveTakesItOver)
{
    typeInto(2, "DE", "Q7");
    QTest::keyClick(editor(), Qt::Key_F8);
    QApplication::processEvents();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages().first().contains("Kürzel (Q7) nicht definiert!"))
        << ui.messages().first().toStdString();
    // Refused codes are emptied, and the save stores that.
    EXPECT_EQ(stored(2, "DE"), "");
    EXPECT_FALSE(table().isEditing());

    // Closing with it in the editor still says why the grade is gone.
    ui.clear();
    typeInto(3, "DE", "Q7");
    window->close();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages().first().contains("Kürzel (Q7) nicht definiert!"));
}

} // namespace
