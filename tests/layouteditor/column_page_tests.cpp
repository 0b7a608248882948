// The page "Eingabelayout" of the layout editor: the arrow buttons and cells
// change the columns, which the entry table reads back from the saved layout
// or column-layout file; saves that fail keep the old file whole.
#include "print/ui/TFLay.h"
#include "print/ui/layout_column_page.h"

#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "core/settings_files.h"
#include "data/column_block.h"
#include "data/layout_loading.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace zedora;

namespace {

const QString kSaveQuestion = QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n");

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Files may not grow beyond a few bytes while it lives: every save fails as
// on a full disk, whoever runs the test.
class FullDisk {
public:
    FullDisk()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

struct Editor {
    QTemporaryDir dir;
    TNeueDateien reg{dir.filePath(QStringLiteral("neu.txt")), dir.filePath(QStringLiteral("neuverz.txt"))};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
    std::unique_ptr<LayoutFiles> layouts;
    std::unique_ptr<TFLay> window;
    QString path;

    Editor()
    {
        reg.endDefer();
        QDir ws(dir.path());
        for (const char* folder : {"LAYOUT", "MUSTER", "DEFINI"})
            ws.mkpath(QLatin1String(folder));
        path = dir.filePath(QStringLiteral("LAYOUT/DEMO.LAY"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/DEMOLAY.MST"), path));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/FACH-ALL.MST"),
                                dir.filePath(QStringLiteral("MUSTER/FACH-ALL.MST"))));
        layouts = std::make_unique<LayoutFiles>(dir.path(), files, ui);
        window = std::make_unique<TFLay>(*layouts, ui, QStringLiteral("KUERZEL.TXT"), QStringList());
        EXPECT_TRUE(window->openPath(path));
        window->showPage(TFLay::InputLayout);
    }
    LayoutColumnPage& page() { return *window->columnPage(); }
    QTableWidget& visible() { return *page().FaIstx; }
    QTableWidget& available() { return *page().faAllx; }
    QStringList names(QTableWidget& t)
    {
        QStringList out;
        for (int r = 0; r < t.rowCount(); ++r)
            out << t.item(r, 0)->text();
        return out;
    }
    void click(const char* button) { page().findChild<QPushButton*>(QLatin1String(button))->click(); }
    void chooseAvailable(const QString& name) { available().setCurrentCell(int(names(available()).indexOf(name)), 0); }
    // The columns the entry table builds from a layout as the program loads it.
    std::vector<ColumnSpec> entryColumns(bool fdfAlt = false, const QString& columnFile = QString())
    {
        LayoutLoadContext context;
        context.workspaceDir = dir.path();
        context.fdfAlt = fdfAlt;
        context.nameGridVisible = false;
        context.faecherdatei = columnFile;
        ScriptedInteraction quiet;
        return loadLayout(path, context, quiet).columns.columns;
    }
};

} // namespace

TEST(ColumnPage, ArrowButtonsAndCellsMakeTheColumnsTheEntryTableReadsBack)
{
    Editor e;
    const QStringList before = e.names(e.visible());
    ASSERT_GE(before.size(), 10);
    EXPECT_EQ(before.front(), "NAME");
    // What is shown is not on offer again.
    EXPECT_FALSE(e.names(e.available()).contains("NAME"));
    ASSERT_TRUE(e.names(e.available()).contains("TELEFON"));
    EXPECT_FALSE(e.window->changed());

    e.chooseAvailable(QStringLiteral("TELEFON"));
    e.visible().setCurrentCell(1, 0);
    e.click("BtnAufnehmen");
    EXPECT_EQ(e.names(e.visible()).at(2), "TELEFON");
    EXPECT_EQ(e.visible().currentRow(), 2);
    EXPECT_FALSE(e.names(e.available()).contains("TELEFON"));
    EXPECT_TRUE(e.window->changed());

    // Typed cells are cut to what the line holds.
    e.visible().item(2, 1)->setText(QStringLiteral("Telefon (privat)"));
    e.visible().item(2, 2)->setText(QStringLiteral("1x8"));
    e.visible().item(2, 3)->setText(QStringLiteral("x"));
    EXPECT_EQ(e.visible().item(2, 2)->text(), "18");

    e.click("BtnHoch");
    EXPECT_EQ(e.names(e.visible()).at(1), "TELEFON");
    EXPECT_EQ(e.visible().currentRow(), 1);
    e.visible().setCurrentCell(int(e.names(e.visible()).indexOf("MW")), 0);
    e.click("BtnEntfernen");
    EXPECT_FALSE(e.names(e.visible()).contains("MW"));
    EXPECT_TRUE(e.names(e.available()).contains("MW"));

    const QStringList shown = e.names(e.visible());
    ASSERT_TRUE(e.window->save());
    EXPECT_FALSE(e.window->changed());

    const std::vector<ColumnSpec> read = e.entryColumns();
    QStringList fields;
    for (const ColumnSpec& c : read)
        fields << c.field;
    EXPECT_EQ(fields, shown);
    EXPECT_EQ(read[1].caption.trimmed(), "Telefon (privat)");
    EXPECT_EQ(read[1].width, 18);
    EXPECT_TRUE(read[1].exempt);
    EXPECT_FALSE(read[0].exempt);
}

