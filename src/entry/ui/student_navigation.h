#pragma once
// Moving from student to student: the four navigation buttons, the save and
// cancel buttons with F8, F9 and Esc, the table refresh, and the mouse wheel
// over the grids moving the record cursor.
#include <QObject>

namespace zedora {

class MainFrame;

class StudentNavigation : public QObject {
    Q_OBJECT
public:
    explicit StudentNavigation(MainFrame& frame);

    // Standing on the first record: one step back says so at once.
    void standAtBeginning();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectButtons();
    void connectSaving();
    void updateSaveButtons();

    MainFrame& frame_;
    bool atBegin_ = true;   // a further step back says "Anfang erreicht!"
    bool atEnd_ = false;    // a further step forward says "Ende erreicht!"
    bool navigating_ = false;
    int wheelRest_ = 0;     // of wheel turns smaller than a notch
};

// Connects the navigation; the window owns what is made here. The cell
// editors of the entry table must be in place.
void installStudentNavigation(MainFrame& frame);

} // namespace zedora
