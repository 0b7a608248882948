// How the table page looks and answers: the focused text, the help line,
// the lock sign and the first step back after the single-student view.
#include "app/shipped_program.h"
#include "app/ui/TFMain.h"
#include "core/ui/help_line.h"
#include "entry/ui/memo_panel.h"
#include "data/current_student_file.h"
#include "data/student_table.h"
#include "data/student_table_model.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class EntryPageLook : public zedora::test::ShownProgramTest {
protected:
    StudentTable& table() { return window->studentFile().table(); }
    QTableView& grid() { return window->entryGrid(); }
    QToolButton* barButton(const char* name)
    {
        return window->iconBar().findChild<QToolButton*>(QLatin1String(name));
    }
};

TEST_F(EntryPageLook, TheTextUnderTheTableIsLightYellowWhileItHasTheFocus)
{
    int textColumn = -1;
    for (int c = 0; c < window->entryModel().columnCount() && textColumn < 0; ++c) {
        if (window->entryModel().column(c)->kind == FieldKind::AssessmentText)
            textColumn = c;
    }
    ASSERT_GE(textColumn, 0);
    grid().setFocus();
    grid().setCurrentIndex(window->entryModel().index(0, textColumn));
    QPlainTextEdit& memo = window->memoPanel().memo();
    ASSERT_TRUE(memo.isVisible());
    // The colour as painted, in an empty corner of the text.
    const auto painted = [&memo] {
        const QImage image = memo.viewport()->grab().toImage();
        return image.pixelColor(image.width() - 3, image.height() - 3);
    };
    memo.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(painted(), QColor(255, 255, 128));
    grid().setFocus();
    QApplication::processEvents();
    EXPECT_NE(painted(), QColor(255, 255, 128));

    // So are the texts of the mask page.
    window->pages().setCurrentIndex(1);
    auto* first = window->findChild<QPlainTextEdit*>("t1");
    ASSERT_TRUE(first && first->isVisible());
    first->setFocus();
    QApplication::processEvents();
    const QImage image = first->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 3, image.height() - 3), QColor(255, 255, 128));
}

TEST_F(EntryPageLook, ALongHelpTextEndsInAnEllipsisAndIsWholeInTheToolTip)
{
    auto* hilfe = window->findChild<ElidedLabel*>("hilfe");
    ASSERT_TRUE(hilfe);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("Wort%1 ").arg(i);
    text = text.trimmed();
    window->helpLine().show(text);
    EXPECT_EQ(hilfe->text(), text);
    EXPECT_EQ(hilfe->toolTip(), text);
    const QString shown = hilfe->shownText();
    ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(text.startsWith(shown.chopped(1)));
    EXPECT_LE(hilfe->fontMetrics().horizontalAdvance(shown), hilfe->contentsRect().width());
    // A text that fits is shown whole.
    window->helpLine().show(QStringLiteral("Ende"));
    ASSERT_GT(hilfe->contentsRect().width(), hilfe->fontMetrics().horizontalAdvance("Ende") + 12);
    EXPECT_EQ(hilfe->shownText(), "Ende");
}

TEST_F(EntryPageLook, TheLockSignLeavesTheColumnTitlesFree)
{
    if (table().isReadOnly(table().findField("DE")))
        barButton("SpeedButton20")->click();
    barButton("SpeedButton19")->click();
    QApplication::processEvents();
    auto* sign = window->findChild<QLabel*>("Panel16");
    ASSERT_TRUE(sign && sign->isVisible());
    QHeaderView* titles = grid().horizontalHeader();
    const QRect signArea(sign->mapToGlobal(QPoint(0, 0)), sign->size());
    const QRect titleArea(titles->mapToGlobal(QPoint(0, 0)), titles->size());
    EXPECT_FALSE(signArea.intersects(titleArea));
    barButton("SpeedButton20")->click();
    EXPECT_FALSE(sign->isVisible());
}

TEST_F(EntryPageLook, AfterTheWholeTableIsShownAgainTheFirstStepBackSaysTheBeginningIsReached)
{
    table().moveToRow(4);
    barButton("SpeedButton8")->click();
    ASSERT_TRUE(table().restricted());
    window->findChild<QPushButton*>("EinzelGesamt")->click();
    EXPECT_FALSE(table().restricted());
    EXPECT_EQ(table().currentRow(), 0);
    ui.clear();
    window->findChild<QToolButton*>("zur")->click();
    EXPECT_EQ(ui.messages(), QStringList{"Anfang erreicht!\n"});
    EXPECT_EQ(table().currentRow(), 0);
}

} // namespace
