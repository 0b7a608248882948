// The list printouts: the entry table's strips and page breaks, the printer
// test page's length check and patterns, the listings under the common
// header with their page changes, the statistics pages, each read back from
// the recording or from the PDF file.
#include "print/list_page.h"
#include "print/listing_printouts.h"
#include "print/printer_test_page.h"
#include "print/statistics_printouts.h"
#include "print/table_printout.h"
#include "print_centre_support.h"

#include "data/averages.h"
#include "entry/abbreviation_file.h"
#include "entry/graduation_codes.h"

#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

RecordingSurface record(const ListJob& job, const PrintMetrics& metrics, int* pages = nullptr)
{
    RecordingSurface surface;
    const int n = job.draw(surface, metrics);
    if (pages)
        *pages = n;
    return surface;
}

QStringList textsOf(const RecordingSurface& s, int page)
{
    QStringList out;
    for (const DrawnText& t : s.texts(page))
        out << t.text;
    return out;
}

const DrawnText* findText(const RecordingSurface& s, int page, const QString& text)
{
    static QVector<DrawnText> keep;
    keep = s.texts(page);
    for (const DrawnText& t : keep)
        if (t.text == text)
            return &t;
    return nullptr;
}

// 40 students of class 10b (and two of another class) with n columns.
TablePrintInput wideTable(int columns, int students = 40)
{
    TablePrintInput in;
    for (int c = 0; c < columns; ++c)
        in.columns << TableColumn{QStringLiteral("F%1").arg(c), QStringLiteral("Fach%1").arg(c), c % 3 == 0 ? 2 : 10};
    ListRecords r;
    for (int i = 0; i < students + 2; ++i) {
        QMap<QString, QString> row{{QStringLiteral("NAME"), QStringLiteral("Name%1").arg(i + 1)},
                                   {QStringLiteral("VORNAME"), QStringLiteral("Vor")},
                                   {QStringLiteral("KLASSE"), i < students ? QStringLiteral("10b") : QStringLiteral("9a")}};
        for (int c = 0; c < columns; ++c)
            row.insert(QStringLiteral("F%1").arg(c), QStringLiteral("v%1x%2").arg(i + 1).arg(c));
        r.add(row);
    }
    fillTableRows(in, r, QStringLiteral("10B"));
    in.klasse = QStringLiteral("10b");
    in.schuljahr = QStringLiteral("2013/2014");
    in.halbjahr = QStringLiteral("1.");
    in.schoolName1 = QStringLiteral("Demo-Schule");
    in.layoutName = QStringLiteral("DEMO.LAY");
    return in;
}

} // namespace

TEST(EntryTablePrintout, ColumnWidthsNamesAndTheClassesRows)
{
    EXPECT_EQ(tableColumnWidth(2), 3 * 14 + 25);
    EXPECT_EQ(tableColumnWidth(4), 4 * 14 + 25);
    EXPECT_EQ(tableColumnWidth(5), 70);
    EXPECT_EQ(tableName(QStringLiteral("Brandt, von"), QStringLiteral("Charlotte")), QStringLiteral("von Brandt, Charlotte"));
    const TablePrintInput in = wideTable(3);
    EXPECT_EQ(in.names.size(), 40) << "only the current student's class";
    EXPECT_EQ(in.cells[39][2], QStringLiteral("v40x2"));
}

