// The layout editor in the main window: menu items and buttons open it on
// their page, a missing layout is chosen first, the appearance window of the
// student files is reached from the editor, and after closing the student
// file shows the edited columns.
#include "data/column_block.h"
#include "data/student_schema.h"
#include "data/text_lines.h"
#include "dbase/table.h"
#include "print/recording_surface.h"
#include "print/ui/TFLay.h"
#include "print/ui/TFVorschau.h"
#include "print/ui/layout_element_grid.h"
#include "print/ui/layout_column_page.h"
#include "print/ui/layout_editor_commands.h"

#include "base/scripted_interaction.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include "support/test_main_frame.h"

using namespace zedora;

namespace {

const QString kSaveQuestion = QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n");

void writeClass(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString());
    t->append();
    t->setText("NAME", "Brandt");
    t->setText("VORNAME", "Lena");
    t->setText("KLASSE", "5a");
    t->post();
}

class Frame : public zedora::test::TestMainFrame {
public:
    QTemporaryDir tmp;
    QString ws = tmp.path() + QStringLiteral("/ws/");
    ScriptedInteraction ui;

    Frame()
    {
        for (const char* folder : {"TMP", "LAYOUT", "DEFINI", "MUSTER"})
            QDir().mkpath(ws + QLatin1String(folder));
        writeClass(ws + QStringLiteral("MUSTER/tpl.dbf"));
        QFile::rename(ws + QStringLiteral("MUSTER/tpl.dbf"), ws + QStringLiteral("MUSTER/MUSTER.MS1"));
        QFile::rename(ws + QStringLiteral("MUSTER/tpl.dbt"), ws + QStringLiteral("MUSTER/MUSTER.MS3"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/DEMOLAY.MST"), ws + QStringLiteral("LAYOUT/DEMO.LAY")));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/FACH-ALL.MST"), ws + QStringLiteral("MUSTER/FACH-ALL.MST")));
        writeClass(ws + QStringLiteral("ZE-1920-1/5A.DBF"));
        // The demo's pictures, so the preview shows them.
        const QDir share(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER"));
        for (const QString& picture : share.entryList({QStringLiteral("*.JPG"), QStringLiteral("*.WMF")}, QDir::Files))
            QFile::copy(share.filePath(picture), ws + QStringLiteral("MUSTER/") + picture);
        open(ui, ProgramPaths{tmp.path() + QStringLiteral("/share/"), ws, "PC1"}, ws + QStringLiteral("ZE-1920-1/5A.DBF"));
        buildMenu();
        admin.setAdministratorMode(true);
        for (const char* name : {"BtnSichern", "SpeedButton18"})
            (new QToolButton(bar))->setObjectName(QLatin1String(name));
        installLayoutEditor(*this);
        ui.clear();
    }

    TFLay* editor() { return dynamic_cast<TFLay*>(main.findChild<QDialog*>(QStringLiteral("FLay"))); }
    void trigger(const char* action) { mainMenu.action(QLatin1String(action))->trigger(); }
    void click(const char* button) { bar->findChild<QToolButton*>(QLatin1String(button))->click(); }
    // Closes the editor and lets it go.
    void closeEditor()
    {
        editor()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int editorPage() { return editor() ? editor()->layreg123->currentIndex() : -1; }
    bool showsColumn(const QString& field) const { return file->layout().columns.find(field) != nullptr; }
};

} // namespace

TEST(EditorCommands, EachCommandOpensTheEditorOnItsPage)
{
    Frame f;
    const std::pair<std::function<void()>, int> commands[] = {
        {[&] { f.trigger("columnProperties"); }, TFLay::InputLayout},
        {[&] { f.click("SpeedButton18"); }, TFLay::InputLayout},
        {[&] { f.trigger("Layoutbearbeiten2"); }, TFLay::PrintLayout},
        {[&] { f.click("BtnSichern"); }, TFLay::PrintLayout},
    };
    for (const auto& [run, page] : commands) {
        run();
        ASSERT_NE(f.editor(), nullptr);
        EXPECT_EQ(f.editorPage(), page);
        EXPECT_EQ(f.editor()->layout().path, f.ws + "LAYOUT/DEMO.LAY");
        EXPECT_EQ(f.editor()->hilfe->text(), "Layoutbearbeitung");
        f.closeEditor();
        EXPECT_EQ(f.editor(), nullptr);
    }
    EXPECT_TRUE(f.ui.messages().isEmpty());

    // Without MitHilfe the help line stays empty.
    f.ctx->settings.MitHilfe = false;
    f.trigger("columnProperties");
    ASSERT_NE(f.editor(), nullptr);
    EXPECT_TRUE(f.editor()->hilfe->text().isEmpty());
    f.closeEditor();
}

TEST(EditorCommands, AfterClosingTheStudentFileShowsTheEditedColumns)
{
    Frame f;
    ASSERT_FALSE(f.showsColumn("TELEFON"));
    f.trigger("columnProperties");
    TFLay* editor = f.editor();
    ASSERT_NE(editor, nullptr);
    LayoutColumnPage& page = *editor->columnPage();
    const int telefon = [&] {
        for (int r = 0; r < page.faAllx->rowCount(); ++r)
            if (page.faAllx->item(r, 0)->text() == "TELEFON")
                return r;
        return -1;
    }();
    ASSERT_GE(telefon, 0);
    page.faAllx->setCurrentCell(telefon, 0);
    page.addSelected();

    f.ui.answers.enqueue(Answer::Yes);
    f.closeEditor();
    EXPECT_EQ(f.ui.messages(), QStringList{kSaveQuestion});
    EXPECT_TRUE(f.showsColumn("TELEFON"));
    EXPECT_TRUE(blockColumnLines(readTextLines(f.ws + "LAYOUT/DEMO.LAY").value_or(QStringList())).join('\n').contains("TELEFON"));
}

