// Pictures and the painter surface: the metafile player and writer, the
// shipped pattern pictures, damaged files, text anchored at its bottom.
#include "print/painter_surface.h"
#include "print/picture.h"
#include "print/print_metrics.h"
#include "print/wmf_picture.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

QImage play(const QByteArray& data, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    WmfPicture wmf;
    wmf.load(data);
    QPainter p(&img);
    wmf.play(p, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

// Rows/columns of img that hold dark pixels.
QRect inkBounds(const QImage& img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

TEST(SurfaceWmf, WrittenMetafilePlaysStretchedIntoTheTarget)
{
    WmfWriter w(200, 100, 254);
    w.pen(Qt::black, 1);
    w.brush(Qt::black);
    w.rectangle(0, 0, 100, 100);     // left half
    w.pen(QColor(255, 0, 0), 4);
    w.line(150, 10, 150, 90);        // a red stroke in the right half
    const QByteArray data = w.data();

    WmfPicture wmf;
    ASSERT_TRUE(wmf.load(data));
    EXPECT_EQ(wmf.pixelSize(), QSize(76, 38)); // 20 x 10 mm at 96 pixels per inch

    const QImage img = play(data, QSize(400, 100));
    EXPECT_EQ(qGray(img.pixel(100, 50)), 0);
    EXPECT_EQ(img.pixel(250, 50), qRgb(255, 255, 255));
    const QRgb stroke = img.pixel(300, 50);
    EXPECT_GT(qRed(stroke), 200);
    EXPECT_LT(qGreen(stroke), 60);
}

TEST(SurfaceWmf, DamagedMetafilesNeverCrash)
{
    WmfPicture wmf;
    EXPECT_FALSE(wmf.load(QByteArray()));
    EXPECT_FALSE(wmf.load(QByteArray("no metafile at all, just text")));

    WmfWriter w(100, 100, 254);
    w.pen(Qt::black, 1);
    w.polygon({{0, 0}, {100, 0}, {50, 100}});
    const QByteArray good = w.data();
    // Every truncation plays as far as it is sound.
    for (int n = 0; n < good.size(); n += 3) {
        WmfPicture t;
        t.load(good.left(n));
        play(good.left(n), QSize(20, 20));
    }
    // Random damage to the records, including lengths, counts and object indexes.
    QRandomGenerator rng(42);
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 6; ++k)
            bad[40 + int(rng.bounded(bad.size() - 40))] = char(rng.bounded(256));
        play(bad, QSize(20, 20));
    }
    // Header cut short: no metafile.
    EXPECT_FALSE(wmf.load(good.left(22 + 17)));
    EXPECT_TRUE(wmf.load(good.left(22 + 18)));
}

TEST(SurfacePictures, ShippedPatternAndDemoPicturesLoad)
{
    const QDir muster(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER"));
    for (const char* name : {"RASTER1.JPG", "RASTER2.JPG", "RASTER3.JPG", "RASTER1.WMF", "RASTER2.WMF",
                             "RASTER3.WMF", "raster1.mst", "raster2.mst", "raster3.mst", "PALMEN.JPG",
                             "PALMEN.WMF"}) {
        const QString path = muster.filePath(QLatin1String(name));
        if (QString::fromLatin1(name).endsWith(u".mst")) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
            WmfPicture wmf;
            EXPECT_TRUE(wmf.load(f.readAll())) << name;
            EXPECT_FALSE(wmf.pixelSize().isEmpty()) << name;
            continue;
        }
        const Picture p = Picture::load(path);
        EXPECT_FALSE(p.isNull()) << name;
        EXPECT_FALSE(p.pixelSize().isEmpty()) << name;
    }
}

TEST(SurfacePictures, KindFollowsTheExtensionWhateverItsCase)
{
    EXPECT_EQ(Picture::kindOf(QStringLiteral("a/b.jpg")), Picture::Kind::Raster);
    EXPECT_EQ(Picture::kindOf(QStringLiteral("B.Bmp")), Picture::Kind::Raster);
    EXPECT_EQ(Picture::kindOf(QStringLiteral("c.WMF")), Picture::Kind::Metafile);
    EXPECT_EQ(Picture::kindOf(QStringLiteral("d.png")), Picture::Kind::None);
    EXPECT_EQ(Picture::kindOf(QStringLiteral("ohne")), Picture::Kind::None);
    EXPECT_TRUE(Picture::load(QStringLiteral("/nicht/da.jpg")).isNull());
}

TEST(SurfacePainter, TextStandsOnItsCellBottomAndAlignsByPrinterWidths)
{
    PrintMetrics metrics;
    // One pixel per tenth of a millimetre.
    QImage img(1000, 600, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        PainterSurface s(p, metrics, 1.0);
        FontSpec f;
        f.height = metrics.fontHeight(24);
        s.setFont(f);
        s.setTextAlign(TextAlign::Right);
        s.textOut(900, 300, QStringLiteral("Hgj"), 0);
    }
    const QRect ink = inkBounds(img);
    ASSERT_TRUE(ink.isValid());
    // The descenders reach down close to the cell bottom, never below it.
    EXPECT_LE(ink.bottom(), 300);
    EXPECT_GE(ink.bottom(), 300 - 10);
    EXPECT_LE(ink.right(), 900);
    EXPECT_GE(ink.right(), 900 - 12);
}

TEST(SurfacePainter, LongLinesOnThePreviewImageAreAsWideAsMeasured)
{
    // A font size whose em is far from a whole number of tenths: a drawing
    // font rounded to whole units would run some millimetres off.
    PrintMetrics metrics;
    const QString line = QStringLiteral("Sie arbeitet konzentriert und hilft anderen gern lll");
    for (const int points : {8, 10, 12}) {
        SCOPED_TRACE(points);
        FontSpec f;
        f.height = metrics.fontHeight(points) + 1;
        const double width = metrics.textWidthF(f, line);
        ASSERT_GT(width, 500);
        QImage img(2200, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            PainterSurface s(p, metrics, 1.0);
            s.setFont(f);
            s.textOut(100, 150, line, 0);
            s.setTextAlign(TextAlign::Right);
            s.textOut(2100, 80, line, 0);
        }
        QImage left = img.copy(0, 90, 2200, 70), right = img.copy(0, 0, 2200, 85);
        // The last "l" ends within its side bearing (and a pixel of
        // antialiasing) before the measured end, never beyond it.
        EXPECT_LE(inkBounds(left).right(), 100 + width + 1);
        EXPECT_GE(inkBounds(left).right(), 100 + width - 6);
        EXPECT_LE(inkBounds(right).right(), 2100 + 1);
        EXPECT_GE(inkBounds(right).right(), 2100 - 6);
        EXPECT_NEAR(inkBounds(right).left(), inkBounds(left).left() + 2000 - width, 2);
    }
}

TEST(PrintMetricsCalibration, FindsAFactorNearTheTargetWidth)
{
    PrintMetrics m;
    const int f = m.calibrate();
    EXPECT_LE(f, 300);
    EXPECT_GE(f, 280);
    FontSpec entry;
    entry.height = int(std::lround(f * 10 / 72.0));
    EXPECT_LT(std::abs(m.textWidth(entry, QString::fromUtf8(kCalibrationSentence)) - kCalibrationWidth), 200);
    EXPECT_EQ(m.fontHeight(12), int(std::lround(12.0 * f / 72)));
}
