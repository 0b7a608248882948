#pragma once
// Archive files: one student file per half-year in the workspace's ARCHIV
// folder, one record per student identity, filled from class files.
#include "data/student_files.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zedora {

// "A08-09-1": positions 1, 2, 4, 5, 7 and 8 are checked (2 and 5 digits),
// the rest is free.
bool isArchiveName(const QString& baseName);

// The archive path for a chosen file name: the folder part is dropped, the
// name upper-cased with extension .DBF, inside workspace/ARCHIV.
QString archivePathFor(const QString& workspace, const QString& chosenName);

// Creates an empty archive file from the student-file template. Shows the
// refusals itself; returns the path on success.
std::optional<QString> createArchiveFile(const QString& chosenName, const StudentFileContext& context);

struct ArchiveTransfer {
    int added = 0;
    int updated = 0;
    QStringList withoutId;    // "NAME, VORNAME" of records left out
    QStringList duplicateId;  // later records of an ID already transferred
};

// Transfers every record of the student file into the archive by ID
// (new ones appended, known ones overwritten field by field). A record
// without ID, or with an ID that an earlier record of the same file had, is
// left out and listed, so no student overwrites another. Refuses a source
// whose fields differ from the archive's. Shows failures itself and returns
// nothing; every record is written whole, so an interruption leaves each
// archive record in its old or its new state.
// afterRecord runs after each written record (for tests that interrupt).
std::optional<ArchiveTransfer> transferIntoArchive(const QString& sourcePath, const QString& archivePath,
                                                   const StudentFileContext& context,
                                                   const std::function<void(int written)>& afterRecord = {});

// The report shown after one source file.
QString transferReport(const QString& archivePath, const ArchiveTransfer& t);

inline const QString kArchiveNameError = QStringLiteral("Eingabesyntax ist fehlerhaft! (Beispiel: A08-09-1)");
inline const QString kArchiveExists = QStringLiteral("Datei bereits vorhanden! Neuanlegen nicht möglich!\n");

} // namespace zedora
