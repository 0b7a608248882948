#pragma once
// The password dialogs behind the user-mode checks, and the look of every
// password field of the program.
#include "core/user_mode.h"

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

namespace zedora {

// Shows "*" for each character and upper-cases letters as they are typed;
// maxLength 0 leaves the length open.
void setUpPasswordField(QLineEdit& field, int maxLength);
// The OK / cancel buttons of a password dialog, connected to accept and reject.
QDialogButtonBox* passwordDialogButtons(QDialog& dialog, const QString& okText, const QString& cancelText);

class QtPasswordPrompts : public PasswordPrompts {
public:
    explicit QtPasswordPrompts(QWidget* parent) : parent_(parent) {}
    QString askStartPassword() override;
    AdminPasswordAnswer askAdminPassword() override;

private:
    QWidget* parent_;
};

} // namespace zedora
