#pragma once
// Drawing helper of the list printouts: text in points, lines, pictures and
// page changes on a surface, with the page count and the common list header.
#include "print/print_metrics.h"
#include "print/surface.h"

#include <QDate>
#include <QString>

namespace zedora {

class ListPage {
public:
    ListPage(DrawSurface& surface, const PrintMetrics& metrics) : surface_(surface), metrics_(metrics) {}

    void font(int points, bool bold = false, bool italic = false, const QString& name = QStringLiteral("ARIAL"));
    void text(int x, int y, const QString& text, TextAlign align = TextAlign::Left, int angle = 0);
    void line(int x1, int y1, int x2, int y2, int width = 1, PenStyle style = PenStyle::Solid);
    void picture(const QRect& rect, const class Picture& picture);
    int width(const QString& text) const;
    // The shortest prefix whose width reaches limit (texts under three
    // characters stay whole), or the whole text.
    QString cut(const QString& text, int limit) const;
    void newPage();
    int page() const { return page_; }
    DrawSurface& surface() { return surface_; }

    // At the top of every page of the listings: the owner text and program
    // with the date right-aligned at (right, 100), the school year at
    // (300, 150) and the title at (300, 220). The content starts at y 240.
    void listHeader(const QString& owner, const QString& schuljahr, const QString& halbjahr, const QString& title,
                    int right = 1900);

    // Today's date as printed on the lists; tests fix it.
    static QString today();
    static void setToday(const QDate& date);

private:
    DrawSurface& surface_;
    const PrintMetrics& metrics_;
    FontSpec font_;
    int page_ = 1;
};

inline constexpr const char* kProgramVersion = "7.3";

} // namespace zedora
