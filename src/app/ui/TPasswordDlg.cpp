#include "app/ui/TPasswordDlg.h"

#include "app/ui/password_prompts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPasswordDlg"));
    setWindowTitle(QStringLiteral("Kennwort"));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Kennwort-Systembetreuer eingeben:"), this);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    setUpPasswordField(*password_, 0);
    label->setBuddy(password_);

    QDialogButtonBox* buttons = passwordDialogButtons(*this, QStringLiteral("OK"), QStringLiteral("Abbrechen"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(10);
    layout->addWidget(label);
    layout->addWidget(password_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setMinimumWidth(320);
    password_->setFocus();
}

QString TPasswordDlg::entry() const
{
    return password_->text();
}

} // namespace zedora
