// The preview window on the offscreen platform: page buttons, keys, zoom
// and scroll, the two saved geometries, the single-page-jobs box, printing.
#include "print/pdf_file_name.h"
#include "print/printer_output.h"
#include "print/ui/TFVorschau.h"
#include "renderer_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct PreviewFixture {
    RenderHarness h;
    std::unique_ptr<TFVorschau> preview;

    explicit PreviewFixture(int students = 3)
    {
        h.records.rows.clear();
        for (int i = 0; i < students; ++i)
            h.records.add({{QStringLiteral("NAME"), QStringLiteral("Schüler %1").arg(i + 1)},
                           {QStringLiteral("ID"), QString::number(i)}});
        h.layout.eintrag(100) = entry(200, 400, QStringLiteral("%NAME%"));
        TLayEintrag big = entry(200, 1500, QStringLiteral("%NAME%"));
        big.Grad = 40;
        h.layout.eintrag(101) = big;
        h.settings.vx = 100; h.settings.vy = 50; h.settings.vbreite = 500; h.settings.vhoehe = 700;
        h.settings.vquerx = 120; h.settings.vquery = 60; h.settings.vquerbreite = 700; h.settings.vquerhoehe = 500;
        preview = std::make_unique<TFVorschau>(h.settings, h.ui, h.metrics);
    }

    PreviewJob job(bool landscape = false, int kind = JobKind::ReportCards)
    {
        PreviewJob j;
        j.kind = kind;
        j.title = QStringLiteral("10b-2013/2014");
        j.landscape = landscape;
        PlaceholderContext context;
        context.settings = &h.settings;
        context.ui = &h.ui;
        j.renderer = std::make_shared<PageRenderer>(h.layout, h.metrics, h.options, context);
        j.records = &h.records;
        j.run.selection = RecordSelection::WholeClass;
        return j;
    }

    void click(const char* name)
    {
        auto* b = preview->findChild<QToolButton*>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    QString label() const { return preview->findChild<QLabel*>(QStringLiteral("Label1"))->text(); }
};

} // namespace

TEST(PreviewWindow, PageButtonsMoveWithinTheJob)
{
    PreviewFixture f;
    f.preview->showJob(f.job());
    EXPECT_EQ(f.preview->windowTitle(), QStringLiteral("Druckvorschau - 10b-2013/2014"));
    EXPECT_EQ(f.label(), QStringLiteral("1. von 3"));
    const QImage first = f.preview->pageImage();
    f.click("SpeedButton5");
    EXPECT_EQ(f.label(), QStringLiteral("2. von 3"));
    EXPECT_NE(f.preview->pageImage(), first); // another student's page
    f.click("SpeedButton7");
    EXPECT_EQ(f.preview->pageShown(), 3);
    f.click("SpeedButton5");
    EXPECT_EQ(f.preview->pageShown(), 3);
    f.click("SpeedButton6");
    EXPECT_EQ(f.preview->pageShown(), 1);
    EXPECT_EQ(f.preview->pageImage(), first);
    f.click("SpeedButton4");
    EXPECT_EQ(f.label(), QStringLiteral("1. von 3"));
    for (const char* n : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton8", "SpeedButton9",
                          "SpeedButton10", "SpeedButton11", "SpeedButton12", "SpeedButton13"})
        EXPECT_NE(f.preview->findChild<QToolButton*>(QLatin1String(n)), nullptr) << n;
    EXPECT_EQ(f.preview->findChild<QToolButton*>(QStringLiteral("SpeedButton4"))->toolTip(),
              QStringLiteral("Vorige Seite"));
}

TEST(PreviewWindow, WithOnePageEveryButtonStaysOnIt)
{
    PreviewFixture f(1);
    f.preview->showJob(f.job());
    for (const char* n : {"SpeedButton4", "SpeedButton5", "SpeedButton6", "SpeedButton7"}) {
        f.click(n);
        EXPECT_EQ(f.label(), QStringLiteral("1. von 1")) << n;
    }
}

