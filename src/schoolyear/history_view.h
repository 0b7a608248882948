#pragma once
// The history of the students of the open file: for one student a table of
// the current half-year beside the earlier ones from the archive files, and
// the class table of every student over the same half-years.
#include "data/averages.h"
#include "data/column_layout.h"
#include "schoolyear/history_archive.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace zedora {

class GradeAbbreviations;
class StudentTable;
struct ColourChains;

// How grades are shown: the code, or one of its two meanings.
enum class GradeView { Abbreviation = 0, Meaning1 = 1, Meaning2 = 2 };

inline const QString kHistoryFieldError = QStringLiteral("FEHLER!");

// One row of the single-student table below the headers.
struct HistoryRowSpec {
    QString caption;
    QString field;
};

// The class first, then the columns of the column layout without the names
// and the class, in layout order.
std::vector<HistoryRowSpec> historyRowsOf(const ColumnDescription& columns);

// What one view is built from.
struct HistorySetup {
    QString workspace;                // with a trailing '/'
    QString dataDirectory;            // of the open file, e.g. ZE-1415-1
    QString previousArchive;          // e.g. A13-14-2.DBF
    int visible = 6;                  // HJSichtbar
    ColumnDescription columns;
    AverageDefinitions averages;
    int birthDateFormat = 1;          // GebFormat
    HistoryArchive::Reorganise reorganise;
};

// The single-student table, filled.
struct HistoryGrid {
    QStringList headers;                  // the half-year columns 1..n
    std::vector<HistoryRowSpec> rows;     // rows 1.. (row 1 the class)
    std::vector<QStringList> cells;       // [row][column - 1]
    QString studentLine;

    QString cell(int row, int column) const
    {
        return row >= 0 && row < int(cells.size()) && column >= 1 ? cells[size_t(row)].value(column - 1) : QString();
    }
};

// The class table: per student one row per half-year.
struct ClassHistory {
    QStringList titles;            // columns 2.. (column 0 name, 1 half-year/class)
    std::vector<int> widths;       // pixel widths of those columns
    std::vector<QStringList> rows; // every row: 2 + titles.size() cells
    int halfYears = 0;             // rows per student before any insertion
    int inserted = 0;              // lines inserted since the table was built

    int block() const { return halfYears + inserted; }
};

class HistoryView {
public:
    // Reads every earlier half-year's archive file once.
    HistoryView(StudentTable& table, HistorySetup setup, const GradeAbbreviations* grades = nullptr);

    const QStringList& headers() const { return headers_; }
    const std::vector<HistoryRowSpec>& rows() const { return rows_; }
    int halfYears() const { return int(headers_.size()); }
    const HistoryArchive& archive(int column) const { return archives_[size_t(column - 2)]; }
    // "file:\nmessage" of every archive that exists but could not be read.
    QStringList unreadableArchives() const;

    void setGradeView(GradeView view) { view_ = view; }
    GradeView gradeView() const { return view_; }

    // The table of the student in the given row of the open file.
    HistoryGrid fill(int tableRow) const;
    // Every student of the file in file order; progress(done, total) after
    // each.
    ClassHistory classTable(const std::function<void(int done, int total)>& progress = {}) const;

private:
    QString shown(const QString& field, const QString& value) const;

    StudentTable& table_;
    HistorySetup setup_;
    const GradeAbbreviations* grades_;
    QStringList headers_;
    std::vector<HistoryRowSpec> rows_;
    std::vector<HistoryArchive> archives_;  // columns 2..n
    GradeView view_ = GradeView::Abbreviation;
};

// Inserts a line with text in column 1 into every student's block of the
// class table, after the row at the offset of the selected grid row
// (row 0 of the grid holds the titles). False when nothing was inserted.
bool insertClassLine(ClassHistory& table, int selectedGridRow, const QString& text);

// The colours of a cell of the single-student table (row as in
// HistoryGrid::rows, column 1..n): nothing when it keeps the grid's colour.
struct HistoryColours {
    const ColourChains* chains = nullptr;
    QColor better;   // FarbePosi
    QColor worse;    // FarbeNegi
};
std::optional<QColor> historyCellColour(const HistoryGrid& grid, int row, int column, const HistoryColours& colours);

// The grey of an empty class cell of an earlier half-year.
inline const QColor kHistoryMissingClass = QColor(192, 192, 192);

} // namespace zedora