TEST(EntryTablePrintout, AWideTableSplitsIntoStripsEachWithTheNamesAndItsOwnPages)
{
    PrintMetrics metrics;
    TablePrintInput in = wideTable(36);
    const auto strips = tableStrips(in);
    ASSERT_EQ(strips.size(), 3);
    int total = 0;
    for (const auto& s : strips) {
        int width = kNameColumnWidth;
        for (int c : s)
            width += tableColumnWidth(in.columns[c].displayWidth);
        EXPECT_LE(width, 2000);
        total += int(s.size());
    }
    EXPECT_EQ(total, 36) << "no column is lost";

    int pages = 0;
    const RecordingSurface r = record(entryTableJob(in, QStringLiteral("/ws/ZE-1314-1/10B.DBF")), metrics, &pages);
    // Rows of 85 from 215 to 2850: 31 on the first page of each strip, 9 on the next.
    EXPECT_EQ(pages, 6);
    EXPECT_EQ(r.pageCount(), 6);
    const QStringList p1 = textsOf(r, 1), p2 = textsOf(r, 2), p3 = textsOf(r, 3);
    EXPECT_TRUE(p1.contains(QStringLiteral("Klasse: 10b  Schuljahr: 2013/2014 / 1.")));
    EXPECT_TRUE(p1.contains(QStringLiteral("31.")));
    EXPECT_FALSE(p1.contains(QStringLiteral("32.")));
    EXPECT_TRUE(p2.contains(QStringLiteral("32.")));
    EXPECT_TRUE(p2.contains(QStringLiteral("Name40, Vor")));
    EXPECT_TRUE(p3.contains(QStringLiteral("Klasse: 10b")) && !p3.join(u' ').contains(QStringLiteral("Schuljahr")))
        << "later strips name the class only";
    EXPECT_TRUE(p3.contains(QStringLiteral("Name1, Vor")));
    const QString firstOfStrip2 = QStringLiteral("v1x%1").arg(strips[1].first());
    EXPECT_FALSE(p1.contains(firstOfStrip2));
    EXPECT_TRUE(p3.contains(firstOfStrip2));
    // Rows stand on their grid: row n's text above the rule under it.
    const DrawnText* n3 = findText(r, 1, QStringLiteral("3."));
    ASSERT_NE(n3, nullptr);
    EXPECT_EQ(n3->y, in.tabOben + 135 + 3 * 85 - 20);
    EXPECT_EQ(n3->x, in.tabLinks - 10);
}

TEST(EntryTablePrintout, FirstPageOnlyEmptyTablesAndLandscape)
{
    PrintMetrics metrics;
    TablePrintInput in = wideTable(36);
    in.firstPageOnly = true;
    int pages = 0;
    RecordingSurface r = record(entryTableJob(in, QStringLiteral("10B.DBF")), metrics, &pages);
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(textsOf(r, 1).contains(QStringLiteral("32.")));

    in.firstPageOnly = false;
    in.empty = true;
    const ListJob empty = entryTableJob(in, QStringLiteral("10B.DBF"));
    EXPECT_EQ(empty.kind, 3);
    EXPECT_EQ(empty.title, QStringLiteral("Tabelle-10B.DBF"));
    r = record(empty, metrics);
    EXPECT_TRUE(textsOf(r, 1).contains(QStringLiteral("Name1, Vor")));
    EXPECT_FALSE(textsOf(r, 1).join(u' ').contains(QStringLiteral("v1x")));

    // Landscape: 900 more width, so fewer strips, and rows of 70 to 1970.
    in.empty = false;
    in.landscape = true;
    EXPECT_LT(tableStrips(in).size(), 3);
    r = record(entryTableJob(in, QStringLiteral("10B.DBF")), metrics, &pages);
    const int rowsPerPage = (2070 - 100 - (80 + 135)) / 70;
    EXPECT_TRUE(textsOf(r, 1).contains(QString::number(rowsPerPage) + u'.'));
    EXPECT_FALSE(textsOf(r, 1).contains(QString::number(rowsPerPage + 1) + u'.'));
}

TEST(EntryTablePrintout, ThePdfCarriesNamesAndValuesWhereTheGridPutsThem)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdftotext fehlt";
    PrintMetrics metrics;
    metrics.calibrate();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("tabelle.pdf"));
    const PrintOutcome out = writeListPdf(pdf, entryTableJob(wideTable(36), QStringLiteral("10B.DBF")), metrics);
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.pages, 6);
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 6);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Schuljahr: 2013/2014")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Name1, Vor")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Name40, Vor")));
    EXPECT_TRUE(pages[4].contains(QStringLiteral("Name1, Vor")));
    EXPECT_FALSE(QFileInfo::exists(pdf + QStringLiteral(".tmp")));
}

