#pragma once
// Master-data editing (StammEd [F4], StEin / StAus) and the record commands
// add / change / delete (merg, maend, mloesch, btnNeu, btnloe), with the
// renewal of the student identity at the first save after editing was
// switched on.
#include <QObject>

namespace zedora {

class MasterDataPage;
class StudentTable;
class MainFrame;

class MasterDataCommands : public QObject {
    Q_OBJECT
public:
    MasterDataCommands(MainFrame& frame, MasterDataPage& page);

    void setEditing(bool on);
    void toggleEditing() { setEditing(!editing_); }
    bool editing() const { return editing_; }
    bool renewPending() const { return renewPending_; }

    void addRecord();
    void changeRecord();
    void deleteRecord();

private:
    StudentTable& table();
    bool nameReadOnly();
    void showPage();
    void pageSelected(int index);
    void stateChanged(int state);
    void renewIdentity();

    MainFrame& frame_;
    MasterDataPage& page_;
    bool editing_ = false;
    bool renewPending_ = false;
    bool wasEditing_ = false;
    bool justLeftEditing_ = false;
    bool renewing_ = false;
    int clickedTab_ = -1;
};

// Builds the page "Eingabe - Stammdaten" into the main window's third page and
// connects its commands. The window owns what is made here.
void installMasterData(MainFrame& frame);

} // namespace zedora
