#pragma once
// The length test while a memo is written: the progress panel's coloured
// line tells how many of the layout's printed lines the text fills.
#include "textblocks/length_test.h"
#include "print/layout_model.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <optional>

class QPlainTextEdit;
class QPushButton;

namespace zedora {

class PrintMetrics;
class ProgressPanel;
struct Settings;

class LengthTestDisplay : public QObject {
    Q_OBJECT
public:
    LengthTestDisplay(Settings& settings, ProgressPanel& panel, const PrintMetrics& metrics, QObject* parent = nullptr);

    // A memo of field is entered; the layout in use is layoutPath with its text.
    void enter(QPlainTextEdit* memo, const QString& field, const QString& layoutPath, const QStringList& layoutText);
    void leave();
    // bitbtn1: switches the test and shows the new state on the button.
    void toggle(QPushButton& button);
    static QString buttonText(bool on);

    std::optional<int> reference() const { return reference_; }
    // The memo being counted; none after leave().
    QPlainTextEdit* memo() const;

private:
    void check();

    Settings& settings_;
    ProgressPanel& panel_;
    const PrintMetrics& metrics_;
    QPointer<QPlainTextEdit> memo_;
    QMetaObject::Connection changes_;
    TDruckLayout layout_;
    QString field_;
    std::optional<int> reference_;
    WidthCache widths_;
};

} // namespace zedora
