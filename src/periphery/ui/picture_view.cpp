#include "periphery/ui/picture_view.h"

#include <QPainter>

namespace zedora {

PictureView::PictureView(QString emptyText, QWidget* parent) : QFrame(parent), emptyText_(std::move(emptyText))
{
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(120, 150);
}

void PictureView::setImage(const QImage& image)
{
    image_ = image;
    message_.clear();
    update();
}

void PictureView::showMessage(const QString& text)
{
    image_ = QImage();
    message_ = text;
    update();
}

void PictureView::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect();
    if (image_.isNull()) {
        const QString text = message_.isEmpty() ? emptyText_ : message_;
        if (!text.isEmpty())
            p.drawText(area.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, text);
        return;
    }
    const QSize size = image_.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                       size.width(), size.height());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, image_);
}

} // namespace zedora
