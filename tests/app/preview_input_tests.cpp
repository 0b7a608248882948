// The open single-student preview and a grade still being typed in the
// entry grid: whatever the preview draws or prints carries that grade, and
// the grade is saved to the file first.
#include "app/entry_grid_test.h"
#include "app/shipped_program.h"
#include "app/ui/TFMain.h"
#include "data/current_student_file.h"
#include "data/student_table.h"
#include "data/student_table_model.h"
#include "print/printer_output.h"
#include "print/ui/TFVorschau.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class PreviewInputTest : public zedora::test::EntryGridTest {
protected:
    void SetUp() override
    {
        EntryGridTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_GE(table().rowCount(), 2);
    }
    void TearDown() override
    {
        delete preview;
        EntryGridTest::TearDown();
    }
    // Makes the row current and opens the preview for it; the main window is
    // active again afterwards, as when the teacher clicks back into it.
    void openPreview(int row)
    {
        table().moveToRow(row);
        window->findChild<QToolButton*>(QStringLiteral("PreView"))->click();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<TFVorschau*>(w); p && p->isVisible())
                preview = p;
        }
        ASSERT_TRUE(preview) << "the preview opened";
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Types into the cell of the current row; the editor stays open.
    void typeInto(const QString& field, const QString& text) { EntryGridTest::typeInto(table().currentRow(), field, text); }
    // The word a grade prints as on the demo report card.
    static QString wordOf(const QString& grade)
    {
        static const QStringList words{QStringLiteral("sehr gut"), QStringLiteral("gut"),
                                       QStringLiteral("befriedigend"), QStringLiteral("ausreichend"),
                                       QStringLiteral("mangelhaft"), QStringLiteral("ungenügend")};
        const int n = grade.left(1).toInt();
        return n >= 1 && n <= 6 ? words[n - 1] : QStringLiteral("(no grade)");
    }
    // A grade no other subject of the demo has, so its word counts once.
    QString otherGrade(int row, const QString& field)
    {
        return stored(row, field).startsWith(QLatin1Char('6')) ? QStringLiteral("5") : QStringLiteral("6");
    }
    // All text the preview has drawn, page by page.
    QString drawnText()
    {
        QStringList words;
        for (int page = 1; page <= preview->pageTotal(); ++page) {
            for (const auto& t : preview->recording()->texts(page))
                words << t.text;
        }
        return words.join(QLatin1Char(' '));
    }
    // Prints from the preview into a PDF file and returns its text.
    QString printToPdf(const QString& name)
    {
        const QString pdf = root.path() + QLatin1Char('/') + name;
        preview->printDialog = [pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        preview->findChild<QPushButton*>(QStringLiteral("druckbutton"))->click();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return QStringLiteral("(pdftotext failed)");
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QPointer<TFVorschau> preview;
};

} // namespace

TEST_F(PreviewInputTest, PrintingTakesTheGradeStillInTheCellEditor)
{
    const int row = 1;
    openPreview(row);
    const QString before = stored(row, "DE");
    const QString typed = otherGrade(row, "DE");
    const QString baseline = printToPdf("before.pdf");
    ASSERT_TRUE(baseline.contains(wordOf(before))) << "the stored grade prints as its word";
    const int wordsBefore = int(baseline.count(wordOf(typed)));

    typeInto("DE", typed);
    ASSERT_EQ(stored(row, "DE"), before) << "not handed over yet";
    const QString printed = printToPdf("after.pdf");

    EXPECT_EQ(int(printed.count(wordOf(typed))), wordsBefore + 1) << printed.toStdString();
    EXPECT_EQ(int(printed.count(wordOf(before))), int(baseline.count(wordOf(before))) - 1);
    EXPECT_EQ(stored(row, "DE"), typed) << "saved before printing";
    EXPECT_FALSE(editor());
    EXPECT_FALSE(table().isEditing());
    // The page on screen shows what was printed.
    EXPECT_EQ(int(drawnText().count(wordOf(typed))), wordsBefore + 1);
    QStringList complaints = ui.messages();
    complaints.removeAll(QString::fromUtf8(kNoPrinterMessage));
    EXPECT_TRUE(complaints.isEmpty()) << complaints.join('|').toStdString();
}

TEST_F(PreviewInputTest, PageButtonsAndSinglePageBoxDrawTheTypedGrade)
{
    const int row = 0;
    openPreview(row);
    const QString typed = otherGrade(row, "DE");
    const int shownBefore = int(drawnText().count(wordOf(typed)));

    typeInto("DE", typed);
    EXPECT_EQ(int(drawnText().count(wordOf(typed))), shownBefore) << "the page is not drawn while typing";
    preview->findChild<QToolButton*>(QStringLiteral("SpeedButton7"))->click();
    EXPECT_EQ(int(drawnText().count(wordOf(typed))), shownBefore + 1);
    EXPECT_EQ(stored(row, "DE"), typed);
    EXPECT_EQ(preview->pageShown(), preview->pageTotal());

    // The same for a second grade and the single-page box.
    const QString english = otherGrade(row, "EN");
    typeInto("EN", english);
    preview->findChild<QCheckBox*>(QStringLiteral("CoDrBox"))->click();
    EXPECT_EQ(stored(row, "EN"), english);
    EXPECT_FALSE(editor());

    // Without anything typed the buttons only turn the page.
    const RecordingSurface* drawn = preview->recording();
    preview->findChild<QToolButton*>(QStringLiteral("SpeedButton6"))->click();
    EXPECT_EQ(preview->pageShown(), 1);
    preview->findChild<QToolButton*>(QStringLiteral("SpeedButton5"))->click();
    EXPECT_EQ(preview->recording(), drawn) << "an unchanged record is not drawn again";
}
