#pragma once
// What the windows of every subsystem need from the main window: its parts
// (menu, icon bar, pages, grids, panels) and the few steps every command
// runs through it. The main window implements it; each subsystem's installer
// takes a MainFrame, so no subsystem depends on the main window itself.
class QFrame;
class QTabWidget;
class QTableView;
class QWidget;

namespace zedora {

class AdminCommands;
class AppContext;
class CurrentStudentFile;
class DeferringInteraction;
class HelpLine;
class MemoPanel;
class ProgressPanel;
class StudentTableModel;
struct AbbreviationTables;
struct ListJob;
struct MainMenu;

class MainFrame {
public:
    // The main window itself: parent of dialogs, context of connections,
    // where controls are found by object name.
    virtual QWidget& window() = 0;

    virtual AppContext& context() = 0;
    virtual CurrentStudentFile& studentFile() = 0;
    virtual AbbreviationTables& abbreviations() = 0;
    virtual AdminCommands& adminCommands() = 0;
    virtual const MainMenu& menu() const = 0;

    // The entry table (DBGrid1), the fixed name grid (DBGrid2) and the
    // model of the entry table.
    virtual QTableView& entryGrid() = 0;
    virtual QTableView& nameGrid() = 0;
    virtual StudentTableModel& entryModel() = 0;
    // The three entry pages: table, mask, master data.
    virtual QTabWidget& pages() = 0;
    virtual QFrame& iconBar() = 0;
    virtual HelpLine& helpLine() = 0;
    virtual MemoPanel& memoPanel() = 0;
    virtual ProgressPanel& progressPanel() = 0;
    // The boxes of the value checks (held while a grid cell hands over its value).
    virtual DeferringInteraction& checkMessages() = 0;

    // Saves the pending edit and moves to the next student (the table grid
    // takes the focus on the table page).
    virtual void saveAndNext() = 0;
    // Hands a value still being typed (a cell editor, a field of the mask or
    // master-data page) to the record; every save runs it first.
    virtual void takeOverInput() = 0;
    // Re-reads the open file with the column layout, keeping the record.
    virtual void rebuildTable() = 0;
    // Sets the columns of both grids and their widths from the column
    // layout and the settings.
    virtual void applyColumns() = 0;
    // Colours the panels by the colour scheme of the settings.
    virtual void applyColourScheme() = 0;
    // Shows a list printout modally in the preview, from which it prints.
    virtual void showListPrintout(const ListJob& job) = 0;

protected:
    ~MainFrame() = default;
};

} // namespace zedora
