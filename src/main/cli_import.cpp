// zedora-cli import: student files from a Sibank file, any dBase file or
// the school server, for scripted runs after each export.
#include "app/workspace_setup.h"
#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "core/program_paths.h"
#include "core/settings_files.h"
#include "data/student_files.h"
#include "exchange/dbase_import.h"
#include "exchange/server_import.h"
#include "exchange/student_file_import.h"
#include "main/cli_commands.h"
#include "main/cli_console.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdlib>
#include <iostream>
#include <ostream>
#include <termios.h>
#include <unistd.h>

namespace zedora::cli {
namespace {

const char* const kUsage =
    "Aufruf: zedora-cli import --workspace DIR --source sibank|dbase|server [--in DATEI]\n"
    "        [--map FELD=QUELLFELD,...] [--host H --port P --user U --database D]\n"
    "        [--classes 5a,5b|--all] [--per-class] --to ZE-JJZZ-H [--name NAME] [--overwrite]\n"
    "Das Kennwort des Servers kommt aus ZEDORA_DB_PASSWORD oder wird am Terminal erfragt.\n";

struct ImportArgs {
    QString workspace, source, in, host, user, database, to, name;
    int port = 0;
    QStringList maps, classes;
    bool all = false, perClass = false, overwrite = false;
};

bool parse(const Args& args, ImportArgs& a, std::ostream& err)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& k = args[i];
        const bool hasValue = i + 1 < args.size();
        auto next = [&]() { return QString::fromStdString(args[++i]); };
        if (k == "--workspace" && hasValue) a.workspace = next();
        else if (k == "--source" && hasValue) a.source = next();
        else if (k == "--in" && hasValue) a.in = next();
        else if (k == "--map" && hasValue) a.maps += next().split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (k == "--host" && hasValue) a.host = next();
        else if (k == "--port" && hasValue) {
            bool ok = false;
            a.port = next().toInt(&ok);
            if (!ok || a.port <= 0 || a.port > 65535) {
                err << "Ungültiger Port: " << args[i] << "\n";
                return false;
            }
        }
        else if (k == "--user" && hasValue) a.user = next();
        else if (k == "--database" && hasValue) a.database = next();
        else if (k == "--classes" && hasValue) a.classes += next().split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (k == "--all") a.all = true;
        else if (k == "--per-class") a.perClass = true;
        else if (k == "--to" && hasValue) a.to = next();
        else if (k == "--name" && hasValue) a.name = next();
        else if (k == "--overwrite") a.overwrite = true;
        else if (k == "--password" || k.rfind("--password=", 0) == 0) {
            err << "Das Kennwort wird nie auf der Befehlszeile übergeben (ZEDORA_DB_PASSWORD oder Eingabe am Terminal).\n";
            return false;
        } else {
            err << "Unbekanntes oder unvollständiges Argument: " << k << "\n";
            return false;
        }
    }
    const QStringList sources = {"sibank", "dbase", "server"};
    if (!sources.contains(a.source)) {
        err << "--source muss sibank, dbase oder server sein.\n";
        return false;
    }
    if (a.source != QStringLiteral("server") && a.in.isEmpty()) {
        err << "Keine Importdatei angegeben (--in).\n";
        return false;
    }
    if (!QRegularExpression(QStringLiteral("^ZE-\\d{4}-\\d$"), QRegularExpression::CaseInsensitiveOption)
             .match(a.to).hasMatch()) {
        err << "--to muss ein Notenverzeichnis der Form ZE-JJZZ-H sein.\n";
        return false;
    }
    if (a.all == !a.classes.isEmpty()) {
        err << "Genau eines von --classes oder --all angeben.\n";
        return false;
    }
    return true;
}

bool applyMapping(const QStringList& maps, Settings& s, std::ostream& err)
{
    const std::pair<const char*, QString Settings::*> keys[] = {
        {"KLASSE", &Settings::ip_Klasse},   {"NAME", &Settings::ip_Name},       {"VORNAME", &Settings::ip_Vorname},
        {"GEBOREN", &Settings::ip_Geboren}, {"GEBORT", &Settings::ip_GebOrt},   {"MW", &Settings::ip_Geschlecht},
        {"TELEFON", &Settings::ip_Telefon}, {"STAATS", &Settings::ip_Staat},    {"KONF", &Settings::ip_Konf},
        {"PLZ", &Settings::ip_plz},         {"ORT", &Settings::ip_Wohnort},     {"STRASSE", &Settings::ip_Strasse},
        {"AG1", &Settings::ip_ag1},         {"AG2", &Settings::ip_ag2},         {"AG3", &Settings::ip_ag3},
        {"STAMMF1", &Settings::ip_Frei1},   {"STAMMF2", &Settings::ip_Frei2},
    };
    for (const QString& m : maps) {
        const qsizetype eq = m.indexOf(QLatin1Char('='));
        const QString field = m.left(eq).trimmed().toUpper();
        const QString source = m.mid(eq + 1).trimmed().toUpper().left(30);
        bool known = false;
        for (const auto& [name, member] : keys) {
            if (eq > 0 && field == QLatin1String(name) && !source.isEmpty()) {
                s.*member = source;
                known = true;
            }
        }
        if (!known) {
            err << "Ungültige Zuordnung: " << m.toStdString()
                << " (FELD=QUELLFELD; Felder: KLASSE NAME VORNAME GEBOREN GEBORT MW TELEFON STAATS KONF PLZ ORT STRASSE AG1 AG2 AG3 STAMMF1 STAMMF2)\n";
            return false;
        }
    }
    return true;
}

