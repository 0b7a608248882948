#include "textblocks/ui/TFeditTBS.h"

#include "textblocks/ui/TFRechtschreibung.h"
#include "base/ansi_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {

TFeditTBS::TFeditTBS(const TextBlock& block, std::function<void(QPlainTextEdit&)> spelling, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFeditTBS"));
    setWindowTitle(QStringLiteral("Textbaustein bearbeiten"));
    resize(520, 260);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    id_ = new QLineEdit(block.id.trimmed(), this);
    id_->setObjectName(QStringLiteral("ID"));
    id_->setMaxLength(kBlockIdCapacity);
    connect(id_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const int pos = id_->cursorPosition();
        id_->setText(upperAscii(t));
        id_->setCursorPosition(pos);
    });
    form->addRow(QStringLiteral("ID"), id_);
    memo_ = new QPlainTextEdit(block.text.trimmed(), this);
    memo_->setObjectName(QStringLiteral("Inhalt"));
    form->addRow(QStringLiteral("Inhalt"), memo_);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    auto* spell = new QToolButton(this);
    spell->setObjectName(QStringLiteral("SpeedButton1"));
    spell->setText(QStringLiteral("ABC"));
    spell->setToolTip(QString::fromUtf8(kSpellingHint));
    spell->setVisible(bool(spelling));
    if (spelling)
        connect(spell, &QToolButton::clicked, this, [this, spelling] { spelling(*memo_); });
    auto* save = new QPushButton(QStringLiteral("&Speichern"), this);
    save->setObjectName(QStringLiteral("BitBtn1"));
    auto* cancel = new QPushButton(QStringLiteral("&Abbruch"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addWidget(spell);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFeditTBS::id() const
{
    return upperAscii(id_->text().trimmed()).left(kBlockIdCapacity);
}

QString TFeditTBS::content() const
{
    return joinBlockLines(memo_->toPlainText());
}

} // namespace zedora
