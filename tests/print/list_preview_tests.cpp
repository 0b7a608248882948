// List printouts in the preview: every kind opens with its title and page
// count and prints from there; the print centre's printer test; the
// "Tabellendruck" dialog's choices; zedora-cli list. With
// ZEDORA_SCREENSHOTS_DIR set, the windows are saved there as PNG.
#include "print/listing_printouts.h"
#include "print/printer_test_page.h"
#include "print/statistics_printouts.h"
#include "print/table_printout.h"
#include "print/ui/TDruckFrage.h"
#include "print/ui/TFDruck.h"
#include "print/ui/list_preview.h"
#include "print_centre_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

void saveScreenshot(QWidget& w, const QString& name)
{
    const QString dir = qEnvironmentVariable("ZEDORA_SCREENSHOTS_DIR");
    if (!dir.isEmpty())
        w.grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

// Whether the image holds something drawn besides paper and panel.
int darkPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            n += qGray(image.pixel(x, y)) < 100;
    return n;
}

struct ListPreviewFixture {
    Settings settings;
    ScriptedInteraction ui;
    PrintMetrics metrics;
    DemoWorkspace ws;
    std::unique_ptr<TFVorschau> preview = std::make_unique<TFVorschau>(settings, ui, metrics);

    ListPreviewFixture()
    {
        settings.vx = 0; settings.vy = 0; settings.vbreite = 800; settings.vhoehe = 1000;
        settings.vquerx = 0; settings.vquery = 0; settings.vquerbreite = 1100; settings.vquerhoehe = 800;
    }

    QVector<std::pair<QString, ListJob>> everyKind()
    {
        const QStringList layout = readLayoutText(ws.layout()).value_or(QStringList());
        TablePrintInput table;
        ListRecords rec = demoClass(40);
        for (const QString& field : rec.rows[0].keys()) {
            if (field != QLatin1String("NAME") && field != QLatin1String("VORNAME") && table.columns.size() < 30)
                table.columns << TableColumn{field, field, field.size() <= 2 ? 2 : 8};
        }
        table.schuljahr = settings.Schuljahr;
        table.halbjahr = settings.Halbjahr;
        table.schoolName1 = settings.SchulName1;
        table.layoutName = QStringLiteral("DEMO.LAY");
        fillTableRows(table, rec, QStringLiteral("10b"));
        table.klasse = QStringLiteral("10b");
        TextColumnInput text;
        text.title = QStringLiteral("Bemerkung");
        for (int i = 0; i < 12; ++i)
            text.rows.append({QStringLiteral("Name%1").arg(i), QStringLiteral("Vor"),
                              QStringLiteral("Arbeitet stets aufmerksam mit und hilft anderen. ").repeated(5)});
        PrinterTestInput test;
        test.printerName = QStringLiteral("PDF");
        test.musterDir = ws.root() + QStringLiteral("MUSTER");
        GraduationStatistics g;
        g.codes = {QStringLiteral("HS"), QStringLiteral("RS")};
        g.rows.append({QStringLiteral("10b"), {{3, 4}, {5, 6}}});
        TablePrintInput empty = table;
        empty.empty = true;
        return {{QStringLiteral("Druckertest"), printerTestJob(test)},
                {QStringLiteral("Tabelle"), entryTableJob(table, QStringLiteral("demo.dbf"))},
                {QStringLiteral("LeereTabelle"), entryTableJob(empty, QStringLiteral("demo.dbf"))},
                {QStringLiteral("Textblockspalte"), textBlockColumnJob(text)},
                {QStringLiteral("Layoutinhalt"), listingJob(layoutContentsListing(settings, ws.layout(), layout))},
                {QStringLiteral("Eingabelayout"), listingJob(columnLayoutListing(settings, ws.layout(), layout))},
                {QStringLiteral("Einstellungen"), listingJob(settingsListing(settings))},
                {QStringLiteral("Abschlussstatistik"), graduationStatisticsJob(g)}};
    }
};

} // namespace

TEST(ListPreview, EveryListOpensWithItsTitleAndPagesAndDrawsSomething)
{
    ListPreviewFixture f;
    for (const auto& [name, job] : f.everyKind()) {
        RecordingSurface direct;
        const int pages = job.draw(direct, f.metrics);
        f.preview->showJob(previewJobOf(job));
        EXPECT_EQ(f.preview->windowTitle(), QStringLiteral("Druckvorschau - ") + job.title) << name.toStdString();
        EXPECT_EQ(f.preview->pageTotal(), pages) << name.toStdString();
        EXPECT_EQ(f.preview->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                  QStringLiteral("1. von %1").arg(pages)) << name.toStdString();
        EXPECT_FALSE(f.preview->findChild<QCheckBox*>()->isVisible()) << "single pages are for report cards";
        EXPECT_GT(darkPixels(f.preview->pageImage()), 50) << name.toStdString();
        saveScreenshot(*f.preview, QStringLiteral("vorschau-") + name);
        f.preview->close();
    }
}