// From the environment, else typed on the terminal without echo; never an argument.
std::optional<QString> serverPassword(std::ostream& err)
{
    if (const char* env = std::getenv("ZEDORA_DB_PASSWORD"))
        return QString::fromUtf8(env);
    if (!::isatty(STDIN_FILENO)) {
        err << "Kein Kennwort: ZEDORA_DB_PASSWORD setzen oder am Terminal aufrufen.\n";
        return std::nullopt;
    }
    err << "Kennwort für den Server: " << std::flush;
    termios old{};
    const bool tty = ::tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (tty)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
    err << "\n";
    return QString::fromStdString(line);
}

} // namespace

int importCommand(const Args& args, std::ostream& out, std::ostream& err)
{
    ImportArgs a;
    if (!parse(args, a, err)) {
        err << kUsage;
        return 2;
    }
    const ProgramPaths paths = detectProgramPaths(QCoreApplication::applicationDirPath());
    const std::optional<QString> found = existingWorkspace(a.workspace, paths, err);
    if (!found)
        return 1;
    const QString ws = *found;
    TNeueDateien reg(resolveIn(ws, QStringLiteral("angelegteDateien.txt")),
                     resolveIn(ws, QStringLiteral("angelegteVerzeichnisse.txt")));
    reg.endDefer();
    WorkspaceFiles files(reg);
    installShippedTemplates(paths.programDir, ws, files);
    ConsoleInteraction ui(err, a.overwrite ? Answer::Yes : Answer::No);

    Settings settings;
    SettingsFiles(ws, paths.computerName, ui).read(settings);
    if (!applyMapping(a.maps, settings, err))
        return 2;

    ImportTable table;
    ImportSource source = ImportSource::Sibank;
    bool read = false;
    if (a.source == QStringLiteral("server")) {
        source = ImportSource::Server;
        if (!a.host.isEmpty()) settings.TolvoHost = a.host;
        if (a.port > 0) settings.TolvoPort = a.port;
        if (!a.database.isEmpty()) settings.TolvoDBName = a.database;
        const auto password = serverPassword(err);
        if (!password)
            return 1;
        read = readServerSource(serverLogin(settings, a.user.isEmpty() ? settings.TolvoLogin : a.user, *password),
                                settings, table, ui);
    } else {
        source = a.source == QStringLiteral("dbase") ? ImportSource::Dbase : ImportSource::Sibank;
        read = readDbaseSource(QFileInfo(a.in).absoluteFilePath(), source, settings, table, ui);
    }
    if (!read)
        return 1;
    reportDoubtfulRows(table, ui);

    const QStringList present = importClasses(table);
    // 5a finds 5A: scripts should not need the source's spelling.
    for (QString& k : a.classes) {
        for (const QString& p : present)
            if (p.compare(k.trimmed(), Qt::CaseInsensitive) == 0)
                k = p;
        if (!present.contains(k)) {
            err << "Fehler: Die Klasse " << k.toStdString() << " kommt in den gelesenen Daten nicht vor (vorhanden: "
                << present.join(QStringLiteral(", ")).toStdString() << ").\n";
            return 1;
        }
    }
    const QString dataDir = a.to.toUpper();
    files.createDirectory(joinPath(ws, dataDir));
    CreateRequest request;
    request.dataDirectory = dataDir;
    request.perClass = a.perClass;
    request.fileName = a.name.isEmpty() ? proposedFileName(dataDir, a.perClass) : a.name;
    request.selected = a.all ? QStringList{QStringLiteral("ALLE")} : a.classes;
    request.source = source;
    request.confirmEach = false;
    const StudentFileContext context{ws, paths.computerName, files, ui};
    const std::vector<CreatedFile> created = createStudentFiles(table, request, context);
    for (const CreatedFile& f : created)
        out << "Angelegt: " << QDir::toNativeSeparators(f.path).toStdString() << " (" << f.students
            << (f.students == 1 ? " Schüler(-in)" : " Schüler(-innen)") << ")\n";
    const int expected = a.perClass ? static_cast<int>(a.all ? present.size() : a.classes.size()) : 1;
    if (static_cast<int>(created.size()) < expected || ui.errors() > 0) {
        err << "Nicht alle Dateien wurden angelegt" << (a.overwrite ? "" : " (vorhandene Dateien nur mit --overwrite ersetzen)")
            << ".\n";
        return 1;
    }
    return 0;
}

} // namespace zedora::cli
