#pragma once
// A main window frame over one class file with grades, texts and codes, the
// abbreviations loaded and the export commands installed.
#include "archive/archive_workspace.h"
#include "archive/statistics_fixture.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_file.h"
#include "exchange/ui/export_commands.h"
#include "support/test_main_frame.h"

#include <QAction>

namespace zedora::test {

class ExportFrame : public TestMainFrame {
public:
    ArchiveWorkspace ws;
    QString classFile = ws.root + QStringLiteral("ZE-2324-1/5A.DBF");

    explicit ExportFrame(const std::vector<Record>& students, const QStringList& shown)
    {
        writeStudents(classFile, students);
        open(ws.ui, ProgramPaths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, QStringLiteral("PC1")}, classFile);
        std::vector<ColumnSpec> columns;
        for (const QString& f : shown) {
            ColumnSpec c;
            c.field = f;
            c.title = f;
            c.width = 3;
            columns.push_back(c);
        }
        model->setColumns(columns);
        tables.grades.setEntries(parseAbbreviationTable(
            {QStringLiteral("1|sehr gut|eins"), QStringLiteral("2|gut|zwei"), QStringLiteral("3|befriedigend|drei"),
             QStringLiteral("G|grundlegend|G-Kurs"), QStringLiteral("E|erweitert|E-Kurs")}));
        tables.graduation.setLines({QStringLiteral("HS     Hauptschulabschluss"),
                                    QStringLiteral("RS     Realschulabschluss")});
        buildMenu();
        installExports(*this);
        ws.ui.clear();
    }

    void trigger(const char* item) { mainMenu.action(QString::fromLatin1(item))->trigger(); }
};

} // namespace zedora::test