TEST(PreviewWindow, KeysAndWheelScrollButNeverAboveTheTop)
{
    PreviewFixture f;
    f.preview->showJob(f.job());
    QTest::keyClick(f.preview.get(), Qt::Key_PageDown);
    EXPECT_EQ(f.preview->scroll(), -150);
    QTest::keyClick(f.preview.get(), Qt::Key_Up);
    EXPECT_EQ(f.preview->scroll(), -100);
    QTest::keyClick(f.preview.get(), Qt::Key_Down);
    EXPECT_EQ(f.preview->scroll(), -150);
    QTest::keyClick(f.preview.get(), Qt::Key_PageUp);
    QTest::keyClick(f.preview.get(), Qt::Key_PageUp);
    EXPECT_EQ(f.preview->scroll(), 0);
    f.click("SpeedButton1");
    EXPECT_EQ(f.preview->scroll(), 0);
    f.click("SpeedButton8");
    EXPECT_EQ(f.preview->scroll(), -50);
    // Scrolling down by key stops before passing minus the window width.
    for (int i = 0; i < 50; ++i)
        QTest::keyClick(f.preview.get(), Qt::Key_PageDown);
    EXPECT_GE(f.preview->scroll(), -f.preview->width());
    EXPECT_LT(f.preview->scroll(), -f.preview->width() + 150);
}

TEST(PreviewWindow, ZoomEnlargesThePageAndGreatViewResetsIt)
{
    PreviewFixture f;
    f.preview->showJob(f.job());
    const QSize normal = f.preview->pageImage().size();
    f.click("SpeedButton2");
    EXPECT_EQ(f.preview->zoom(), 100);
    const QSize larger = f.preview->pageImage().size();
    EXPECT_GT(larger.width(), normal.width() + 80);
    EXPECT_NEAR(double(larger.height()) / larger.width(), 297.0 / 210.0, 0.02);
    f.click("SpeedButton3");
    f.click("SpeedButton3");
    EXPECT_EQ(f.preview->zoom(), -100);
    f.click("SpeedButton11");
    EXPECT_EQ(f.preview->zoom(), 0);
    EXPECT_EQ(f.preview->scroll(), 0);
}

TEST(PreviewWindow, GeometryIsSavedPerOrientation)
{
    PreviewFixture f;
    f.preview->showJob(f.job(true));
    EXPECT_EQ(f.preview->geometry(), QRect(120, 60, 700, 500));
    f.preview->setGeometry(130, 70, 640, 480);
    f.preview->close();
    EXPECT_EQ(f.h.settings.vquerx, 130);
    EXPECT_EQ(f.h.settings.vquerbreite, 640);
    EXPECT_EQ(f.h.settings.vx, 100); // portrait slot untouched

    f.preview->showJob(f.job(false));
    EXPECT_EQ(f.preview->geometry(), QRect(100, 50, 500, 700));
    f.preview->close();
    f.preview->showJob(f.job(true));
    EXPECT_EQ(f.preview->geometry(), QRect(130, 70, 640, 480));
    f.preview->close();

    // A saved window narrower than 150 pixels opens the large layout.
    f.h.settings.vbreite = 120;
    f.preview->showJob(f.job(false));
    EXPECT_GT(f.preview->width(), 150);
    f.preview->close();
}

