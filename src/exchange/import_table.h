#pragma once
// The import table: the master data read from one source, one row per
// student, 30 text columns. Row 0 holds the captions, students start at
// row 1, so row numbers are those the user sees in the read-data window.
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace zedora {

struct Settings;

namespace ImportColumn {
enum : int {
    LfdNr = 0, Name, Vorname, MW, Klasse, WPK1, WPK2, WPK3, WPK4, AG1, AG2, AG3, FOE1, FOE2,
    KM, KE, Geboren, GebOrt, Telefon, Staats, Konf, Strasse, PLZ, Ort, StammF1, StammF2,
    ANR1, ANR2, ZedoraID, Spezial,
    Count
};
} // namespace ImportColumn

inline constexpr int kImportCellLength = 70;

using ImportRow = std::array<QString, ImportColumn::Count>;

class ImportTable {
public:
    ImportTable();

    // Students only; row(1) is the first student.
    int studentCount() const { return static_cast<int>(rows_.size()) - 1; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const ImportRow& row(int r) const { return rows_.at(static_cast<size_t>(r)); }
    ImportRow& row(int r) { return rows_.at(static_cast<size_t>(r)); }
    QString cell(int r, int c) const { return row(r)[static_cast<size_t>(c)]; }
    // Cuts the value to the cell length.
    void setCell(int r, int c, const QString& value);

    // Adds a student row with every value cut to the cell length.
    void append(ImportRow row);
    void clear();
    // Running numbers in column 0 and the captions in row 0.
    void number();

    static QString caption(int column);

private:
    std::vector<ImportRow> rows_;
};

// Gender letter, birth date of a server read and the student identity, for
// every student row.
void postProcess(ImportTable& table, const Settings& settings, bool fromServer);

// The distinct classes, trimmed and cut to 8 characters, in order of
// appearance, without "ALLE".
QStringList importClasses(const ImportTable& table);

// Which rows go into a file: a text like #5A#5B# plus the all-classes flag.
struct ClassFilter {
    QString text = QStringLiteral("#");
    bool all = true;
    bool passes(const QString& klasse) const;
};

// Wraps guardian names into salutations once; a row already wrapped stays
// as it is. Both cells are trimmed, cut to 100 characters and their first
// double blank reduced.
void wrapSalutations(ImportRow& row);

// The letter after the first "-M" (etc.) in a course-level string; empty
// when the marker is missing or ends the string.
QString courseLevel(const QString& levels, QChar subject);

// Students that appear more than once (same identity), as
// "Zeile 3 und 7: Schmidt, Lukas" lines.
QStringList duplicateStudents(const ImportTable& table);
// Rows whose birth date is missing or no date, as "Zeile 4: Name, Vorname (text)".
QStringList rowsWithoutBirthDate(const ImportTable& table);

} // namespace zedora