TEST(ColumnPage, AppearanceButtonTakesTheBlockTheWindowMakes)
{
    Editor e;
    // Without the window the button does nothing.
    e.page().appearance->click();
    EXPECT_FALSE(e.window->changed());

    QStringList seen;
    bool makeBlock = false;
    e.window->appearanceDialog = [&](QStringList& lines) {
        seen = blockColumnLines(lines);
        if (makeBlock)
            replaceBlock(lines, defaultColumnLines());
        return makeBlock;
    };
    // The window sees the columns as edited, not as last saved.
    e.visible().setCurrentCell(0, 0);
    e.chooseAvailable(QStringLiteral("TELEFON"));
    e.click("BtnAufnehmen");
    e.window->save();
    e.page().appearance->click();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_TRUE(seen.at(1).startsWith("TELEFON "));
    EXPECT_FALSE(e.window->changed());

    makeBlock = true;
    e.page().appearance->click();
    EXPECT_EQ(e.names(e.visible()), (QStringList{"NAME", "VORNAME", "KLASSE", "DE"}));
    EXPECT_TRUE(e.window->changed());
    EXPECT_EQ(blockColumnLines(e.window->currentText()), defaultColumnLines());
}

TEST(ColumnPage, ColumnFileModeLoadsAndSavesColumnLayoutFiles)
{
    Editor e;
    const QString fdf = e.dir.filePath(QStringLiteral("DEFINI/KLASSE5.FDF"));
    ASSERT_TRUE(writeTextLines(fdf, defaultColumnLines() << QStringLiteral("MA                 Mathe                                   3")));
    const QByteArray layoutBytes = bytesOf(e.path);

    e.window->useColumnFile(fdf);
    EXPECT_TRUE(e.window->columnFileMode());
    EXPECT_EQ(e.names(e.visible()), (QStringList{"NAME", "VORNAME", "KLASSE", "DE", "MA"}));
    e.visible().setCurrentCell(4, 0);
    e.chooseAvailable(QStringLiteral("EN"));
    e.click("BtnAufnehmen");
    e.visible().item(5, 3)->setText(QStringLiteral("x"));
    EXPECT_TRUE(e.window->changed());

    // "Speichern" on this page writes the column-layout file, not the layout.
    ASSERT_TRUE(e.window->save());
    EXPECT_FALSE(e.window->changed());
    EXPECT_EQ(bytesOf(e.path), layoutBytes);
    const QStringList written = readTextLines(fdf).value_or(QStringList());
    ASSERT_EQ(written.size(), 6);
    // Such files carry no marks.
    EXPECT_EQ(written[5], QStringLiteral("EN                 Englisch                                3  "));
    QStringList fields;
    for (const ColumnSpec& c : e.entryColumns(true, QStringLiteral("KLASSE5.FDF")))
        fields << c.field;
    EXPECT_EQ(fields, (QStringList{"NAME", "VORNAME", "KLASSE", "DE", "MA", "EN"}));

    // "Drucken" lists the columns of the file.
    QStringList printed;
    e.window->printContents = [&](bool columnLayout, const QString&, const QStringList& text) {
        EXPECT_TRUE(columnLayout);
        printed = blockColumnLines(text);
    };
    e.window->print();
    ASSERT_EQ(printed.size(), 6);
    EXPECT_TRUE(printed[5].startsWith("EN "));

    // "Speichern unter" and "Laden" work in DEFINI.
    e.ui.texts.enqueue(e.dir.filePath(QStringLiteral("DEFINI/KOPIE")));
    ASSERT_TRUE(e.window->saveAs());
    EXPECT_EQ(e.window->columnFilePath(), e.dir.filePath(QStringLiteral("DEFINI/KOPIE.FDF")));
    EXPECT_EQ(readTextLines(e.window->columnFilePath()), written);
    ASSERT_TRUE(writeTextLines(e.dir.filePath(QStringLiteral("DEFINI/ANDERE.FDF")), defaultColumnLines()));
    e.ui.texts.enqueue(e.dir.filePath(QStringLiteral("DEFINI/ANDERE.FDF")));
    e.window->load();
    EXPECT_EQ(e.names(e.visible()), (QStringList{"NAME", "VORNAME", "KLASSE", "DE"}));
    EXPECT_EQ(e.window->columnFilePath(), e.dir.filePath(QStringLiteral("DEFINI/ANDERE.FDF")));
    EXPECT_EQ(bytesOf(e.path), layoutBytes);

    // On "Drucklayout" the buttons are the layout's again, whose own
    // columns stay as they were.
    const QStringList layoutColumns = blockColumnLines(readTextLines(e.path).value_or(QStringList()));
    e.window->showPage(TFLay::PrintLayout);
    e.window->layout().data.general.FormularName = QStringLiteral("Zeugnis 5");
    e.window->markChanged();
    ASSERT_TRUE(e.window->save());
    const QStringList saved = readTextLines(e.path).value_or(QStringList());
    EXPECT_TRUE(saved.contains(QStringLiteral("FormularName=Zeugnis 5")));
    EXPECT_EQ(blockColumnLines(saved), layoutColumns);
}

