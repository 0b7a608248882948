#pragma once
// The zip export and backup: the list export.log that says where each file
// belongs in the workspace, the default zip names, the overwrite and
// numbering rule, and the packing.
#include "exchange/zip_archive.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace zedora {

class Interaction;
class TNeueDateien;

enum class ExportMode { Export, Backup };

// What the export window (or the command line) chose.
struct ExportSelection {
    QString workspace;          // workspace directory
    QString studentFile;        // path of the open student file
    QStringList studentFiles;   // chosen student files, bare names (5A.DBF)
    bool textBlocksShown = false;
    QStringList textBlockFiles; // bare names in DEFINI
    bool layoutsShown = false;
    QString layoutFolder;       // folder of the current layout
    QStringList layoutFiles;    // bare names in layoutFolder
    bool abbreviations = false;
    bool settings = false;
};

struct ExportList {
    QStringList lines;              // export.log without its own entry
    std::vector<PackEntry> entries; // source files in list order
    QString problem;                // set when the export cannot be made
};

// The data directory name of a student file: the tail from the first "ZE-"
// (behind the workspace) cut to 9 characters; without "ZE-" the first 9
// characters of the path.
QString exportDataDirectory(const QString& studentFile, const QString& workspace = {});

// Lines and sources in the order of the groups. Files that do not exist are
// left out (a chosen student file that is missing is a problem), so the list
// never names a file the zip lacks.
ExportList buildExportList(const ExportSelection& selection);

// The proposed zip name of the mode for the given day.
QString defaultZipName(ExportMode mode, const QString& lastStudentFile, const QString& dataDirectory,
                       const QDate& day);

// "<n>_<name>" in the same folder with the smallest free n from 1.
QString numberedZipPath(const QString& zipPath);

// export.log in Windows-1252 with CR LF, written safely.
bool writeExportLog(const QString& path, const QStringList& lines);

struct ExportOutcome {
    PackResult result = PackResult::Failed;
    bool packed = false;  // a zip was asked for and packing was tried
    QString zipPath;
};

// After the list is built: writes export.log into the workspace, asks for
// the zip file (imex1 is the start folder and becomes the zip's folder), the
// overwrite question, packs and reports.
ExportOutcome runExport(const ExportSelection& selection, ExportMode mode, Interaction& ui,
                        QString& imex1, const PackProgress& progress = {},
                        TNeueDateien* createdFiles = nullptr, const QDate& day = QDate::currentDate());

namespace export_texts {
inline const char* const kSaveTitle = "Dateien komprimiert sichern bzw. exportieren ...";
inline const char* const kFilter = "Exportdateien (*.zip)";
inline const char* const kExists =
    "Datei existiert bereits, überschreiben?\n\nWenn \"nein\" wird automatisch neuer Dateiname vergeben!\n";
inline const char* const kCancelled = "Der Komprimiervorgang wurde durch den Benutzer abgebrochen";
inline const char* const kSuccess = "Komprimierung und Export verliefen erfolgreich!";
inline const char* const kFailed = "Die Exportdatei konnte nicht geschrieben werden!";
} // namespace export_texts

} // namespace zedora
