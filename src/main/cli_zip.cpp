// zedora-cli zip: the zip export, backup and import without a window, for
// administrators moving data between workspaces by script.
#include "base/path_resolver.h"
#include "base/workspace_relative.h"
#include "core/settings.h"
#include "core/settings_files.h"
#include "data/file_assignments.h"
#include "exchange/zip_export.h"
#include "exchange/zip_import.h"
#include "main/cli_commands.h"
#include "main/cli_console.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <ostream>

namespace zedora::cli {
namespace {

const char* const kUsage =
    "Aufruf: zedora-cli zip export --workspace DIR --file SCHUELERDATEI [--textblocks] [--layouts]\n"
    "                   [--abbreviations] [--settings] [--backup] --out AUSGABE.zip\n"
    "        zedora-cli zip import --workspace DIR EINGABE.zip [--yes] [--admin]\n";

// The console seam with the file the command line named in place of the dialogs.
class ZipConsole : public ConsoleInteraction {
public:
    ZipConsole(std::ostream& err, Answer answer, QString file) : ConsoleInteraction(err, answer), file_(std::move(file)) {}
    std::optional<QString> openFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return file_;
    }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return file_;
    }

private:
    QString file_;
};

QStringList filesIn(const QString& folder, const QStringList& masks)
{
    QStringList all;
    for (const QString& mask : masks)
        all += QDir(folder).entryList({mask}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    all.removeDuplicates();
    return all;
}

// Masks as upper and lower case, since the workspace may hold either.
QStringList bothCases(const QStringList& masks)
{
    QStringList out;
    for (const QString& m : masks)
        out << m.toUpper() << m.toLower();
    return out;
}

int exportZip(const Args& args, std::ostream& out, std::ostream& err)
{
    QString workspace, file, zipOut;
    bool textBlocks = false, layouts = false, abbreviations = false, settingsFile = false, backup = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& k = args[i];
        const bool hasValue = i + 1 < args.size();
        if (k == "--workspace" && hasValue) workspace = QString::fromStdString(args[++i]);
        else if (k == "--file" && hasValue) file = QString::fromStdString(args[++i]);
        else if (k == "--out" && hasValue) zipOut = QString::fromStdString(args[++i]);
        else if (k == "--textblocks") textBlocks = true;
        else if (k == "--layouts") layouts = true;
        else if (k == "--abbreviations") abbreviations = true;
        else if (k == "--settings") settingsFile = true;
        else if (k == "--backup") backup = true;
        else {
            err << "Unbekanntes oder unvollständiges Argument: " << k << "\n" << kUsage;
            return 2;
        }
    }
    if (workspace.isEmpty() || file.isEmpty() || zipOut.isEmpty()) {
        err << kUsage;
        return 2;
    }
    workspace = QFileInfo(workspace).absoluteFilePath();
    if (!QFileInfo(workspace).isDir()) {
        err << "Das Arbeitsverzeichnis " << workspace.toStdString() << " gibt es nicht.\n";
        return 1;
    }
    const QString studentFile = QFileInfo(file).isAbsolute() ? resolvePath(file) : resolveIn(workspace, file);
    if (!QFileInfo(studentFile).isFile()) {
        err << "Die Schülerdatei " << file.toStdString() << " wurde nicht gefunden.\n";
        return 1;
    }

    ZipConsole ui(err, Answer::No, QFileInfo(zipOut).absoluteFilePath());
    Settings settings;
    SettingsFiles(workspace, QSysInfo::machineHostName(), ui).readProgramWide(settings);
    const FileAssignments assigned = readAssignments(studentFile, workspace, FileAssignments{});

    ExportSelection s;
    s.workspace = workspace;
    s.studentFile = studentFile;
    const QString studentFolder = QFileInfo(studentFile).path();
    const QString defini = resolveIn(workspace, QStringLiteral("DEFINI"));
    s.layoutFolder = assigned.Layoutdatei.isEmpty() ? resolveIn(workspace, QStringLiteral("LAYOUT"))
                                                    : QFileInfo(resolvePath(assigned.Layoutdatei)).path();
    QStringList blockMasks{QStringLiteral("#*.DBF")};
    if (settings.FDFAlt)
        blockMasks << QStringLiteral("*.FDF");
    if (backup) {
        s.studentFiles = filesIn(studentFolder, bothCases({QStringLiteral("*.DBF")}));
        s.textBlockFiles = filesIn(defini, bothCases(blockMasks));
        s.layoutFiles = filesIn(s.layoutFolder, bothCases({QStringLiteral("*.LAY"), QStringLiteral("*.WMF"),
                                                            QStringLiteral("*.JPG")}));
        s.textBlocksShown = s.layoutsShown = s.abbreviations = s.settings = true;
    } else {
        s.studentFiles << QFileInfo(studentFile).fileName();
        s.textBlocksShown = s.layoutsShown = textBlocks || layouts;
        if (textBlocks) {
            if (!assigned.TBSdatei.isEmpty())
                s.textBlockFiles << assigned.TBSdatei;
            if (settings.FDFAlt && !assigned.Faecherdatei.isEmpty())
                s.textBlockFiles << assigned.Faecherdatei;
        }
        if (layouts && !assigned.Layoutdatei.isEmpty())
            s.layoutFiles << lastComponent(assigned.Layoutdatei);
        s.abbreviations = abbreviations;
        s.settings = settingsFile;
    }

    QString imex1 = settings.ImEx1;
    const ExportOutcome outcome = runExport(s, backup ? ExportMode::Backup : ExportMode::Export, ui, imex1);
    if (!outcome.packed || outcome.result != PackResult::Ok)
        return 1;
    for (const QString& line : buildExportList(s).lines) {
        if (!line.isEmpty())
            out << line.toStdString() << "\n";
    }
    out << "export.log\n"
        << "Exportdatei: " << outcome.zipPath.toStdString() << "\n";
    return 0;
}

