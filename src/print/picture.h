#pragma once
// A picture of a layout or a grade-field pattern: JPG or BMP (raster) or
// WMF (vector), loaded once and drawn stretched into a rectangle.
#include "print/wmf_picture.h"

#include <QImage>
#include <QString>
#include <memory>

class QPainter;

namespace zedora {

class Picture {
public:
    enum class Kind { None, Raster, Metafile };

    // Kind from the upper-cased extension: .JPG, .BMP, .WMF; None for others.
    static Kind kindOf(const QString& path);
    // A null picture when the file cannot be read or decoded.
    static Picture load(const QString& path);

    bool isNull() const { return kind_ == Kind::None; }
    Kind kind() const { return kind_; }
    QSize pixelSize() const;
    void draw(QPainter& painter, const QRectF& target) const;

private:
    Kind kind_ = Kind::None;
    std::shared_ptr<const QImage> image_;
    std::shared_ptr<const WmfPicture> wmf_;
};

} // namespace zedora
