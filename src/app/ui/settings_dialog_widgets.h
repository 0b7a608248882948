#pragma once
// Small controls of the settings dialog: the clickable colour panel, the
// yellow focus colour with Enter to the next control, and the refusal of
// characters the program's files cannot hold.
#include <QLabel>
#include <QObject>

class QLineEdit;
class QTableWidget;
class QWidget;

namespace zedora {

class Interaction;

// A panel showing a colour (and optionally a text); a click, Space or
// Enter while it has the focus asks for a new colour.
class ColourPanel : public QLabel {
    Q_OBJECT
public:
    ColourPanel(const QString& objectName, Interaction& ui, QWidget* parent = nullptr);

    // Windows colour value (red + 256 * green + 65536 * blue).
    int colourValue() const { return value_; }
    void setColourValue(int value);
    // Opens the colour dialog; a chosen colour becomes the panel's colour.
    void chooseColour();

signals:
    void colourChanged(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Interaction& ui_;
    int value_ = 0;
};

// Edit fields turn yellow while they have the focus; Enter in an edit
// field, spin box, combo or check box moves the focus on, as on a form, and
// presses a focused button. No button is the default one.
class FormKeys : public QObject {
public:
    explicit FormKeys(QWidget& window);
    // Every suitable child of the window gets the behaviour.
    void attachAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
};

// Typed or pasted characters outside Windows-1252 are taken out again with
// a warning, so nothing turns into '?' in a file.
void refuseUnstorableInput(QLineEdit& field, Interaction& ui);
// The same for the cells of a grid; forbidden characters (such as the
// field separator of a file) are refused as well, with their own message.
void refuseUnstorableInput(QTableWidget& grid, Interaction& ui, const QString& forbidden = {},
                           const QString& forbiddenMessage = {});

} // namespace zedora
