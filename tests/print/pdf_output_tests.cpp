// PDF files: words stand where the layout puts them, text blocks wrap in
// the PDF as in the preview's recording, and zedora-cli pdf makes a class.
#include "print/report_pdf.h"
#include "print/recording_surface.h"
#include "print/placeholders.h"
#include "renderer_test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct Word {
    double xMin, yMin, xMax, yMax; // millimetres from the sheet's top left corner
    QString text;
};

QVector<QVector<Word>> pdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QVector<QVector<Word>> pages;
    static const QRegularExpression page(QStringLiteral("<page "));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const QStringList parts = html.split(page);
    for (int i = 1; i < parts.size(); ++i) {
        QVector<Word> words;
        auto it = word.globalMatch(parts[i]);
        const double mm = 25.4 / 72.0;
        while (it.hasNext()) {
            const auto m = it.next();
            QString t = m.captured(5);
            t.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            words.append({m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm,
                          m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm, t});
        }
        pages.append(words);
    }
    return pages;
}

const Word* find(const QVector<Word>& words, const QString& text)
{
    for (const Word& w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

bool havePdfToText()
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    return p.waitForFinished(10000);
}

PrintOutcome renderPdf(RenderHarness& h, const QString& path)
{
    PlaceholderContext context;
    context.settings = &h.settings;
    context.ui = &h.ui;
    return writeReportPdf(path, h.layout, h.metrics, h.options, context, h.records, h.run,
                          QStringLiteral("10b-2013/2014"));
}

} // namespace

TEST(PdfOutput, WordsStandWhereTheLayoutPutsThem)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext fehlt";
    QTemporaryDir dir;
    RenderHarness h;
    h.layout.eintrag(100) = entry(200, 500, QStringLiteral("Links"));
    h.layout.eintrag(101) = entry(1900, 800, QStringLiteral("Rechts"), u'R');
    h.layout.eintrag(102) = entry(1050, 1200, QStringLiteral("Mitte"), u'Z');
    TLayEintrag big = entry(300, 2500, QStringLiteral("Groß"));
    big.Grad = 28;
    big.Fett = true;
    h.layout.eintrag(103) = big;
    h.layout.HoriKorrektur = 0;
    const QString pdf = dir.filePath(QStringLiteral("lage.pdf"));
    const PrintOutcome out = renderPdf(h, pdf);
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.pages, 1);
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    const Word* l = find(pages[0], QStringLiteral("Links"));
    const Word* r = find(pages[0], QStringLiteral("Rechts"));
    const Word* m = find(pages[0], QStringLiteral("Mitte"));
    const Word* g = find(pages[0], QStringLiteral("Groß"));
    ASSERT_TRUE(l && r && m && g);
    // The bottom of a word's box is the bottom of its text cell.
    EXPECT_NEAR(l->xMin, 20.0, 0.5);
    EXPECT_NEAR(l->yMax, 50.0, 0.5);
    EXPECT_NEAR(r->xMax, 190.0, 0.5);
    EXPECT_NEAR(r->yMax, 80.0, 0.5);
    EXPECT_NEAR((m->xMin + m->xMax) / 2, 105.0, 0.5);
    EXPECT_NEAR(m->yMax, 120.0, 0.5);
    EXPECT_NEAR(g->xMin, 30.0, 0.5);
    EXPECT_NEAR(g->yMax, 250.0, 0.5);
    // The word is as wide as the printer metrics say.
    const FontSpec entry{QStringLiteral("ARIAL"), h.metrics.fontHeight(12), false, false};
    EXPECT_NEAR(l->xMax - l->xMin, h.metrics.textWidthF(entry, QStringLiteral("Links")) / 10.0, 0.5);
}

TEST(PdfOutput, ShiftAndLandscapeMoveTheWords)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext fehlt";
    QTemporaryDir dir;
    RenderHarness h;
    h.layout.Querformat = true;
    h.layout.HoriKorrektur = 50;
    h.layout.VertiKorrektur = 30;
    h.layout.eintrag(100) = entry(2500, 1500, QStringLiteral("Quer"));
    const QString pdf = dir.filePath(QStringLiteral("quer.pdf"));
    ASSERT_TRUE(renderPdf(h, pdf).ok);
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    const Word* w = find(pages[0], QStringLiteral("Quer"));
    ASSERT_TRUE(w);
    EXPECT_NEAR(w->xMin, 255.0, 0.5);
    EXPECT_NEAR(w->yMax, 153.0, 0.5);
}

