// zedora-cli list: the list printouts (entry table, layout, column layout,
// settings, abbreviations, text blocks, printer test page) into a PDF file,
// drawn exactly as the preview shows them.
#include "main/cli_commands.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "core/program_paths.h"
#include "core/settings_files.h"
#include "data/averages.h"
#include "data/column_block.h"
#include "data/column_layout.h"
#include "data/file_assignments.h"
#include "data/student_file_access.h"
#include "data/student_files.h"
#include "dbase/table.h"
#include "entry/abbreviation_tables.h"
#include "main/cli_console.h"
#include "print/listing_printouts.h"
#include "print/printer_output.h"
#include "print/printer_test_page.h"
#include "print/report_pdf.h"
#include "print/table_print_records.h"
#include "print/table_printout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <ostream>

namespace zedora::cli {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

int usage(std::ostream& err)
{
    err << "Aufruf: zedora-cli list ART --workspace VERZEICHNIS [--file SCHUELERDATEI] [--layout LAYOUT.LAY]\n"
           "                       [--landscape] [--first-page] --out AUSGABE.pdf\n"
           "ART: table, table-empty, layout, columns, settings, abbreviations, textblocks, printer-test\n";
    return 2;
}

const QStringList kKinds = {QStringLiteral("table"),    QStringLiteral("table-empty"),   QStringLiteral("layout"),
                            QStringLiteral("columns"),  QStringLiteral("settings"),      QStringLiteral("abbreviations"),
                            QStringLiteral("textblocks"), QStringLiteral("printer-test")};

std::unique_ptr<dbase::Table> openStudents(const QString& path, std::ostream& err)
{
    try {
        OpenedTable opened = openToRead(path);
        auto table = std::move(opened.table);
        if (opened.withoutIndex)
            err << "Hinweis: Die Indexdatei von " << QFileInfo(path).fileName().toStdString()
                << " fehlt und kann hier nicht neu aufgebaut werden;\n"
                   "die Schüler kommen in der gespeicherten Reihenfolge.\n";
        try {
            table->selectTag("KLASSE");
        } catch (const std::exception&) {
            table->selectTag("");
        }
        return table;
    } catch (const std::exception& e) {
        err << "Schülerdatei kann nicht geöffnet werden: " << e.what() << "\n";
        return nullptr;
    }
}

} // namespace

int listCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty())
        return usage(err);
    const QString kind = q(args[0]);
    if (!kKinds.contains(kind)) {
        err << "Unbekannte Liste: " << args[0] << "\n";
        return usage(err);
    }
    QString workspace, file, layoutArg, outPath;
    bool landscape = false, firstPage = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--landscape") {
            landscape = true;
        } else if (a == "--first-page") {
            firstPage = true;
        } else if (i + 1 >= args.size()) {
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
        } else {
            err << "Unbekannter Parameter: " << a << "\n";
            return usage(err);
        }
    }
    if (outPath.isEmpty())
        return usage(err);
    const bool needsFile = kind.startsWith(QStringLiteral("table")) || kind == QLatin1String("textblocks");
    if (needsFile && file.isEmpty()) {
        err << "Für diese Liste wird eine Schülerdatei gebraucht (--file).\n";
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

    QString studentFile;
    FileAssignments assignments;
    if (!file.isEmpty()) {
        const std::optional<QString> found = existingStudentFile(workspace, file, err);
        if (!found)
            return 1;
        studentFile = *found;
        assignments = readAssignments(studentFile, workspace, FileAssignments{});
    }
    QString layoutPath = layoutArg.isEmpty() ? assignments.Layoutdatei : layoutArg;
    if (layoutPath.isEmpty())
        layoutPath = QStringLiteral("LAYOUT\\DEMO.LAY");
    if (!QFileInfo(layoutPath).isAbsolute())
        layoutPath = joinPath(workspace, layoutPath);
    layoutPath = resolvePath(layoutPath);
    const bool needsLayout = kind != QLatin1String("settings") && kind != QLatin1String("printer-test") &&
                             kind != QLatin1String("abbreviations") && kind != QLatin1String("textblocks");
    std::optional<QStringList> layoutText = readLayoutText(layoutPath);
    if (needsLayout && !layoutText) {
        err << "Layoutdatei " << layoutPath.toStdString() << " nicht gefunden!\n";
        return 1;
    }

    ListJob job;
    if (kind == QLatin1String("printer-test")) {
        PrinterTestInput input;
        input.printerName = jobPrinter(settings);
        if (input.printerName.isEmpty())
            input.printerName = QStringLiteral("PDF");
        input.musterDir = resolveIn(workspace, QStringLiteral("MUSTER"));
        job = printerTestJob(input);
    } else if (kind == QLatin1String("settings")) {
        job = listingJob(settingsListing(settings));
    } else if (kind == QLatin1String("layout")) {
        job = listingJob(layoutContentsListing(settings, layoutPath, *layoutText));
    } else if (kind == QLatin1String("columns")) {
        job = listingJob(columnLayoutListing(settings, layoutPath, *layoutText));
    } else if (kind == QLatin1String("abbreviations")) {
        AbbreviationTables tables(workspace);
        tables.loadAtStart(settings);
        if (layoutText)
            tables.grades.chooseFromLayout(*layoutText);
        QVector<Abbreviation> grades(tables.grades.entries().begin(), tables.grades.entries().end());
        QVector<GraduationCode> codes(tables.graduation.entries().begin(), tables.graduation.entries().end());
        job = listingJob(abbreviationsListing(settings, tables.grades.activeFileName(), grades, codes));
    } else if (kind == QLatin1String("textblocks")) {
        // The student file's own text-block file, else this computer's.
        QString name = assignments.TBSdatei.trimmed();
        if (name.isEmpty())
            name = settings.FloskelDatei.trimmed();
        const QString path = name.isEmpty() ? QString() : resolveIn(workspace, QStringLiteral("DEFINI/") + name);
        if (name.isEmpty() || !QFileInfo(path).isFile()) {
            err << "Textbausteindatei " << (name.isEmpty() ? std::string("(keine)") : path.toStdString())
                << " nicht gefunden!\n";
            return 1;
        }
        QVector<std::pair<QString, QString>> blocks;
        try {
            auto table = openToRead(path).table;
            const int id = table->fieldIndex("ID"), text = table->fieldIndex("INHALT");
            for (table->first(); !table->isEmpty() && !table->eof();) {
                blocks.append({fromAnsi(table->text(id)).trimmed(), fromAnsi(table->text(text))});
                if (!table->next())
                    break;
            }
        } catch (const std::exception& e) {
            err << "Textbausteindatei kann nicht gelesen werden: " << e.what() << "\n";
            return 1;
        }
        job = listingJob(textBlockListing(settings, path, blocks));
    } else {
        std::unique_ptr<dbase::Table> table = openStudents(studentFile, err);
        if (!table)
            return 1;
        TablePrintRecords records(*table, AverageDefinitions::fromSettings(settings));
        ApplyOptions columnOptions;
        columnOptions.skipUnknown = true;
        const ColumnDescription columns = applyColumnLines(blockColumnLines(*layoutText), columnOptions).description;
        TablePrintInput in;
        for (const ColumnSpec& c : columns.columns) {
            if (c.field == QLatin1String("NAME") || c.field == QLatin1String("VORNAME"))
                continue;
            if (in.columns.size() < kMaxTableColumns)
                in.columns << TableColumn{c.field, c.title.trimmed(), c.width, records.fieldClass(c.field) == 11};
        }
        records.first();
        in.klasse = records.value(QStringLiteral("KLASSE")).trimmed();
        in.schuljahr = settings.Schuljahr;
        in.halbjahr = settings.Halbjahr;
        in.schoolName1 = settings.SchulName1;
        in.schoolName2 = settings.SchulName2;
        in.layoutName = QFileInfo(layoutPath).fileName();
        in.tabLinks = settings.TabLinks;
        in.tabOben = settings.TabOben;
        in.tabUnten = settings.TabUnten;
        in.tabRechts = settings.TabRechts;
        in.landscape = landscape;
        in.firstPageOnly = firstPage;
        in.empty = kind == QLatin1String("table-empty");
        fillTableRows(in, records, in.klasse);
        job = entryTableJob(in, studentFile);
    }

    PrintMetrics metrics;
    metrics.calibrate();
    const QString target = QFileInfo(outPath).absoluteFilePath();
    const PrintOutcome outcome = writeListPdf(target, job, metrics);
    if (!outcome.ok) {
        err << "PDF-Datei " << target.toStdString() << " konnte nicht geschrieben werden!\n";
        return 1;
    }
    out << outcome.pages << (outcome.pages == 1 ? " Seite" : " Seiten") << " nach " << target.toStdString()
        << " geschrieben.\n";
    return 0;
}

} // namespace zedora::cli
