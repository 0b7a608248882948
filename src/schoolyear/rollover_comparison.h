#pragma once
// The comparison of a new student file with the school administration's
// data in the Sibank format: students of the class found there are
// refreshed, students missing in the file are added, and students the
// administration no longer lists in the class are removed.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace zedora {
namespace dbase {
class Table;
}

struct ComparisonOptions {
    QString klasse;                // upper case, at most 10 characters
    bool keepWorkingGroups = true; // matched students keep AG1 to AG3
    bool keepElectives = true;     // matched students keep WPK1 to WPK4
    bool leaversToo = false;       // AbgImport
    QString female, male;
    QStringList workingGroups;     // lines of AG.TXT
    QStringList electives;         // lines of WPK.TXT
    QDateTime now;
    // Told after each record of the comparison file (done, total).
    std::function<void(int, int)> progress;
};

struct ComparisonCounts {
    int added = 0;
    int removed = 0;
    int refreshed = 0;
};

// Fields the comparison file lacks, empty when it has them all.
QStringList missingComparisonFields(const dbase::Table& source);

// Whether every record of the file has the class of its first one.
bool isClassFile(dbase::Table& file);

// Runs the comparison on file (opened for writing). Throws the engine's
// errors.
ComparisonCounts compareWithAdministration(dbase::Table& file, const dbase::Table& sourceTable,
                                           const ComparisonOptions& options);

} // namespace zedora
