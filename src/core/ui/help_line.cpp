#include "core/ui/help_line.h"

#include "core/help_texts.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QWidget>

namespace zedora {

QString ElidedLabel::shownText() const
{
    const int room = contentsRect().width() - std::max(0, indent()) - 2 * margin();
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, room));
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(std::max(0, indent()) + margin(), margin(), -margin(), -margin());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine), shownText());
}

HelpLine::HelpLine(QLabel& label, const HelpTexts& texts, QObject* parent)
    : QObject(parent), label_(label), texts_(texts)
{
}

void HelpLine::attach(QWidget* control, const QString& code)
{
    if (!control)
        return;
    codes_.insert(control, code);
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this](QObject* o) { codes_.remove(o); });
}

void HelpLine::attachText(QWidget* control, std::function<QString()> text)
{
    if (!control)
        return;
    builders_.insert(control, std::move(text));
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this](QObject* o) { builders_.remove(o); });
}

void HelpLine::show(const QString& text)
{
    if (enabled_) {
        label_.setText(text);
        label_.setToolTip(text);
    }
}

void HelpLine::setEnabled(bool on)
{
    enabled_ = on;
    label_.setVisible(on);
    if (!on)
        label_.clear();
}

bool HelpLine::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (auto b = builders_.find(watched); b != builders_.end())
            show((*b)());
        else if (auto c = codes_.find(watched); c != codes_.end())
            show(texts_.text(*c));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zedora
