#pragma once
// "Spalteninformation": which field a column of the entry table holds and
// whether the current layout prints it.
#include <QDialog>

namespace zedora {

struct ColumnInfo;

class Tspalteninfo : public QDialog {
    Q_OBJECT
public:
    // administrator: "&Layout bearbeiten" can be pressed.
    Tspalteninfo(const ColumnInfo& info, bool administrator, QWidget* parent = nullptr);

    // Whether "&Layout bearbeiten" closed the window.
    bool editLayoutChosen() const { return editLayout_; }

    static QColor presentColour();
    static QColor missingColour();

private:
    bool editLayout_ = false;
};

} // namespace zedora
