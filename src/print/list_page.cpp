#include "print/list_page.h"

#include "print/picture.h"

namespace zedora {

namespace {
QDate fixedToday;
} // namespace

void ListPage::font(int points, bool bold, bool italic, const QString& name)
{
    font_.name = name;
    font_.height = metrics_.fontHeight(points);
    font_.bold = bold;
    font_.italic = italic;
    surface_.setFont(font_);
    surface_.setTextColour(Qt::black);
}

void ListPage::text(int x, int y, const QString& text, TextAlign align, int angle)
{
    surface_.setTextAlign(align);
    surface_.textOut(x, y, text, angle * 10);
    surface_.setTextAlign(TextAlign::Left);
}

void ListPage::line(int x1, int y1, int x2, int y2, int width, PenStyle style)
{
    surface_.setPen(Qt::black, width, style);
    surface_.line(x1, y1, x2, y2);
}

void ListPage::picture(const QRect& rect, const Picture& picture)
{
    surface_.drawPicture(rect, picture);
}

int ListPage::width(const QString& text) const
{
    return metrics_.textWidth(font_, text);
}

QString ListPage::cut(const QString& text, int limit) const
{
    if (text.size() < 3)
        return text;
    for (int n = 1; n <= text.size(); ++n)
        if (width(text.left(n)) >= limit)
            return text.left(n);
    return text;
}

void ListPage::newPage()
{
    surface_.newPage();
    ++page_;
    surface_.setFont(font_);
}

void ListPage::listHeader(const QString& owner, const QString& schuljahr, const QString& halbjahr,
                          const QString& title, int right)
{
    font(8);
    text(right, 100, owner + QStringLiteral(" / Zedora ") + QString::fromLatin1(kProgramVersion) +
                         QStringLiteral("   ") + today(), TextAlign::Right);
    font(10, true);
    text(300, 150, QStringLiteral(" Schuljahr: ") + schuljahr + QStringLiteral(" / ") + halbjahr + QStringLiteral(" Hj."));
    text(300, 220, title);
    font(10);
}

QString ListPage::today()
{
    return (fixedToday.isValid() ? fixedToday : QDate::currentDate()).toString(QStringLiteral("dd.MM.yyyy"));
}

void ListPage::setToday(const QDate& date)
{
    fixedToday = date;
}

} // namespace zedora