TEST(PrinterTestPage, UnderlinesMatchTheSentenceAndAllPatternsAndNoticesAreThere)
{
    PrintMetrics metrics;
    PrinterTestInput input;
    input.printerName = QStringLiteral("Laser");
    QTemporaryDir empty;
    input.musterDir = empty.path();
    const ListJob job = printerTestJob(input);
    EXPECT_EQ(job.title, QStringLiteral("Laser-Testseite"));
    int pages = 0;
    const RecordingSurface r = record(job, metrics, &pages);
    EXPECT_EQ(pages, 1);
    const QStringList texts = textsOf(r, 1);
    for (int n = 1; n <= 18; ++n)
        EXPECT_TRUE(texts.contains(QString::number(n))) << n;
    EXPECT_EQ(texts.count(QStringLiteral("sehr gut (jpg)")), 3);
    EXPECT_EQ(texts.count(QStringLiteral("sehr gut (wmf)")), 3);
    EXPECT_TRUE(texts.contains(QStringLiteral("PALMEN.WMF: Grafik nicht gefunden!")));
    EXPECT_TRUE(texts.contains(QStringLiteral("PALMEN.JPG: Grafik nicht gefunden!")));
    EXPECT_EQ(texts.count(QStringLiteral("Die Linie geht ununterbrochen durch den Text!")), 1);
    int angled = 0;
    for (const DrawnText& t : r.texts(1))
        angled += t.text.startsWith(QStringLiteral("Schriftwinkel")) && t.angle != 0;
    EXPECT_EQ(angled, 7);

    // The rule under the 10-point sentence is exactly as long as the sentence,
    // and its label says so in centimetres.
    const DrawnText* sentence = nullptr;
    for (const DrawnText& t : r.texts(1))
        if (t.text.startsWith(QStringLiteral("Dieser Satz")) && t.y == 250)
            sentence = new DrawnText(t);
    ASSERT_NE(sentence, nullptr);
    const int w = metrics.textWidth(sentence->font, sentence->text);
    delete sentence;
    bool underline = false;
    for (const DrawnLine& l : r.lines(1))
        underline = underline || (l.x1 == 100 && l.y1 == 250 && l.x2 == 100 + w && l.y2 == 250);
    EXPECT_TRUE(underline);
    EXPECT_TRUE(texts.contains(QStringLiteral("Arial 10  Länge = ") + QString::number(w / 100.0, 'f', 2) + QStringLiteral(" cm")));

    // With the workspace's pictures they are drawn and labelled.
    DemoWorkspace ws;
    input.musterDir = ws.root() + QStringLiteral("MUSTER");
    const RecordingSurface withPictures = record(printerTestJob(input), metrics);
    EXPECT_TRUE(textsOf(withPictures, 1).contains(QStringLiteral("PALMEN.WMF")));
    EXPECT_TRUE(textsOf(withPictures, 1).contains(QStringLiteral("PALMEN.JPG")));
    EXPECT_GE(withPictures.of(Primitive::Image, 1).size(), 2 + 6);
}

TEST(Listings, SettingsStandInPairsUnderTheCommonHeader)
{
    PrintMetrics metrics;
    ListPage::setToday(QDate(2026, 12, 10));
    Settings s;
    s.SchulName1 = QStringLiteral("Gesamtschule");
    s.SchulName2 = QStringLiteral("Neustadt");
    s.AusgabeOrt = QStringLiteral("Neustadt");
    s.TabLinks = 120;
    const Listing l = settingsListing(s);
    const ListJob job = listingJob(l);
    EXPECT_EQ(job.kind, 7);
    EXPECT_EQ(job.title, QStringLiteral("Zedora-Einstellumngen"));
    const RecordingSurface r = record(job, metrics);
    const DrawnText* owner = findText(r, 1, QStringLiteral("Gesamtschule Neustadt / Zedora 7.3   10.12.2026"));
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->x, 1900);
    EXPECT_EQ(owner->y, 100);
    const DrawnText* year = findText(r, 1, QStringLiteral(" Schuljahr: 2013/2014 / 1. Hj."));
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->y, 150);
    const DrawnText* label = findText(r, 1, QStringLiteral("Ausgabeort:"));
    const DrawnText* value = findText(r, 1, QStringLiteral("Neustadt"));
    ASSERT_TRUE(label && value);
    const int labelY = findText(r, 1, QStringLiteral("Ausgabeort:"))->y;
    const DrawnText* next = findText(r, 1, QStringLiteral("Ausgabedatum:"));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->y - labelY, 100);
    EXPECT_EQ(next->x, 300);
    EXPECT_TRUE(textsOf(r, 1).contains(QStringLiteral("120")));
    EXPECT_TRUE(textsOf(r, 1).contains(QStringLiteral("24.12.2005")));
    ListPage::setToday(QDate());
}

