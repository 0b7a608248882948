#pragma once
// The global-change dialog: which fields of the column to change, the new
// value (a block of the text building block file may be chosen) and, for a
// text-block column, whether the texts are replaced or extended.
#include "entry/bulk_global_change.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zedora {

class TFGlob : public QDialog {
    Q_OBJECT
public:
    explicit TFGlob(QWidget* parent = nullptr);

    // Prepares the controls for a column before the dialog opens.
    void prepare(GlobalChangeMode mode, const QString& caption, const QString& cellValue,
                 const QString& klasse, const QStringList& blocks);

    bool allFields() const;
    QString search() const;
    QString boxText() const;
    bool replaceText() const;

private:
    void updateLabel();

    GlobalChangeMode mode_ = GlobalChangeMode::Plain;
    QString klasse_;
    QGroupBox* suchnummer_;
    QRadioButton* all_;
    QRadioButton* matching_;
    QLineEdit* suchbox_;
    QCheckBox* vorLoesch_;
    QLabel* vorLoeschLabel_;
    QLabel* label2_;
    QComboBox* eingabeBox_;
    QPlainTextEdit* memo1_;
    QPushButton* start_;
    QPushButton* cancel_;
};

} // namespace zedora