TEST(PdfOutput, TextBlockWrapsIntoTheSameLinesAsInThePreview)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext fehlt";
    QTemporaryDir dir;
    RenderHarness h;
    const QString text = QStringLiteral(
        "Fiona äußert sich in Unterrichtssituationen immer sachangemessen und mit einem "
        "altersentsprechenden Wortschatz. Sie arbeitet konzentriert, hilft anderen gern und "
        "bringt eigene Ideen ein.#Ihre Hausaufgaben sind vollständig. ");
    h.layout.textblock(100) = block(200, 1000, text, 1200, 8);
    h.options.preview = true;
    RecordingSurface preview = h.render();
    QStringList previewLines;
    for (const DrawnText& t : preview.texts())
        if (t.text != h.settings.Entwertung)
            previewLines << t.text;
    ASSERT_GE(previewLines.size(), 4);

    h.options.preview = false;
    const QString pdf = dir.filePath(QStringLiteral("block.pdf"));
    ASSERT_TRUE(renderPdf(h, pdf).ok);
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    // Words grouped by the line (cell bottom) they stand on.
    QMap<int, QStringList> byLine;
    for (const Word& w : pages[0])
        if (w.text != h.settings.Entwertung)
            byLine[int(std::lround(w.yMax))].append(w.text);
    QStringList pdfLines;
    for (const QStringList& words : byLine)
        pdfLines << words.join(u' ');
    EXPECT_EQ(pdfLines, previewLines);
    // And each line stays within the block's width.
    for (const Word& w : pages[0])
        EXPECT_LE(w.xMax, 20.0 + 120.0 + 0.5) << w.text.toStdString();
}

// A long assessment of ordinary German words, the same for every run.
static QString longAssessment(unsigned seed)
{
    static const QStringList words = QStringLiteral(
        "Fiona äußert sich in Unterrichtssituationen immer sachangemessen und mit einem "
        "altersentsprechenden Wortschatz. Sie arbeitet konzentriert, hilft anderen gern, bringt "
        "eigene Ideen ein, löst Aufgaben selbstständig, fragt nach, wenn etwas unklar bleibt, "
        "und übernimmt Verantwortung für die Klassengemeinschaft; ihre Hausaufgaben sind "
        "vollständig, sorgfältig und pünktlich. Mit großem Eifer WWW lll iii mm.").split(u' ');
    QString text;
    unsigned state = seed;
    while (text.size() < kTextBlockColumnCapacity - 40) {
        state = state * 1103515245u + 12345u;
        text += words[int((state >> 16) % unsigned(words.size()))] + u' ';
    }
    return text;
}

TEST(PdfOutput, WrappedLinesNeverRunPastTheirBoxAtAnySize)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext fehlt";
    QTemporaryDir dir;
    for (const int points : {8, 10, 12}) {
        SCOPED_TRACE(points);
        RenderHarness h;
        h.records.rows.clear();
        for (int i = 0; i < 6; ++i)
            h.records.add({{QStringLiteral("ID"), QString::number(i)},
                           {QStringLiteral("TB1"), longAssessment(unsigned(points * 100 + i))},
                           {QStringLiteral("TB2"), longAssessment(unsigned(points * 100 + i + 50))}});
        h.run.selection = RecordSelection::WholeClass;
        const int advance = h.metrics.fontHeight(points) + 4;
        // Two columns of blocks, left 20 to 110 mm, right 115 to 193.7 mm.
        TLayTextblock left = block(200, 300, QStringLiteral("%TB1%"), 900, std::min(200, 2600 / advance));
        TLayTextblock right = block(1150, 300, QStringLiteral("%TB2%"), 787, std::min(200, 2600 / advance));
        for (TLayTextblock* b : {&left, &right}) {
            b->Grad = points;
            b->Vorschub = advance;
        }
        h.layout.textblock(100) = left;
        h.layout.textblock(101) = right;
        h.options.entwertung.clear();

        int lines = 0;
        const RecordingSurface recording = h.render();
        for (int page = 1; page <= recording.pageCount(); ++page)
            lines += int(recording.texts(page).size());
        ASSERT_GE(lines, 300);

        const QString pdf = dir.filePath(QStringLiteral("breite-%1.pdf").arg(points));
        ASSERT_TRUE(renderPdf(h, pdf).ok);
        const auto pages = pdfWords(pdf);
        ASSERT_EQ(pages.size(), recording.pageCount());
        double closestLeft = 0, closestRight = 0;
        int words = 0;
        for (const auto& page : pages)
            for (const Word& w : page) {
                ++words;
                const bool inLeft = w.xMin < 112.0;
                const double edge = inLeft ? 110.0 : 193.7;
                EXPECT_LE(w.xMax, edge + 0.02) << w.text.toStdString() << " bei " << w.yMax << " mm";
                double& closest = inLeft ? closestLeft : closestRight;
                closest = std::max(closest, w.xMax);
            }
        EXPECT_GT(words, lines * 3);
        // Lines do come close to the edge, or the check above proved nothing.
        EXPECT_GT(closestLeft, 110.0 - 1.5);
        EXPECT_GT(closestRight, 193.7 - 1.5);
    }
}

