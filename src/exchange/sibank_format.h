#pragma once
// Writing the import table as a dBase table under Sibank's field names, so
// data read from the school server serve wherever a Sibank file is read.
#include "exchange/import_table.h"

#include <QString>
#include <vector>

namespace zedora {

class Interaction;
class WorkspaceFiles;
struct Settings;

namespace dbase { struct FieldDesc; }

// The fields of the empty Sibank-format template MUSTER\sib-leer.mst.
std::vector<dbase::FieldDesc> sibankTemplateFields();
// Writes the template (a .DBF without memos) to path; replaces a file there
// only once the new one is complete. Throws std::runtime_error (German).
void writeSibankTemplate(const QString& path);

// Clears the production-index flag and adds the seven tags GESCH, UNIKLAS,
// SGL, INDIV, KLASSE, NAME, SGLKLAS. True when all were added.
bool buildSibankIndexTags(const QString& dbfPath);

// The target a chosen name gives: its extension replaced by, or extended
// with, .DBF.
QString sibankTargetName(const QString& chosen);

// The comparison file the rollover reads: TMP\TolvoToSibank.DBF.
QString conversionTarget(const QString& workspace);

// Writes the rows of the table into target (a copy of the workspace's
// template). The file is built beside the target and replaces it only when
// complete, so a failure leaves an existing file as it was. Messages go to
// ui; returns true on success.
bool writeSibankFile(const ImportTable& table, const QString& target, const QString& workspace,
                     Interaction& ui, WorkspaceFiles& files);

enum class SibankResult {
    Written,
    Refused,  // no target chosen or overwriting declined: nothing changed
    Failed,   // the target was chosen (it is the import file now) but not written
};

// The button "Erstelle Datei im Sibankformat" and "Weiter" in the rollover's
// conversion mode: chooses the target (asking in the dialog case), makes it
// the import file and writes it.
SibankResult convertToSibank(const ImportTable& table, bool conversionMode, const QString& workspace,
                     Settings& settings, Interaction& ui, WorkspaceFiles& files);

} // namespace zedora
