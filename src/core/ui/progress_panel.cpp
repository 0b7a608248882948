#include "core/ui/progress_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace zedora {

ProgressPanel::ProgressPanel(std::vector<QWidget*> statusButtons, QWidget* parent)
    : QFrame(parent), statusButtons_(std::move(statusButtons))
{
    setObjectName(QStringLiteral("gaugepanel"));
    setAutoFillBackground(true);
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(4, 0, 4, 0);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("gaugetext"));
    text_->setAutoFillBackground(true);
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->addWidget(text_, 1);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("Gauge1"));
    bar_->setMinimumWidth(200);
    l->addWidget(bar_);
    hide();
}

void ProgressPanel::showPanel()
{
    for (QWidget* w : statusButtons_)
        w->hide();
    show();
}

void ProgressPanel::showProgress(const QString& text, int done, int total)
{
    text_->setText(text);
    text_->setPalette(QPalette());
    bar_->setVisible(total > 0);
    bar_->setRange(0, std::max(1, total));
    bar_->setValue(std::clamp(done, 0, std::max(1, total)));
    if (isHidden())
        showPanel();
    // Long work runs on the window's own thread: paint now, not afterwards.
    repaint();
}

void ProgressPanel::showText(const QString& text, const QColor& background, const QColor& foreground)
{
    text_->setText(text);
    QPalette p = text_->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, foreground);
    text_->setPalette(p);
    bar_->hide();
    showPanel();
}

void ProgressPanel::hideProgress()
{
    hide();
    for (QWidget* w : statusButtons_)
        w->show();
}

QString ProgressPanel::text() const
{
    return text_->text();
}

} // namespace zedora
