// The layout editor's file operations, and the shipped demo layout.
#include "print/layout_files.h"
#include "print/layout_reader.h"
#include "print/placeholders.h"

#include "core/settings.h"
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_schema.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

QString demoSource()
{
    // A compiler cache may name this file relative to the build directory.
    QString here = QFileInfo(QStringLiteral(__FILE__)).path();
    if (QDir::isRelativePath(here))
        here = QStringLiteral(ZEDORA_BINARY_DIR "/") + here;
    return here + QStringLiteral("/../../share/MUSTER/DEMOLAY.MST");
}

QStringList demoLines()
{
    QFile f(demoSource());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

const QString kTemplateNotice = QStringLiteral(
    "Eine Layoutdatei aus dem \"Vorlagenordner\" wurde gewählt,\n\ndie Layoutdatei wird in den Ordner "
    "\\Layout\\Testen kopiert!");

struct Workspace {
    QTemporaryDir dir;
    TNeueDateien reg{dir.filePath(QStringLiteral("neu.txt")), dir.filePath(QStringLiteral("neuverz.txt"))};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
    LayoutFiles layouts{dir.path(), files, ui};

    Workspace()
    {
        reg.endDefer();
        QDir(dir.path()).mkpath(QStringLiteral("LAYOUT"));
        QDir(dir.path()).mkpath(QStringLiteral("MUSTER"));
    }
    QString path(const char* rel) const { return dir.filePath(QString::fromUtf8(rel)); }
    void put(const char* rel, const QStringList& lines) const
    {
        QDir().mkpath(QFileInfo(path(rel)).absolutePath());
        ASSERT_TRUE(writeTextLines(path(rel), lines));
    }
};

const QStringList kSmall = {QStringLiteral("[ALLGEMEINES]"), QStringLiteral("FormularName=Klein"), QString(),
                            QStringLiteral("[EINTRAG-107]"), QStringLiteral("Aktiv=1"), QStringLiteral("x=10"),
                            QStringLiteral("y=20"), QStringLiteral("Inhalt=Hallo"), QString()};

class Record : public RecordValues {
public:
    bool hasField(const QString& name) const override { return findStudentField(name) != nullptr; }
    QString value(const QString& name) const override { return name == u"MW" ? QStringLiteral("w") : QString(); }
};

} // namespace

TEST(LayoutFiles, OpenReadsTheFileAndCompletesTheColumnBlock)
{
    Workspace ws;
    ws.put("LAYOUT/KLEIN.LAY", kSmall);
    EditedLayout layout;
    ws.ui.texts.enqueue(ws.path("layout/klein.lay"));
    ASSERT_TRUE(ws.layouts.open(layout, QStringLiteral("NOTEN.NKD")));
    EXPECT_EQ(layout.path, ws.path("LAYOUT/KLEIN.LAY"));
    EXPECT_TRUE(layout.changed);  // the column block was missing
    EXPECT_TRUE(layout.text.contains(QStringLiteral("-FDFYYY-")));
    EXPECT_EQ(layout.data.general.FormularName, QStringLiteral("Klein"));
    EXPECT_EQ(layout.data.general.Kuerzeldateiname, QStringLiteral("NOTEN.NKD"));
    EXPECT_EQ(layout.data.grid(ElementKind::Eintrag).cell(0, QStringLiteral("Inhalt")), QStringLiteral("Hallo"));
    EXPECT_TRUE(ws.ui.messages().isEmpty());  // LAYOUT is the right folder

    ASSERT_TRUE(ws.layouts.save(layout));
    EXPECT_FALSE(layout.changed);
    const QStringList saved = *readTextLines(ws.path("LAYOUT/KLEIN.LAY"));
    EXPECT_TRUE(saved.contains(QStringLiteral("[EINTRAG-100]")));
    EXPECT_TRUE(ws.reg.files().contains(ws.path("LAYOUT/KLEIN.LAY")));
}