TEST(PreviewWindow, SinglePageBoxOnlyForReportCards)
{
    PreviewFixture f;
    f.h.settings.Contidruck = true;
    f.preview->showJob(f.job(false, JobKind::DataSheet));
    auto* box = f.preview->findChild<QCheckBox*>(QStringLiteral("CoDrBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isVisible());
    f.preview->close();
    EXPECT_TRUE(f.h.settings.Contidruck);

    f.preview->showJob(f.job());
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->isChecked());
    box->setChecked(false);
    f.preview->close();
    EXPECT_FALSE(f.h.settings.Contidruck);
}

TEST(PreviewWindow, RasterToggleAndPrintingIntoAPdfFile)
{
    PreviewFixture f;
    f.preview->showJob(f.job());
    const int plainLines = f.preview->recording()->lines(1).size();
    f.click("SpeedButton10");
    EXPECT_TRUE(f.preview->rasterOn());
    EXPECT_GT(f.preview->recording()->lines(1).size(), plainLines + 200);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("vorschau.pdf"));
    f.preview->printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    f.preview->findChild<QPushButton*>(QStringLiteral("druckbutton"))->click();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    EXPECT_EQ(data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page "), 3);
    if (!hasPrinters()) {
        EXPECT_TRUE(f.h.ui.messages().contains(QString::fromUtf8(kNoPrinterMessage)));
    }
    // The raster was on, so the print carries its centimetre numbers.
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (text.waitForFinished(30000)) {
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(words.contains(QStringLiteral("1500")));
        EXPECT_TRUE(words.contains(QStringLiteral("Schüler 2")));
    }
    EXPECT_EQ(f.preview->pageShown(), 1);

    // Single-page jobs give one file per page.
    f.preview->findChild<QCheckBox*>(QStringLiteral("CoDrBox"))->setChecked(true);
    f.preview->findChild<QPushButton*>(QStringLiteral("druckbutton"))->click();
    for (int page = 1; page <= 3; ++page)
        EXPECT_TRUE(QFile::exists(singlePagePdfName(pdf, page))) << page;
}

TEST(PreviewWindow, WithoutPrinterAValidPdfNameIsProposedAndFailuresAreToldInGerman)
{
    PreviewFixture f;
    QTemporaryDir ws;
    QDir(ws.path()).mkpath(QStringLiteral("ZE-1314-1"));
    f.h.settings.NotenDatei = ws.filePath(QStringLiteral("ZE-1314-1/10b.dbf"));
    f.preview->showJob(f.job());

    QString proposed;
    QString target = ws.filePath(QStringLiteral("fehlt/gibt-es-nicht/zeugnis.pdf"));
    f.preview->printDialog = [&](QPrinter& printer) {
        proposed = printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
        return true;
    };
    auto* print = f.preview->findChild<QPushButton*>(QStringLiteral("druckbutton"));
    print->click();
    if (!hasPrinters()) {
        EXPECT_EQ(proposed, ws.filePath(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1314-1/10b-2013-2014.pdf")));
    }
    // A folder that does not exist: the file cannot be written, and it says so.
    EXPECT_TRUE(f.h.ui.messages().contains(QStringLiteral("Die PDF-Datei\n\"") + target
                                           + QStringLiteral("\"\nkonnte nicht geschrieben werden!")))
        << f.h.ui.messages().join(u'|').toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));

    // An empty name is refused before anything is drawn.
    f.h.ui.clear();
    target.clear();
    print->click();
    EXPECT_TRUE(f.h.ui.messages().contains(QStringLiteral("Für die PDF-Datei wurde kein Name angegeben!")));

    // The proposal itself is written without complaint.
    f.h.ui.clear();
    f.preview->printDialog = [&](QPrinter& printer) {
        if (printer.outputFileName().isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(proposedPdfPath(f.h.settings.NotenDatei, QStringLiteral("10b-2013/2014")));
        }
        target = printer.outputFileName();
        return true;
    };
    print->click();
    EXPECT_TRUE(QFileInfo(target).size() > 0) << target.toStdString();
    for (const QString& m : f.h.ui.messages())
        EXPECT_NE(m, QStringLiteral("Der Druck konnte nicht ausgeführt werden!"));
}

TEST(PreviewWindow, PrintDialogShowsTheProposedPdfName)
{
    // The preview hands its proposal to Qt's print dialog through the
    // printer; the dialog must show it rather than one made from the title.
    QTemporaryDir ws;
    const QString proposal = ws.filePath(QStringLiteral("10b-2013-2014.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("10b-2013/2014"));
    printer.setOutputFileName(proposal);
    QPrintDialog dialog(&printer);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), proposal);
}
