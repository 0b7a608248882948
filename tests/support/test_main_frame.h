#pragma once
// A main window frame for trying one subsystem's installer without the whole
// main window: a plain window with the menu and the admin commands, the open
// student file and an entry grid over it. A part an installer should not need
// fails the test when it reaches for it.
#include "core/app_context.h"
#include "core/program_paths.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_tables.h"
#include "print/list_job.h"

#include <QFrame>
#include <QMainWindow>
#include <QStringList>
#include <QTableView>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace zedora::test {

class TestMainFrame : public MainFrame {
public:
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<CurrentStudentFile> file;
    QMainWindow main;
    QFrame* bar = new QFrame(&main);
    QTableView grid;
    std::unique_ptr<StudentTableModel> model;
    AdminCommands admin;
    MainMenu mainMenu;
    AbbreviationTables tables;
    QStringList printed; // the kinds of the list printouts shown

    // Opens the workspace and the student file, with the grid over it.
    void open(Interaction& ui, const ProgramPaths& paths, const QString& studentFile)
    {
        ctx = std::make_unique<AppContext>(ui, paths);
        ctx->openWorkspace(paths.defaultWorkspace);
        ctx->createdFiles->endDefer();
        file = std::make_unique<CurrentStudentFile>(*ctx);
        EXPECT_TRUE(file->open(studentFile));
        model = std::make_unique<StudentTableModel>(file->table());
        grid.setModel(model.get());
    }
    void buildMenu() { mainMenu = buildMainMenu(main, admin); }

    QWidget& window() override { return main; }
    AppContext& context() override { return *ctx; }
    CurrentStudentFile& studentFile() override { return *file; }
    AbbreviationTables& abbreviations() override { return tables; }
    AdminCommands& adminCommands() override { return admin; }
    const MainMenu& menu() const override { return mainMenu; }
    QTableView& entryGrid() override { return grid; }
    QTableView& nameGrid() override { return notUsed<QTableView>(); }
    StudentTableModel& entryModel() override { return *model; }
    QTabWidget& pages() override { return notUsed<QTabWidget>(); }
    QFrame& iconBar() override { return *bar; }
    HelpLine& helpLine() override { return notUsed<HelpLine>(); }
    MemoPanel& memoPanel() override { return notUsed<MemoPanel>(); }
    ProgressPanel& progressPanel() override { return notUsed<ProgressPanel>(); }
    DeferringInteraction& checkMessages() override { return notUsed<DeferringInteraction>(); }
    void saveAndNext() override {}
    void takeOverInput() override {}
    void rebuildTable() override {}
    void applyColumns() override {}
    void applyColourScheme() override {}
    void showListPrintout(const ListJob& job) override { printed << QString::number(job.kind); }

private:
    template <class T>
    [[noreturn]] static T& notUsed()
    {
        ADD_FAILURE() << "the installer used a part of the main window it should not need";
        std::abort();
    }
};

} // namespace zedora::test
