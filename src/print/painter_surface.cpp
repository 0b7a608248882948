#include "print/painter_surface.h"

#include "print/picture.h"


namespace zedora {

PainterSurface::PainterSurface(QPainter& painter, const PrintMetrics& metrics, double scale,
                               QPointF origin)
    : painter_(painter), metrics_(metrics), scale_(scale), origin_(origin)
{
    pen_ = QPen(Qt::black, 1);
    applyMapping();
    setFont(font_);
}

void PainterSurface::applyMapping()
{
    QTransform t;
    t.translate(origin_.x(), origin_.y());
    t.scale(scale_, scale_);
    painter_.setWorldTransform(t);
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
}

void PainterSurface::setFont(const FontSpec& font)
{
    font_ = font;
    qfont_ = metrics_.font(font);
}

void PainterSurface::setTextColour(const QColor& colour)
{
    textColour_ = colour.isValid() ? colour : QColor(Qt::black);
}

void PainterSurface::setTextAlign(TextAlign align)
{
    align_ = align;
}

void PainterSurface::textOut(int x, int y, const QString& text, int angle)
{
    if (text.isEmpty())
        return;
    double dx = 0;
    if (align_ != TextAlign::Left) {
        const double w = metrics_.textWidthF(font_, text);
        dx = align_ == TextAlign::Right ? -w : -w / 2;
    }
    painter_.save();
    painter_.translate(x, y);
    if (angle != 0)
        painter_.rotate(-angle / 10.0);
    // The metrics' font is kTextScale times larger; drawn scaled down it
    // covers exactly the width it was measured with.
    constexpr double k = PrintMetrics::kTextScale;
    painter_.scale(1.0 / k, 1.0 / k);
    painter_.setFont(qfont_);
    painter_.setPen(textColour_);
    painter_.drawText(QPointF(dx * k, -metrics_.descent(font_) * k), text);
    painter_.restore();
}

void PainterSurface::setPen(const QColor& colour, int width, PenStyle style)
{
    pen_ = QPen(colour.isValid() ? colour : QColor(Qt::black), std::max(1, width));
    pen_.setStyle(style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    pen_.setCapStyle(Qt::FlatCap);
    // On a small preview a thin line would vanish; it keeps one pixel.
    if (pen_.widthF() * scale_ < 1.0) {
        pen_.setCosmetic(true);
        pen_.setWidthF(1.0);
    }
}

void PainterSurface::line(int x1, int y1, int x2, int y2)
{
    painter_.setPen(pen_);
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PainterSurface::fillRect(const QRect& rect, const QColor& colour)
{
    painter_.fillRect(QRectF(rect), colour);
}

void PainterSurface::drawPicture(const QRect& rect, const Picture& picture)
{
    picture.draw(painter_, QRectF(rect));
}

void PainterSurface::newPage()
{
    if (newPage_) {
        newPage_();
        applyMapping();
    }
}

} // namespace zedora
