#pragma once
// The table lock of the entry table: while it is on, only master data,
// texts and averages keep their own rules and every other field is
// read-only, except one column the user may release with F2.
#include <QObject>

class QLabel;

namespace zedora {

class MainFrame;

class TableLock : public QObject {
    Q_OBJECT
public:
    explicit TableLock(MainFrame& frame);

    bool locked() const;
    // Model column of DBGrid1 released while locked; -1 for none.
    int releasedColumn() const { return released_; }

    // SpeedButton19 / SpeedButton20; a second lock or unlock only says so.
    void lock();
    void unlock();
    // F2 on a column of DBGrid1: release it, or lock it again.
    void toggleColumn(int column);

signals:
    void changed();

private:
    void setLock(bool on);
    void showState();
    void focusAndRepaint();

    MainFrame& frame_;
    QLabel* panel16_ = nullptr;
    int released_ = -1;
};

} // namespace zedora
