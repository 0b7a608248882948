#pragma once
// "Filterwert angeben": the value the entry table is to be filtered by.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace zedora {

class TFFilterfrage : public QDialog {
    Q_OBJECT
public:
    enum Choice { Cancel = 0, Activate, Reset };

    // caption: the column caption; value: the current cell.
    TFFilterfrage(const QString& caption, const QString& value, QWidget* parent = nullptr);

    // The trimmed filter value typed.
    QString filterValue() const;
    Choice choice() const { return choice_; }

private:
    QLabel* label_ = nullptr;
    QLineEdit* edit_ = nullptr;
    Choice choice_ = Cancel;
};

} // namespace zedora
