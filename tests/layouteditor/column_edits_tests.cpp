// The column layout as the editor edits it: lines read and written in the
// forms the entry table reads back, the fields on offer, the arrow-button
// edits and the column-layout files.
#include "print/layout_editor_columns.h"

#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/column_layout.h"
#include "data/student_schema.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

const QStringList kBlock = {
    QStringLiteral("NAME               Name                                    20"),
    QStringLiteral("VORNAME            Vorname                                 15"),
    QStringLiteral("DE                 Deutsch                                 3         X"),
    QStringLiteral("MA                 Mathematik                              3"),
};

ColumnDescription applied(const QStringList& lines)
{
    ApplyOptions options;
    options.nameGridVisible = false;
    return applyColumnLines(lines, options).description;
}

AvailableField field(const std::vector<AvailableField>& all, const QString& name)
{
    for (const AvailableField& f : all)
        if (f.name == name)
            return f;
    ADD_FAILURE() << "no field " << name.toStdString();
    return {};
}

} // namespace

TEST(ColumnEdits, UntouchedLinesStayAsTheyWereAndEditedOnesReadBackTheSame)
{
    std::vector<EditorColumn> columns = readEditorColumns(QStringList{kBlock[0], QString(), QStringLiteral("   ")} + kBlock.mid(1));
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[2].caption, "Deutsch");
    EXPECT_EQ(columns[2].width, "3");
    EXPECT_EQ(columns[2].mark, "X");
    EXPECT_EQ(editorColumnLines(columns), kBlock);

    columns[1].caption = QStringLiteral("Rufname");
    columns[1].width = QStringLiteral("12");
    columns[3].mark = QStringLiteral("x");
    columns[2].mark.clear();
    const QStringList written = editorColumnLines(columns);
    EXPECT_EQ(written[0], kBlock[0]);
    EXPECT_EQ(written[1].size(), 19 + 40 + 10);

    const ColumnDescription d = applied(written);
    ASSERT_EQ(d.columns.size(), 4u);
    EXPECT_EQ(d.columns[1].field, "VORNAME");
    EXPECT_EQ(d.columns[1].caption.trimmed(), "Rufname");
    EXPECT_EQ(d.columns[1].width, 12);
    EXPECT_FALSE(d.isExempt("DE"));
    EXPECT_TRUE(d.isExempt("MA"));
}

TEST(ColumnEdits, ColumnFilesCarryNameCaptionAndWidthOnly)
{
    std::vector<EditorColumn> columns = readEditorColumns(kBlock);
    columns[0].caption = QString(45, QLatin1Char('c'));
    const QStringList lines = columnFileLines(columns);
    ASSERT_EQ(lines.size(), 4);
    for (const QString& line : lines)
        EXPECT_EQ(line.size(), 19 + 40 + 3) << line.toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("DE                 Deutsch                                 3  "));
    // Read back: the caption cut to its 40 places, no mark.
    const std::vector<EditorColumn> back = readEditorColumns(lines);
    EXPECT_EQ(back[0].caption, QString(40, QLatin1Char('c')));
    EXPECT_TRUE(back[2].mark.isEmpty());
}

TEST(ColumnEdits, EveryFieldOfTheStudentFileIsOnOfferWithItsUsualCaption)
{
    const QStringList allFields = {QStringLiteral("Kopf"), QStringLiteral("Feldname"),
                                   QStringLiteral("DE                 Deutsch                                 3"),
                                   QStringLiteral("TB1                Zeugnisbemerkung                        x")};
    const std::vector<AvailableField> all = availableFields(allFields);
    EXPECT_EQ(all.size(), kStoredFields.size() + kCalculatedFields.size());
    EXPECT_EQ(all.front().name, "NAME");
    EXPECT_EQ(all.back().name, "D3");

    const AvailableField de = field(all, "DE");
    EXPECT_EQ(de.meaning, "Deutsch");
    EXPECT_EQ(de.dbLength, 2);
    EXPECT_EQ(de.kind, FieldKind::Grade);
    EXPECT_EQ(de.columnWidth, 3);
    // A width that is no number, or a field the list lacks: the usual width.
    EXPECT_EQ(field(all, "TB1").columnWidth, defaultDisplayWidth("TB1"));
    EXPECT_EQ(field(all, "TB1").meaning, "Zeugnisbemerkung");
    EXPECT_TRUE(field(all, "ORT").meaning.isEmpty());
    EXPECT_EQ(field(all, "ORT").dbLength, 25);

    // A field without caption gets its name as caption.
    const EditorColumn ort = columnFor(field(all, "ORT"));
    EXPECT_EQ(ort.caption, "ORT");
    EXPECT_EQ(ort.width, QString::number(defaultDisplayWidth("ORT")));
}

