// The pass over the records: selections, whole-class runs, table forms,
// grade-field patterns and pictures.
#include "print/printer_output.h"
#include "print/wmf_picture.h"
#include "renderer_test_support.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

void addStudents(ListRecords& r, const QStringList& names, const QStringList& codes = {})
{
    r.rows.clear();
    for (int i = 0; i < names.size(); ++i)
        r.add({{QStringLiteral("NAME"), names[i]},
               {QStringLiteral("ID"), QStringLiteral("ID%1").arg(i)},
               {QStringLiteral("ABSCH"), codes.value(i)}});
}

QStringList pageTexts(const RecordingSurface& s, int page)
{
    QStringList out;
    for (const DrawnText& t : s.texts(page))
        out << t.text;
    return out;
}

} // namespace

TEST(RendererRun, WholeClassWithGraduationCodeDrawsOnlyMatchingStudentsWithRunningNumbers)
{
    RenderHarness h;
    addStudents(h.records, {"Amsel", "Buche", "Christ", "Dachs", "Eibe"},
                {"HA9", "s1r ", "S1R", "FOR", "S1R"});
    h.layout.eintrag(100) = entry(200, 500, QStringLiteral("%LNR% %NAME%"));
    h.run.selection = RecordSelection::WholeClass;
    h.run.graduationCode = QStringLiteral("S1R");
    h.records.current = 3;
    int pages = 0;
    const RecordingSurface s = h.render(&pages);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(s.pageCount(), 3);
    EXPECT_EQ(pageTexts(s, 1), QStringList({QStringLiteral("1 Buche")}));
    EXPECT_EQ(pageTexts(s, 2), QStringList({QStringLiteral("2 Christ")}));
    EXPECT_EQ(pageTexts(s, 3), QStringList({QStringLiteral("3 Eibe")}));
    // The cursor stands where it stood before the run.
    EXPECT_EQ(h.records.current, 3);

    h.run.graduationCode = QStringLiteral("X");
    h.render(&pages);
    EXPECT_EQ(pages, 5);
}

TEST(RendererRun, SelectionPrintsIdsInListOrderAndLeavesMissingOnesEmpty)
{
    RenderHarness h;
    addStudents(h.records, {"Amsel", "Buche", "Christ"});
    h.layout.eintrag(100) = entry(200, 500, QStringLiteral("%LNR% %NAME%"));
    h.run.selection = RecordSelection::Selection;
    h.run.ids = {QStringLiteral("ID2"), QStringLiteral("ID2"), QStringLiteral("weg"), QStringLiteral("ID0")};
    int pages = 0;
    const RecordingSurface s = h.render(&pages);
    EXPECT_EQ(pages, 4);
    EXPECT_EQ(pageTexts(s, 1), QStringList({QStringLiteral("1 Christ")}));
    EXPECT_EQ(pageTexts(s, 2), QStringList({QStringLiteral("1 Christ")}));
    EXPECT_TRUE(pageTexts(s, 3).isEmpty());
    EXPECT_EQ(pageTexts(s, 4), QStringList({QStringLiteral("1 Amsel")}));
}

TEST(RendererRun, PageToShowDrawsOnlyThatPage)
{
    RenderHarness h;
    addStudents(h.records, {"Amsel", "Buche", "Christ"});
    h.layout.eintrag(100) = entry(200, 500, QStringLiteral("%NAME%"));
    h.run.selection = RecordSelection::WholeClass;
    h.options.pageToShow = 2;
    int pages = 0;
    const RecordingSurface s = h.render(&pages);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(s.pageCount(), 1);
    EXPECT_EQ(pageTexts(s, 1), QStringList({QStringLiteral("Buche")}));
}

