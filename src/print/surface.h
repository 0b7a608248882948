#pragma once
// A drawing surface in tenths of a millimetre, measured from the top left
// corner of the printable area, y downwards. Text is anchored at the bottom
// of its text cell. The renderer draws every page through this interface,
// whatever lies behind it: the printer, a PDF file, the preview image or a
// recording for tests.
#include <QColor>
#include <QRect>
#include <QString>

namespace zedora {

class Picture;

enum class TextAlign { Left, Right, Center };
enum class PenStyle { Solid, Dotted };

struct FontSpec {
    QString name = QStringLiteral("ARIAL");
    int height = 50;      // cell height (internal leading included), tenths of a mm
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    virtual void setFont(const FontSpec& font) = 0;
    virtual void setTextColour(const QColor& colour) = 0;
    virtual void setTextAlign(TextAlign align) = 0;
    // angle in tenths of a degree, counter-clockwise, about (x, y).
    virtual void textOut(int x, int y, const QString& text, int angle = 0) = 0;

    virtual void setPen(const QColor& colour, int width, PenStyle style = PenStyle::Solid) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void fillRect(const QRect& rect, const QColor& colour) = 0;
    // Stretched into rect.
    virtual void drawPicture(const QRect& rect, const Picture& picture) = 0;

    // Starts the next page of the document (the first page is begun by
    // whoever made the surface).
    virtual void newPage() = 0;

    // Width of the text in the current font as this surface itself would
    // draw it; below 0 when the surface draws with the printer's metrics.
    virtual int ownTextWidth(const QString& /*text*/) const { return -1; }
};

} // namespace zedora
