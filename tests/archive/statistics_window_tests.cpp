// The statistics on a main window frame: the menu items, the printouts they
// hand to the preview, and the grade statistics window with its export.
#include "archive/main_frame_fixture.h"
#include "archive/statistics_fixture.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_tables.h"
#include "print/list_job.h"
#include "print/print_job.h"
#include "schoolyear/ui/TFNotenStat.h"
#include "schoolyear/ui/archive_commands.h"

#include <QDir>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

namespace zedora::test {
namespace {

QString cell(QTableWidget& g, int r, int c) { return g.item(r, c) ? g.item(r, c)->text() : QString(); }

TEST(StatisticsCommands, MenuItemsPrintTheirStatisticsAndNameADamagedFile)
{
    Frame f;
    for (const char* name : {"StatistikberaktuelleSpalte3", "StatistikberFehltageimgesamtenVerzeichnis1",
                             "StatitistikberAbschlsseimgesamtenVerzeichnis1", "Notenstatistiken1"})
        EXPECT_TRUE(f.admin.isAvailable(f.mainMenu.action(QLatin1String(name)))) << name;

    // Administrator commands only: nothing happens in the normal mode.
    f.mainMenu.action(QStringLiteral("StatistikberFehltageimgesamtenVerzeichnis1"))->trigger();
    EXPECT_TRUE(f.printed.isEmpty());
    f.admin.setAdministratorMode(true);

    writeBytes(f.ws.root.toStdString() + "ZE-2324-1/7C.DBF", "defekt");
    f.mainMenu.action(QStringLiteral("StatistikberFehltageimgesamtenVerzeichnis1"))->trigger();
    ASSERT_EQ(f.printed.size(), 1);
    ASSERT_EQ(f.ws.ui.messages().size(), 1);
    EXPECT_TRUE(f.ws.ui.messages().first().startsWith(QStringLiteral("Die Datei 7C.DBF konnte nicht gelesen werden")));

    f.grid.setCurrentIndex(f.model->index(0, 1));
    f.mainMenu.action(QStringLiteral("StatistikberaktuelleSpalte3"))->trigger();
    f.mainMenu.action(QStringLiteral("StatitistikberAbschlsseimgesamtenVerzeichnis1"))->trigger();
    EXPECT_EQ(f.printed, (QStringList{QString::number(JobKind::AbsenceStatistics),
                                      QString::number(JobKind::ColumnStatistics),
                                      QString::number(JobKind::GraduationStatistics)}));
}

TEST(GradeStatisticsWindow, FillsComputesAndExportsTheTable)
{
    Frame f;
    TFNotenStat w(f, f.file->studentFilesOfDirectory(), {QStringLiteral("DE"), QStringLiteral("EN")});
    QTableWidget& g = w.grid();
    // Opened on the open file: one row per grade field.
    EXPECT_EQ(cell(g, 0, 0), QStringLiteral("5A.DBF"));
    EXPECT_EQ(cell(g, 1, 1), QStringLiteral("EN"));
    EXPECT_TRUE(cell(g, 2, 0).isEmpty());

    w.fillSubject(QStringLiteral("DE"));
    EXPECT_EQ(cell(g, 1, 0), QStringLiteral("6B.DBF"));
    w.fillAll();
    EXPECT_EQ(cell(g, 3, 0) + cell(g, 3, 1), QStringLiteral("6B.DBFEN"));
    w.compute();
    EXPECT_EQ(QStringList({cell(g, 0, 2), cell(g, 0, 4), cell(g, 0, 8)}),
              QStringList({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2,00")}));
    EXPECT_EQ(cell(g, 1, 3), QStringLiteral("1"));   // k.A. is no grade
    EXPECT_EQ(cell(g, 3, 8), QString());

    f.ws.ui.answers.enqueue(Answer::No);
    w.exportWorkbook();
    const QString path = f.ws.root + QStringLiteral("tmp/notenstatistik.xlsx");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(f.ws.ui.messages(),
              QStringList{QStringLiteral("Statistik wurde als Excel-Datei gespeichert unter:\n\n") +
                          QDir::toNativeSeparators(path) +
                          QStringLiteral("\n\nSoll die Datei jetzt geöffnet werden?\n")});

    f.ws.ui.answers.enqueue(Answer::No);
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("&Löschen"))
            b->click();
    EXPECT_EQ(cell(g, 0, 0), QStringLiteral("5A.DBF"));
    f.ws.ui.answers.enqueue(Answer::Yes);
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("&Löschen"))
            b->click();
    EXPECT_TRUE(cell(g, 0, 0).isEmpty());
    EXPECT_EQ(f.ws.ui.messages().last(), QStringLiteral("Sollen ale Felder gelöscht werden?\n\n"));
}

} // namespace
} // namespace zedora::test
