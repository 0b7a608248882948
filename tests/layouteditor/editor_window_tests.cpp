// The layout editor window: opening, editing through its grids and pages,
// saving, the closing checks, the preview hook and the global change dialog.
#include "print/ui/TFLay.h"
#include "print/ui/Tfverschiebung.h"
#include "print/ui/layout_element_grid.h"
#include "print/ui/layout_general_page.h"

#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/text_lines.h"
#include "print/layout_reader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QSet>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

// The shipped demo layout as installed: in the program's own encoding.
QString demoSource() { return QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/DEMOLAY.MST"); }

const QString kSaveQuestion = QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n");

struct Editor {
    QTemporaryDir dir;
    TNeueDateien reg{dir.filePath(QStringLiteral("neu.txt")), dir.filePath(QStringLiteral("neuverz.txt"))};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
    LayoutFiles layouts{dir.path(), files, ui};
    TFLay window{layouts, ui, QStringLiteral("KUERZEL.TXT"), {QStringLiteral("kuerzel2.txt")}};
    QString path;

    Editor()
    {
        reg.endDefer();
        QDir(dir.path()).mkpath(QStringLiteral("LAYOUT"));
        path = dir.filePath(QStringLiteral("LAYOUT/DEMO.LAY"));
        EXPECT_TRUE(QFile::copy(demoSource(), path)) << "build the target zedora_share first";
        QDir(dir.path()).mkpath(QStringLiteral("MUSTER"));
        QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/FACH-ALL.MST"), dir.filePath(QStringLiteral("MUSTER/FACH-ALL.MST")));
    }
    bool open() { return window.openPath(path); }
    LayoutElementGrid& grid(ElementKind k) { return *window.elementGrid(k); }
    TDruckLayout printedFile() const
    {
        TDruckLayout model;
        parseLayoutForPrinting(path, readTextLines(path).value_or(QStringList()), model);
        return model;
    }
};

} // namespace

TEST(EditorWindow, OpensTheLayoutIntoItsPages)
{
    Editor e;
    ASSERT_TRUE(e.open());
    EXPECT_EQ(e.window.windowTitle(), "Formular: Halbjahreszeugnis (Demo-Layout)");
    EXPECT_FALSE(e.window.changed());
    LayoutGeneralPage& g = *e.window.generalPage();
    EXPECT_EQ(g.layname->text(), "Halbjahreszeugnis (Demo-Layout)");
    EXPECT_EQ(g.layGrad->text(), "11");
    EXPECT_EQ(g.Label6->text(), "Layoutdatei: DEMO.LAY");
    // The folder as it is, so the user can find it.
    const QString folder = g.Label7->text().mid(QStringLiteral("im Verzeichnis: ").size());
    EXPECT_TRUE(g.Label7->text().startsWith("im Verzeichnis: "));
    EXPECT_TRUE(folder.endsWith("/LAYOUT")) << folder.toStdString();
    EXPECT_TRUE(QDir(folder).exists()) << folder.toStdString();
    const LayoutGrid& entries = e.grid(ElementKind::Eintrag).grid();
    ASSERT_GT(entries.usedRows(), 5);
    EXPECT_EQ(e.grid(ElementKind::Eintrag).item(0, 3)->text(), entries.rows[0][3]);
    EXPECT_EQ(e.grid(ElementKind::Eintrag).rowCount(), 201);
    EXPECT_EQ(e.grid(ElementKind::Bild).rowCount(), 11);

    e.window.showPage(TFLay::SourceText);
    EXPECT_TRUE(e.window.Memo1->toPlainText().startsWith("[ALLGEMEINES]\nFormularName=Halbjahreszeugnis"));
    EXPECT_TRUE(e.window.Memo1->toPlainText().contains("-FDFYYY-"));

    // The row buttons work on the element grids only.
    auto* insert = e.window.findChild<QPushButton*>("BitBtn3");
    ASSERT_TRUE(insert);
    EXPECT_FALSE(insert->isEnabled());
    e.window.showPage(TFLay::PrintLayout);
    e.window.layreg->setCurrentIndex(1);
    EXPECT_TRUE(insert->isEnabled());
    e.window.layreg->setCurrentIndex(0);
    EXPECT_FALSE(insert->isEnabled());
}