TEST(ListPreview, PrintingFromThePreviewWritesEveryPage)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdftotext fehlt";
    ListPreviewFixture f;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
    const ListJob job = f.everyKind()[1].second;
    f.preview->showJob(previewJobOf(job));
    f.preview->printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    f.preview->findChild<QPushButton*>(QStringLiteral("druckbutton"))->click();
    const QStringList pages = pdfPages(pdf);
    EXPECT_EQ(pages.size(), f.preview->pageTotal());
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Klasse: 10b")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Schüler40")));
    EXPECT_TRUE(f.ui.messages().isEmpty() || f.ui.messages() == QStringList{QString::fromUtf8(kNoPrinterMessage)});
}

TEST(ListPreview, PrintCentreTestButtonOpensThePrinterTestPage)
{
    ListPreviewFixture f;
    ListRecords records = demoClass(3);
    TFDruck centre(f.settings, f.ui, f.metrics);
    QVector<PreviewJob> jobs;
    centre.openPreview = [&](PreviewJob job) { jobs.append(job); };
    PrintCentreSources s;
    s.records = &records;
    s.workspace = f.ws.root();
    s.currentLayout = f.ws.layout();
    s.klasse = QStringLiteral("10b");
    centre.prepare(s);
    saveScreenshot(centre, QStringLiteral("druckzentrum"));
    centre.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].kind, 0);
    EXPECT_TRUE(jobs[0].title.endsWith(QStringLiteral("-Testseite")));
    RecordingSurface r;
    ASSERT_TRUE(jobs[0].draw);
    EXPECT_EQ(jobs[0].draw(r, f.metrics), 1);
}

TEST(ListPreview, TableDialogReturnsTheChosenPrintoutAndPaper)
{
    TDruckFrage d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Tabellendruck"));
    EXPECT_FALSE(d.landscape());
    EXPECT_FALSE(d.firstPageOnly());
    d.findChild<QRadioButton*>(QStringLiteral("rgp11"))->setChecked(true);
    d.findChild<QRadioButton*>(QStringLiteral("rgp21"))->setChecked(true);
    EXPECT_TRUE(d.landscape());
    EXPECT_TRUE(d.firstPageOnly());
    for (const auto& [button, code] : {std::pair{"B2", 2}, std::pair{"B4", 4}, std::pair{"B5", 5}, std::pair{"B0", 0}}) {
        QTimer::singleShot(0, &d, [&d, button = button] { d.findChild<QPushButton*>(QLatin1String(button))->click(); });
        EXPECT_EQ(d.exec(), code) << button;
    }
}

TEST(ListPreview, CommandLineWritesEachListAndRefusesBadCalls)
{
    const QString cli = QStringLiteral(ZEDORA_BINARY_DIR "/bin/zedora-cli");
    if (!QFileInfo(cli).isExecutable() || !havePoppler())
        GTEST_SKIP() << "zedora-cli oder pdftotext fehlt";
    QTemporaryDir ws;
    QTemporaryDir out;
    const auto run = [&](const QStringList& args, int* code) {
        QProcess p;
        p.start(cli, args);
        p.waitForFinished(120000);
        *code = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    };
    int code = -1;
    run({QStringLiteral("setup"), QStringLiteral("--workspace"), ws.path()}, &code);
    ASSERT_EQ(code, 0);
    const std::pair<const char*, const char*> kinds[] = {
        {"table", "Klasse: 10b"},          {"table-empty", "Klasse: 10b"},
        {"layout", "Sektion [EINTRAG]"},   {"columns", "Eingabelayout der Layoutdatei"},
        {"settings", "Voreinstellungen"},  {"abbreviations", "Abschlusskürzel mit Bedeutungen"},
        {"printer-test", "Notenfeldmuster"}};
    for (const auto& [kind, word] : kinds) {
        const QString pdf = out.filePath(QLatin1String(kind) + QStringLiteral(".pdf"));
        const QString said = run({QStringLiteral("list"), QLatin1String(kind), QStringLiteral("--workspace"), ws.path(),
                                  QStringLiteral("--file"), QStringLiteral("ZE-0000-0/demo.dbf"), QStringLiteral("--out"), pdf},
                                 &code);
        EXPECT_EQ(code, 0) << kind << said.toStdString();
        EXPECT_TRUE(pdfPages(pdf).join(u'\f').contains(QString::fromUtf8(word))) << kind;
    }
    run({QStringLiteral("list"), QStringLiteral("zeugnisse"), QStringLiteral("--out"), out.filePath(QStringLiteral("x.pdf"))}, &code);
    EXPECT_EQ(code, 2);
    const QString said = run({QStringLiteral("list"), QStringLiteral("table"), QStringLiteral("--workspace"), ws.path(),
                              QStringLiteral("--out"), out.filePath(QStringLiteral("x.pdf"))}, &code);
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(said.contains(QStringLiteral("Für diese Liste wird eine Schülerdatei gebraucht (--file).")));
    EXPECT_FALSE(QFileInfo::exists(out.filePath(QStringLiteral("x.pdf"))));
}
