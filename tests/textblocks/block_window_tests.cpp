// The block window: topics, ID search, insertion by every way the window
// offers, the single-block dialog and the all-blocks editor round trip.
#include "text_block_workspace.h"
#include "textblocks/text_block_table_model.h"
#include "textblocks/ui/TFAlleTBS.h"
#include "textblocks/ui/TFTBS.h"
#include "textblocks/ui/TFeditTBS.h"
#include "core/passwords.h"
#include "core/settings.h"
#include "support/other_computer.h"
#include "core/user_mode.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct BlockWindow {
    TextBlockWorkspace w;
    Settings settings;
    Passwords passwords;
    UserMode mode{passwords, w.ui};
    std::unique_ptr<TFTBS> window;
    QStringList inserted;

    explicit BlockWindow(const QString& file = QStringLiteral("#DEMO.DBF"))
    {
        settings.FloskelDatei = file;
        window = std::make_unique<TFTBS>(*w.blocks, settings, mode, w.ui);
        QObject::connect(window.get(), &TFTBS::insertRequested,
                         [this](const TextBlock& b) { inserted << b.id; });
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T> T* child(const char* name) { return window->findChild<T*>(QLatin1String(name)); }
    QString currentId() { return window->currentBlock() ? window->currentBlock()->id : QString(); }
    void trigger(const char* name) { child<QAction>(name)->trigger(); }

    // The dialog the last command opened (non-modal to the test).
    template <typename T> T* openDialog() { return window->findChild<T*>(); }
};

} // namespace

TEST(BlockWindow, OpensTheCurrentFileWithTopicsSearchAndTopicChoice)
{
    BlockWindow b;
    EXPECT_EQ(b.window->windowTitle().toUpper(), QStringLiteral("TEXTBAUSTEINDATEI #DEMO.DBF"));
    EXPECT_EQ(b.child<QLabel>("Label2")->text(), QStringLiteral("Themenbereiche"));
    auto* topics = b.child<QListWidget>("ThemenBox");
    ASSERT_GT(topics->count(), 5);
    EXPECT_EQ(topics->item(0)->text(), QStringLiteral("Arbeitsverhalten"));
    auto* search = b.child<QLineEdit>("TBSID");
    EXPECT_EQ(search->text(), QStringLiteral("A"));
    EXPECT_EQ(b.child<QPlainTextEdit>("Memo1")->toPlainText(), QStringLiteral("=Arbeitsverhalten"));

    // Clicking empties the box; typing moves to the first ID at or after it.
    QTest::mouseClick(search, Qt::LeftButton);
    EXPECT_TRUE(search->text().isEmpty());
    QTest::keyClicks(search, QStringLiteral("c"));
    EXPECT_EQ(search->text(), QStringLiteral("C"));
    EXPECT_EQ(b.currentId(), QStringLiteral("D"));
    QTest::keyClicks(search, QStringLiteral("9"));
    EXPECT_EQ(b.currentId(), QStringLiteral("D"));

    b.window->chooseTopic(QStringLiteral("Mathematik"));
    EXPECT_EQ(b.currentId(), QStringLiteral("M"));
    EXPECT_EQ(b.window->grid()->rowAt(0), b.window->grid()->currentIndex().row()) << "the heading stands at the top";
}

TEST(BlockWindow, AFileWithoutHeadingsSaysSoAndHidesTheTopicList)
{
    BlockWindow b;
    b.w.writeBlockFile(QStringLiteral("#OHNE.DBF"), {{QStringLiteral("X1"), QStringLiteral("ohne Thema")}});
    ASSERT_TRUE(b.window->openFile(QStringLiteral("#OHNE.DBF")));
    EXPECT_EQ(b.child<QLabel>("Label2")->text(), QStringLiteral("Keine Themenbereiche definiert"));
    EXPECT_FALSE(b.child<QListWidget>("ThemenBox")->isVisible());
}

