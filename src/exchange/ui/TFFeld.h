#pragma once
// "Feldnamen festlegen": which field of any dBase file fills which column.
#include <QDialog>

class QTableWidget;

namespace zedora {

struct Settings;

class TFFeld : public QDialog {
    Q_OBJECT
public:
    TFFeld(Settings& settings, QWidget* parent = nullptr);
    // However the window closes, the names are kept in upper case.
    void done(int result) override;

private:
    Settings& settings_;
    QTableWidget* grid_;
};

} // namespace zedora
