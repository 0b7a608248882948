#include "print/printer_test_page.h"

#include "base/path_resolver.h"
#include "print/list_page.h"
#include "print/page_renderer.h"
#include "print/picture.h"
#include "print/print_job.h"

#include <QFileInfo>

namespace zedora {

void drawGradePattern(DrawSurface& s, int type, const QRect& box, const QColor& colour, const QString& musterDir)
{
    const int left = box.left(), right = box.left() + box.width();
    const int bottom = box.top() + box.height(), top = box.top();
    if (type >= 1 && type <= 6) {
        static const int spacing[3] = {6, 8, 10};
        const int step = spacing[(type - 1) % 3];
        s.setPen(colour, 1, type <= 3 ? PenStyle::Solid : PenStyle::Dotted);
        for (int k = 0; k < box.height() / step; ++k)
            s.line(left, bottom - k * step, right, bottom - k * step);
    } else if (type >= 7 && type <= 12) {
        const int step = type <= 8 ? 8 : type <= 10 ? 7 : 6;
        const int stroke = (type % 2 == 1) ? 3 : 2;
        s.setPen(colour, 1);
        for (int c = 0; left + c * step <= right; ++c) {
            const int x = left + c * step;
            const int shift = c % 2 == 0 ? step / 2 : 0;
            for (int r = 0;; ++r) {
                const int y = bottom - r * step - shift;
                if (y - stroke < top)
                    break;
                s.line(x, y, x, y - stroke);
            }
        }
    } else if (type >= 13 && type <= 18) {
        s.setPen(Qt::black, 2);
        const QString name = QStringLiteral("RASTER%1.%2").arg(patternPictureNumber(type)).arg(type >= 16 ? u"WMF" : u"JPG");
        const Picture pic = Picture::load(resolveIn(musterDir, name));
        if (!pic.isNull())
            s.drawPicture(box, pic);
    }
}

int drawPrinterTestPage(DrawSurface& surface, const PrintMetrics& metrics, const PrinterTestInput& input)
{
    ListPage p(surface, metrics);
    p.font(8);
    p.text(1900, 150, QStringLiteral("Zedora Version: ") + QString::fromLatin1(kProgramVersion) + QStringLiteral("   ") +
                          ListPage::today() + QStringLiteral("  -  Druckertest"), TextAlign::Right);

    const QString sentence =
        QStringLiteral("Dieser Satz ist eine Längenprüfung, Linie darunter muss genauso lang sein wie Text!");
    for (const auto& [points, y] : {std::pair{10, 250}, std::pair{12, 400}}) {
        p.font(points);
        const int w = p.width(sentence);
        p.text(100, y, sentence);
        p.line(100, y, 100 + w, y);
        p.line(100, y - 10, 100, y + 10);
        p.line(100 + w, y - 10, 100 + w, y + 10);
        p.text(500, y + 60, QStringLiteral("Arial %1  Länge = ").arg(points) + QString::number(w / 100.0, 'f', 2) +
                                QStringLiteral(" cm"));
    }

    p.font(10);
    p.line(1300, 1000, 1000, 1000);
    p.line(1000, 1000, 1000, 1300);
    p.line(1000, 1300, 1300, 1000);
    p.text(1040, 1110, QStringLiteral("Die Linie geht ununterbrochen durch den Text!"));

    p.text(200, 570, QStringLiteral("Notenfeldmuster"));
    for (int n = 1; n <= 18; ++n) {
        const int y = 535 + 110 * n;
        p.font(10);
        p.text(180, y, QString::number(n), TextAlign::Right);
        drawGradePattern(surface, n, QRect(200, 550 + 110 * n - 80, 400, 80), input.patternColour, input.musterDir);
        p.font(10);
        const QString kind = n >= 16 ? QStringLiteral(" (wmf)") : n >= 13 ? QStringLiteral(" (jpg)") : QString();
        p.text(300, y, QStringLiteral("sehr gut") + kind);
    }

    p.font(8);
    static const char* const angles[] = {"Schriftwinkel 45° ",  "Schriftwinkel 90° ",  "Schriftwinkel 135°",
                                         "Schriftwinkel 180°", "Schriftwinkel 225°", "Schriftwinkel 270°",
                                         "Schriftwinkel 315°"};
    for (int k = 0; k < 7; ++k)
        p.text(1500, 1550, QString::fromUtf8(angles[k]), TextAlign::Left, 45 * (k + 1));
    p.text(1500, 1550, QStringLiteral("Schriftwinkel 0° "));

    p.font(10);
    for (int k = 1; k <= 7; ++k) {
        const int y = 600 + 50 * (k - 1);
        p.text(880, y + 10, QStringLiteral("Stärke %1").arg(k));
        p.line(1000, y, 1800, y, k);
    }

    const QString wmf = resolveIn(input.musterDir, QStringLiteral("PALMEN.WMF"));
    const Picture palmsWmf = QFileInfo(wmf).isFile() ? Picture::load(wmf) : Picture();
    if (!palmsWmf.isNull()) {
        const QSize px = palmsWmf.pixelSize();
        const int h = px.width() > 0 ? 400 * px.height() / px.width() : 250;
        p.picture(QRect(1000, 1900, 400, std::max(1, h)), palmsWmf);
        p.text(1100, 2170, QStringLiteral("PALMEN.WMF"));
    } else {
        p.text(1500, 2100, QStringLiteral("PALMEN.WMF: Grafik nicht gefunden!"));
    }
    const QString jpg = resolveIn(input.musterDir, QStringLiteral("PALMEN.JPG"));
    const Picture palmsJpg = QFileInfo(jpg).isFile() ? Picture::load(jpg) : Picture();
    if (!palmsJpg.isNull()) {
        const QSize px = palmsJpg.pixelSize();
        const int h = px.width() > 0 ? 200 * px.height() / px.width() : 150;
        p.picture(QRect(1000, 2430, 200, std::max(1, h)), palmsJpg);
        p.text(1000, 2600, QStringLiteral("PALMEN.JPG"));
    } else {
        p.text(1500, 2500, QStringLiteral("PALMEN.JPG: Grafik nicht gefunden!"));
    }
    return p.page();
}

ListJob printerTestJob(const PrinterTestInput& input)
{
    ListJob job;
    job.kind = JobKind::PrinterTest;
    job.title = jobTitle(JobKind::PrinterTest, input.printerName, QString());
    job.draw = [input](DrawSurface& s, const PrintMetrics& m) { return drawPrinterTestPage(s, m, input); };
    return job;
}

} // namespace zedora
