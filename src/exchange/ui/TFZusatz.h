#pragma once
// "Einleseoptionen für WinSibank": the two free fields, the course-level
// read length and whether leavers are read too.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace zedora {

struct Settings;

class TFZusatz : public QDialog {
    Q_OBJECT
public:
    // fieldList: MUSTER\SIBANKFELDER.MST of the workspace.
    TFZusatz(Settings& settings, const QString& fieldList, QWidget* parent = nullptr);

private:
    void OKClick();
    Settings& settings_;
    QComboBox* edit1_;
    QComboBox* edit2_;
    QSpinBox* kursspin_;
    QCheckBox* abgimportbox_;
};

} // namespace zedora
