#pragma once
// The single-block dialog "Textbaustein bearbeiten": the ID and the text.
#include "textblocks/text_block_file.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace zedora {

class TFeditTBS : public QDialog {
    Q_OBJECT
public:
    // spelling: runs the spelling check on the memo; the button is hidden
    // when there is none (no German dictionary).
    TFeditTBS(const TextBlock& block, std::function<void(QPlainTextEdit&)> spelling, QWidget* parent = nullptr);

    // The trimmed ID in upper case.
    QString id() const;
    // The memo's lines joined as the block is stored.
    QString content() const;

    QPlainTextEdit* memo() const { return memo_; }

private:
    QLineEdit* id_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
};

} // namespace zedora
