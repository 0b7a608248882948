#pragma once
// The layout editor's page "  [Allgemeines]  ": the general settings of the
// layout with their sliders and boxes, bound to LayoutGeneral.
#include "print/layout_editor_io.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QGroupBox;

namespace zedora {

class Interaction;

class LayoutGeneralPage : public QWidget {
public:
    LayoutGeneralPage(LayoutGeneral& general, Interaction& ui, QWidget* parent = nullptr);

    // Shows the model's values; abbreviationFiles fill "kuerzelbox".
    void refill(const QString& layoutPath, const QStringList& abbreviationFiles);
    // The font dialog behind "layFont" / "layGrad".
    void chooseGlobalFont();

    std::function<void()> onChanged;

    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* layname = nullptr;
    QComboBox* laybedeut = nullptr;
    QLineEdit* layFont = nullptr;
    QLineEdit* layGrad = nullptr;
    QSlider* schieberVorschub = nullptr;
    QLineEdit* layVorschEdit = nullptr;
    QLabel* tableNote = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* automatic = nullptr;
    QRadioButton* fixed = nullptr;
    QLineEdit* Edit2 = nullptr;
    QSlider* schieberVertikal = nullptr;
    QLineEdit* vertikalEdit = nullptr;
    QSlider* schieberHorizontal = nullptr;
    QLineEdit* HorizontalEdit = nullptr;
    QComboBox* pgradio = nullptr;
    QComboBox* layformat = nullptr;
    QComboBox* kuerzelbox = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    void showTableMode();

    LayoutGeneral& general_;
    Interaction& ui_;
    bool filling_ = false;
};

} // namespace zedora
