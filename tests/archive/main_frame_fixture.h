#pragma once
// A main window frame over a workspace with two class files of ZE-2324-1,
// with the archive and statistics commands installed.
#include "archive/archive_workspace.h"
#include "archive/statistics_fixture.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_tables.h"
#include "print/list_job.h"
#include "schoolyear/ui/archive_commands.h"

#include <QFrame>
#include <QMainWindow>
#include <QTableView>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace zedora::test {

template <class T>
[[noreturn]] T& notUsed()
{
    ADD_FAILURE() << "the statistics used a part of the frame they should not need";
    std::abort();
}

class Frame : public MainFrame {
public:
    ArchiveWorkspace ws;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<CurrentStudentFile> file;
    QMainWindow main;
    QFrame* bar = new QFrame(&main);
    QTableView grid;
    std::unique_ptr<StudentTableModel> model;
    AdminCommands admin;
    MainMenu mainMenu;
    AbbreviationTables tables;
    QStringList printed;

    Frame()
    {
        writeStudents(ws.root + QStringLiteral("ZE-2324-1/5A.DBF"),
                      {{{"NAME", "A"}, {"DE", "1"}, {"EN", "2"}, {"VS1", "4"}, {"UE1", "1"}, {"KLASSE", "5A"}},
                       {{"NAME", "B"}, {"DE", "3"}, {"EN", "k.A."}, {"VS1", ""}, {"KLASSE", "5A"}}});
        writeStudents(ws.root + QStringLiteral("ZE-2324-1/6B.DBF"), {{{"NAME", "C"}, {"DE", "6"}, {"VS1", "2"}}});
        ProgramPaths paths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, QStringLiteral("PC1")};
        ctx = std::make_unique<AppContext>(ws.ui, paths);
        ctx->openWorkspace(ws.root);
        ctx->createdFiles->endDefer();
        file = std::make_unique<CurrentStudentFile>(*ctx);
        EXPECT_TRUE(file->open(ws.root + QStringLiteral("ZE-2324-1/5A.DBF")));
        model = std::make_unique<StudentTableModel>(file->table());
        std::vector<ColumnSpec> columns;
        for (const char* f : {"DE", "VS1", "EN"}) {
            ColumnSpec c;
            c.field = QLatin1String(f);
            c.title = QLatin1String(f);
            c.width = 3;
            columns.push_back(c);
        }
        model->setColumns(columns);
        grid.setModel(model.get());
        mainMenu = buildMainMenu(main, admin);
        installArchiveAndStatistics(*this);
        ws.ui.clear();
    }

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
};

} // namespace zedora::test
