// zedora-cli: the batch work that needs no window.
#include "main/cli_commands.h"

#include <QGuiApplication>
#include <cstring>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>
#include <iostream>

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const zedora::cli::Args&, std::ostream&, std::ostream&);
};

const Command kCommands[] = {
    {"dbf", "dbf info|dump|tags|reindex|verify|set|append|repair DATEI ...   dBase-Tabellen ansehen, prüfen, ändern und reparieren",
     zedora::cli::dbfCommand},
    {"setup", "setup [--workspace DIR]   Arbeitsverzeichnis einrichten (Ordner, Vorlagen, Demo-Klasse)",
     zedora::cli::setupCommand},
    {"reorg", "reorg DATEI.DBF [--workspace DIR]   Schülerdatei reorganisieren (Schema, Geburtsdaten, IDs, Indizes)",
     zedora::cli::reorgCommand},
    {"create", "create DATEI.DBF [--workspace DIR] [--ueberschreiben]   leere Schülerdatei anlegen",
     zedora::cli::createCommand},
    {"import", "import --workspace DIR --source sibank|dbase|server --to ZE-JJZZ-H ...   Schülerdateien aus Stammdaten anlegen",
     zedora::cli::importCommand},
    {"pdf", "pdf --file SCHUELERDATEI --out AUSGABE.pdf ...   Zeugnisse als PDF-Datei", zedora::cli::pdfCommand},
    {"list", "list ART --workspace DIR [--file SCHUELERDATEI] --out AUSGABE.pdf   Listen als PDF-Datei", zedora::cli::listCommand},
    {"zip", "zip export|import --workspace DIR ...   Dateien in Zedora-Exportdateien packen und daraus einlesen",
     zedora::cli::zipCommand},
    {"rollover", "rollover --workspace DIR --file SCHUELERDATEI --to ZE-JJZZ-H ...   Schülerdatei ins nächste Halbjahr fortschreiben",
     zedora::cli::rolloverCommand},
    {"archive", "archive --workspace DIR --file SCHUELERDATEI --into A23-24-1   Schülerdatei in eine Archivdatei übertragen",
     zedora::cli::archiveCommand},
    {"stats", "stats grades|absences|graduation --workspace DIR (--file SCHUELERDATEI | --dir ZE-JJZZ-H) [--xlsx|--pdf AUSGABE]   Statistiken",
     zedora::cli::statsCommand},
};

int usage(std::ostream& err)
{
    err << "Aufruf: zedora-cli BEFEHL [ARGUMENTE]\n\nBefehle:\n";
    for (const Command& c : kCommands)
        err << "  " << c.usage << "\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts and PDF output need the GUI classes; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Batch runs (cron, CI, root shells) often lack a runtime folder; give Qt
    // a private one instead of a warning on every call.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/zedora-runtime-"
                             + QByteArray::number(::getuid());
        ::mkdir(dir.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return usage(std::cerr);
    zedora::cli::Args args(argv + 2, argv + argc);
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0)
            return c.run(args, std::cout, std::cerr);
    }
    std::cerr << "Unbekannter Befehl: " << argv[1] << "\n";
    return usage(std::cerr);
}