int importZip(const Args& args, std::ostream& out, std::ostream& err)
{
    QString workspace, zip;
    bool yes = false, admin = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& k = args[i];
        if (k == "--workspace" && i + 1 < args.size()) workspace = QString::fromStdString(args[++i]);
        else if (k == "--yes") yes = true;
        else if (k == "--admin") admin = true;
        else if (k.rfind("--", 0) != 0 && zip.isEmpty()) zip = QString::fromStdString(k);
        else {
            err << "Unbekanntes oder unvollständiges Argument: " << k << "\n" << kUsage;
            return 2;
        }
    }
    if (workspace.isEmpty() || zip.isEmpty()) {
        err << kUsage;
        return 2;
    }
    workspace = QFileInfo(workspace).absoluteFilePath();
    if (!QFileInfo(workspace).isDir()) {
        err << "Das Arbeitsverzeichnis " << workspace.toStdString() << " gibt es nicht.\n";
        return 1;
    }
    if (!QFileInfo(zip).isFile()) {
        err << "Die Datei " << zip.toStdString() << " wurde nicht gefunden.\n";
        return 1;
    }
    ZipConsole ui(err, yes ? Answer::Yes : Answer::No, QFileInfo(zip).absoluteFilePath());
    ZipImport import(workspace, admin, ui);
    if (!yes) {
        import.setReplaceCheck([&](const QStringList& replaced) {
            if (replaced.isEmpty())
                return true;
            err << "Diese Dateien gibt es schon; sie werden nur mit --yes ersetzt:\n";
            for (const QString& p : replaced)
                err << "  " << p.toStdString() << "\n";
            return false;
        });
    }
    const ZipImportResult r = import.importZip(QFileInfo(zip).absoluteFilePath());
    if (!r.imported) {
        err << "Der Datenimport wurde abgebrochen!\n";
        return 1;
    }
    for (const QString& p : r.copied)
        out << QDir(workspace).relativeFilePath(p).toStdString() << "\n";
    if (!r.studentFile.isEmpty())
        out << "Importierte Schülerdatei: " << r.studentFile.toStdString() << "\n";
    if (!r.layout.isEmpty())
        out << "Importiertes Layout: " << r.layout.toStdString() << "\n";
    return 0;
}

} // namespace

int zipCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "export")
        return exportZip(rest, out, err);
    if (args[0] == "import")
        return importZip(rest, out, err);
    err << kUsage;
    return 2;
}

} // namespace zedora::cli
