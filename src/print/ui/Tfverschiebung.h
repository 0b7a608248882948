#pragma once
// "Global ändern ...": shifts or rescales the values of one grid column, or
// moves all elements vertically, within a range of values.
#include "print/layout_editor_edits.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace zedora {

class Interaction;

class Tfverschiebung : public QDialog {
public:
    Tfverschiebung(LayoutEditorData& data, ElementKind kind, int column, int startValue, Interaction& ui,
                   QWidget* parent = nullptr);

    // "&Starten"; the dialog closes unless the amount was refused.
    void start();
    int changes() const { return changes_; }

    QLineEdit* minbox = nullptr;
    QLineEdit* maxbox = nullptr;
    QLineEdit* addwert = nullptr;
    QRadioButton* currentColumn = nullptr;
    QRadioButton* allElements = nullptr;
    QLabel* Label2 = nullptr;

private:
    ShiftScope scope() const;
    void describe();

    LayoutEditorData& data_;
    ElementKind kind_;
    int column_;
    Interaction& ui_;
    int changes_ = 0;
};

} // namespace zedora
