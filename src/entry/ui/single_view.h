#pragma once
// The single-student view of the entry table (SpeedButton8): only the
// current student's rows in larger fonts, with its own bar to step on,
// change the font size and show the whole table again.
#include <QObject>

class QFrame;

namespace zedora {

class MainFrame;

class SingleView : public QObject {
    Q_OBJECT
public:
    explicit SingleView(MainFrame& frame);

    void setOn(bool on);
    bool on() const { return on_; }

private:
    void createPanel();
    void step(bool forward);
    void changeFontSize(int points);

    MainFrame& frame_;
    QFrame* panel19_ = nullptr;
    bool on_ = false;
};

// Both grids in the given point sizes for cells and titles.
void setGridFonts(MainFrame& frame, int cellPoints, int titlePoints);

// Builds the bar above the grids and connects the icon-bar button; the
// window owns what is made here.
void installSingleView(MainFrame& frame);

} // namespace zedora
