#include "schoolyear/ui/archive_commands.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "data/student_table_model.h"
#include "print/list_job.h"
#include "print/statistics_printouts.h"
#include "schoolyear/statistics_column.h"
#include "schoolyear/statistics_directory.h"
#include "schoolyear/ui/TFArchiv.h"
#include "schoolyear/ui/TFNotenStat.h"

#include <QAction>
#include <QFileInfo>
#include <QTableView>

namespace zedora {
namespace {

StatisticsHeader headerOf(MainFrame& frame)
{
    StatisticsHeader h;
    h.heading = frame.context().settings.SchulName1;
    h.dataDirectory = frame.studentFile().dataDirectoryName();
    return h;
}

// The files on disk must hold what the user typed before they are read.
bool savedFirst(MainFrame& frame)
{
    frame.takeOverInput();
    return frame.studentFile().table().savePending();
}

void reportDamaged(MainFrame& frame, const QStringList& damaged)
{
    if (!damaged.isEmpty())
        frame.context().ui.warning(damaged.join(QStringLiteral("\n\n")));
}

void absences(MainFrame& frame)
{
    if (!savedFirst(frame))
        return;
    const QString dir = QFileInfo(frame.studentFile().path()).absolutePath();
    QStringList damaged;
    AbsenceStatistics s = absenceStatistics(dir, frame.studentFile().studentFilesOfDirectory(), &damaged);
    s.header = headerOf(frame);
    reportDamaged(frame, damaged);
    frame.showListPrintout(absenceStatisticsJob(s));
}

void graduations(MainFrame& frame)
{
    if (!savedFirst(frame))
        return;
    AppContext& ctx = frame.context();
    const QString dir = QFileInfo(frame.studentFile().path()).absolutePath();
    const QStringList codes = graduationCodesFrom(resolveIn(ctx.workspace, QStringLiteral("ABSCHL.TXT")));
    QStringList damaged;
    GraduationStatistics s = graduationStatistics(dir, frame.studentFile().studentFilesOfDirectory(), codes,
                                                  ctx.settings.Maennlich, &damaged);
    s.header = headerOf(frame);
    reportDamaged(frame, damaged);
    frame.showListPrintout(graduationStatisticsJob(s));
}

void currentColumn(MainFrame& frame)
{
    if (!savedFirst(frame))
        return;
    StudentTable& table = frame.studentFile().table();
    const int column = frame.entryGrid().currentIndex().column();
    const ColumnSpec* layoutColumn = column >= 0 ? frame.entryModel().column(column) : nullptr;
    const int field = column >= 0 ? frame.entryModel().fieldOfColumn(column) : -1;
    if (!layoutColumn || field < 0)
        return;
    QStringList values;
    for (int row = 0; row < table.rowCount(); ++row)
        values << table.valueAt(row, field);
    ColumnStatistics s;
    s.header = headerOf(frame);
    s.column = layoutColumn->title.trimmed();
    s.klasse = table.value(QStringLiteral("KLASSE")).trimmed();
    s.schuljahr = frame.context().settings.Schuljahr;
    s.halbjahr = frame.context().settings.Halbjahr;
    computeColumnStatistics(s, values, columnValueKind(table.fieldName(field)));
    frame.showListPrintout(columnStatisticsJob(s));
}

void gradeStatistics(MainFrame& frame)
{
    if (!savedFirst(frame))
        return;
    QStringList fields;
    for (int c = 0; c < frame.entryModel().columnCount(); ++c) {
        const ColumnSpec* layoutColumn = frame.entryModel().column(c);
        if (layoutColumn && fieldKind(layoutColumn->field) == FieldKind::Grade && !fields.contains(layoutColumn->field))
            fields << layoutColumn->field;
    }
    if (fields.isEmpty()) {
        frame.context().ui.info(
            QStringLiteral("In diesem Eingabelayout kommt kein Notenfeld vor!\n\nWählen Sie ein anderes Layout!"));
        return;
    }
    TFNotenStat dialog(frame, frame.studentFile().studentFilesOfDirectory(), fields, &frame.window());
    dialog.exec();
}

// The open file is closed while archives are worked on, so it can be
// transferred and nothing holds it; afterwards it is opened again.
void archives(MainFrame& frame)
{
    if (!savedFirst(frame))
        return;
    CurrentStudentFile& file = frame.studentFile();
    const QString open = file.path();
    file.writeAssignments();
    file.table().close();
    {
        TFArchiv dialog(frame, open, &frame.window());
        dialog.exec();
    }
    file.open(open);
}

void hook(MainFrame& frame, const char* name, void (*run)(MainFrame&))
{
    QAction* a = frame.menu().action(QString::fromLatin1(name));
    if (!a)
        return;
    frame.adminCommands().setAvailable(a, true);
    QObject::connect(a, &QAction::triggered, &frame.window(), [&frame, run] { run(frame); });
}

} // namespace

void installArchiveAndStatistics(MainFrame& frame)
{
    hook(frame, "StatistikberaktuelleSpalte3", currentColumn);
    hook(frame, "StatistikberaktuelleSpalte1", currentColumn);
    hook(frame, "StatistikberFehltageimgesamtenVerzeichnis1", absences);
    hook(frame, "StatistikberFehltageimgesmatenDatenverzeichnisZE1", absences);
    hook(frame, "StatitistikberAbschlsseimgesamtenVerzeichnis1", graduations);
    hook(frame, "StatistikberAbschlsseimgesamtenDatenbverzeichnisZE1", graduations);
    hook(frame, "Notenstatistiken1", gradeStatistics);
    hook(frame, "Archivdateienbearbeiten1", archives);
}

} // namespace zedora