TEST(EditorCommands, ASavedCopyIsRegisteredOnlyWhenTheUserSaysSo)
{
    Frame f;
    for (Answer answer : {Answer::No, Answer::Yes}) {
        f.trigger("Layoutbearbeiten2");
        ASSERT_NE(f.editor(), nullptr);
        f.ui.texts.enqueue(f.ws + "LAYOUT/KOPIE.LAY");
        if (QFile::exists(f.ws + "LAYOUT/KOPIE.LAY"))
            f.ui.answers.enqueue(Answer::Yes);  // overwrite
        ASSERT_TRUE(f.editor()->saveAs());
        f.ui.clear();
        f.ui.answers.enqueue(answer);
        f.closeEditor();
        EXPECT_EQ(f.ui.messages(), QStringList{"Es wurde ein anderes als das aktuelle Layout bearbeitet.\n"
                                               "Soll dieses Layout als das aktuelle registriert werden?\n"});
        EXPECT_EQ(f.file->layout().path.endsWith("KOPIE.LAY"), answer == Answer::Yes);
    }
}

TEST(EditorCommands, AMissingLayoutIsChosenFirstAndCancellingEnds)
{
    Frame f;
    ASSERT_TRUE(QFile::rename(f.ws + "LAYOUT/DEMO.LAY", f.ws + "LAYOUT/ANDERS.LAY"));
    f.trigger("Layoutbearbeiten2");
    EXPECT_EQ(f.editor(), nullptr);
    ASSERT_EQ(f.ui.shown.size(), 1);
    EXPECT_EQ(f.ui.shown.front().text, "Drucklayout wählen");

    f.ui.texts.enqueue(f.ws + "LAYOUT/ANDERS.LAY");
    f.trigger("Layoutbearbeiten2");
    ASSERT_NE(f.editor(), nullptr);
    EXPECT_EQ(f.editor()->layout().path, f.ws + "LAYOUT/ANDERS.LAY");
    EXPECT_TRUE(f.file->assignments().Layoutdatei.endsWith("ANDERS.LAY"));
    f.closeEditor();
}

TEST(EditorCommands, TheAppearanceButtonOpensTheStudentFilesWindow)
{
    Frame f;
    QString seenPath;
    f.file->setChooseBlock([&](LoadedLayout& layout) {
        seenPath = layout.path;
        replaceBlock(layout.lines, defaultColumnLines());
        return true;
    });
    f.trigger("columnProperties");
    ASSERT_NE(f.editor(), nullptr);
    f.editor()->columnPage()->appearance->click();
    EXPECT_EQ(seenPath, f.file->layout().path);
    EXPECT_EQ(f.editor()->columnPage()->FaIstx->rowCount(), 4);
    EXPECT_TRUE(f.editor()->changed());
    f.ui.answers.enqueue(Answer::No);
    f.closeEditor();
    // Not saved: the layout keeps its columns.
    EXPECT_GT(f.file->layout().columns.columns.size(), 4u);
}

TEST(EditorCommands, WithFdfAltThePageEditsTheStudentFilesColumnFile)
{
    Frame f;
    ASSERT_TRUE(writeTextLines(f.ws + "DEFINI/KL5.FDF", defaultColumnLines()));
    f.ctx->settings.FDFAlt = true;
    f.file->assignments().Faecherdatei = QStringLiteral("KL5.FDF");
    f.trigger("columnProperties");
    ASSERT_NE(f.editor(), nullptr);
    EXPECT_TRUE(f.editor()->columnFileMode());
    EXPECT_EQ(f.editor()->columnFilePath(), f.ws + "DEFINI/KL5.FDF");
    EXPECT_EQ(f.editor()->columnPage()->FaIstx->rowCount(), 4);
    f.closeEditor();

    f.ctx->settings.FDFAlt = false;
    f.trigger("columnProperties");
    EXPECT_FALSE(f.editor()->columnFileMode());
    f.closeEditor();
}

TEST(EditorCommands, AnElementsPositionShowsAsARedArrowInThePreview)
{
    Frame f;
    f.trigger("Layoutbearbeiten2");
    ASSERT_NE(f.editor(), nullptr);
    LayoutElementGrid& entries = *f.editor()->elementGrid(ElementKind::Eintrag);
    const int content = entries.grid().columnOf("Inhalt");
    const QPoint at(entries.grid().cell(0, "x").toInt(), entries.grid().cell(0, "y").toInt());
    ASSERT_GT(at.x(), 0);
    entries.cellDoubleClicked(0, content);

    TFVorschau* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TFVorschau*>(w); p && p->isVisible())
            preview = p;
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(preview->isVisible());
    const auto redLinesTo = [&](QPoint p) {
        int n = 0;
        for (const DrawnLine& l : preview->recording()->lines())
            n += l.colour == QColor(Qt::red) && l.x2 == p.x() && l.y2 == p.y();
        return n;
    };
    EXPECT_GE(redLinesTo(at), 1);
    // The variable names stand in for the student's values.
    bool names = false;
    for (const DrawnText& t : preview->recording()->texts())
        names = names || t.text.contains("SCHULNAME");
    EXPECT_TRUE(names);

    const QString folder = qEnvironmentVariable("ZEDORA_SCREENSHOTS");
    if (!folder.isEmpty()) {
        preview->resize(760, 900);
        preview->grab().save(QDir(folder).filePath("layout_editor_vorschau_marker.png"));
    }

    // "Vorschau 1": the student's data, no arrow.
    f.editor()->runPreview(FormMode::AllData);
    EXPECT_EQ(redLinesTo(at), 0);
    f.closeEditor();
    // The arrow lives only while the editor is open.
    EXPECT_FALSE(preview->isVisible());
}