TEST(LayoutFiles, RefusalsAndWarnings)
{
    Workspace ws;
    EditedLayout layout;
    EXPECT_FALSE(ws.layouts.openPath(layout, QStringLiteral("a:\\X.LAY"), {}));
    EXPECT_FALSE(ws.layouts.saveAsPath(layout, QStringLiteral("A:\\X.LAY")));
    EXPECT_EQ(ws.ui.messages(),
              (QStringList{QStringLiteral("Das Öffnen einer Datei auf Diskette ist nicht gestattet,\nbenutzen Sie den "
                                          "Menüpunkt \"Von Diskette\" !\n"),
                           QStringLiteral("Das Speichern einer Datei auf Diskette ist nicht gestattet,\nbenutzen Sie "
                                          "den Menüpunkt \"Auf Diskette\" !\n")}));

    // A layout outside LAYOUT opens, with the convention warning.
    ws.ui.clear();
    ws.put("ANDERS/K.LAY", kSmall);
    ASSERT_TRUE(ws.layouts.openPath(layout, ws.path("ANDERS/K.LAY"), {}));
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_TRUE(ws.ui.messages()[0].startsWith(QStringLiteral("Falsches Verzeichnis:")));

    // ... and may not be saved there under a new name.
    ws.ui.clear();
    EXPECT_FALSE(ws.layouts.saveAsPath(layout, ws.path("ANDERS/NEU")));
    EXPECT_FALSE(QFileInfo::exists(ws.path("ANDERS/NEU.LAY")));
}

TEST(LayoutFiles, SaveAsAddsExtensionAndAsksBeforeOverwriting)
{
    Workspace ws;
    ws.put("LAYOUT/KLEIN.LAY", kSmall);
    EditedLayout layout;
    ASSERT_TRUE(ws.layouts.openPath(layout, ws.path("LAYOUT/KLEIN.LAY"), {}));

    ASSERT_TRUE(ws.layouts.saveAsPath(layout, ws.path("LAYOUT/neu.txt")));
    EXPECT_EQ(layout.path, ws.path("LAYOUT/neu.LAY"));
    EXPECT_TRUE(QFileInfo(ws.path("LAYOUT/neu.LAY")).isFile());

    const QString question = QStringLiteral("Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n");
    ws.ui.answers.enqueue(Answer::No);
    layout.data.general.FormularName = QStringLiteral("Geändert");
    EXPECT_FALSE(ws.layouts.saveAsPath(layout, ws.path("LAYOUT/KLEIN")));
    EXPECT_EQ(ws.ui.messages(), QStringList{question});
    EXPECT_FALSE(readTextLines(ws.path("LAYOUT/KLEIN.LAY"))->contains(QStringLiteral("FormularName=Geändert")));

    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(ws.layouts.saveAsPath(layout, ws.path("LAYOUT/KLEIN")));
    EXPECT_TRUE(readTextLines(ws.path("LAYOUT/KLEIN.LAY"))->contains(QStringLiteral("FormularName=Geändert")));
}

TEST(LayoutFiles, TemplatesAreCopiedToTesten)
{
    Workspace ws;
    ws.put("LAYOUTVORLAGEN/GS/ZEUGNIS.LAY", kSmall);
    EditedLayout layout;
    ASSERT_TRUE(ws.layouts.openPath(layout, ws.path("LayoutVorlagen/GS/ZEUGNIS.LAY"), {}));
    EXPECT_EQ(ws.ui.messages(), QStringList{kTemplateNotice});
    EXPECT_EQ(layout.path, ws.path("LAYOUT/Testen/ZEUGNIS.LAY"));
    EXPECT_TRUE(ws.reg.directories().contains(ws.path("LAYOUT/Testen")));

    // Edits of the copy survive a second choice of the template.
    layout.data.general.FormularName = QStringLiteral("Kopie");
    ASSERT_TRUE(ws.layouts.save(layout));
    ws.ui.clear();
    ASSERT_TRUE(ws.layouts.openPath(layout, ws.path("LAYOUTVORLAGEN/GS/ZEUGNIS.LAY"), {}));
    EXPECT_EQ(ws.ui.messages(), QStringList{QStringLiteral("Kopieren nicht erfolgreich, Datei ist bereits vorhanden!")});
    EXPECT_EQ(layout.data.general.FormularName, QStringLiteral("Kopie"));
    EXPECT_EQ(readTextLines(ws.path("LAYOUTVORLAGEN/GS/ZEUGNIS.LAY")), kSmall);
}

