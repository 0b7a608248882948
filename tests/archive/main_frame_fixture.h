#pragma once
// A main window frame over a workspace with two class files of ZE-2324-1,
// with the archive and statistics commands installed.
#include "archive/archive_workspace.h"
#include "archive/statistics_fixture.h"
#include "data/student_table_model.h"
#include "schoolyear/ui/archive_commands.h"
#include "support/test_main_frame.h"

#include <gtest/gtest.h>

namespace zedora::test {

class Frame : public TestMainFrame {
public:
    ArchiveWorkspace ws;

    Frame()
    {
        writeStudents(ws.root + QStringLiteral("ZE-2324-1/5A.DBF"),
                      {{{"NAME", "A"}, {"DE", "1"}, {"EN", "2"}, {"VS1", "4"}, {"UE1", "1"}, {"KLASSE", "5A"}},
                       {{"NAME", "B"}, {"DE", "3"}, {"EN", "k.A."}, {"VS1", ""}, {"KLASSE", "5A"}}});
        writeStudents(ws.root + QStringLiteral("ZE-2324-1/6B.DBF"), {{{"NAME", "C"}, {"DE", "6"}, {"VS1", "2"}}});
        open(ws.ui, ProgramPaths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, QStringLiteral("PC1")},
             ws.root + QStringLiteral("ZE-2324-1/5A.DBF"));
        std::vector<ColumnSpec> columns;
        for (const char* f : {"DE", "VS1", "EN"}) {
            ColumnSpec c;
            c.field = QLatin1String(f);
            c.title = QLatin1String(f);
            c.width = 3;
            columns.push_back(c);
        }
        model->setColumns(columns);
        buildMenu();
        installArchiveAndStatistics(*this);
        ws.ui.clear();
    }
};

} // namespace zedora::test
