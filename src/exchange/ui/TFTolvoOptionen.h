#pragma once
// "Tolvo - Optionen": where the school server is and how its data are taken.
#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace zedora {

struct Settings;

class TFTolvoOptionen : public QDialog {
    Q_OBJECT
public:
    TFTolvoOptionen(Settings& settings, QWidget* parent = nullptr);

private:
    void UebernehmenClick();
    Settings& settings_;
    QLineEdit* dabaEdit_;
    QLineEdit* hostEdit_;
    QLineEdit* portEdit_;
    QButtonGroup* rg1_;
    QButtonGroup* rg2_;
    QButtonGroup* rg3_;
    QCheckBox* checkBox1_;
    std::array<QLineEdit*, 5> levels_{};
};

} // namespace zedora
