// Picture files: the quarter turn's pixel rule, turn and resize round trips
// through real files, conversions both ways, and pictures that are no
// picture or far too large.
#include "periphery/photo_pictures.h"
#include "periphery_test_support.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

TEST(PhotoPictures, QuarterTurnMovesEveryPixelClockwise)
{
    const QImage old = patternImage(5, 3);
    const QImage turned = turnQuarterClockwise(old);
    ASSERT_EQ(turned.size(), QSize(3, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(turned.pixel(x, y), old.pixel(y, 3 - 1 - x)) << x << "," << y;
    // The old top-left corner ends top-right.
    EXPECT_EQ(turned.pixel(2, 0), old.pixel(0, 0));
    // Four turns give the picture back.
    QImage back = old;
    for (int i = 0; i < 4; ++i)
        back = turnQuarterClockwise(back);
    EXPECT_EQ(back, old.convertToFormat(QImage::Format_ARGB32));
}

TEST(PhotoPictures, ResizedHeightKeepsProportionsRoundingHalfToEven)
{
    EXPECT_EQ(resizedHeight(640, 480, 300), 225);
    EXPECT_EQ(resizedHeight(100, 5, 50), 2);    // 2.5 -> 2
    EXPECT_EQ(resizedHeight(100, 7, 50), 4);    // 3.5 -> 4
    EXPECT_EQ(resizedHeight(3, 2, 4), 3);       // 2.67 -> 3
    EXPECT_EQ(resizedHeight(0, 480, 300), 0);
}

TEST(PhotoPictures, WrittenPicturesReadBackInTheirFormat)
{
    PeripheryWorkspace ws;
    const QImage image = patternImage(40, 30);
    const QString bmp = ws.path(QStringLiteral("a.bmp"));
    const QString jpg = ws.path(QStringLiteral("a.jpg"));
    ASSERT_TRUE(writeBitmap(image, bmp));
    ASSERT_TRUE(writeJpeg(image, jpg, 90));
    EXPECT_EQ(QImageReader(bmp).format(), QByteArray("bmp"));
    EXPECT_EQ(QImageReader(jpg).format(), QByteArray("jpeg"));
    const PictureRead b = readPictureForEditing(bmp);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.image.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(storedPictureSize(jpg), QSize(40, 30));
    // Quality 90 keeps a photo-like (smooth) picture close to the original.
    QImage smooth(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            smooth.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    ASSERT_TRUE(writeJpeg(smooth, jpg, 90));
    const QImage j = readPictureForEditing(jpg).image;
    int far = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (std::abs(qGreen(j.pixel(x, y)) - qGreen(smooth.pixel(x, y))) > 12)
                ++far;
    EXPECT_EQ(far, 0);
    EXPECT_EQ(pictureKind(QStringLiteral("X.JPEG")), PictureKind::Jpeg);
    EXPECT_EQ(pictureKind(QStringLiteral("x.BMP")), PictureKind::Bitmap);
    EXPECT_EQ(pictureKind(QStringLiteral("x.wmf")), PictureKind::Other);
}

TEST(PhotoPictures, NoPictureAndTruncatedPictureAreNamedNotShown)
{
    PeripheryWorkspace ws;
    const QString text = ws.path(QStringLiteral("brief.jpg"));
    writeBytes(text, "Das ist kein Bild.\r\n");
    const PictureRead r = readPictureForEditing(text);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, QStringLiteral("Die Bilddatei\nbrief.jpg\nkann nicht gelesen werden (kein Bild oder beschädigt)!"));
    EXPECT_FALSE(readPictureForView(text).ok());
    EXPECT_EQ(storedPictureSize(text), QSize(0, 0));

    // An empty file named like a bitmap.
    const QString empty = ws.path(QStringLiteral("leer.bmp"));
    writeBytes(empty, QByteArray());
    EXPECT_FALSE(readPictureForEditing(empty).ok());
    EXPECT_FALSE(readPictureForView(empty).ok());
}

namespace {

quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * (3 - i))) & 0xFF);
}

// A real small PNG whose header claims another size: what a reader learns
// before it would allocate the picture.
QByteArray pngClaiming(int w, int h)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    patternImage(4, 4).save(&buffer, "PNG");
    // Signature (8), IHDR length (4), "IHDR" (4), width, height at 16 and 20.
    put32(png, 16, quint32(w));
    put32(png, 20, quint32(h));
    put32(png, 29, crc32Of(png.mid(12, 17)));
    return png;
}

} // namespace

TEST(PhotoPictures, HugePicturesAreRefusedForEditingAndScaledForViewing)
{
    PeripheryWorkspace ws;
    // Claims 20,000 x 20,000 pixels: 1.6 GB once decoded.
    const QString claimed = ws.path(QStringLiteral("riesig.png"));
    writeBytes(claimed, pngClaiming(20000, 20000));
    ASSERT_EQ(storedPictureSize(claimed), QSize(20000, 20000));
    const PictureRead edit = readPictureForEditing(claimed);
    EXPECT_FALSE(edit.ok());
    EXPECT_EQ(edit.error, QStringLiteral("Die Bilddatei\nriesig.png\nist mit 20000 x 20000 Pixeln zu groß zum Bearbeiten!"));
    const PictureRead view = readPictureForView(claimed);
    EXPECT_FALSE(view.ok());
    EXPECT_TRUE(view.image.isNull());

    // A real 20,000-pixel-wide JPEG: shown scaled down while decoding,
    // refused for editing.
    QImage wide(20000, 2100, QImage::Format_Grayscale8);
    wide.fill(128);
    const QString jpg = ws.path(QStringLiteral("panorama.jpg"));
    ASSERT_TRUE(wide.save(jpg, "JPG", 50));
    wide = QImage();
    const PictureRead shown = readPictureForView(jpg, QSize(800, 800));
    ASSERT_TRUE(shown.ok()) << shown.error.toStdString();
    EXPECT_LE(shown.image.width(), 800);
    EXPECT_GT(shown.image.width(), 700);
    EXPECT_FALSE(readPictureForEditing(jpg).ok());
}
