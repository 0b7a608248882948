#include "textblocks/ui/length_test_display.h"

#include "textblocks/length_test.h"
#include "core/settings.h"
#include "core/ui/progress_panel.h"
#include "print/layout_reader.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace zedora {

LengthTestDisplay::LengthTestDisplay(Settings& settings, ProgressPanel& panel, const PrintMetrics& metrics,
                                     QObject* parent)
    : QObject(parent), settings_(settings), panel_(panel), metrics_(metrics)
{
}

QString LengthTestDisplay::buttonText(bool on)
{
    return on ? QStringLiteral("Längentest ist an") : QStringLiteral("Längentest ist aus");
}

void LengthTestDisplay::enter(QPlainTextEdit* memo, const QString& field, const QString& layoutPath,
                              const QStringList& layoutText)
{
    leave();
    if (!settings_.MitLaengentest || !memo)
        return;
    memo_ = memo;
    field_ = field;
    reference_.reset();
    widths_.clear();
    layout_ = TDruckLayout();
    if (!layoutPath.isEmpty() && parseLayoutForPrinting(layoutPath, layoutText, layout_))
        reference_ = findLengthReference(layout_, field);
    if (!reference_) {
        panel_.showText(QString::fromUtf8(kLengthTestImpossible), QColor(255, 255, 0), Qt::black);
        return;
    }
    changes_ = connect(memo, &QPlainTextEdit::textChanged, this, &LengthTestDisplay::check);
    check();
}

QPlainTextEdit* LengthTestDisplay::memo() const
{
    return memo_;
}

void LengthTestDisplay::leave()
{
    disconnect(changes_);
    if (memo_)
        panel_.hideProgress();
    memo_.clear();
}

void LengthTestDisplay::check()
{
    if (!memo_ || !reference_)
        return;
    const LengthResult r = checkLength(layout_, *reference_, field_, memo_->toPlainText(), metrics_, &widths_);
    panel_.showText(r.message, r.background, r.foreground);
}

void LengthTestDisplay::toggle(QPushButton& button)
{
    settings_.MitLaengentest = !settings_.MitLaengentest;
    button.setText(buttonText(settings_.MitLaengentest));
    if (!settings_.MitLaengentest)
        leave();
}

} // namespace zedora