TEST(RendererRun, TableFormClosesPagesByThePageSpaceOrTheFixedCount)
{
    RenderHarness h;
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << QStringLiteral("S%1").arg(i);
    addStudents(h.records, names);
    h.layout.Tabellenmodus = true;
    h.layout.DatenSatzVorschub = 300;
    h.layout.Blatthoehe = 2970;
    TLayEintrag head = entry(200, 300, QStringLiteral("Klassenliste"));
    head.Kopf = true;
    h.layout.eintrag(100) = head;
    h.layout.eintrag(101) = entry(200, 700, QStringLiteral("%NAME%"));
    h.run.selection = RecordSelection::Single; // a table form always prints the whole class

    // Top reference 400: a page is full once 2970 - 400 - 400 < 300 * (i + 1), at i = 7.
    int pages = 0;
    RecordingSurface s = h.render(&pages);
    EXPECT_EQ(pages, 2);
    QStringList first = pageTexts(s, 1);
    ASSERT_EQ(first.size(), 8);
    EXPECT_EQ(first[0], QStringLiteral("Klassenliste"));
    EXPECT_EQ(first[7], QStringLiteral("S6"));
    const auto t = s.texts(1);
    EXPECT_EQ(t[2].y, 700 + 300);
    EXPECT_EQ(pageTexts(s, 2).size(), 1 + 5);

    h.layout.DatenAnzahl = 5;
    s = h.render(&pages);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(pageTexts(s, 1).size(), 1 + 5);
    EXPECT_EQ(pageTexts(s, 3).size(), 1 + 2);

    // Exactly full: no empty page follows.
    addStudents(h.records, names.mid(0, 10));
    s = h.render(&pages);
    EXPECT_EQ(pages, 2);
}

TEST(RendererRun, GradeFieldsUsePictureInPreviewAndTheSettingOnPaper)
{
    QTemporaryDir dir;
    QImage img(70, 10, QImage::Format_RGB32);
    img.fill(Qt::gray);
    ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("RASTER1.JPG")), "JPG"));
    RenderHarness h;
    h.options.musterDir = dir.path();
    TLayNotenfeld g;
    g.Aktiv = true;
    g.x = 1000;
    g.y = 800;
    g.Laenge = 350;
    g.Hoehe = 50;
    h.layout.notenfeld(100) = g;

    h.options.preview = true;
    h.options.musterart = 3;
    RecordingSurface s = h.render();
    auto pictures = s.of(Primitive::Image);
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(QRect(QPoint(pictures[0].x, pictures[0].y), QPoint(pictures[0].x2, pictures[0].y2)),
              QRect(QPoint(1000, 750), QPoint(1350, 800)));

    h.options.preview = false;
    s = h.render();
    EXPECT_TRUE(s.of(Primitive::Image).isEmpty());
    const auto lines = s.lines();
    ASSERT_EQ(lines.size(), 5); // one every 10 from the bottom up
    EXPECT_EQ(lines[0].y1, 800);
    EXPECT_EQ(lines[4].y1, 760);
    EXPECT_EQ(lines[0].x2, 1350);

    h.options.musterart = 12; // strokes 2 long in a 6 grid
    s = h.render();
    const auto strokes = s.lines();
    ASSERT_FALSE(strokes.isEmpty());
    for (const DrawnLine& l : strokes) {
        EXPECT_EQ(l.x1, l.x2);
        EXPECT_EQ(l.y1 - l.y2, 2);
        EXPECT_GE(l.y2, 750);
        EXPECT_LE(l.y1, 800);
    }

    // A pattern picture that is missing draws nothing and does not stop the page.
    h.options.musterart = 17;
    EXPECT_TRUE(h.render().of(Primitive::Image).isEmpty());
}