TEST(EditorWindow, EditsAreSavedOnCloseAndPrintAsEdited)
{
    Editor e;
    ASSERT_TRUE(e.open());
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    entries.item(0, 3)->setText("777");
    EXPECT_TRUE(e.window.changed());
    e.window.generalPage()->schieberVertikal->setValue(-40);
    EXPECT_EQ(e.window.generalPage()->vertikalEdit->text(), "  -4.0");

    e.ui.answers.enqueue(Answer::Cancel);
    EXPECT_FALSE(e.window.mayClose());
    EXPECT_EQ(e.printedFile().Eintraege[0].x == 777, false);
    e.ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(e.window.mayClose());
    EXPECT_EQ(e.ui.messages(), QStringList({kSaveQuestion, kSaveQuestion}));
    EXPECT_FALSE(e.window.changed());
    const TDruckLayout printed = e.printedFile();
    EXPECT_EQ(printed.Eintraege[0].x, 777);
    EXPECT_EQ(printed.VertiKorrektur, -40);

    // Nothing changed since: no question.
    e.ui.clear();
    EXPECT_TRUE(e.window.mayClose());
    EXPECT_TRUE(e.ui.messages().isEmpty());
}

TEST(EditorWindow, ARowDraggedToAnotherPlaceMovesAndTheNumbersStay)
{
    Editor e;
    ASSERT_TRUE(e.open());
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    const int content = entries.grid().columnOf("Inhalt");
    const QString first = entries.item(0, content)->text();
    const QString fourth = entries.item(3, content)->text();
    ASSERT_NE(first, fourth);

    entries.setCurrentCell(3, content);
    entries.dropRow(3, 0);
    EXPECT_EQ(entries.item(0, content)->text(), fourth);
    EXPECT_EQ(entries.item(1, content)->text(), first);
    EXPECT_EQ(entries.item(0, 0)->text(), "100");
    EXPECT_EQ(entries.item(3, 0)->text(), "103");
    EXPECT_EQ(entries.currentRow(), 0);
    EXPECT_TRUE(e.window.changed());

    // Dropped things from elsewhere move nothing.
    QMimeData mime;
    mime.setText(QStringLiteral("fremd"));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(entries.viewport(), &drop);
    EXPECT_EQ(entries.item(0, content)->text(), fourth);

    ASSERT_TRUE(e.window.save());
    EXPECT_EQ(e.printedFile().Eintraege[0].Inhalt, fourth);
}

TEST(EditorWindow, ClosingIsRefusedForATextBlockInAnEntry)
{
    Editor e;
    ASSERT_TRUE(e.open());
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    const int content = entries.grid().columnOf("Inhalt");
    entries.item(1, content)->setText("Siehe %TB1%");
    entries.item(1, 2)->setText("1");
    EXPECT_FALSE(e.window.mayClose());
    ASSERT_EQ(e.ui.messages().size(), 1);
    EXPECT_EQ(e.ui.messages()[0], "Die Definition eines Textblocks innerhalb des Eintragsregisters\n\n(%TB1% in "
                                  "Zeile 101) ist nicht möglich!\n\n");
    // Inactive, the entry no longer stops the closing.
    entries.item(1, 2)->setText("0");
    e.ui.answers.enqueue(Answer::No);
    EXPECT_TRUE(e.window.mayClose());
    EXPECT_FALSE(readTextLines(e.path).value_or(QStringList()).join("\n").contains("Siehe %TB1%"));
}

