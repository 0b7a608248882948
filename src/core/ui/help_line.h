#pragma once
// The help line: shows the help text of the control under the mouse.
#include <QHash>
#include <QLabel>
#include <functional>
#include <QObject>
#include <QString>

class QWidget;

namespace zedora {

// One line of text that ends in "…" where the room ends, never cut in the
// middle of a word; the whole text is its tool tip.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // What the label shows at its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class HelpTexts;

class HelpLine : public QObject {
    Q_OBJECT
public:
    HelpLine(QLabel& label, const HelpTexts& texts, QObject* parent = nullptr);

    // The control shows the text of code while the mouse is over it.
    void attach(QWidget* control, const QString& code);
    // A control whose text is built when the mouse enters it.
    void attachText(QWidget* control, std::function<QString()> text);
    void show(const QString& text);
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel& label_;
    const HelpTexts& texts_;
    QHash<QObject*, QString> codes_;
    QHash<QObject*, std::function<QString()>> builders_;
    bool enabled_ = true;
};

} // namespace zedora
