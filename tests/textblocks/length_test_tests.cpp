// The length test counts the lines the report card prints: the same text in
// the same element gives the line count of the renderer's recording and of
// the PDF, and the message names the line, the room left or the overflow.
#include "textblocks/length_test.h"
#include "textblocks/ui/length_test_display.h"
#include "core/ui/progress_panel.h"
#include "print/report_pdf.h"
#include "print/renderer_test_support.h"

#include <QProcess>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

const QString kField = QStringLiteral("TB3");

TLayTextblock assessmentBlock(int maxLines)
{
    TLayTextblock b = block(200, 1200, QStringLiteral("%TB3%"), 1600, maxLines);
    b.EinzugZeile1 = 300;
    b.Grad = 11;
    return b;
}

// How many lines the renderer draws for memo in element 105 (no line limit).
int renderedLines(const QString& memo, const TLayTextblock& b)
{
    RenderHarness h;
    h.options.entwertung.clear();
    h.layout.textblock(105) = b;
    h.records.rows[0].insert(kField, memo);
    int last = 0;
    for (const DrawnText& t : h.render().texts())
        last = std::max(last, (t.y - b.y) / b.Vorschub + 1);
    return last;
}

int lengthTestLines(const QString& memo, const TLayTextblock& b)
{
    TDruckLayout layout;
    layout.textblock(105) = b;
    PrintMetrics metrics;
    return checkLength(layout, 105, kField, memo, metrics).line;
}

QString sentence(int words)
{
    static const QStringList pool = QString::fromUtf8(
        "Fiona arbeitet im Unterricht stets aufmerksam und konzentriert mit; ihre Beiträge sind durchdacht "
        "und bringen die Klasse weiter. Bei schwierigen Aufgaben gibt sie nicht auf.").split(u' ');
    QStringList out;
    for (int i = 0; i < words; ++i)
        out << pool[i % pool.size()];
    return out.join(u' ');
}

} // namespace

TEST(LengthTest, CountsTheLinesTheRendererDraws)
{
    const TLayTextblock b = assessmentBlock(200);
    const QStringList texts{
        QStringLiteral("Kurz."),
        sentence(40),
        sentence(120),
        sentence(25) + QStringLiteral("#\n") + sentence(30) + QStringLiteral("#\n#\n") + sentence(9),
        QStringLiteral("#Wort"),
        QStringLiteral("Nach $ 5 Absatz 2 ") + sentence(60),
        QString(3990, u'x'),                          // one word, no blank: stays one line
        sentence(700),                                // beyond what a text-block field holds
    };
    for (const QString& t : texts) {
        const int rendered = renderedLines(t, b);
        EXPECT_EQ(lengthTestLines(t, b), rendered) << t.left(60).toStdString();
        EXPECT_GT(rendered, 0);
    }
    EXPECT_EQ(lengthTestLines(QStringLiteral("#Wort"), b), 2);
    EXPECT_GT(lengthTestLines(sentence(120), b), 5);
}

TEST(LengthTest, WidthsKeptWhileTypingGiveTheSameCountAsMeasuringAfresh)
{
    TDruckLayout layout;
    layout.textblock(105) = assessmentBlock(200);
    PrintMetrics metrics;
    WidthCache cache;
    const QString text = sentence(30) + QStringLiteral("#\n") + sentence(45);
    QString typed;
    for (qsizetype i = 0; i < text.size(); ++i) {
        typed.append(text[i]);
        const int kept = checkLength(layout, 105, kField, typed, metrics, &cache).line;
        ASSERT_EQ(kept, checkLength(layout, 105, kField, typed, metrics).line) << i;
    }
    // Typing in the middle moves the words after it.
    typed.insert(20, sentence(12));
    EXPECT_EQ(checkLength(layout, 105, kField, typed, metrics, &cache).line, renderedLines(typed, layout.textblock(105)));
    EXPECT_FALSE(cache.isEmpty());
}

TEST(LengthTest, MessagesForRoomLeftLastLineAndOverflow)
{
    TDruckLayout layout;
    layout.textblock(105) = assessmentBlock(3);
    PrintMetrics metrics;

    LengthResult r = checkLength(layout, 105, kField, QStringLiteral("Ein Satz."), metrics);
    EXPECT_EQ(r.message, QStringLiteral("Sie schreiben in der 1. Zeile  von insgesamt 3 Zeilen"));
    EXPECT_EQ(r.background, QColor(0, 255, 0));

    r = checkLength(layout, 105, kField, QStringLiteral("eins#\nzwei#\ndrei"), metrics);
    const long freeCm = std::lround((1600 - r.lastLineWidth) / 100.0);
    EXPECT_GT(r.lastLineWidth, 0);
    EXPECT_EQ(r.message, QStringLiteral("Sie schreiben in der letzten Zeile (3. Zeile);  frei sind noch ca. ")
                             + QString::number(freeCm) + QStringLiteral(" cm"));
    EXPECT_EQ(freeCm, 15);
    EXPECT_EQ(r.foreground, QColor(0, 0, 255));

    // A text that wraps onto a fourth line.
    r = checkLength(layout, 105, kField, sentence(60), metrics);
    EXPECT_GE(r.line, 4);
    EXPECT_EQ(r.message, QStringLiteral("Das Zeilenende der letzten Zeile ist überschritten!"));
    EXPECT_EQ(r.background, QColor(255, 0, 0));
}

