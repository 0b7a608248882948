#pragma once
// The title row of the entry table DBGrid1: bold blue captions of fixed
// width, and while the column information is shown, a green or red strip
// under each caption telling whether the current layout prints the column.
#include <QHeaderView>
#include <QList>
#include <optional>

namespace zedora {

class EntryGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit EntryGridHeader(QWidget* parent = nullptr);

    // One entry per section (logical index): whether the column's
    // placeholder occurs in the layout.
    void showMarks(const QList<bool>& inLayout);
    void hideMarks();
    bool marksShown() const { return marksShown_; }
    // The strip's colour of a section; none while the marks are off.
    std::optional<QColor> markColour(int logicalIndex) const;

    // The strip sits at a fixed height, the caption above it.
    static QRect stripOf(const QRect& section);
    static constexpr int kStripTop = 16;
    static constexpr int kStripBottom = 20;  // exclusive
    static constexpr int kMinimumHeight = 22;

    // Where a section's caption is drawn: above the strip while the title
    // font allows.
    QRect captionOf(const QRect& section) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QList<bool> inLayout_;
    bool marksShown_ = false;
};

} // namespace zedora
