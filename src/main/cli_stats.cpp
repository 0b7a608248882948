// zedora-cli stats: grade, absence and graduation statistics of one student
// file or a whole data directory, as text, an .xlsx workbook or a PDF page
// drawn as the preview shows it.
#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "core/program_paths.h"
#include "core/settings.h"
#include "core/settings_files.h"
#include "data/student_schema.h"
#include "exchange/export_xlsx.h"
#include "main/cli_commands.h"
#include "main/cli_console.h"
#include "print/list_job.h"
#include "print/print_metrics.h"
#include "print/printer_output.h"
#include "schoolyear/statistics_directory.h"
#include "schoolyear/statistics_grades.h"
#include "schoolyear/statistics_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <ostream>

namespace zedora::cli {
namespace {

const char* const kUsage =
    "Aufruf: zedora-cli stats grades|absences|graduation --workspace DIR (--file SCHUELERDATEI | --dir ZE-JJZZ-H)\n"
    "        [--fields DE,EN,...] [--xlsx AUSGABE.xlsx | --pdf AUSGABE.pdf]\n";

struct StatsArgs {
    QString kind, workspace, file, dir, fields, xlsx, pdf;
};

bool parse(const Args& args, StatsArgs& a, std::ostream& err)
{
    if (args.empty())
        return false;
    a.kind = QString::fromStdString(args[0]);
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& k = args[i];
        const bool hasValue = i + 1 < args.size();
        auto next = [&]() { return QString::fromStdString(args[++i]); };
        if (k == "--workspace" && hasValue) a.workspace = next();
        else if (k == "--file" && hasValue) a.file = next();
        else if (k == "--dir" && hasValue) a.dir = next();
        else if (k == "--fields" && hasValue) a.fields = next();
        else if (k == "--xlsx" && hasValue) a.xlsx = next();
        else if (k == "--pdf" && hasValue) a.pdf = next();
        else {
            err << "Unbekanntes oder unvollständiges Argument: " << k << "\n";
            return false;
        }
    }
    if (a.kind != QLatin1String("grades") && a.kind != QLatin1String("absences") &&
        a.kind != QLatin1String("graduation")) {
        err << "Unbekannte Statistik: " << a.kind.toStdString() << "\n";
        return false;
    }
    if (a.file.isEmpty() == a.dir.isEmpty()) {
        err << "Genau eines von --file und --dir ist nötig.\n";
        return false;
    }
    if (!a.xlsx.isEmpty() && !a.pdf.isEmpty()) {
        err << "Nur eines von --xlsx und --pdf ist möglich.\n";
        return false;
    }
    return true;
}

void printTable(const QVector<QStringList>& rows, std::ostream& out)
{
    for (const QStringList& r : rows)
        out << r.join(QLatin1Char('\t')).toStdString() << "\n";
}

} // namespace

int statsCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    StatsArgs a;
    if (!parse(args, a, err)) {
        err << kUsage;
        return 2;
    }
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const std::optional<QString> found = existingWorkspace(a.workspace, paths, err);
    if (!found)
        return 1;
    const QString ws = *found;
    ConsoleInteraction ui(err);
    Settings settings;
    SettingsFiles(ws, paths.computerName, ui).read(settings);

    QString directory;
    QStringList files;
    if (!a.dir.isEmpty()) {
        directory = resolveIn(ws, a.dir);
        if (!QFileInfo(directory).isDir()) {
            err << "Datenverzeichnis nicht gefunden: " << a.dir.toStdString() << "\n";
            return 1;
        }
        files = studentFilesIn(directory);
    } else {
        const std::optional<QString> found = existingStudentFile(ws, a.file, err);
        if (!found)
            return 1;
        const QString path = *found;
        directory = QFileInfo(path).absolutePath();
        files << QFileInfo(path).fileName();
    }
    const QString dirName = lastComponent(QDir::cleanPath(directory));
    StatisticsHeader header;
    header.heading = settings.SchulName1;
    header.dataDirectory = dirName;

    QStringList damaged;
    QVector<QStringList> table;
    ListJob job;
    QString title;
    if (a.kind == QLatin1String("grades")) {
        const QStringList fields = a.fields.isEmpty()
                                       ? fieldsOfKind(FieldKind::Grade)
                                       : gradeFieldsAmong(a.fields.split(QLatin1Char(','), Qt::SkipEmptyParts));
        if (fields.isEmpty()) {
            err << "Keine Notenfelder angegeben!\n";
            return 2;
        }
        GradeStatistics s;
        s.header = header;
        s.rows = gradeStatisticsRows(files, fields);
        try {
            computeGradeStatistics(s, directory, QLocale(QLocale::German, QLocale::Germany));
        } catch (const std::exception& e) {
            err << "Statistik abgebrochen: " << e.what() << "\n";
            return 1;
        }
        table = gradeStatisticsTable(s);
        job = gradeStatisticsJob(s);
        title = QStringLiteral("Notenstatistik");
    } else if (a.kind == QLatin1String("absences")) {
        AbsenceStatistics s = absenceStatistics(directory, files, &damaged);
        s.header = header;
        table = absenceStatisticsTable(s);
        job = absenceStatisticsJob(s);
        title = QStringLiteral("Statistik der Fehltage");
    } else {
        const QStringList codes = graduationCodesFrom(resolveIn(ws, QStringLiteral("ABSCHL.TXT")));
        GraduationStatistics s = graduationStatistics(directory, files, codes, settings.Maennlich, &damaged);
        s.header = header;
        table = graduationStatisticsTable(s);
        job = graduationStatisticsJob(s);
        title = QStringLiteral("Statistik der Abschlüsse");
    }
    for (const QString& d : damaged)
        err << d.toStdString() << "\n";

    if (!a.xlsx.isEmpty()) {
        XlsxTable x;
        x.sheetName = QStringLiteral("Statistik - ") + dirName;
        x.title = title + QStringLiteral(" - ") + dirName;
        x.rows = table;
        const QString message = writeXlsx(a.xlsx, x);
        if (!message.isEmpty()) {
            err << message.toStdString() << "\n";
            return 1;
        }
        out << "Statistik gespeichert unter: " << QFileInfo(a.xlsx).absoluteFilePath().toStdString() << "\n";
    } else if (!a.pdf.isEmpty()) {
        PrintMetrics metrics;
        metrics.calibrate();
        const QString target = QFileInfo(a.pdf).absoluteFilePath();
        const PrintOutcome outcome = writeListPdf(target, job, metrics);
        if (!outcome.ok) {
            err << "PDF-Datei " << target.toStdString() << " konnte nicht geschrieben werden!\n";
            return 1;
        }
        out << outcome.pages << (outcome.pages == 1 ? " Seite" : " Seiten") << " nach " << target.toStdString()
            << "\n";
    } else {
        printTable(table, out);
    }
    return damaged.isEmpty() ? 0 : 3;
}

} // namespace zedora::cli
