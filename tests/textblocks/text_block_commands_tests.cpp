// The text blocks in the running program on the demo class: F3 and the
// block window, Ctrl+T in the memo under the table, insertion by the
// current column, the length test line and the spelling button.
#include "app/shipped_program.h"
#include "app/ui/TFMain.h"
#include "textblocks/text_block_table_model.h"
#include "textblocks/ui/TFTBS.h"
#include "textblocks/ui/text_block_commands.h"
#include "base/scripted_interaction.h"
#include "core/settings.h"
#include "core/ui/main_menu.h"
#include "core/ui/progress_panel.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "data/student_table_model.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class TextBlockCommandsTest : public zedora::test::ShownProgramTest {
protected:
    void SetUp() override
    {
        ShownProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        commands = window->findChild<TextBlockCommands*>(QStringLiteral("textBlockCommands"));
        ASSERT_TRUE(commands) << "the main window installs the text blocks";
        for (int c = 0; c < window->entryModel().columnCount(); ++c) {
            const int kind = window->entryModel().column(c)->kind;
            if (kind == FieldKind::AssessmentText && textColumn < 0)
                textColumn = c;
            if (kind == FieldKind::MasterData && masterColumn < 0)
                masterColumn = c;
            if (kind == FieldKind::Grade && gradeColumn < 0)
                gradeColumn = c;
        }
        ASSERT_GE(textColumn, 0);
        ASSERT_GE(masterColumn, 0);
        ASSERT_GE(gradeColumn, 0);
    }
    StudentTable& table() { return window->studentFile().table(); }
    QTableView& grid() { return window->entryGrid(); }
    QPlainTextEdit& memo() { return *window->findChild<QPlainTextEdit*>(QStringLiteral("DBMemo1")); }
    void enterColumn(int column)
    {
        grid().setFocus();
        grid().setCurrentIndex(window->entryModel().index(0, column));
        QApplication::processEvents();
    }
    void typeInMemo(const QString& text)
    {
        memo().setFocus();
        QTest::keyClick(&memo(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&memo(), Qt::Key_Delete);
        QTest::keyClicks(&memo(), text);
    }

    TextBlockCommands* commands = nullptr;
    int textColumn = -1;
    int masterColumn = -1;
    int gradeColumn = -1;
};

} // namespace

TEST_F(TextBlockCommandsTest, F3ShowsTheBlockWindowWithTheDemoBlocksAndAnEmptySearch)
{
    window->menu().action(QStringLiteral("textBlockWindow"))->trigger();
    TFTBS& blocks = commands->blockWindow();
    ASSERT_TRUE(blocks.isVisible());
    EXPECT_EQ(blocks.windowTitle().toUpper(), QStringLiteral("TEXTBAUSTEINDATEI #DEMO.DBF"));
    EXPECT_TRUE(blocks.findChild<QLineEdit*>(QStringLiteral("TBSID"))->text().isEmpty());
    EXPECT_GT(blocks.model()->rowCount(), 50);
    blocks.hide();
}