TEST(LengthTest, ReferenceIsTheLastElementNamingTheFieldAndCentredBecomesLeft)
{
    TDruckLayout layout;
    layout.textblock(101).Inhalt = QStringLiteral("Bemerkungen: %tb3%");
    layout.textblock(110).Inhalt = QStringLiteral("%TB3%");
    layout.textblock(111).Inhalt = QStringLiteral("%TB31%");
    EXPECT_EQ(findLengthReference(layout, QStringLiteral("tb3")), 110);
    EXPECT_EQ(findLengthReference(layout, QStringLiteral("TB4")), std::nullopt);

    layout.textblock(110) = assessmentBlock(4);
    layout.textblock(110).Ausrichtung = u'Z';
    PrintMetrics metrics;
    checkLength(layout, 110, kField, QStringLiteral("x"), metrics);
    EXPECT_EQ(layout.textblock(110).Ausrichtung, u'L');

    // An inactive element only breaks at "#".
    layout.textblock(110).Aktiv = false;
    EXPECT_EQ(checkLength(layout, 110, kField, sentence(200), metrics).line, 1);
}

TEST(LengthTest, SameLineCountAsThePrintedPdf)
{
    QProcess probe;
    probe.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
        GTEST_SKIP() << "pdftotext fehlt";
    QTemporaryDir dir;
    const TLayTextblock b = assessmentBlock(200);
    for (const QString& memo : {sentence(90), sentence(20) + QStringLiteral("#\n#\n") + sentence(50)}) {
        RenderHarness h;
        h.options.entwertung.clear();
        h.layout.textblock(105) = b;
        h.records.rows[0].insert(kField, memo);
        PlaceholderContext context;
        context.settings = &h.settings;
        context.ui = &h.ui;
        const QString pdf = dir.filePath(QStringLiteral("zeugnis.pdf"));
        writeReportPdf(pdf, h.layout, h.metrics, h.options, context, h.records, h.run, QStringLiteral("Test"));
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString html = QString::fromUtf8(p.readAllStandardOutput());
        static const QRegularExpression word(QStringLiteral("<word xMin=\"[\\d.]+\" yMin=\"[\\d.]+\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">"));
        double lowest = 0, highest = 1e9;
        for (const QRegularExpressionMatch& m : word.globalMatch(html)) {
            lowest = std::max(lowest, m.captured(1).toDouble());
            highest = std::min(highest, m.captured(1).toDouble());
        }
        // Points between the base of the first and the last printed line.
        const double advance = b.Vorschub / 254.0 * 72.0;
        const int printed = int(std::lround((lowest - highest) / advance)) + 1;
        EXPECT_EQ(lengthTestLines(memo, b), printed) << memo.left(40).toStdString();
    }
}

TEST(LengthTestDisplay, ShowsTheCountWhileTypingAndSaysWhenTheLayoutHasNoBlock)
{
    Settings settings;
    settings.MitLaengentest = true;
    QWidget status;
    ProgressPanel panel({&status});
    PrintMetrics metrics;
    LengthTestDisplay display(settings, panel, metrics);
    QPlainTextEdit memo;
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("zeugnis.lay"));
    QFile f(layoutPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    const QStringList layout = QStringLiteral("[TEXTBLOCK-104]\nAktiv=1\nx=200\ny=1000\nInhalt=%TB3%\n"
                                              "Vorschub=50\nMaxbreite=1600\nMaxzeilen=2\nGrad=11\n").split(u'\n');

    display.enter(&memo, kField, layoutPath, layout);
    EXPECT_EQ(display.reference(), 104);
    EXPECT_EQ(panel.text(), QStringLiteral("Sie schreiben in der 1. Zeile  von insgesamt 2 Zeilen"));
    memo.setPlainText(QStringLiteral("eins#\nzwei#\ndrei"));
    EXPECT_EQ(panel.text(), QStringLiteral("Das Zeilenende der letzten Zeile ist überschritten!"));
    display.leave();
    memo.setPlainText(QStringLiteral("eins"));
    EXPECT_EQ(panel.text(), QStringLiteral("Das Zeilenende der letzten Zeile ist überschritten!"))
        << "left memos are not counted";

    display.enter(&memo, QStringLiteral("TB9"), layoutPath, layout);
    EXPECT_EQ(panel.text(), QStringLiteral("Prüfung nicht möglich, weil Textblock im aktuellen Layout nicht vorkommt!"));
    memo.setPlainText(QStringLiteral("eins#\nzwei#\ndrei"));
    EXPECT_EQ(panel.text(), QStringLiteral("Prüfung nicht möglich, weil Textblock im aktuellen Layout nicht vorkommt!"));
    display.enter(&memo, kField, dir.filePath(QStringLiteral("fehlt.lay")), layout);
    EXPECT_EQ(panel.text(), QStringLiteral("Prüfung nicht möglich, weil Textblock im aktuellen Layout nicht vorkommt!"));

    QPushButton button;
    display.toggle(button);
    EXPECT_FALSE(settings.MitLaengentest);
    EXPECT_EQ(button.text(), QStringLiteral("Längentest ist aus"));
    display.toggle(button);
    EXPECT_EQ(button.text(), QStringLiteral("Längentest ist an"));
}
