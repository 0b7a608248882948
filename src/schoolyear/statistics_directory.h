#pragma once
// Absence and graduation statistics over every student file of a data
// directory, one line per file. A file that is missing or cannot be read
// gets a line with its name only and is reported; the rest is computed.
#include "print/statistics_printouts.h"

#include <QString>
#include <QStringList>

namespace zedora {

// The student files of a data directory (*.DBF), sorted by name.
QStringList studentFilesIn(const QString& directory);

// The first six lines of ABSCHL.TXT, each cut to 7 characters and trimmed.
QStringList graduationCodesFrom(const QString& abschlPath);


// files are names inside directory (list order is kept); male is the
// setting that marks male students in MW.
AbsenceStatistics absenceStatistics(const QString& directory, const QStringList& files, QStringList* damaged);
GraduationStatistics graduationStatistics(const QString& directory, const QStringList& files,
                                          const QStringList& codes, const QString& male, QStringList* damaged);

// The message for a file that could not be read.
QString damagedFileMessage(const QString& file, const QString& reason);

} // namespace zedora