TEST_F(TextBlockCommandsTest, CtrlTInTheMemoUnderTheTableFillsInTheStudent)
{
    enterColumn(textColumn);
    const QString vorname = table().value(QStringLiteral("VORNAME")).trimmed();
    const bool boy = table().value(QStringLiteral("MW")).trimmed().toUpper() == app->settings.Maennlich.trimmed().toUpper();
    typeInMemo(QStringLiteral("Im Ganzen: a5"));
    QTest::keyClick(&memo(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(memo().toPlainText(), QStringLiteral("Im Ganzen: ") + (boy ? QStringLiteral("Er") : QStringLiteral("Sie"))
                                        + QStringLiteral(" erledigt ") + (boy ? QStringLiteral("sein") : QStringLiteral("ihr"))
                                        + QStringLiteral("e Hausaufgaben zuverlässig, sorgfältig und vollständig. "));
    typeInMemo(QStringLiteral("D1"));
    QTest::keyClick(&memo(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(memo().toPlainText().startsWith(QStringLiteral("Im Fach Deutsch liest ") + vorname)) << vorname.toStdString();
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join(u'|').toStdString();
}

TEST_F(TextBlockCommandsTest, InsertionFromTheWindowFollowsTheCurrentColumn)
{
    TFTBS& blocks = commands->blockWindow();
    blocks.show();
    QApplication::processEvents();
    blocks.chooseTopic(QStringLiteral("Bemerkungen"));
    QTest::keyClick(blocks.grid(), Qt::Key_Down); // B1
    const TextBlock b = *blocks.currentBlock();

    enterColumn(masterColumn);
    commands->insertFromWindow(b);
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Dieses Feld (z. B. Stammdaten) kann nicht mit\nTextbausteinen verändert werden!")});

    enterColumn(textColumn);
    typeInMemo(QStringLiteral("Außerdem: "));
    commands->insertFromWindow(b);
    EXPECT_TRUE(memo().toPlainText().startsWith(QStringLiteral("Außerdem: ")));
    EXPECT_TRUE(memo().toPlainText().endsWith(QStringLiteral("zuverlässig Verantwortung übernommen. ")))
        << memo().toPlainText().toStdString();

    // A grade column takes the text as its value, through the grade check.
    enterColumn(gradeColumn);
    ui.clear();
    commands->insertFromWindow(b);
    EXPECT_FALSE(ui.messages().isEmpty()) << "an assessment is no grade";
    blocks.hide();
}

TEST_F(TextBlockCommandsTest, LengthTestShowsTheLineWhileTheTextIsWritten)
{
    auto* button = window->findChild<QPushButton*>(QStringLiteral("bitbtn1"));
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->text(), QStringLiteral("Längentest ist aus"));
    button->click();
    EXPECT_TRUE(app->settings.MitLaengentest);
    EXPECT_EQ(button->text(), QStringLiteral("Längentest ist an"));

    enterColumn(textColumn);
    typeInMemo(QStringLiteral("Kurz."));
    const QString shown = window->progressPanel().text();
    // The demo layout prints the text in a block of several lines.
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Sie schreiben in der 1. Zeile  von insgesamt "))) << shown.toStdString();
    EXPECT_TRUE(window->progressPanel().isVisible());
    grid().setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(window->progressPanel().isVisible());
}

TEST_F(TextBlockCommandsTest, SpellingButtonIsOfferedWithTheGermanDictionaryAndPrintingNeedsATextColumn)
{
    auto* spelling = window->findChild<QToolButton*>(QStringLiteral("SpeedButton6"));
    ASSERT_TRUE(spelling);
    EXPECT_EQ(spelling->isEnabled(), commands->spellChecker() != nullptr);
    EXPECT_EQ(spelling->toolTip(), QStringLiteral("Rechtschreibprüfung"));

    enterColumn(masterColumn);
    window->menu().action(QStringLiteral("printTextBlockColumn"))->trigger();
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Aktuelle Spalte ist keine Textblockspalte!\n\n")});
}

TEST_F(TextBlockCommandsTest, AFileTheUserCreatesBecomesTheStudentFilesBlockFile)
{
    const QString before = window->studentFile().assignments().TBSdatei;
    TFTBS& blocks = commands->blockWindow();
    blocks.show();
    QApplication::processEvents();
    EXPECT_EQ(window->studentFile().assignments().TBSdatei, before) << "showing the window assigns nothing";

    ui.texts.enqueue(app->workspace + QStringLiteral("DEFINI/mathe"));
    blocks.NeuClick();
    EXPECT_EQ(window->studentFile().assignments().TBSdatei, QStringLiteral("#MATHE.DBF"));
    EXPECT_EQ(app->settings.FloskelDatei, QStringLiteral("#MATHE.DBF"));
    EXPECT_EQ(window->findChild<QToolButton*>(QStringLiteral("spTBS"))->text(), QStringLiteral("#MATHE.DBF"));
    EXPECT_EQ(blocks.model()->rowCount(), 0);
    blocks.hide();
}

TEST_F(TextBlockCommandsTest, LengthTestCountsInTheMaskTextsTooAndCtrlTWorksThere)
{
    app->settings.MitLaengentest = true;
    window->pages().setCurrentIndex(1);
    QApplication::processEvents();
    auto* t1 = window->findChild<QPlainTextEdit*>(QStringLiteral("t1"));
    ASSERT_TRUE(t1);
    t1->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(window->progressPanel().text().startsWith(QStringLiteral("Sie schreiben in der ")))
        << window->progressPanel().text().toStdString();
    QTest::keyClick(t1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(t1, QStringLiteral(" B7"));
    QTest::keyClick(t1, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(t1->toPlainText().endsWith(QStringLiteral(" Die Versetzung ist zurzeit gefährdet. "))) << t1->toPlainText().toStdString();
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(TextBlockCommandsTest, PrintingFromTheBlockWindowShowsTheBlocksInThePreviewWhileTheWindowHides)
{
    TFTBS& blocks = commands->blockWindow();
    window->menu().action(QStringLiteral("textBlockWindow"))->trigger();
    ASSERT_TRUE(blocks.isVisible());
    QString title;
    bool blockWindowHidden = false;
    QTimer::singleShot(0, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (!preview)
            return;
        title = preview->windowTitle();
        blockWindowHidden = !blocks.isVisible();
        preview->close();
    });
    QAction* print = blocks.findChild<QAction*>(QStringLiteral("Drucken1"));
    ASSERT_TRUE(print);
    print->trigger();
    EXPECT_TRUE(title.startsWith(QStringLiteral("Druckvorschau"))) << title.toStdString();
    EXPECT_TRUE(title.contains(QStringLiteral("#demo"), Qt::CaseInsensitive)) << title.toStdString();
    EXPECT_TRUE(blockWindowHidden);
    EXPECT_TRUE(blocks.isVisible()) << "back after the preview";
}

TEST_F(TextBlockCommandsTest, TheFileListMenuAssignsAnotherBlockFileLikeTheStatusButton)
{
    auto* list = window->findChild<QListWidget*>(QStringLiteral("dateienbox"));
    ASSERT_TRUE(list);
    QAction* assign = nullptr;
    for (QMenu* menu : list->findChildren<QMenu*>()) {
        if (QAction* a = menu->findChild<QAction*>(QStringLiteral("Textbausteindateizuweisen1")))
            assign = a;
    }
    ASSERT_TRUE(assign) << "the file list's menu offers the item";
    EXPECT_EQ(assign->text(), QStringLiteral("&Textbausteindatei zuweisen"));
    const QString before = window->studentFile().assignments().TBSdatei;

    // Cancelled: nothing changes.
    assign->trigger();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown.first().kind, ScriptedInteraction::Kind::OpenFile);
    EXPECT_EQ(ui.shown.first().text, QStringLiteral("Textbausteindatei öffnen"));
    EXPECT_EQ(window->studentFile().assignments().TBSdatei, before);

    const QString team = app->workspace + QStringLiteral("DEFINI/#TEAM.DBF");
    ASSERT_TRUE(QFile::copy(app->workspace + QStringLiteral("MUSTER/FLOSKEL.MST"), team));
    ui.texts.enqueue(team);
    assign->trigger();
    EXPECT_EQ(window->studentFile().assignments().TBSdatei, QStringLiteral("#TEAM.DBF"));
    EXPECT_EQ(window->findChild<QToolButton*>(QStringLiteral("spTBS"))->text(), QStringLiteral("#TEAM.DBF"));
    ASSERT_TRUE(commands->blockFile());
    EXPECT_EQ(commands->blockFile()->fileName(), QStringLiteral("#TEAM.DBF"));
    EXPECT_TRUE(QFileInfo::exists(app->workspace + QStringLiteral("DEFINI/#TEAM.MDX")));

    // Written with the assignments, the next opening of the student file keeps it.
    window->studentFile().writeAssignments();
    window->studentFile().reopen();
    EXPECT_EQ(window->studentFile().assignments().TBSdatei, QStringLiteral("#TEAM.DBF"));
}
