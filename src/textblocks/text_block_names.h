#pragma once
// How text-block files are named: "#" first, upper case, ".DBF"; files
// whose name begins with "&" are converted to "#" files when first opened.
#include <QString>

namespace zedora {

// The name for a new file from what was chosen in the file dialog
// ("mathe" -> "#MATHE.DBF").
QString newTextBlockFileName(const QString& chosen);

// The "#" name an "&" file is converted to ("&TEAM.DBF" -> "#TEAM.DBF").
QString convertedAmpersandName(const QString& fileName);

// Backups kept in DEFINI\Sicherung: before a rebuild the name without
// extension + "_" + digit + ".DBF", before the all-blocks editor writes the
// full name + "_" + digit. digit is 1 to 9, so nine backups rotate.
QString rebuildBackupName(const QString& fileName, int digit);
QString editorBackupName(const QString& fileName, int digit);
int randomBackupDigit();

} // namespace zedora