TEST(EditorWindow, DoubleClickShowsThePositionOrRefusesAnInactiveRow)
{
    Editor e;
    ASSERT_TRUE(e.open());
    std::optional<QPoint> marker;
    FormMode mode = FormMode::AllData;
    QStringList shownText;
    e.window.preview = [&](const QString&, const QStringList& text, FormMode m, std::optional<QPoint> p) {
        shownText = text;
        mode = m;
        marker = p;
    };
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    entries.item(0, 3)->setText("123");
    entries.item(0, 4)->setText("456");
    entries.cellDoubleClicked(0, entries.grid().columnOf("Inhalt"));
    ASSERT_TRUE(marker);
    EXPECT_EQ(*marker, QPoint(123, 456));
    EXPECT_EQ(mode, FormMode::VariableNames);
    EXPECT_TRUE(shownText.contains("x=123"));  // the unsaved edit is shown

    marker.reset();
    entries.item(0, 2)->setText("0");
    entries.cellDoubleClicked(0, 3);
    EXPECT_FALSE(marker);
    EXPECT_EQ(e.ui.messages(), QStringList({"Zeile ist nicht aktiv!"}));

    e.window.runPreview(FormMode::AllData);
    EXPECT_EQ(mode, FormMode::AllData);
    EXPECT_FALSE(marker);
}

TEST(EditorWindow, CellDialogsWriteColourFontAndPicture)
{
    Editor e;
    ASSERT_TRUE(e.open());
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    e.ui.colours.enqueue(QColor(1, 2, 3));
    entries.cellDoubleClicked(0, entries.grid().columnOf("Farbe"));
    EXPECT_EQ(entries.grid().cell(0, "Farbe"), QString::number(1 + 2 * 256 + 3 * 65536));
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(14);
    e.ui.fonts.enqueue(font);
    entries.cellDoubleClicked(0, entries.grid().columnOf("Grad"));
    EXPECT_EQ(entries.grid().cell(0, "Grad"), "14");

    LayoutElementGrid& pictures = e.grid(ElementKind::Bild);
    const int file = pictures.grid().columnOf("Bilddatei");
    e.ui.texts.enqueue(e.dir.filePath("LAYOUT/logo.jpg"));
    pictures.cellDoubleClicked(0, file);
    EXPECT_EQ(pictures.grid().cell(0, "Bilddatei"), "LOGO.JPG");
    e.ui.texts.enqueue(QStringLiteral("/srv/bilder/wappen.wmf"));
    pictures.cellDoubleClicked(0, file);
    EXPECT_EQ(pictures.grid().cell(0, "Bilddatei"), "\\SRV\\BILDER\\WAPPEN.WMF");
    EXPECT_TRUE(e.window.changed());
}

TEST(EditorWindow, RowButtonsAndGlobalChangeWorkOnTheCurrentGrid)
{
    Editor e;
    ASSERT_TRUE(e.open());
    e.window.showPage(TFLay::PrintLayout);
    e.window.layreg->setCurrentIndex(1);
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    const int used = entries.grid().usedRows();
    const QString first = entries.grid().cell(0, "Inhalt");
    entries.setCurrentCell(0, 4);
    e.window.duplicateRow();
    EXPECT_EQ(entries.grid().usedRows(), used + 1);
    EXPECT_EQ(entries.item(1, entries.grid().columnOf("Inhalt"))->text(), first);
    e.ui.answers.enqueue(Answer::Yes);
    e.window.deleteRow();
    EXPECT_EQ(entries.grid().usedRows(), used);

    const int y = entries.grid().cell(0, "y").toInt();
    entries.setCurrentCell(0, 4);
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<Tfverschiebung*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->minbox->text(), QString::number(y));
        dialog->addwert->setText("25");
        EXPECT_EQ(dialog->Label2->text(), QStringLiteral("Verändere alle Werte der gewählten Spalte, die gleich %1 "
                                                         "sind, um 25!").arg(y));
        e.ui.answers.enqueue(Answer::Yes);
        dialog->start();
    });
    e.window.globalChange();
    EXPECT_EQ(entries.item(0, 4)->text(), QString::number(y + 25));
    EXPECT_TRUE(e.ui.messages().last().startsWith("Es wurden "));

    // On a text column the dialog does not open.
    e.ui.clear();
    entries.setCurrentCell(0, entries.grid().columnOf("Inhalt"));
    e.window.globalChange();
    EXPECT_EQ(e.ui.messages(),
              QStringList({"FEHLER: \nDie Spalte ist nicht numerisch oder das Feld ist leer!"}));
}