TEST(Listings, LongListingsRepeatTheHeaderOnEveryPage)
{
    PrintMetrics metrics;
    Settings s;
    QVector<std::pair<QString, QString>> blocks;
    for (int i = 0; i < 120; ++i)
        blocks.append({QStringLiteral("B%1").arg(i), QStringLiteral("Ein Satz über die Mitarbeit im Unterricht. ").repeated(i % 4 + 1)});
    const ListJob job = listingJob(textBlockListing(s, QStringLiteral("/ws/DEFINI/#demo.dbf"), blocks));
    EXPECT_EQ(job.title, QStringLiteral("Textbaustein-#demo.dbf"));
    int pages = 0;
    const RecordingSurface r = record(job, metrics, &pages);
    ASSERT_GE(pages, 3);
    int seen = 0;
    for (int p = 1; p <= pages; ++p) {
        EXPECT_TRUE(textsOf(r, p).contains(QStringLiteral("Textbausteindatei #demo.dbf"))) << p;
        for (const DrawnText& t : r.texts(p)) {
            EXPECT_LE(t.y, 2850) << p;
            seen += t.text.startsWith(u'B') && t.x == 300;
        }
    }
    EXPECT_EQ(seen, 120) << "every block once";
}

TEST(Listings, LayoutContentsListEverySectionAndNumberTheFollowingPages)
{
    PrintMetrics metrics;
    DemoWorkspace ws;
    const QStringList text = readLayoutText(ws.layout()).value_or(QStringList());
    ASSERT_FALSE(text.isEmpty());
    Settings s;
    int pages = 0;
    const ListJob job = listingJob(layoutContentsListing(s, ws.layout(), text));
    EXPECT_EQ(job.title, QStringLiteral("DEMO.LAY"));
    const RecordingSurface r = record(job, metrics, &pages);
    QStringList all;
    for (int p = 1; p <= pages; ++p)
        all << textsOf(r, p);
    for (const char* section : {"EINTRAG", "LINIE", "NOTENFELD", "TEXTBLOCK", "BILD"})
        EXPECT_TRUE(all.contains(QStringLiteral("Sektion [%1]").arg(QLatin1String(section)))) << section;
    EXPECT_TRUE(textsOf(r, 1).contains(QStringLiteral("  Layoutdatei DEMO.LAY")));
    if (pages > 1) {
        EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral("Seite 2")));
    }

    const RecordingSurface columns = record(listingJob(columnLayoutListing(s, ws.layout(), text)), metrics);
    EXPECT_GT(columns.texts(1).size(), 20) << "the rows of the column layout";
}

TEST(Listings, AbbreviationsAndAveragesListTheirDefinitions)
{
    PrintMetrics metrics;
    Settings s;
    QVector<Abbreviation> grades{{QStringLiteral("1"), QStringLiteral("sehr gut"), QStringLiteral("1")},
                                 {QStringLiteral("2+"), QStringLiteral("gut"), QStringLiteral("2")}};
    QVector<GraduationCode> codes{{QStringLiteral("HS"), QStringLiteral("Hauptschulabschluss")}};
    const RecordingSurface r = record(listingJob(abbreviationsListing(s, QStringLiteral("KUERZEL.TXT"), grades, codes)), metrics);
    const QStringList t = textsOf(r, 1);
    EXPECT_TRUE(t.contains(QStringLiteral("sehr gut")));
    EXPECT_TRUE(t.contains(QStringLiteral("Abschlusskürzel mit Bedeutungen")));
    EXPECT_TRUE(t.contains(QStringLiteral("Hauptschulabschluss")));

    AverageDefinitions avg;
    avg.lists[1] = QStringLiteral("#BI#CH#PH#");
    const ListJob a = listingJob(averageListing(s, avg));
    EXPECT_EQ(a.title, QStringLiteral("Durchschnittsnotenfestlegung"));
    EXPECT_TRUE(textsOf(record(a, metrics), 1).contains(QStringLiteral("BI, CH, PH")));
}