TEST(PdfOutput, RightAlignedTextAndFillDotsEndAtTheirAnchor)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext fehlt";
    QTemporaryDir dir;
    RenderHarness h;
    for (int i = 0; i < 3; ++i) {
        const int points = 8 + 2 * i;
        TLayEintrag right = entry(1900, 500 + 200 * i, QStringLiteral("Versäumte Stunden"), u'R');
        right.Grad = points;
        h.layout.eintrag(100 + i) = right;
        TLayEintrag filled = entry(200, 1500 + 200 * i, QStringLiteral("Bemerkungen"));
        filled.Grad = points;
        filled.LaengeMitFuell = 1500;
        h.layout.eintrag(110 + i) = filled;
    }
    const QString pdf = dir.filePath(QStringLiteral("anker.pdf"));
    ASSERT_TRUE(renderPdf(h, pdf).ok);
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    int anchored = 0, dotted = 0;
    for (const Word& w : pages[0]) {
        if (w.text == QStringLiteral("Stunden")) {
            EXPECT_NEAR(w.xMax, 190.0, 0.05);
            ++anchored;
        } else if (w.text.startsWith(QStringLiteral("..."))) {
            EXPECT_NEAR(w.xMax, 170.0, 0.05);
            ++dotted;
        }
    }
    EXPECT_EQ(anchored, 3);
    EXPECT_EQ(dotted, 3);
}

TEST(PdfCommand, DemoClassBecomesOnePagePerStudent)
{
    const QString cli = QStringLiteral(ZEDORA_BINARY_DIR "/bin/zedora-cli");
    if (!QFileInfo(cli).isExecutable() || !havePdfToText())
        GTEST_SKIP() << "zedora-cli nicht gebaut";
    QTemporaryDir ws;
    const QString share = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
    QDir().mkpath(ws.filePath(QStringLiteral("MUSTER")));
    QDir().mkpath(ws.filePath(QStringLiteral("ZE-0000-0")));
    for (const QString& f : QDir(share).entryList(QDir::Files))
        QFile::copy(share + f, ws.filePath(QStringLiteral("MUSTER/") + f));
    QFile::copy(share + QStringLiteral("demo.dbf"), ws.filePath(QStringLiteral("ZE-0000-0/demo.dbf")));
    QFile::copy(share + QStringLiteral("demo.dbt"), ws.filePath(QStringLiteral("ZE-0000-0/demo.dbt")));
    QFile::copy(share + QStringLiteral("KUERZEL.MST"), ws.filePath(QStringLiteral("KUERZEL.TXT")));

    const QString out = ws.filePath(QStringLiteral("klasse.pdf"));
    QProcess p;
    p.start(cli, {QStringLiteral("pdf"), QStringLiteral("--workspace"), ws.path(), QStringLiteral("--file"),
                  QStringLiteral("ze-0000-0\\DEMO.DBF"), QStringLiteral("--out"), out});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const auto pages = pdfWords(out);
    ASSERT_GE(pages.size(), 20);
    // Every page names its student and the school.
    for (const auto& words : pages)
        EXPECT_NE(find(words, QStringLiteral("Demo-Schule")), nullptr);

    // Bad input: a clear message and nothing written.
    const QString none = ws.filePath(QStringLiteral("nichts.pdf"));
    p.start(cli, {QStringLiteral("pdf"), QStringLiteral("--workspace"), ws.path(), QStringLiteral("--file"),
                  QStringLiteral("fehlt.dbf"), QStringLiteral("--out"), none});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("nicht gefunden")));
    EXPECT_FALSE(QFileInfo::exists(none));
}
