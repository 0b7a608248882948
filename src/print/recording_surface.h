#pragma once
// A surface that keeps every primitive with its coordinates, page by page.
// Tests read it; the preview records a job once and plays the page shown.
#include "print/picture.h"
#include "print/print_metrics.h"
#include "print/surface.h"

#include <QVector>

namespace zedora {

struct Primitive {
    enum Kind { Font, TextColour, Align, Text, Pen, Line, Fill, Image };
    Kind kind = Text;
    int x = 0, y = 0, x2 = 0, y2 = 0; // Text: x, y; Line: both points; Fill, Image: rect
    QString text;
    int angle = 0;
    FontSpec font;
    QColor colour;
    TextAlign align = TextAlign::Left;
    int width = 0;
    PenStyle style = PenStyle::Solid;
    Picture picture;
};

// A drawn text with the state it was drawn in.
struct DrawnText {
    int x, y, angle;
    QString text;
    FontSpec font;
    QColor colour;
    TextAlign align;
};
struct DrawnLine {
    int x1, y1, x2, y2, width;
    QColor colour;
    PenStyle style;
};

class RecordingSurface : public DrawSurface {
public:
    RecordingSurface();

    void setFont(const FontSpec& font) override;
    void setTextColour(const QColor& colour) override;
    void setTextAlign(TextAlign align) override;
    void textOut(int x, int y, const QString& text, int angle) override;
    void setPen(const QColor& colour, int width, PenStyle style) override;
    void line(int x1, int y1, int x2, int y2) override;
    void fillRect(const QRect& rect, const QColor& colour) override;
    void drawPicture(const QRect& rect, const Picture& picture) override;
    void newPage() override;

    int pageCount() const { return int(pages_.size()); }
    // page counts from 1.
    const QVector<Primitive>& page(int page) const;
    void replay(int page, DrawSurface& target) const;

    QVector<DrawnText> texts(int page = 1) const;
    QVector<DrawnLine> lines(int page = 1) const;
    QVector<Primitive> of(Primitive::Kind kind, int page = 1) const;

private:
    QVector<QVector<Primitive>> pages_;
};

} // namespace zedora
