#include "print/recording_surface.h"

namespace zedora {

RecordingSurface::RecordingSurface()
{
    pages_.append(QVector<Primitive>());
}

void RecordingSurface::setFont(const FontSpec& font)
{
    Primitive p;
    p.kind = Primitive::Font;
    p.font = font;
    pages_.last().append(p);
}

void RecordingSurface::setTextColour(const QColor& colour)
{
    Primitive p;
    p.kind = Primitive::TextColour;
    p.colour = colour;
    pages_.last().append(p);
}

void RecordingSurface::setTextAlign(TextAlign align)
{
    Primitive p;
    p.kind = Primitive::Align;
    p.align = align;
    pages_.last().append(p);
}

void RecordingSurface::textOut(int x, int y, const QString& text, int angle)
{
    Primitive p;
    p.kind = Primitive::Text;
    p.x = x;
    p.y = y;
    p.text = text;
    p.angle = angle;
    pages_.last().append(p);
}

void RecordingSurface::setPen(const QColor& colour, int width, PenStyle style)
{
    Primitive p;
    p.kind = Primitive::Pen;
    p.colour = colour;
    p.width = width;
    p.style = style;
    pages_.last().append(p);
}

void RecordingSurface::line(int x1, int y1, int x2, int y2)
{
    Primitive p;
    p.kind = Primitive::Line;
    p.x = x1;
    p.y = y1;
    p.x2 = x2;
    p.y2 = y2;
    pages_.last().append(p);
}

void RecordingSurface::fillRect(const QRect& rect, const QColor& colour)
{
    Primitive p;
    p.kind = Primitive::Fill;
    p.x = rect.left();
    p.y = rect.top();
    p.x2 = rect.right() + 1;
    p.y2 = rect.bottom() + 1;
    p.colour = colour;
    pages_.last().append(p);
}

void RecordingSurface::drawPicture(const QRect& rect, const Picture& picture)
{
    Primitive p;
    p.kind = Primitive::Image;
    p.x = rect.left();
    p.y = rect.top();
    p.x2 = rect.right() + 1;
    p.y2 = rect.bottom() + 1;
    p.picture = picture;
    pages_.last().append(p);
}

void RecordingSurface::newPage()
{
    pages_.append(QVector<Primitive>());
}

const QVector<Primitive>& RecordingSurface::page(int page) const
{
    static const QVector<Primitive> none;
    if (page < 1 || page > pages_.size())
        return none;
    return pages_[page - 1];
}

void RecordingSurface::replay(int pageNumber, DrawSurface& t) const
{
    for (const Primitive& p : page(pageNumber)) {
        switch (p.kind) {
        case Primitive::Font: t.setFont(p.font); break;
        case Primitive::TextColour: t.setTextColour(p.colour); break;
        case Primitive::Align: t.setTextAlign(p.align); break;
        case Primitive::Text: t.textOut(p.x, p.y, p.text, p.angle); break;
        case Primitive::Pen: t.setPen(p.colour, p.width, p.style); break;
        case Primitive::Line: t.line(p.x, p.y, p.x2, p.y2); break;
        case Primitive::Fill: t.fillRect(QRect(QPoint(p.x, p.y), QPoint(p.x2 - 1, p.y2 - 1)), p.colour); break;
        case Primitive::Image: t.drawPicture(QRect(QPoint(p.x, p.y), QPoint(p.x2 - 1, p.y2 - 1)), p.picture); break;
        }
    }
}

QVector<DrawnText> RecordingSurface::texts(int pageNumber) const
{
    QVector<DrawnText> out;
    FontSpec font;
    QColor colour = Qt::black;
    TextAlign align = TextAlign::Left;
    for (const Primitive& p : page(pageNumber)) {
        if (p.kind == Primitive::Font) font = p.font;
        else if (p.kind == Primitive::TextColour) colour = p.colour;
        else if (p.kind == Primitive::Align) align = p.align;
        else if (p.kind == Primitive::Text)
            out.append({p.x, p.y, p.angle, p.text, font, colour, align});
    }
    return out;
}

QVector<DrawnLine> RecordingSurface::lines(int pageNumber) const
{
    QVector<DrawnLine> out;
    QColor colour = Qt::black;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    for (const Primitive& p : page(pageNumber)) {
        if (p.kind == Primitive::Pen) {
            colour = p.colour;
            width = p.width;
            style = p.style;
        } else if (p.kind == Primitive::Line) {
            out.append({p.x, p.y, p.x2, p.y2, width, colour, style});
        }
    }
    return out;
}

QVector<Primitive> RecordingSurface::of(Primitive::Kind kind, int pageNumber) const
{
    QVector<Primitive> out;
    for (const Primitive& p : page(pageNumber))
        if (p.kind == kind)
            out.append(p);
    return out;
}

} // namespace zedora