TEST(ColumnPage, WithoutAColumnFileTheFirstSaveAsksForOne)
{
    Editor e;
    e.window->useColumnFile(QString());
    EXPECT_TRUE(e.window->columnFilePath().isEmpty());
    // It starts from the layout's columns.
    EXPECT_EQ(e.names(e.visible()).front(), "NAME");
    e.visible().setCurrentCell(0, 0);
    e.click("BtnRunter");
    e.ui.texts.enqueue(std::nullopt);
    EXPECT_FALSE(e.window->save());
    EXPECT_TRUE(e.window->changed());
    e.ui.texts.enqueue(e.dir.filePath(QStringLiteral("DEFINI/NEU.FDF")));
    ASSERT_TRUE(e.window->save());
    EXPECT_TRUE(readTextLines(e.dir.filePath(QStringLiteral("DEFINI/NEU.FDF"))).value_or(QStringList()).at(1).startsWith("NAME "));
}

TEST(ColumnPage, ASaveThatFailsKeepsTheOldFileAndTheEdits)
{
    Editor e;
    const QByteArray layoutBytes = bytesOf(e.path);
    e.visible().setCurrentCell(0, 0);
    e.click("BtnRunter");
    e.ui.clear();
    {
        FullDisk full;
        EXPECT_FALSE(e.window->save());
    }
    EXPECT_EQ(bytesOf(e.path), layoutBytes);
    EXPECT_EQ(e.ui.messages(), QStringList{writeFailureText(QDir::toNativeSeparators(e.path))});
    EXPECT_TRUE(e.window->changed());
    EXPECT_EQ(QDir(e.dir.filePath(QStringLiteral("LAYOUT"))).entryList(QDir::Files), QStringList{"DEMO.LAY"});

    // A failed "Speichern unter" stays on the file it came from.
    e.ui.texts.enqueue(e.dir.filePath(QStringLiteral("LAYOUT/NEU.LAY")));
    {
        FullDisk full;
        EXPECT_FALSE(e.window->saveAs());
    }
    EXPECT_EQ(e.window->layout().path, e.path);
    EXPECT_FALSE(QFile::exists(e.dir.filePath(QStringLiteral("LAYOUT/NEU.LAY"))));

    // Closing with "Ja" and a failing save keeps the editor open.
    e.ui.clear();
    e.ui.answers.enqueue(Answer::Yes);
    {
        FullDisk full;
        EXPECT_FALSE(e.window->mayClose());
    }
    EXPECT_EQ(e.ui.messages().front(), kSaveQuestion);
    EXPECT_EQ(bytesOf(e.path), layoutBytes);

    // The same for a column-layout file.
    const QString fdf = e.dir.filePath(QStringLiteral("DEFINI/KLASSE5.FDF"));
    ASSERT_TRUE(writeTextLines(fdf, defaultColumnLines()));
    const QByteArray fdfBytes = bytesOf(fdf);
    e.window->useColumnFile(fdf);
    e.window->showPage(TFLay::InputLayout);
    e.visible().setCurrentCell(0, 0);
    e.click("BtnRunter");
    {
        FullDisk full;
        EXPECT_FALSE(e.window->save());
    }
    EXPECT_EQ(bytesOf(fdf), fdfBytes);
    EXPECT_TRUE(e.window->changed());
    ASSERT_TRUE(e.window->save());
    EXPECT_NE(bytesOf(fdf), fdfBytes);
}
