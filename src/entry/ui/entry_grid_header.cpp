#include "entry/ui/entry_grid_header.h"

#include "entry/ui/Tspalteninfo.h"

#include <QPainter>
#include <QStyleOptionHeaderV2>

namespace zedora {

EntryGridHeader::EntryGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("DBGrid1Titel"));
    setSectionsClickable(true);
    setHighlightSections(true);
    // The widths come from the column layout, not from dragging.
    setSectionResizeMode(QHeaderView::Fixed);
    QFont titles = font();
    titles.setBold(true);
    titles.setPointSize(9);
    setFont(titles);
    QPalette p = palette();
    p.setColor(QPalette::ButtonText, Qt::blue);
    setPalette(p);
}

void EntryGridHeader::showMarks(const QList<bool>& inLayout)
{
    inLayout_ = inLayout;
    marksShown_ = true;
    viewport()->update();
}

void EntryGridHeader::hideMarks()
{
    marksShown_ = false;
    inLayout_.clear();
    viewport()->update();
}

std::optional<QColor> EntryGridHeader::markColour(int logicalIndex) const
{
    if (!marksShown_ || logicalIndex < 0 || logicalIndex >= inLayout_.size())
        return std::nullopt;
    return inLayout_.at(logicalIndex) ? Tspalteninfo::presentColour() : Tspalteninfo::missingColour();
}

QRect EntryGridHeader::stripOf(const QRect& section)
{
    return QRect(section.left(), kStripTop, section.width(), kStripBottom - kStripTop);
}

QRect EntryGridHeader::captionOf(const QRect& section) const
{
    QStyleOptionHeader option;
    option.initFrom(this);
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &option, this);
    const int top = section.top() + 1;
    const int height = std::max(kStripTop - 1, fontMetrics().height());
    return QRect(section.left() + margin, top, std::max(0, section.width() - 2 * margin), height);
}

QSize EntryGridHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    // The caption, the strip under it and a little room below.
    const int needed = captionOf(QRect(0, 0, 1, 1)).bottom() + 1 + (kStripBottom - kStripTop) + 2;
    size.setHeight(std::max({size.height(), kMinimumHeight, needed}));
    return size;
}

void EntryGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeaderV2 option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    // The caption keeps to the space above the strip, marks or not, so it
    // does not jump when they appear.
    QStyleOptionHeaderV2 caption = option;
    caption.rect = captionOf(rect);
    style()->drawControl(QStyle::CE_HeaderLabel, &caption, painter, this);
    painter->restore();
    if (const std::optional<QColor> colour = markColour(logicalIndex))
        painter->fillRect(stripOf(rect), *colour);
}

} // namespace zedora
