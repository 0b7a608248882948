#pragma once
// Where a print into a PDF file goes when no printer is there: a file name
// made from the job title, in the document archive's folder of the student
// file's half-year.
#include <QString>

namespace zedora {

class WorkspaceFiles;

// The job title as a file name with ".pdf": characters that a file name
// cannot hold on Linux or Windows ("/", "\", ":", "*", "?", '"', "<", ">",
// "|", control characters) become "-"; "10b-2013/2014" gives
// "10b-2013-2014.pdf". An empty title gives "Druck.pdf".
QString pdfFileNameFor(const QString& jobTitle);

// The document archive's folder of the half-year the student file belongs
// to (workspace/DOKU-PDF-ARCHIV/ZE-...), created when missing (through files
// when given, so the created-files register knows it). Empty when the file
// lies in no half-year's data directory or the folder cannot be made.
QString documentArchiveFolderFor(const QString& studentFile, WorkspaceFiles* files = nullptr);

// The full path proposed for the PDF file: the half-year's archive folder,
// else the user's documents folder, else the home folder.
QString proposedPdfPath(const QString& studentFile, const QString& jobTitle, WorkspaceFiles* files = nullptr);

} // namespace zedora