TEST(RendererRun, PicturesMissingCorruptOrOfTheWrongTypeNeverStopThePage)
{
    QTemporaryDir dir;
    QImage img(200, 100, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("logo.bmp")), "BMP"));
    QFile corrupt(dir.filePath(QStringLiteral("kaputt.jpg")));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write("\xFF\xD8\xFF\xE0 kein JPEG");
    corrupt.close();
    QFile wrong(dir.filePath(QStringLiteral("bild.png")));
    ASSERT_TRUE(wrong.open(QIODevice::WriteOnly));
    wrong.write("png");
    wrong.close();

    RenderHarness h;
    auto picture = [&](int nr, const QString& file, int x, int y, int x2) {
        TLayBild b;
        b.Aktiv = true;
        b.x = x;
        b.y = y;
        b.x2 = x2;
        b.Bilddatei = file.isEmpty() ? QString() : dir.filePath(file);
        h.layout.bild(nr) = b;
    };
    picture(100, QStringLiteral("LOGO.BMP"), 100, 100, 500);      // found under any letter case
    picture(101, QStringLiteral("logo.bmp"), 600, 100, 0);        // own size
    picture(102, QStringLiteral("fehlt.jpg"), 100, 1000, 300);
    picture(103, QStringLiteral("kaputt.jpg"), 100, 1500, 300);
    picture(104, QStringLiteral("bild.png"), 100, 2000, 300);
    h.layout.bild(105).Aktiv = true;
    h.layout.bild(105).Bilddatei = QStringLiteral("%schfoto% ");
    h.layout.eintrag(100) = entry(200, 2800, QStringLiteral("weiter"));

    const RecordingSurface s = h.render();
    const auto images = s.of(Primitive::Image);
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(QRect(QPoint(images[0].x, images[0].y), QPoint(images[0].x2, images[0].y2)),
              QRect(QPoint(100, 100), QPoint(500, 300)));
    EXPECT_EQ(QRect(QPoint(images[1].x, images[1].y), QPoint(images[1].x2, images[1].y2)),
              QRect(QPoint(600, 100), QPoint(800, 200)));

    const auto texts = s.texts();
    QStringList shown;
    for (const DrawnText& t : texts)
        shown << t.text;
    EXPECT_TRUE(shown.contains(dir.filePath(QStringLiteral("fehlt.jpg"))));
    EXPECT_TRUE(shown.contains(QStringLiteral("Grafikdatei nicht gefunden!")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Grafikdatei nicht lesbar!")));
    EXPECT_TRUE(shown.contains(QStringLiteral("weiter")));
    for (const DrawnText& t : texts)
        if (t.text == QStringLiteral("Grafikdatei nicht gefunden!")) {
            EXPECT_EQ(t.colour, QColor(255, 0, 0));
            EXPECT_EQ(t.y, 1050);
        }
    EXPECT_EQ(h.ui.messages(), QStringList({QStringLiteral("Grafikdatei ist kein WMF-, BMP- oder JPG-Format!")}));

    // The photo placeholder draws the photo the hook names.
    h.options.photoPath = [&](const RecordValues&) { return dir.filePath(QStringLiteral("logo.bmp")); };
    EXPECT_EQ(h.render().of(Primitive::Image).size(), 3);
}

TEST(PrintRuns, SingleStudentAndPrintCentreRunsFollowTheLayout)
{
    TDruckLayout layout;
    layout.Bedeutung = -1;
    PrintRun run = singleStudentRun(layout);
    EXPECT_EQ(run.selection, RecordSelection::Single);
    EXPECT_EQ(run.gradeFormat, kGradeMeaning1);
    layout.Bedeutung = 2;
    layout.Tabellenmodus = true;
    run = singleStudentRun(layout);
    EXPECT_EQ(run.selection, RecordSelection::WholeClass);
    EXPECT_EQ(run.gradeFormat, kGradeAbbreviation);

    layout = TDruckLayout();
    layout.Bedeutung = -1;
    QStringList ids;
    for (int i = 0; i < 150; ++i)
        ids << QString::number(i) << QString::number(i);
    run = printCentreRun(layout, FormMode::EmptyForm, kGradeMeaning2, false, QStringLiteral("Alle"), ids);
    EXPECT_EQ(run.selection, RecordSelection::Selection);
    EXPECT_EQ(run.ids.size(), kMaxSelectionPages);
    EXPECT_EQ(run.gradeFormat, kGradeMeaning2);
    EXPECT_EQ(run.formMode, FormMode::EmptyForm);
    // "Ganze Klasse" with "Alle" goes the selection way; with a code it is a whole-class run.
    EXPECT_EQ(printCentreRun(layout, FormMode::AllData, 0, true, QStringLiteral("Alle"), ids).selection,
              RecordSelection::Selection);
    run = printCentreRun(layout, FormMode::AllData, 0, true, QStringLiteral(" s1r"), ids);
    EXPECT_EQ(run.selection, RecordSelection::WholeClass);
    EXPECT_EQ(run.graduationCode, QStringLiteral("S1R"));
    // A table form prints the whole class even for "Auswahl", restricted by a code shown.
    layout.Tabellenmodus = true;
    run = printCentreRun(layout, FormMode::AllData, 0, false, QStringLiteral("HA9"), ids);
    EXPECT_EQ(run.selection, RecordSelection::WholeClass);
    EXPECT_EQ(run.graduationCode, QStringLiteral("HA9"));
}

TEST(PrintRuns, FixedPrinterBeyondTheInstalledOnesFallsBackAndForgetsTheNumber)
{
    Settings s;
    s.FesterDruckerGewaehlt = true;
    s.FesterDruckerNummer = 999;
    const QString name = jobPrinter(s);
    EXPECT_EQ(s.FesterDruckerNummer, -1);
    EXPECT_EQ(name.isEmpty(), !hasPrinters());
    s.FesterDruckerGewaehlt = false;
    s.FesterDruckerNummer = 999;
    jobPrinter(s);
    EXPECT_EQ(s.FesterDruckerNummer, 999);
}
