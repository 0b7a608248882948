#pragma once
// Asks for the administrator password when a user switches to administrator mode.
#include <QDialog>

class QLineEdit;

namespace zedora {

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);
    QString entry() const;

private:
    QLineEdit* password_;
};

} // namespace zedora