TEST(ColumnEdits, ArrowButtonsAddOnceMoveWithinAndKeepThreeColumns)
{
    const std::vector<AvailableField> all = availableFields({});
    std::vector<EditorColumn> columns = readEditorColumns(kBlock);
    ScriptedInteraction ui;

    EXPECT_EQ(addColumn(columns, field(all, "EN"), 2), 2);
    EXPECT_EQ(columns[2].name, "EN");
    EXPECT_EQ(addColumn(columns, field(all, "FR"), 99), 5);
    // A field already shown is not added again.
    EXPECT_EQ(addColumn(columns, field(all, "DE"), 0), 3);
    ASSERT_EQ(columns.size(), 6u);

    EXPECT_EQ(moveColumn(columns, 5, -2), 3);
    EXPECT_EQ(columns[3].name, "FR");
    EXPECT_EQ(columns[4].name, "DE");
    EXPECT_EQ(moveColumn(columns, 0, -1), 0);
    EXPECT_EQ(moveColumn(columns, 1, 10), 5);
    EXPECT_EQ(columns[5].name, "VORNAME");

    EXPECT_TRUE(removeColumn(columns, 1, ui));
    EXPECT_TRUE(removeColumn(columns, 1, ui));
    EXPECT_TRUE(removeColumn(columns, 1, ui));
    EXPECT_TRUE(ui.messages().isEmpty());
    ASSERT_EQ(columns.size(), 3u);
    // Fewer would make the program put its default columns in.
    EXPECT_FALSE(removeColumn(columns, 0, ui));
    EXPECT_EQ(columns.size(), 3u);
    EXPECT_EQ(ui.messages(), QStringList{"Die Eingabetabelle braucht mindestens drei Spalten!"});
    EXPECT_FALSE(removeColumn(columns, 7, ui));
}

TEST(ColumnEdits, CellTextsAreCutToWhatTheLinesHold)
{
    EXPECT_EQ(cleanCaption(QString(50, QLatin1Char('a'))).size(), 40);
    EXPECT_EQ(cleanCaption(QStringLiteral("Deutsch   ")), "Deutsch");
    EXPECT_EQ(cleanCaption(QStringLiteral("  Deutsch")), "  Deutsch");
    EXPECT_EQ(cleanWidth(QStringLiteral(" 1a2")), "12");
    EXPECT_EQ(cleanWidth(QStringLiteral("12345")), "123");
    EXPECT_EQ(cleanWidth(QStringLiteral("x")), "");
    EXPECT_EQ(cleanMark(QStringLiteral(" xyz")), "xy");
}

namespace {

struct Workspace {
    QTemporaryDir dir;
    TNeueDateien reg{dir.filePath(QStringLiteral("neu.txt")), dir.filePath(QStringLiteral("neuverz.txt"))};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
    ColumnLayoutFiles fdf{dir.path(), files, ui};

    Workspace()
    {
        reg.endDefer();
        QDir(dir.path()).mkpath(QStringLiteral("DEFINI"));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

} // namespace

TEST(ColumnFiles, OpenSaveAndSaveAsInTheDefiniFolder)
{
    Workspace w;
    ASSERT_TRUE(writeTextLines(w.path("DEFINI/KLASSE5.FDF"), kBlock));
    w.ui.texts.enqueue(w.path("DEFINI/KLASSE5.FDF"));
    QString path;
    const auto opened = w.fdf.open(path);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->size(), 4u);
    EXPECT_EQ(path, w.path("DEFINI/KLASSE5.FDF"));
    EXPECT_EQ(w.ui.shown.front().text, "Tabellenlayout laden");

    // Cancelled dialogs change nothing.
    EXPECT_FALSE(w.fdf.open(path));
    EXPECT_FALSE(w.fdf.saveAs(path, *opened));
    EXPECT_EQ(path, w.path("DEFINI/KLASSE5.FDF"));

