// zedora-cli rollover: the next half-year's student file from the current
// one, headless, with the same checks and the same safe replacement as the
// dialog.
#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "core/program_paths.h"
#include "core/settings.h"
#include "core/settings_files.h"
#include "data/file_assignments.h"
#include "main/cli_commands.h"
#include "main/cli_console.h"
#include "schoolyear/rollover.h"
#include "schoolyear/rollover_columns.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <ostream>

namespace zedora::cli {
namespace {

const char* const kUsage =
    "Aufruf: zedora-cli rollover --workspace DIR --file SCHUELERDATEI --to ZE-JJZZ-H [--name NEU.DBF]\n"
    "        [--class NEUEKLASSE] [--clear all|none|FELD,...] [--keep-groups] [--compare SIBANKDATEI]\n"
    "        [--overwrite]\n";

struct RolloverArgs {
    QString workspace, file, to, name, klasse, clear = QStringLiteral("all"), compare;
    bool keepGroups = false, overwrite = false;
};

bool parse(const Args& args, RolloverArgs& a, std::ostream& err)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& k = args[i];
        const bool hasValue = i + 1 < args.size();
        auto next = [&]() { return QString::fromStdString(args[++i]); };
        if (k == "--workspace" && hasValue) a.workspace = next();
        else if (k == "--file" && hasValue) a.file = next();
        else if (k == "--to" && hasValue) a.to = next();
        else if (k == "--name" && hasValue) a.name = next();
        else if (k == "--class" && hasValue) a.klasse = next();
        else if (k == "--clear" && hasValue) a.clear = next();
        else if (k == "--compare" && hasValue) a.compare = next();
        else if (k == "--keep-groups") a.keepGroups = true;
        else if (k == "--overwrite") a.overwrite = true;
        else {
            err << "Unbekanntes oder unvollständiges Argument: " << k << "\n";
            return false;
        }
    }
    if (a.file.isEmpty() || a.to.isEmpty()) {
        err << "--file und --to sind nötig.\n";
        return false;
    }
    return true;
}

// The start question is answered by the call itself; replacing an existing
// file only with --overwrite.
class RolloverConsole : public ConsoleInteraction {
public:
    RolloverConsole(std::ostream& err, bool overwrite) : ConsoleInteraction(err), overwrite_(overwrite) {}
    Answer ask(const QString& text, Buttons buttons) override
    {
        if (text.startsWith(QStringLiteral("Datei ist bereits vorhanden!")))
            return overwrite_ ? Answer::Yes : ConsoleInteraction::ask(text, buttons);
        return Answer::Yes;
    }
    void info(const QString&) override {} // the counts are printed instead

private:
    bool overwrite_;
};

} // namespace

int rolloverCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    RolloverArgs a;
    if (!parse(args, a, err)) {
        err << kUsage;
        return 2;
    }
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const std::optional<QString> found = existingWorkspace(a.workspace, paths, err);
    if (!found)
        return 1;
    const QString ws = *found;
    RolloverConsole ui(err, a.overwrite);
    Settings settings;
    SettingsFiles(ws, paths.computerName, ui).read(settings);

    RolloverRequest r;
    r.workspace = ws;
    r.sourcePath = QFileInfo(a.file).isAbsolute() ? resolvePath(a.file) : resolveIn(ws, a.file);
    r.dataDirectory = a.to;
    r.newName = a.name.isEmpty() ? QFileInfo(r.sourcePath).fileName() : a.name;
    r.newClass = a.klasse;
    r.keepWorkingGroups = r.keepElectives = a.keepGroups;
    r.compare = !a.compare.isEmpty();
    if (r.compare) {
        r.compareFile = resolvePath(QFileInfo(a.compare).absoluteFilePath());
        r.codeListFolder = QFileInfo(r.compareFile).absolutePath();
    }
    ColumnExceptions exceptions;
    exceptions.workingGroups = exceptions.electives = exceptions.epochal = a.keepGroups;
    if (a.keepGroups) {
        const FileAssignments fa = readAssignments(r.sourcePath, ws, FileAssignments{});
        exceptions.epochalSubjects = QStringList(fa.EP.begin(), fa.EP.end());
    }
    if (a.clear == QStringLiteral("all")) {
        r.clearFields = allClearableFields(exceptions);
    } else if (a.clear != QStringLiteral("none")) {
        for (const QString& f : a.clear.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!isClearableColumn(f.trimmed())) {
                err << "Diese Spalte kann nicht gelöscht werden: " << f.toStdString() << "\n";
                return 2;
            }
            r.clearFields << upperAscii(f.trimmed());
        }
    }
    RolloverSettings s;
    s.computerName = paths.computerName;
    s.leaversToo = settings.AbgImport;
    s.female = settings.Weiblich;
    s.male = settings.Maennlich;

    const auto counts = rollOver(r, s, ui);
    if (!counts)
        return 1;
    out << "Neue Datei: " << QDir::toNativeSeparators(rolloverTarget(r)).toStdString() << "\n"
        << "Schüler kopiert: " << counts->copied << "\n"
        << "Schüler entfernt: " << counts->left << "\n"
        << "Schüler ergänzt: " << counts->added << "\n"
        << "Schüler aktualisiert: " << counts->refreshed << "\n"
        << "Spalten gelöscht: " << counts->cleared << "\n";
    return 0;
}

} // namespace zedora::cli
