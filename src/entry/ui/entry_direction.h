#pragma once
// The entry direction of the entry table: Enter moves to the next student in
// the same column (vertical) or to the next column (horizontal); the menu
// items and the two status-line buttons switch it.
#include <QObject>

namespace zedora {

class MainFrame;

class EntryDirection : public QObject {
    Q_OBJECT
public:
    explicit EntryDirection(MainFrame& frame);

    void setVertical(bool vertical);
    // One step by the direction in force from the current cell.
    void move();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainFrame& frame_;
};

// Connects the entry direction; the window owns what is made here.
void installEntryDirection(MainFrame& frame);

} // namespace zedora
