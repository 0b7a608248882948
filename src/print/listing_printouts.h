#pragma once
// The listings under the common list header: layout contents, column
// layout, settings, abbreviations, text-block file, average definitions,
// and the data sheet of one student.
#include "print/list_job.h"

#include <QStringList>
#include <QVector>
#include <array>

namespace zedora {

struct Settings;
struct AverageDefinitions;
struct Abbreviation;
struct GraduationCode;

// One printed line of a listing: cells at their x positions.
struct ListingLine {
    QStringList cells;
    QVector<int> xs;
    int points = 10;
    bool bold = false;
    int advance = 0;        // 0: by the font size
    bool ruleAfter = false; // a line of width 2 under it
    bool newSection = false; // keeps with the next line at a page end
};

struct Listing {
    int kind = 0;
    QString title;          // under the header
    QString jobSubject;     // what the job title names
    QString owner;          // the school and its place
    QString schuljahr, halbjahr;
    bool pageNumbers = false; // "Seite n" on page changes
    QVector<ListingLine> lines;
};

int drawListing(DrawSurface& surface, const PrintMetrics& metrics, const Listing& listing);
ListJob listingJob(const Listing& listing);

// The header fields every listing takes from the settings.
Listing listingFor(int kind, const Settings& settings);

Listing settingsListing(const Settings& settings);
Listing layoutContentsListing(const Settings& settings, const QString& layoutFile, const QStringList& layoutLines);
Listing columnLayoutListing(const Settings& settings, const QString& layoutFile, const QStringList& layoutLines);
Listing abbreviationsListing(const Settings& settings, const QString& abbreviationFile,
                             const QVector<Abbreviation>& grades, const QVector<GraduationCode>& graduation);
Listing textBlockListing(const Settings& settings, const QString& textBlockFile,
                         const QVector<std::pair<QString, QString>>& blocks);
Listing averageListing(const Settings& settings, const AverageDefinitions& averages);
// One student's fields and values (field name, caption, value).
Listing dataSheetListing(const Settings& settings, const QString& student,
                         const QVector<std::array<QString, 3>>& fields);

} // namespace zedora