    // "Speichern unter" adds the extension and asks before overwriting.
    w.ui.texts.enqueue(w.path("DEFINI/neu"));
    ASSERT_TRUE(w.fdf.saveAs(path, *opened));
    EXPECT_EQ(path, w.path("DEFINI/neu.FDF"));
    EXPECT_EQ(readTextLines(path), columnFileLines(*opened));
    EXPECT_FALSE(w.reg.files().filter(QStringLiteral("neu.FDF")).isEmpty());

    w.ui.clear();
    w.ui.texts.enqueue(w.path("DEFINI/KLASSE5.FDF"));
    w.ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(w.fdf.saveAs(path, {}));
    EXPECT_EQ(w.ui.messages(), QStringList{"Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n"});
    EXPECT_EQ(readTextLines(w.path("DEFINI/KLASSE5.FDF")), kBlock);

    // Only DEFINI holds them; the demo's file is never written over.
    w.ui.clear();
    QDir(w.dir.path()).mkpath(QStringLiteral("ANDERS"));
    w.ui.texts.enqueue(w.path("ANDERS/KL.FDF"));
    EXPECT_FALSE(w.fdf.saveAs(path, *opened));
    EXPECT_FALSE(QFile::exists(w.path("ANDERS/KL.FDF")));
    ASSERT_EQ(w.ui.messages().size(), 1);
    EXPECT_TRUE(w.ui.messages().front().startsWith("Falsches Verzeichnis:  "));
    EXPECT_EQ(w.ui.beeps(), 1);
    w.ui.clear();
    w.ui.texts.enqueue(w.path("DEFINI/DEMO.FDF"));
    EXPECT_FALSE(w.fdf.saveAs(path, *opened));
    EXPECT_FALSE(QFile::exists(w.path("DEFINI/DEMO.FDF")));
    EXPECT_EQ(path, w.path("DEFINI/neu.FDF"));

    w.ui.clear();
    EXPECT_FALSE(w.fdf.read(w.path("DEFINI/FEHLT.FDF")));
    ASSERT_EQ(w.ui.messages().size(), 1);
    EXPECT_TRUE(w.ui.messages().front().startsWith("Datei nicht gefunden!\n"));
}

// Random columns as the page may hold them: the layout's lines read back
// to the same columns, in the editor and in the entry table.
TEST(ColumnEdits, RandomColumnsSurviveTheLayoutAndTheEntryTable)
{
    const std::vector<AvailableField> all = availableFields({});
    std::srand(19);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzäöüßÄÖÜ .-/()");
    for (int round = 0; round < 200; ++round) {
        std::vector<EditorColumn> columns;
        const int n = 3 + std::rand() % 20;
        for (int i = 0; i < n; ++i) {
            const AvailableField& f = all[std::size_t(std::rand()) % all.size()];
            if (f.name == QLatin1String("LN"))
                continue;
            const int at = addColumn(columns, f, std::rand() % (int(columns.size()) + 1));
            QString caption;
            for (int c = std::rand() % 46; c > 0; --c)
                caption += letters[std::rand() % letters.size()];
            columns[std::size_t(at)].caption = cleanCaption(caption);
            columns[std::size_t(at)].width = cleanWidth(QString::number(std::rand() % 2000).left(std::rand() % 4));
            columns[std::size_t(at)].mark = std::rand() % 3 == 0 ? cleanMark(QStringLiteral("x")) : QString();
        }
        const QStringList lines = editorColumnLines(columns);
        std::vector<EditorColumn> back = readEditorColumns(lines);
        ASSERT_EQ(back.size(), columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i)
            ASSERT_TRUE(back[i] == columns[i]) << lines[int(i)].toStdString();

        const ColumnDescription d = applied(lines);
        ASSERT_EQ(d.columns.size(), columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const ColumnSpec& read = d.columns[i];
            const EditorColumn& c = columns[i];
            EXPECT_EQ(read.field, c.name);
            EXPECT_EQ(read.caption.trimmed(), c.caption.left(39).trimmed());
            if (!c.width.isEmpty()) {
                EXPECT_EQ(read.width, std::clamp(c.width.toInt(), 2, 150)) << c.width.toStdString();
            }
            EXPECT_EQ(read.exempt, !c.mark.isEmpty());
        }
    }
}
