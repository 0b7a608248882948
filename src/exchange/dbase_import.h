#pragma once
// Reading the students of a Sibank student file or of any dBase file into
// the import table.
#include "exchange/import_table.h"

#include <QDateTime>
#include <QString>

namespace zedora {

class Interaction;
class WorkspaceFiles;
struct Settings;

// The index is the source kind as the setting ImportArt keeps it.
enum class ImportSource { Server = 0, Sibank = 2, Dbase = 3 };
// A stored ImportArt outside 0..3, or 1, is the server.
ImportSource importSourceFromSetting(int importArt);

// Source field names, one per import-table column that a dBase source fills.
struct SourceFieldNames {
    QString klasse, name, vorname, geboren, gebOrt, geschlecht, telefon, staat, konf, ort, strasse,
        frei1, frei2, plz, ag1, ag2, ag3;
};
SourceFieldNames sibankFieldNames(const Settings& settings);
SourceFieldNames mappedFieldNames(const Settings& settings);

// Reads the file with the hourglass on. Refuses with a German message when
// the file is missing, is no dBase table or lacks a required field; the
// table is then empty. now decides who has left school.
bool readDbaseSource(const QString& path, ImportSource source, const Settings& settings,
                     ImportTable& table, Interaction& ui,
                     const QDateTime& now = QDateTime::currentDateTime());

// Tells the user about rows without a usable birth date and students that
// appear twice; the rows stay in the table.
void reportDoubtfulRows(const ImportTable& table, Interaction& ui);

// A chosen dBase source is read from a copy IMPORTX.DBF beside it, so the
// original stays untouched. Returns the path to read from.
QString dbaseWorkingCopy(const QString& chosen, WorkspaceFiles& files);

// Writes "ALLE" and the classes to KLASSEN.TXT in the workspace and
// registers it. Returns the list as the dialog shows it.
QStringList writeClassList(const ImportTable& table, const QString& workspace, WorkspaceFiles& files);

} // namespace zedora
