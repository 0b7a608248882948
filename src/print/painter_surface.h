#pragma once
// The drawing surface over a QPainter: on a QPrinter (a CUPS printer or a
// PDF file) or on a QImage (the preview). Positions of aligned and rotated
// text come from the printer metrics, so every device places them alike.
#include "print/print_metrics.h"
#include "print/surface.h"

#include <QFont>
#include <QPainter>
#include <functional>

namespace zedora {

class PainterSurface : public DrawSurface {
public:
    // scale: device pixels per tenth of a millimetre; origin: device pixel
    // of the layout's (0, 0).
    PainterSurface(QPainter& painter, const PrintMetrics& metrics, double scale,
                   QPointF origin = {});

    // Called by newPage(); without one newPage() does nothing.
    void setNewPageHandler(std::function<void()> handler) { newPage_ = std::move(handler); }

    void setFont(const FontSpec& font) override;
    void setTextColour(const QColor& colour) override;
    void setTextAlign(TextAlign align) override;
    void textOut(int x, int y, const QString& text, int angle) override;
    void setPen(const QColor& colour, int width, PenStyle style) override;
    void line(int x1, int y1, int x2, int y2) override;
    void fillRect(const QRect& rect, const QColor& colour) override;
    void drawPicture(const QRect& rect, const Picture& picture) override;
    void newPage() override;

    // Re-applies the mapping after the painter was reset (new page).
    void applyMapping();

private:
    QPainter& painter_;
    const PrintMetrics& metrics_;
    double scale_;
    QPointF origin_;
    FontSpec font_;
    QFont qfont_;
    QColor textColour_ = Qt::black;
    TextAlign align_ = TextAlign::Left;
    QPen pen_;
    std::function<void()> newPage_;
};

} // namespace zedora
