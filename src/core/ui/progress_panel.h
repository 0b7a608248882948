#pragma once
// The main window's progress panel: shown in place of the status buttons
// while long work runs, with a text line and a bar.
#include "base/interaction.h"

#include <QFrame>
#include <vector>

class QLabel;
class QProgressBar;

namespace zedora {

class ProgressPanel : public QFrame, public ProgressDisplay {
    Q_OBJECT
public:
    // statusButtons: hidden while the panel shows.
    ProgressPanel(std::vector<QWidget*> statusButtons, QWidget* parent = nullptr);

    void showProgress(const QString& text, int done, int total) override;
    void hideProgress() override;
    // Shows just a text line (total 0: no bar).
    void showText(const QString& text, const QColor& background, const QColor& foreground);

    QString text() const;

private:
    void showPanel();

    std::vector<QWidget*> statusButtons_;
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

} // namespace zedora
