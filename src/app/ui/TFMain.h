#pragma once
// The main window: menu and icon bar, navigation panel, the three entry
// pages, the student file list, the status buttons and the help line. It is
// the frame; every subsystem connects its commands through its installer.
#include "core/ui/main_frame.h"

#include <QMainWindow>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QTabWidget;
class QTableView;
class QToolButton;

namespace zedora {

class AdminCommands;
class AppContext;
class DeferringInteraction;
class EntryGridDelegate;
class CurrentStudentFile;
struct AbbreviationTables;
class StudentTableModel;
class MaskPageView;
class MemoPanel;
class ProgressPanel;
class HelpLine;
class PasswordPrompts;
struct MainMenu;

class TFMain : public QMainWindow, public MainFrame {
    Q_OBJECT
public:
    TFMain(AppContext& context, PasswordPrompts& prompts, QWidget* parent = nullptr);
    ~TFMain() override;

    QWidget& window() override { return *this; }
    AppContext& context() override { return context_; }
    CurrentStudentFile& studentFile() override { return *file_; }
    AbbreviationTables& abbreviations() override { return *abbreviations_; }
    AdminCommands& adminCommands() override { return *admin_; }
    const MainMenu& menu() const override { return *menu_; }
    QTableView& entryGrid() override { return *grid1_; }
    QTableView& nameGrid() override { return *grid2_; }
    StudentTableModel& entryModel() override { return *model1_; }
    QTabWidget& pages() override { return *allreg_; }
    QFrame& iconBar() override { return *iconBar_; }
    HelpLine& helpLine() override { return *helpLine_; }
    MemoPanel& memoPanel() override { return *memo_; }
    ProgressPanel& progressPanel() override { return *gaugepanel_; }
    DeferringInteraction& checkMessages() override { return *checkMessages_; }

    void saveAndNext() override;
    void takeOverInput() override;
    void rebuildTable() override;
    void applyColumns() override;
    void applyColourScheme() override;
    void showListPrintout(const ListJob& job) override;

    // Opens the last student file (or the demo); false when none at all
    // could be opened, and the window is then closed.
    bool openLastStudentFile();

    // Start routine pieces that need the window.
    void prepareFromSettings();
    void fillDataDirectoryList();
    void setHelpTextsShown(bool on);
    void setUserMode(bool administrator);

    // Whether the closing steps already ran.
    bool closed() const { return closed_; }

signals:
    void firstActivation();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void createPages();
    void createEntryGrids(QWidget* page);
    void connectCommands();
    void followStudentFile();
    void installCommands();
    void studentFileOpened();
    void updateStatusLine();
    void runClosingSteps();
    EntryGridDelegate* cellEditors() const;

    AppContext& context_;
    PasswordPrompts& prompts_;
    std::unique_ptr<AdminCommands> admin_;
    std::unique_ptr<MainMenu> menu_;
    std::unique_ptr<CurrentStudentFile> file_;
    std::unique_ptr<AbbreviationTables> abbreviations_;
    std::unique_ptr<DeferringInteraction> checkMessages_;
    HelpLine* helpLine_ = nullptr;
    QFrame* iconBar_ = nullptr;
    QTabWidget* allreg_ = nullptr;
    QTableView* grid1_ = nullptr;
    QTableView* grid2_ = nullptr;
    StudentTableModel* model1_ = nullptr;
    StudentTableModel* model2_ = nullptr;
    MaskPageView* mask_ = nullptr;
    MemoPanel* memo_ = nullptr;
    int entryColumn_ = 0;
    QComboBox* sjbox_ = nullptr;
    QListWidget* dateienbox_ = nullptr;
    QFrame* panel7_ = nullptr;
    QLabel* hilfe_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* lName_ = nullptr;      // the student line
    QLabel* klassenbez_ = nullptr;
    QLabel* lKlasse_ = nullptr;
    ProgressPanel* gaugepanel_ = nullptr;
    bool closed_ = false;
    bool activated_ = false;
};

} // namespace zedora
