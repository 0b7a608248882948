#pragma once
// The start password dialog, shown before the program starts.
#include <QDialog>

class QLineEdit;

namespace zedora {

class TFpasswort : public QDialog {
    Q_OBJECT
public:
    explicit TFpasswort(QWidget* parent = nullptr);
    // What was typed, however the dialog was closed.
    QString entry() const;

private:
    QLineEdit* password_;
};

} // namespace zedora