TEST(EditorWindow, EnterMovesRightThenToTheNextRow)
{
    Editor e;
    ASSERT_TRUE(e.open());
    LayoutElementGrid& pictures = e.grid(ElementKind::Bild);
    pictures.setCurrentCell(0, pictures.columnCount() - 2);
    pictures.moveToNextCell();
    EXPECT_EQ(pictures.currentColumn(), pictures.columnCount() - 1);
    pictures.moveToNextCell();
    EXPECT_EQ(pictures.currentRow(), 1);
    EXPECT_EQ(pictures.currentColumn(), 1);
    pictures.setCurrentCell(pictures.rowCount() - 1, pictures.columnCount() - 1);
    pictures.moveToNextCell();
    EXPECT_EQ(pictures.currentRow(), 0);
}

TEST(EditorWindow, TypedCellsTakeEnterAndMoveOnSoARowIsTypedInOneGo)
{
    Editor e;
    ASSERT_TRUE(e.open());
    e.window.showPage(TFLay::PrintLayout);
    e.window.show();
    e.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
    LayoutElementGrid& entries = e.grid(ElementKind::Eintrag);
    const int x = entries.grid().columnOf("x");
    entries.setFocus();
    entries.setCurrentCell(1, x);
    // Real keys: the first opens the cell's editor, the rest and Enter go to it.
    const auto type = [&entries](const QString& text) {
        QTest::keyClick(&entries, text.at(0).toLatin1());
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, &entries) << "no cell editor opened";
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the cell takes the text a turn later
    };
    type(QStringLiteral("1060"));
    EXPECT_EQ(entries.item(1, x)->text(), QStringLiteral("1060"));
    EXPECT_EQ(entries.currentColumn(), x + 1);
    type(QStringLiteral("590"));
    EXPECT_EQ(entries.item(1, x)->text(), QStringLiteral("1060"));
    EXPECT_EQ(entries.item(1, x + 1)->text(), QStringLiteral("590"));
    EXPECT_EQ(entries.currentColumn(), x + 2);
}

TEST(EditorWindow, BeendenClosesOnlyPastTheChecks)
{
    Editor e;
    ASSERT_TRUE(e.open());
    e.window.show();
    e.grid(ElementKind::Eintrag).item(0, 3)->setText("5");
    auto* quit = e.window.findChild<QPushButton*>("Verlasse");
    ASSERT_TRUE(quit);
    e.ui.answers.enqueue(Answer::Cancel);
    quit->click();
    EXPECT_TRUE(e.window.isVisible());
    e.ui.answers.enqueue(Answer::No);
    quit->click();
    EXPECT_FALSE(e.window.isVisible());
    EXPECT_EQ(e.ui.messages(), QStringList({kSaveQuestion, kSaveQuestion}));
    EXPECT_NE(e.printedFile().Eintraege[0].x, 5);
}

// Every page draws; with ZEDORA_SCREENSHOTS set to a folder the pictures are
// written there for the manual.
TEST(EditorWindow, EveryPageDraws)
{
    Editor e;
    ASSERT_TRUE(e.open());
    e.window.resize(900, 600);
    const QString folder = qEnvironmentVariable("ZEDORA_SCREENSHOTS");
    const auto shoot = [&](const QString& name) {
        const QImage image = e.window.grab().toImage();
        ASSERT_EQ(image.size(), e.window.size()) << name.toStdString();
        // Not a blank window: the page holds more than one colour.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 3) << name.toStdString();
        if (!folder.isEmpty())
            image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    };
    e.window.showPage(TFLay::InputLayout);
    shoot(QStringLiteral("layout_editor_eingabelayout"));
    e.window.showPage(TFLay::PrintLayout);
    static const char* pages[] = {"allgemeines", "eintrag", "linie", "notenfeld", "textblock", "bild"};
    for (int p = 0; p < 6; ++p) {
        e.window.layreg->setCurrentIndex(p);
        shoot(QStringLiteral("layout_editor_") + QLatin1String(pages[p]));
    }
    e.window.showPage(TFLay::SourceText);
    shoot(QStringLiteral("layout_editor_quelltext"));
}
