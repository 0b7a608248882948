#pragma once
// Reading, turning, resizing and writing photo files. Pictures come through
// Qt's image plugins; a picture too large to hold in memory is refused (or,
// for a preview, read scaled down) instead of exhausting the memory.
#include <QImage>
#include <QSize>
#include <QString>

namespace zedora {

enum class PictureKind { Jpeg, Bitmap, Other };

// By the file's extension: .jpg/.jpeg, .bmp, anything else.
PictureKind pictureKind(const QString& path);

// Pictures with more pixels than this are not edited (a 20,000-pixel-wide
// scan would need gigabytes once decoded).
inline constexpr qint64 kMaxEditPixels = 40'000'000;

// The stored size without decoding the picture; 0 x 0 when unreadable.
QSize storedPictureSize(const QString& path);

struct PictureRead {
    QImage image;
    QString error;  // German, names the file; empty on success
    bool ok() const { return error.isEmpty(); }
};

// The whole picture for editing; refuses unreadable and oversized files.
PictureRead readPictureForEditing(const QString& path);

// The picture scaled down to fit bounds (keeping proportions) while it is
// decoded, for showing it; a small picture comes back as it is.
PictureRead readPictureForView(const QString& path, const QSize& bounds = QSize(1600, 1600));

// One quarter turn clockwise on 32-bit pixels: the new pixel in column x,
// row y is the old pixel in column y, row (old height - 1 - x).
QImage turnQuarterClockwise(const QImage& image);

// The height that keeps the proportions at the new width: old height /
// (old width / new width), rounded to the nearest, a half to the even.
int resizedHeight(int oldWidth, int oldHeight, int newWidth);

// Written beside the target and renamed into place; false on failure.
bool writeJpeg(const QImage& image, const QString& path, int quality = 90);
bool writeBitmap(const QImage& image, const QString& path);
bool writePicture(const QImage& image, const QString& path, PictureKind kind);

} // namespace zedora
