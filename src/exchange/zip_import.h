#pragma once
// The zip import: unpacks a zip export into the workspace folder zipimport
// and copies each file to the place its export.log line gives. The zip comes
// from another computer and is not trusted: every entry and every line is
// checked before anything is unpacked, and files are moved into place only
// when all of them could be prepared, so a refused or failed import leaves
// the workspace as it was.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace zedora {

class Interaction;
class TNeueDateien;

struct ZipImportLimits {
    quint64 maxEntrySize = 512ull << 20;   // declared uncompressed size of one file
    quint64 maxTotalSize = 1024ull << 20;  // of all files together
    quint64 maxRatio = 200;                // uncompressed : compressed ...
    quint64 ratioFrom = 8ull << 20;        // ... checked for files at least this large
    int maxEntries = 10000;
    int maxLineLength = 180;
};

struct ZipImportResult {
    bool imported = false;        // the export.log's files were copied
    QString studentFile;          // imported student file (workspace-relative line), may be empty
    QString layout;               // imported layout line, may be empty
    QString dataDirectory;        // imported data directory, may be empty
    bool abbreviationsImported = false; // kuerzel.txt was copied: reload the table
    bool settingsImported = false;      // zedora.ini was copied: read the settings again
    QStringList copied;           // workspace paths written, in list order
    QString zipFolder;            // folder of the zip (the new ImEx1); empty when none was chosen
};

class ZipImport {
public:
    ZipImport(QString workspace, bool administrator, Interaction& ui, TNeueDateien* createdFiles = nullptr);
    void setLimits(const ZipImportLimits& limits) { limits_ = limits; }
    // Asked once all questions are answered, with the existing files the
    // import would replace; false ends the import with nothing changed.
    void setReplaceCheck(std::function<bool(const QStringList& replaced)> check)
    {
        replaceCheck_ = std::move(check);
    }

    // The whole import with the first question and the open dialog.
    ZipImportResult run(const QString& startFolder);
    // From the chosen zip on (the confirmation and the dialog done).
    ZipImportResult importZip(const QString& zipPath);

    // Tests: called after each part of a table moved into place.
    void setMoveHook(std::function<void(int)> hook) { moveHook_ = std::move(hook); }

private:
    struct Planned;
    struct TableGroup;
    static void groupTables(const std::vector<Planned>& plan, std::vector<TableGroup>& tables,
                            std::vector<const Planned*>& plain);
    bool refuse(const QString& text);

    QString workspace_;
    bool administrator_;
    Interaction& ui_;
    TNeueDateien* createdFiles_;
    ZipImportLimits limits_;
    std::function<bool(const QStringList&)> replaceCheck_;
    std::function<void(int)> moveHook_;
};

// The reason a name from the zip or a line of export.log may not be used,
// or an empty text when it is harmless. Lines are relative to the workspace.
QString unsafePathReason(const QString& path);

namespace import_texts {
inline const char* const kConfirm =
    "Beim Datenimport werden Dateien (z. B. Klassendateien) mit demselben Namen überschrieben!\n\n"
    "Wollen Sie trotzdem importieren?\n";
inline const char* const kOpenTitle = "Dateien aus Zedora-Exportdateien einlesen ...";
inline const char* const kFilter = "Exportdateien (*.zip)";
inline const char* const kNoLog =
    "Ein Import ist nicht möglich! Mögliche Ursachen:\n\nIn der gewählten ZIP-Datei befinden sich keine Zedora-Daten!";
inline const char* const kAbbrevRefused =
    "Sie sind kein Systembetreuer, können deshalb die Notenkürzeldateien nicht importieren!";
inline const char* const kAbbrevAsk =
    "Soll die Notenkürzeldatei KUERZEL.TXT \n(bzw. weitere NK-Dateien und Abschluss-\n-datei) auch importiert werden?\n\n"
    "Sie überschreiben dadurch die bestehenden!\n";
inline const char* const kSettingsRefused =
    "Sie sind kein Systembetreuer, können die Einstellungsdatei nicht importieren!";
inline const char* const kSettingsAsk =
    "Soll die Einstellungsdatei ZEDORA.INI auch importiert werden?\n\nSie überschreibt dadurch die bestehende!\n";
inline const char* const kLayoutRefused =
    "Sie sind kein Systembetreuer, können deshalb keine Layoutdateien importieren!";
inline const char* const kLayoutAsk =
    "Sollen Layoutdateien auch importiert werden?\n\nSie überschreiben -wenn vorhanden- dadurch die bestehenden!\n";
// Refusals of a zip that cannot be trusted; each starts with kRefused.
inline const char* const kRefused = "Die ZIP-Datei wird nicht importiert!\n\n";
inline const char* const kUnreadable = "Die ZIP-Datei kann nicht gelesen werden oder ist beschädigt.";
inline const char* const kTooLarge = "Die Datei \"%1\" ist zu groß (%2 Bytes entpackt).";
inline const char* const kRatio = "Die Datei \"%1\" ist verdächtig stark komprimiert (%2 : 1).";
inline const char* const kTotal = "Die Dateien sind zusammen zu groß (%1 Bytes entpackt).";
inline const char* const kTooMany = "Die ZIP-Datei enthält zu viele Dateien (%1).";
inline const char* const kDuplicate = "Der Dateiname \"%1\" kommt mehrfach vor.";
inline const char* const kSymlink = "\"%1\" ist eine symbolische Verknüpfung.";
inline const char* const kEncrypted = "\"%1\" ist verschlüsselt.";
inline const char* const kBadName = "Der Name \"%1\" ist nicht zulässig: %2";
inline const char* const kBadLine = "Die Zeile \"%1\" der Liste export.log ist nicht zulässig: %2";
inline const char* const kMissing = "Die Liste export.log nennt \"%1\", die ZIP-Datei enthält diese Datei aber nicht.";
inline const char* const kUnpackFailed = "Die Datei \"%1\" konnte nicht entpackt werden.";
inline const char* const kPlaceFailed = "Die Datei \"%1\" konnte nicht an ihren Platz gebracht werden.";
inline const char* const kCopyFailed =
    "Die Datei \"%1\" konnte nicht kopiert werden.\nEs wurde nichts importiert.";
} // namespace import_texts

} // namespace zedora
