// The grade statistics' pick lists: a click into the file or field column
// offers the matching list, a double click writes the entry into the cell
// and moves one row down; rows put together that way are computed in place.
#include "archive/main_frame_fixture.h"
#include "schoolyear/ui/TFNotenStat.h"

#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>

namespace zedora::test {
namespace {

QString cell(QTableWidget& g, int r, int c) { return g.item(r, c) ? g.item(r, c)->text() : QString(); }

void clickCell(QTableWidget& g, int row, int column)
{
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(row, column)).center());
}

void doubleClick(QListWidget& list, const QString& text)
{
    const auto items = list.findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    const QPoint at = list.visualItemRect(items.first()).center();
    // A double click arrives after a press and release at the same place.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

QStringList entries(QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

TEST(GradeStatisticsPickLists, ClickOffersTheListAndDoubleClickFillsAndMovesDown)
{
    Frame f;
    TFNotenStat w(f, f.file->studentFilesOfDirectory(), {QStringLiteral("DE"), QStringLiteral("EN")});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTableWidget& g = w.grid();
    QListWidget& pick = w.pickList();
    EXPECT_FALSE(pick.isVisible());
    EXPECT_EQ(pick.toolTip(), QStringLiteral("Übernahme in die Tabelle mit <Doppelklick> !"));

    clickCell(g, 5, 0);
    ASSERT_TRUE(pick.isVisible());
    EXPECT_EQ(entries(pick), (QStringList{QStringLiteral("5A.DBF"), QStringLiteral("6B.DBF")}));
    doubleClick(pick, QStringLiteral("6B.DBF"));
    EXPECT_EQ(cell(g, 5, 0), QStringLiteral("6B.DBF"));
    EXPECT_EQ(g.currentRow(), 6);
    doubleClick(pick, QStringLiteral("5A.DBF"));
    EXPECT_EQ(cell(g, 6, 0), QStringLiteral("5A.DBF"));

    clickCell(g, 5, 1);
    EXPECT_EQ(entries(pick), (QStringList{QStringLiteral("DE"), QStringLiteral("EN")}));
    doubleClick(pick, QStringLiteral("DE"));
    doubleClick(pick, QStringLiteral("EN"));
    EXPECT_EQ(cell(g, 5, 1) + cell(g, 6, 1), QStringLiteral("DEEN"));

    // A count cell offers nothing.
    clickCell(g, 5, 3);
    EXPECT_FALSE(pick.isVisible());

    // The rows in the middle of the table get their own results, the
    // rows above keep theirs.
    w.compute();
    EXPECT_EQ(cell(g, 5, 7), QStringLiteral("1"));  // 6B: DE 6
    EXPECT_EQ(cell(g, 6, 3), QStringLiteral("1"));  // 5A: EN 2, k.A. ignored
    EXPECT_EQ(cell(g, 0, 2), QStringLiteral("1"));  // 5A: DE 1 and 3
    EXPECT_EQ(cell(g, 2, 2), QString());
}

TEST(GradeStatisticsPickLists, ChoosingInTheComboBoxesFillsTheTable)
{
    Frame f;
    TFNotenStat w(f, f.file->studentFilesOfDirectory(), {QStringLiteral("DE"), QStringLiteral("EN")});
    auto* files = w.findChild<QComboBox*>(QStringLiteral("ComboBox4"));
    auto* fields = w.findChild<QComboBox*>(QStringLiteral("ComboBox3"));
    ASSERT_TRUE(files && fields);
    EXPECT_EQ(files->currentText(), QStringLiteral("5A.DBF"));
    fields->setCurrentIndex(1);
    emit fields->activated(1);
    QTableWidget& g = w.grid();
    EXPECT_EQ(cell(g, 0, 0) + cell(g, 0, 1) + cell(g, 1, 0) + cell(g, 1, 1), QStringLiteral("5A.DBFEN6B.DBFEN"));
    files->setCurrentIndex(1);
    emit files->activated(1);
    EXPECT_EQ(cell(g, 0, 0) + cell(g, 0, 1) + cell(g, 1, 1), QStringLiteral("6B.DBFDEEN"));
    EXPECT_EQ(cell(g, 2, 0), QString());
}

} // namespace
} // namespace zedora::test
