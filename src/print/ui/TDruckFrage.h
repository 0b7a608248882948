#pragma once
// "Tabellendruck": what of the entry table to print, on which paper.
#include <QDialog>

class QButtonGroup;

namespace zedora {

class TDruckFrage : public QDialog {
    Q_OBJECT
public:
    // The dialog's result codes.
    enum Action { Close = 0, WithData = 2, Empty = 4, TextColumn = 5 };

    explicit TDruckFrage(QWidget* parent = nullptr);

    bool firstPageOnly() const;
    bool landscape() const;

private:
    QButtonGroup* rgp1_ = nullptr;
    QButtonGroup* rgp2_ = nullptr;
};

} // namespace zedora