TEST(LayoutFiles, UnsavedChangesAreOfferedBeforeOpening)
{
    Workspace ws;
    ws.put("LAYOUT/A.LAY", kSmall);
    ws.put("LAYOUT/B.LAY", kSmall);
    EditedLayout layout;
    ASSERT_TRUE(ws.layouts.openPath(layout, ws.path("LAYOUT/A.LAY"), {}));
    layout.data.general.FormularName = QStringLiteral("A geändert");
    layout.changed = true;
    ws.ui.answers.enqueue(Answer::Yes);
    ASSERT_TRUE(ws.layouts.openPath(layout, ws.path("LAYOUT/B.LAY"), {}));
    EXPECT_EQ(ws.ui.messages(), QStringList{QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n")});
    EXPECT_TRUE(readTextLines(ws.path("LAYOUT/A.LAY"))->contains(QStringLiteral("FormularName=A geändert")));
    EXPECT_EQ(layout.path, ws.path("LAYOUT/B.LAY"));
}

TEST(LayoutFiles, DemoFallback)
{
    Workspace ws;
    ws.put("MUSTER/DEMOLAY.MST", kSmall);
    EXPECT_EQ(ws.layouts.layoutToEdit(ws.path("LAYOUT/FEHLT.LAY")), ws.path("LAYOUT/DEMO.LAY"));
    EXPECT_EQ(readTextLines(ws.path("LAYOUT/DEMO.LAY")), kSmall);
    // An existing DEMO.LAY is used as it is.
    ws.put("LAYOUT/DEMO.LAY", {QStringLiteral("[ALLGEMEINES]")});
    EXPECT_EQ(ws.layouts.layoutToEdit(QString()), ws.path("LAYOUT/DEMO.LAY"));
    EXPECT_EQ(readTextLines(ws.path("LAYOUT/DEMO.LAY"))->size(), 1);
    ws.put("LAYOUT/DA.LAY", kSmall);
    EXPECT_EQ(ws.layouts.layoutToEdit(ws.path("layout/da.lay")), ws.path("LAYOUT/DA.LAY"));
}

TEST(DemoLayout, ParsesCleanlyWithEveryElementKind)
{
    const QStringList text = demoLines();
    ASSERT_GT(text.size(), 100);
    TDruckLayout m;
    parseLayoutText(text, QStringLiteral("/ws/LAYOUT"), m, QStringLiteral("/ws"));
    int entries = 0, lines = 0, fields = 0, blocks = 0, pictures = 0;
    for (const auto& e : m.Eintraege) entries += e.Aktiv;
    for (const auto& l : m.Linien) lines += l.Aktiv;
    for (const auto& n : m.Notenfelder) fields += n.Aktiv;
    for (const auto& t : m.Textbloecke) blocks += t.Aktiv;
    for (const auto& b : m.Bilder) pictures += b.Aktiv;
    EXPECT_GE(entries, 40);
    EXPECT_GE(lines, 5);
    EXPECT_EQ(fields, 14);
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(pictures, 1);
    EXPECT_TRUE(m.PapierA4);
    EXPECT_FALSE(m.Querformat);
    EXPECT_EQ(m.Bedeutung, -1);
    EXPECT_EQ(m.bild(100).Bilddatei, QStringLiteral("/ws/MUSTER/PALMEN.JPG"));

    // Every placeholder names a field of the student file.
    Settings settings;
    Record record;
    ScriptedInteraction ui;
    PlaceholderContext c;
    c.settings = &settings;
    c.record = &record;
    c.ui = &ui;
    for (const auto& e : m.Eintraege)
        if (e.Aktiv)
            replacePlaceholders(e.Inhalt, c);
    for (const auto& t : m.Textbloecke)
        if (t.Aktiv)
            (t.Inhalt.contains(QStringLiteral("%TB")) ? fetchTextBlockColumn(t.Inhalt, c)
                                                      : replacePlaceholders(t.Inhalt, c));
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join(QLatin1Char('|')).toStdString();
}

TEST(DemoLayout, EditorRoundTripIsExact)
{
    QStringList text = demoLines();
    while (!text.isEmpty() && text.last().isEmpty())
        text.removeLast();
    LayoutEditorData d = readLayoutForEditing(text, QStringLiteral("DEMO.LAY"), QStringLiteral("KUERZEL.TXT"));
    ScriptedInteraction ui;
    EXPECT_EQ(buildLayoutText(d, ui), text);
    EXPECT_TRUE(ui.messages().isEmpty());
}
