#include "print/picture.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace zedora {

Picture::Kind Picture::kindOf(const QString& path)
{
    const QString ext = path.section(u'.', -1).toUpper();
    if (!path.contains(u'.'))
        return Kind::None;
    if (ext == u"JPG" || ext == u"BMP")
        return Kind::Raster;
    if (ext == u"WMF")
        return Kind::Metafile;
    return Kind::None;
}

Picture Picture::load(const QString& path)
{
    Picture p;
    const Kind kind = kindOf(path);
    if (kind == Kind::Raster) {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        // Bounds the memory a damaged or hostile header could ask for.
        reader.setAllocationLimit(256);
        QImage img = reader.read();
        if (img.isNull())
            return p;
        p.image_ = std::make_shared<const QImage>(std::move(img));
        p.kind_ = kind;
    } else if (kind == Kind::Metafile) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.size() > 64 * 1024 * 1024)
            return p;
        auto wmf = std::make_shared<WmfPicture>();
        if (!wmf->load(f.readAll()) || wmf->pixelSize().isEmpty())
            return p;
        p.wmf_ = std::move(wmf);
        p.kind_ = kind;
    }
    return p;
}

QSize Picture::pixelSize() const
{
    if (image_)
        return image_->size();
    if (wmf_)
        return wmf_->pixelSize();
    return {};
}

void Picture::draw(QPainter& painter, const QRectF& target) const
{
    if (image_) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, *image_);
        painter.restore();
    } else if (wmf_) {
        wmf_->play(painter, target);
    }
}

} // namespace zedora