TEST(BlockWindow, EveryWayOfTakingOverABlockAsksForItsInsertion)
{
    BlockWindow b;
    b.window->chooseTopic(QStringLiteral("Mathematik"));
    QTest::keyClick(b.window->grid(), Qt::Key_Down);
    const QModelIndex m1 = b.window->grid()->currentIndex();
    b.child<QPushButton>("SpeedButton2")->click();
    b.trigger("Uebernehmen1");
    const QPoint centre = b.window->grid()->visualRect(m1).center();
    QTest::mouseClick(b.window->grid()->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(b.window->grid()->viewport(), Qt::LeftButton, {}, centre);
    auto* search = b.child<QLineEdit>("TBSID");
    QTest::mouseClick(search, Qt::LeftButton);
    QTest::keyClicks(search, QStringLiteral("s3"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(b.inserted, QStringList({QStringLiteral("M1"), QStringLiteral("M1"), QStringLiteral("M1"),
                                       QStringLiteral("S3")}));
}

TEST(BlockWindow, EditingNeedsPermissionAndStoresTheLinesAsOne)
{
    BlockWindow b;
    b.window->chooseTopic(QStringLiteral("Deutsch"));
    QTest::keyClick(b.window->grid(), Qt::Key_Down);
    QTest::keyClick(b.window->grid(), Qt::Key_Return);
    EXPECT_EQ(b.w.ui.messages(), QStringList{QStringLiteral("Nur dem Systembetreuer erlaubt!\n\n")});
    EXPECT_EQ(b.openDialog<TFeditTBS>(), nullptr);

    b.settings.TBSFuerAlle = true;
    QTest::keyClick(b.window->grid(), Qt::Key_F2);
    TFeditTBS* dialog = b.openDialog<TFeditTBS>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Textbaustein bearbeiten"));
    EXPECT_FALSE(dialog->findChild<QWidget*>(QStringLiteral("SpeedButton1"))->isVisibleTo(dialog))
        << "no spelling button without a dictionary";
    dialog->findChild<QLineEdit*>(QStringLiteral("ID"))->setText(QStringLiteral("d1x"));
    dialog->memo()->setPlainText(QStringLiteral("Erste Zeile\n  zweite Zeile  \ndritte Zeile"));
    dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    QApplication::processEvents();
    EXPECT_EQ(b.currentId(), QStringLiteral("D1X"));
    EXPECT_EQ(b.w.blocks->find(QStringLiteral("D1X"))->text, QStringLiteral("Erste Zeile zweite Zeile dritte Zeile"));
    EXPECT_EQ(b.child<QPlainTextEdit>("Memo1")->toPlainText(), QStringLiteral("Erste Zeile zweite Zeile dritte Zeile"));
}

TEST(BlockWindow, AddAndDeleteBlocksWithTheQuestion)
{
    BlockWindow b;
    b.mode.setAdministrator(true);
    const int before = b.window->model()->rowCount();
    b.trigger("NeuenEinfuegen1");
    EXPECT_EQ(b.window->model()->rowCount(), before + 1);
    EXPECT_EQ(b.window->grid()->currentIndex().row(), 0) << "the empty block sorts first and is current";

    b.window->chooseTopic(QStringLiteral("Englisch"));
    QTest::keyClick(b.window->grid(), Qt::Key_Down);
    b.w.ui.answers.enqueue(Answer::No);
    b.trigger("Loeschen1");
    EXPECT_TRUE(b.w.blocks->find(QStringLiteral("E1")));
    b.w.ui.answers.enqueue(Answer::Yes);
    b.trigger("Loeschen1");
    EXPECT_FALSE(b.w.blocks->find(QStringLiteral("E1")));
    EXPECT_EQ(b.w.ui.messages(), QStringList({QStringLiteral("Textbaustein E1 löschen?\n"),
                                              QStringLiteral("Textbaustein E1 löschen?\n")}));
    EXPECT_EQ(b.currentId(), QStringLiteral("E2"));
}

TEST(BlockWindow, AllBlocksEditorRoundTripAndItsQuestions)
{
    BlockWindow b;
    b.mode.setAdministrator(true);
    b.trigger("AlleBearbeiten1");
    TFAlleTBS* editor = b.openDialog<TFAlleTBS>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Textbausteine    Struktur:  ID;INHALT"));
    EXPECT_FALSE(editor->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(editor->text().startsWith(QStringLiteral("A;=Arbeitsverhalten\nA1;%VORNAME% arbeitet")));

    editor->findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click();
    EXPECT_TRUE(b.w.ui.messages().last().startsWith(QStringLiteral("HILFE:\n- Max. 4 Zeichen für ID, dann \";\"")));

    // Changed text: closing without saving asks; No keeps the editor open.
    editor->memo()->setPlainText(QStringLiteral("Z1;Neu\n=;=Thema\nohne Semikolon\nL2;") + QString(240, u'l'));
    b.w.ui.answers.enqueue(Answer::No);
    editor->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(b.w.ui.messages().last(),
              QStringLiteral("Inhalte wurden verändert!\nSoll die Bearbeitung ohne Speicherung beendet werden?\n"));

    // Too long a text is named before it is cut; No returns to the editor.
    b.w.ui.answers.enqueue(Answer::No);
    editor->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(b.w.ui.messages().last(), QStringLiteral("Diese Textbausteine sind länger als 230 Zeichen und werden gekürzt:\n"
                                                       "L2\nTrotzdem speichern?\n"));
    ASSERT_TRUE(editor->isVisible());
    b.w.ui.answers.enqueue(Answer::Yes);
    editor->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    QApplication::processEvents();
    EXPECT_EQ(b.w.ids(), QStringList({QStringLiteral("="), QStringLiteral("??"), QStringLiteral("L2"), QStringLiteral("Z1")}));
    EXPECT_EQ(b.child<QListWidget>("ThemenBox")->item(0)->text(), QStringLiteral("Thema"));
    EXPECT_EQ(b.window->model()->rowCount(), 4);
}

TEST(BlockWindow, AllBlocksEditorIsRefusedWhileAnotherComputerHasTheFile)
{
    BlockWindow b;
    b.mode.setAdministrator(true);
    test::HoldingComputer other(b.w.blocks->path());
    b.trigger("AlleBearbeiten1");
    EXPECT_EQ(b.openDialog<TFAlleTBS>(), nullptr);
    EXPECT_EQ(b.w.ui.messages(), QStringList{QStringLiteral(
        "Bearbeitung nicht möglich, weil Datei gerade \nbei einem anderen Anwender geöffnet ist!\n")});
    EXPECT_GT(b.window->model()->rowCount(), 50) << "the blocks stay shown";
}

TEST(BlockWindow, TopicPanelWidthOnlyTakesWholeNumbersFrom100To400)
{
    BlockWindow b;
    auto* panel = b.child<QWidget>("Panel1");
    for (const char* answer : {"99", "401", "breit", "110"})
        b.w.ui.texts.enqueue(QString::fromLatin1(answer));
    for (int i = 0; i < 4; ++i)
        b.trigger("BreiteThemen1");
    EXPECT_EQ(panel->width(), 110);
    EXPECT_EQ(b.settings.TMBBreite, 110);
    b.w.ui.texts.enqueue(QStringLiteral("250"));
    b.trigger("BreiteThemen1");
    EXPECT_EQ(panel->width(), 250);
    EXPECT_EQ(b.settings.TMBBreite, 250);
    EXPECT_EQ(b.w.ui.shown.last().text, QStringLiteral("Breite in Bildschirmpunkten"));
    EXPECT_EQ(b.w.ui.shown.last().detail, QStringLiteral("Wert zwischen 100 und 400"));
}

TEST(BlockWindow, AFailedSaveOfAllBlocksKeepsTheEditorWithItsText)
{
    BlockWindow b;
    b.mode.setAdministrator(true);
    b.trigger("AlleBearbeiten1");
    TFAlleTBS* editor = b.openDialog<TFAlleTBS>();
    ASSERT_TRUE(editor);
    editor->memo()->setPlainText(QStringLiteral("N1;Neuer Text"));
    {
        // Another computer opened the file while the editor was open.
        test::HoldingComputer other(b.w.blocks->path());
        editor->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        QApplication::processEvents();
        ASSERT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->text(), QStringLiteral("N1;Neuer Text"));
        EXPECT_FALSE(b.w.ui.shown.isEmpty());
        EXPECT_EQ(b.w.ui.shown.last().kind, ScriptedInteraction::Kind::Error);
        EXPECT_TRUE(b.w.blocks->find(QStringLiteral("A1"))) << "the old blocks are all there";
        EXPECT_FALSE(b.w.exists(QStringLiteral("DEFINI/tbstmp.dbf")));
    }
    editor->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    QApplication::processEvents();
    EXPECT_EQ(b.w.ids(), QStringList{QStringLiteral("N1")});
}
