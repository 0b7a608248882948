#include "app/ui/password_prompts.h"

#include "app/ui/TFpasswort.h"
#include "app/ui/TPasswordDlg.h"
#include "base/ansi_text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLineEdit>
#include <QValidator>

namespace zedora {
namespace {

// Accepts everything and turns a-z into upper case while it is typed.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = upperAscii(input);
        return Acceptable;
    }
};

} // namespace

void setUpPasswordField(QLineEdit& field, int maxLength)
{
    field.setEchoMode(QLineEdit::Password);
    field.setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    field.setValidator(new UpperCaseValidator(&field));
    if (maxLength > 0)
        field.setMaxLength(maxLength);
}

QString QtPasswordPrompts::askStartPassword()
{
    TFpasswort dialog(parent_);
    dialog.exec();
    return dialog.entry();
}

AdminPasswordAnswer QtPasswordPrompts::askAdminPassword()
{
    TPasswordDlg dialog(parent_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return {dialog.entry(), accepted};
}

QDialogButtonBox* passwordDialogButtons(QDialog& dialog, const QString& okText, const QString& cancelText)
{
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(cancelText, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setAutoDefault(false);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

} // namespace zedora
