#include "periphery/photo_pictures.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <cmath>

namespace zedora {

PictureKind pictureKind(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return PictureKind::Jpeg;
    if (ext == QLatin1String("bmp"))
        return PictureKind::Bitmap;
    return PictureKind::Other;
}

QSize storedPictureSize(const QString& path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    return size.isValid() ? size : QSize(0, 0);
}

namespace {

QString unreadable(const QString& path)
{
    return QStringLiteral("Die Bilddatei\n") + QFileInfo(path).fileName()
           + QStringLiteral("\nkann nicht gelesen werden (kein Bild oder beschädigt)!");
}

QString tooLarge(const QString& path, const QSize& size)
{
    return QStringLiteral("Die Bilddatei\n") + QFileInfo(path).fileName() + QStringLiteral("\nist mit ")
           + QString::number(size.width()) + QStringLiteral(" x ") + QString::number(size.height())
           + QStringLiteral(" Pixeln zu groß zum Bearbeiten!");
}

} // namespace

PictureRead readPictureForEditing(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (!size.isValid() || !reader.canRead())
        return {QImage(), unreadable(path)};
    if (qint64(size.width()) * size.height() > kMaxEditPixels)
        return {QImage(), tooLarge(path, size)};
    QImage image = reader.read();
    if (image.isNull())
        return {QImage(), unreadable(path)};
    return {image, QString()};
}

PictureRead readPictureForView(const QString& path, const QSize& bounds)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || !reader.canRead())
        return {QImage(), unreadable(path)};
    if (size.width() > bounds.width() || size.height() > bounds.height())
        reader.setScaledSize(size.scaled(bounds, Qt::KeepAspectRatio));
    QImage image = reader.read();
    // Formats that decode whole before scaling may still exceed Qt's
    // allocation limit; the picture is then named instead of shown.
    if (image.isNull())
        return {QImage(), qint64(size.width()) * size.height() > kMaxEditPixels ? tooLarge(path, size)
                                                                               : unreadable(path)};
    return {image, QString()};
}

QImage turnQuarterClockwise(const QImage& image)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width();
    const int h = source.height();
    QImage turned(h, w, QImage::Format_ARGB32);
    for (int y = 0; y < w; ++y) {
        auto* out = reinterpret_cast<QRgb*>(turned.scanLine(y));
        for (int x = 0; x < h; ++x)
            out[x] = reinterpret_cast<const QRgb*>(source.constScanLine(h - 1 - x))[y];
    }
    return turned;
}

int resizedHeight(int oldWidth, int oldHeight, int newWidth)
{
    if (oldWidth <= 0 || newWidth <= 0)
        return 0;
    const double height = double(oldHeight) / (double(oldWidth) / double(newWidth));
    return int(std::nearbyint(height));  // the default rounding mode rounds a half to the even
}

namespace {

bool writeWith(const QImage& image, const QString& path, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

} // namespace

bool writeJpeg(const QImage& image, const QString& path, int quality)
{
    return writeWith(image.convertToFormat(QImage::Format_RGB32), path, "jpg", quality);
}

bool writeBitmap(const QImage& image, const QString& path)
{
    return writeWith(image, path, "bmp", -1);
}

bool writePicture(const QImage& image, const QString& path, PictureKind kind)
{
    switch (kind) {
    case PictureKind::Jpeg: return writeJpeg(image, path);
    case PictureKind::Bitmap: return writeBitmap(image, path);
    case PictureKind::Other: break;
    }
    return false;
}

} // namespace zedora
