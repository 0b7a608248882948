// zedora-cli pdf: report cards of a student file into a PDF file, with the
// same renderer as the preview.
#include "main/cli_commands.h"

#include "core/program_paths.h"
#include "core/settings_files.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/averages.h"
#include "data/column_block.h"
#include "data/column_layout.h"
#include "data/file_assignments.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "base/created_files_register.h"
#include "base/workspace_files.h"
#include "data/student_file_access.h"
#include "data/student_files.h"
#include "entry/abbreviation_tables.h"
#include "main/cli_console.h"
#include "print/archive_pdf.h"
#include "print/code_meanings.h"
#include "print/layout_reader.h"
#include "print/report_pdf.h"
#include "print/table_print_records.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <ostream>

namespace zedora::cli {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

int usage(std::ostream& err)
{
    err << "Aufruf: zedora-cli pdf [--workspace VERZEICHNIS] --file SCHUELERDATEI [--layout LAYOUT.LAY]\n"
           "                      (--out AUSGABE.pdf | --per-student ORDNER [--overwrite])\n"
           "                      [--form 0..3] [--grades 0..2] [--all | --ids ID,ID,...]\n";
    return 2;
}

bool intArg(const std::string& text, int low, int high, int& out)
{
    bool ok = false;
    const int v = q(text).toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

// One PDF/A file per student of the run; existing files are kept unless
// --overwrite says otherwise.
int writePerStudent(const QString& dir, bool overwrite, const Settings& settings, const TDruckLayout& layout,
                    const PrintMetrics& metrics, const RenderOptions& options, const PlaceholderContext& context,
                    PrintRecords& records, const PrintRun& run, std::ostream& out, std::ostream& err)
{
    if (layout.Bereich == 1 || layout.Tabellenmodus) {
        err << "Ein Tabellenformular kann nicht je Schüler archiviert werden.\n";
        return 1;
    }
    ArchiveRequest request;
    request.folder = QFileInfo(dir).absoluteFilePath();
    request.ids = run.ids;
    request.formMode = run.formMode;
    request.gradeFormat = run.gradeFormat;
    request.school = (settings.SchulName1 + u' ' + settings.SchulName2).trimmed();
    request.schuljahr = settings.Schuljahr;
    request.mayReplace = [overwrite](const QString&) { return overwrite; };
    const ArchiveOutcome outcome = writeArchivePdfs(request, layout, metrics, options, context, records);
    for (const QString& kept : outcome.kept)
        err << "Datei " << kept.toStdString() << " besteht bereits und bleibt unverändert.\n";
    if (!outcome.ok()) {
        err << "PDF-Datei " << outcome.failed.toStdString() << " konnte nicht geschrieben werden!\n";
        return 1;
    }
    out << outcome.written.size() << " PDF-Dateien nach " << request.folder.toStdString() << " geschrieben.\n";
    return outcome.kept.isEmpty() ? 0 : 1;
}

} // namespace

int pdfCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    QString workspace, file, layoutArg, outPath, perStudentDir;
    int form = 0, grades = 0;
    bool gradesGiven = false, all = false, overwrite = false;
    QStringList ids;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--all") {
            all = true;
        } else if (a == "--overwrite") {
            overwrite = true;
        } else if (!hasValue) {
            err << "Fehlender oder unbekannter Parameter: " << a << "\n";
            return usage(err);
        } else if (a == "--workspace") {
            workspace = q(args[++i]);
        } else if (a == "--file") {
            file = q(args[++i]);
        } else if (a == "--layout") {
            layoutArg = q(args[++i]);
        } else if (a == "--out") {
            outPath = q(args[++i]);
        } else if (a == "--per-student") {
            perStudentDir = q(args[++i]);
        } else if (a == "--form") {
            if (!intArg(args[++i], 0, 3, form)) {
                err << "--form erwartet 0, 1, 2 oder 3.\n";
                return 2;
            }
        } else if (a == "--grades") {
            if (!intArg(args[++i], 0, 2, grades)) {
                err << "--grades erwartet 0, 1 oder 2.\n";
                return 2;
            }
            gradesGiven = true;
        } else if (a == "--ids") {
            for (const QString& id : q(args[++i]).split(u',', Qt::SkipEmptyParts))
                ids.append(id.trimmed());
        } else {
            err << "Unbekannter Parameter: " << a << "\n";
            return usage(err);
        }
    }
    if (file.isEmpty() || outPath.isEmpty() == perStudentDir.isEmpty())
        return usage(err);
    if (!perStudentDir.isEmpty() && !QFileInfo(perStudentDir).isDir()) {
        err << "Ausgabeordner " << perStudentDir.toStdString() << " nicht gefunden!\n";
        return 1;
    }
    if (all && !ids.isEmpty()) {
        err << "--all und --ids schließen sich aus.\n";
        return 2;
    }

    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const std::optional<QString> found = existingWorkspace(workspace, paths, err);
    if (!found)
        return 1;
    workspace = *found;
    ConsoleInteraction ui(err);
    Settings settings;
    SettingsFiles(workspace, paths.computerName, ui).read(settings);

    const std::optional<QString> foundFile = existingStudentFile(workspace, file, err);
    if (!foundFile)
        return 1;
    const QString studentFile = *foundFile;
    const FileAssignments assignments = readAssignments(studentFile, workspace, FileAssignments{});

    QString layoutPath = layoutArg;
    if (layoutPath.isEmpty())
        layoutPath = assignments.Layoutdatei;
    if (layoutPath.isEmpty())
        layoutPath = joinPath(workspace, QStringLiteral("LAYOUT\\DEMO.LAY"));
    if (!QFileInfo(layoutPath).isAbsolute())
        layoutPath = joinPath(workspace, layoutPath);
    layoutPath = resolvePath(layoutPath);
    if (!QFileInfo(layoutPath).isFile() && layoutArg.isEmpty()) {
        // A fresh workspace has the demo layout only as its template.
        const QString demo = resolveIn(workspace, QStringLiteral("MUSTER\\DEMOLAY.MST"));
        if (QFileInfo(demo).isFile())
            layoutPath = demo;
    }
    const std::optional<QStringList> layoutText = readLayoutText(layoutPath);
    TDruckLayout layout;
    if (!layoutText || !parseLayoutForPrinting(layoutPath, *layoutText, layout, &ui, workspace)) {
        err << "Layoutdatei " << layoutPath.toStdString() << " nicht gefunden!\n";
        return 1;
    }

    std::unique_ptr<dbase::Table> table;
    const SortOrder* order = sortOrder(settings.Sortierung);
    const std::string tag = order ? order->tag : "KLASSE";
    // A student file whose index is missing or damaged (the workspace set-up
    // removes them) is indexed afresh, as opening it in the program does;
    // that needs the file alone. A file another computer holds is left alone.
    TNeueDateien reg(resolveIn(workspace, QStringLiteral("angelegteDateien.txt")),
                     resolveIn(workspace, QStringLiteral("angelegteVerzeichnisse.txt")));
    reg.endDefer();
    WorkspaceFiles files(reg);
    const auto reindex = [&] {
        table.reset();
        buildIndexes(studentFile, IndexKind::StudentFile, files);
    };
    try {
        OpenedTable opened = openToRead(studentFile);
        table = std::move(opened.table);
        bool indexed = false;
        for (const auto& t : table->tags())
            indexed = indexed || t.name == tag;
        if (!indexed && !opened.withoutIndex) {
            // An index of an older kind, without the tag of the sort order.
            reindex();
            opened = openToRead(studentFile);
            table = std::move(opened.table);
        }
        if (opened.withoutIndex)
            err << "Hinweis: Die Indexdatei von " << QFileInfo(studentFile).fileName().toStdString()
                << " fehlt und kann hier nicht neu aufgebaut werden;\n"
                   "die Zeugnisse kommen in der gespeicherten Reihenfolge.\n";
        try {
            table->selectTag(tag);
        } catch (const std::exception&) {
            table->selectTag("");
        }
    } catch (const std::exception& e) {
        err << "Schülerdatei kann nicht geöffnet werden: " << e.what() << "\n";
        return 1;
    }
    TablePrintRecords records(*table, AverageDefinitions::fromSettings(settings));

    AbbreviationTables tables(workspace);
    tables.loadAtStart(settings);
    tables.grades.chooseFromLayout(*layoutText);
    const AbbreviationMeanings codes(tables);
    PlaceholderContext context;
    context.settings = &settings;
    context.codes = &codes;
    context.ui = &ui;
    for (const QString& ep : assignments.EP)
        if (!ep.trimmed().isEmpty())
            context.epochalSubjects.append(upperAscii(ep.trimmed()));
    ApplyOptions columnOptions;
    columnOptions.skipUnknown = true;
    context.freeEntryColumns = applyColumnLines(blockColumnLines(*layoutText), columnOptions).description.exemptList;

    PrintRun run;
    run.formMode = FormMode(form);
    // A format asked for on the command line wins over the layout's own.
    run.gradeFormat = gradesGiven ? grades : (layout.Bedeutung >= 0 ? layout.Bedeutung : kGradeMeaning1);
    if (!ids.isEmpty()) {
        run.selection = RecordSelection::Selection;
        if (ids.size() > kMaxSelectionPages) {
            err << "Es können max. 200 Seiten gedruckt werden!\n";
            ids = ids.mid(0, kMaxSelectionPages);
        }
        // An ID that is not in the file would print a page without a
        // student: a script must learn of its mistake, not of a blank page.
        for (const QString& id : std::as_const(ids)) {
            if (!records.findId(id)) {
                err << "Die ID " << id.toStdString() << " gibt es in der Schülerdatei nicht; nichts gedruckt.\n";
                return 1;
            }
        }
        run.ids = ids;
    } else {
        run.selection = RecordSelection::WholeClass;
    }

    PrintMetrics metrics;
    metrics.calibrate();
    RenderOptions options = RenderOptions::fromSettings(settings, workspace);
    if (!perStudentDir.isEmpty())
        return writePerStudent(perStudentDir, overwrite, settings, layout, metrics, options, context, records, run,
                               out, err);
    records.first();
    const QString title = jobTitle(JobKind::ReportCards, records.value(QStringLiteral("KLASSE")).trimmed(),
                                   settings.Schuljahr);
    const QString target = QFileInfo(outPath).absoluteFilePath();
    const PrintOutcome outcome = writeReportPdf(target, layout, metrics, options, context, records, run, title);
    if (!outcome.ok) {
        err << "PDF-Datei " << target.toStdString() << " konnte nicht geschrieben werden!\n";
        return 1;
    }
    out << outcome.pages << (outcome.pages == 1 ? " Seite" : " Seiten") << " nach " << target.toStdString()
        << " geschrieben.\n";
    return 0;
}

} // namespace zedora::cli
