#pragma once
// Report cards archived as the school issued them: one PDF/A file per
// student, named after class and name, with title, author (the school) and
// the student in its metadata.
#include "print/layout_model.h"
#include "print/page_renderer.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zedora {

// "<class>_<surname>_<first name>.pdf"; characters a file name cannot hold
// become "-", blanks at the ends go.
QString archivePdfName(const QString& klasse, const QString& surname, const QString& firstName);

struct ArchiveMetadata {
    QString title;    // "Zeugnis <first name> <surname> <class> <Schuljahr>"
    QString author;   // the school
    QString student;  // "<first name> <surname>"
};

// The XMP packet of a PDF/A-1b file with the metadata.
QByteArray archiveXmp(const ArchiveMetadata& meta);

struct ArchiveOutcome {
    QStringList written;   // full paths
    QStringList kept;      // existing files left as they were
    QString failed;        // the file that could not be written; empty: none
    bool ok() const { return failed.isEmpty(); }
};

struct ArchiveRequest {
    QString folder;          // must exist
    QStringList ids;         // students to write, in order; empty: every record
    FormMode formMode = FormMode::AllData;
    int gradeFormat = kGradeMeaning1;
    QString school;          // author
    QString schuljahr;
    // Asked for a file that exists already; false keeps it. Without an
    // answer existing files are kept.
    std::function<bool(const QString& path)> mayReplace;
    // After each student: done of total.
    std::function<void(int done, int total)> progress;
};

// Renders each student's report card into its own PDF/A file. A file is
// written beside its target and renamed into place when complete, so a
// failure leaves no half file; the run stops at the first failure.
ArchiveOutcome writeArchivePdfs(const ArchiveRequest& request, const TDruckLayout& layout,
                                const PrintMetrics& metrics, const RenderOptions& options,
                                const PlaceholderContext& context, PrintRecords& records);

} // namespace zedora