TEST(StatisticsPages, SumsHeadersAndPageNumbers)
{
    PrintMetrics metrics;
    GraduationStatistics g;
    g.header.dataDirectory = QStringLiteral("ZE-1314-1");
    g.codes = {QStringLiteral("HS"), QStringLiteral("RS")};
    for (int i = 0; i < 60; ++i)
        g.rows.append({QStringLiteral("K%1").arg(i), {{1, 2}, {3, 0}}});
    int pages = 0;
    const ListJob job = graduationStatisticsJob(g);
    EXPECT_EQ(job.title, QStringLiteral("Statistik-Abschlüsse"));
    const RecordingSurface r = record(job, metrics, &pages);
    ASSERT_EQ(pages, 2);
    EXPECT_TRUE(textsOf(r, 1).contains(QStringLiteral("Datenverzeichnis: ZE-1314-1")));
    EXPECT_TRUE(textsOf(r, 1).contains(QStringLiteral("- Seite 1 -")));
    EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral("- Seite 2 -")));
    EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral("Statistik der Abschlüsse")));
    EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral("SUMMEN:")));
    EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral(" 60    120")));
    EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral("180      0")));
    // Each code stands above its own "w    m" pair, so long codes cannot run into the next pair.
    EXPECT_TRUE(textsOf(r, 2).contains(QStringLiteral("RS")));
    EXPECT_EQ(textsOf(r, 2).count(QStringLiteral("w    m")), 2);

    AbsenceStatistics a;
    a.rows.append({QStringLiteral("5a"), 10, 2, 20, 4, 1});
    a.rows.append({QStringLiteral("5b"), 5, 0, 7, 1, 1});
    const RecordingSurface ar = record(absenceStatisticsJob(a), metrics);
    const QStringList at = textsOf(ar, 1);
    EXPECT_TRUE(at.contains(QStringLiteral("Schüler mit")));
    EXPECT_TRUE(at.contains(QStringLiteral("unent. Fehltagen")));
    EXPECT_TRUE(at.contains(QStringLiteral("27")));
    EXPECT_TRUE(at.contains(QStringLiteral("SUMMEN:")));

    ColumnStatistics c;
    c.column = QStringLiteral("MA");
    c.klasse = QStringLiteral("10b");
    c.values = {{QStringLiteral("1"), 3}, {QStringLiteral("2"), 5}};
    c.average = QStringLiteral("1,63");
    const RecordingSurface cr = record(columnStatisticsJob(c), metrics);
    EXPECT_TRUE(textsOf(cr, 1).contains(QStringLiteral("Statistik über Spalte >>  MA  <<")));
    EXPECT_TRUE(textsOf(cr, 1).contains(QStringLiteral("1,63")));

    HistoryList h;
    h.klasse = QStringLiteral("10b");
    h.columns = {QStringLiteral("Name"), QStringLiteral("Hj."), QStringLiteral("DE")};
    // 40 rows of 44 from 190 to 1950 on a landscape page.
    for (int i = 0; i < 81; ++i)
        h.rows.append({QStringLiteral("S%1").arg(i), QStringLiteral("13-14-1"), QStringLiteral("2")});
    const ListJob hj = historyJob(h);
    EXPECT_TRUE(hj.landscape);
    int hp = 0;
    const RecordingSurface hr = record(hj, metrics, &hp);
    EXPECT_EQ(hp, 3);
    EXPECT_TRUE(textsOf(hr, 3).contains(QStringLiteral("DE")));
}

TEST(TextBlockColumnPrintout, TextsWrapUnderTheHeaderAndPagesBreakBeforeTheBottom)
{
    PrintMetrics metrics;
    TextColumnInput in;
    in.title = QStringLiteral("Bemerkungen");
    in.klasse = QStringLiteral("10b");
    in.schuljahr = QStringLiteral("2013/2014");
    in.halbjahr = QStringLiteral("1.");
    const QString text = QStringLiteral("Lena beteiligt sich rege am Unterricht und hilft anderen gern. ").repeated(6);
    for (int i = 0; i < 30; ++i)
        in.rows.append({QStringLiteral("Name%1").arg(i), QStringLiteral("Vor%1").arg(i), text});
    const ListJob job = textBlockColumnJob(in);
    EXPECT_EQ(job.title, QStringLiteral("Textblockspalte"));
    int pages = 0;
    const RecordingSurface r = record(job, metrics, &pages);
    ASSERT_GE(pages, 2);
    int names = 0;
    for (int p = 1; p <= pages; ++p) {
        const DrawnText* head =
            findText(r, p, QStringLiteral("Klasse 10b   Schuljahr: 2013/2014 / 1. Hj.     Bemerkungen"));
        ASSERT_NE(head, nullptr) << p;
        EXPECT_EQ(head->x, 200);
        EXPECT_EQ(head->y, 100);
        for (const DrawnText& t : r.texts(p)) {
            EXPECT_LE(t.y, 2750) << p << " " << t.text.toStdString();
            if (t.x == 500 && t.y > 200) {
                EXPECT_LE(metrics.textWidth(t.font, t.text), 1500) << t.text.toStdString();
            }
            names += t.x == 200 && t.y > 200 && t.text.startsWith(QStringLiteral("Name"));
        }
    }
    EXPECT_EQ(names, 30) << "each student once";
    EXPECT_EQ(QString::fromUtf8(kNotATextColumn), QStringLiteral("Aktuelle Spalte ist keine Textblockspalte!\n\n"));
}
