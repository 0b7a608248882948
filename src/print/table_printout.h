#pragma once
// The entry table on paper (with data or empty), split into strips when it
// is wider than the page, and the texts of one text-block column.
#include "print/list_job.h"
#include "print/print_records.h"

#include <QStringList>
#include <QVector>

namespace zedora {

struct TableColumn {
    QString field;
    QString title;
    int displayWidth = 10;
    bool memo = false;
};

struct TablePrintInput {
    QVector<TableColumn> columns;     // the visible columns after the names, at most 125
    QStringList names;                // per row: "first name surname" as printed
    QVector<QStringList> cells;       // per row: one text per column
    QString klasse, schuljahr, halbjahr, schoolName1, schoolName2, layoutName;
    int tabLinks = 100, tabOben = 80, tabUnten = 100, tabRechts = 50;
    bool landscape = false;
    bool firstPageOnly = false;
    bool empty = false;               // the grid without values
};

inline constexpr int kNameColumnWidth = 275;
inline constexpr int kMaxTableColumns = 125;

// 14 x the display width (at least 3), plus 25 for narrow columns.
int tableColumnWidth(int displayWidth);
// The columns of each strip, as indexes into input.columns.
QVector<QVector<int>> tableStrips(const TablePrintInput& input);
// "Brandt, von" + "Charlotte" -> "von Brandt, Charlotte".
QString tableName(const QString& surname, const QString& firstName);
// The rows of the class (KLASSE, upper-cased, equal to klasse) in the
// records' order; the cursor is put back.
void fillTableRows(TablePrintInput& input, PrintRecords& records, const QString& klasse);

int drawEntryTable(DrawSurface& surface, const PrintMetrics& metrics, const TablePrintInput& input);
// Kind 2 or 3 by input.empty; studentFile names the job.
ListJob entryTableJob(const TablePrintInput& input, const QString& studentFile);

struct TextColumnInput {
    QString title, klasse, schuljahr, halbjahr;
    struct Row {
        QString surname, firstName, text;
    };
    QVector<Row> rows;
};

int drawTextBlockColumn(DrawSurface& surface, const PrintMetrics& metrics, const TextColumnInput& input);
ListJob textBlockColumnJob(const TextColumnInput& input);

inline constexpr const char* kNotATextColumn = "Aktuelle Spalte ist keine Textblockspalte!\n\n";

} // namespace zedora
