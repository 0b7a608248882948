#pragma once
// The school server's answer: the query that asks for the students of the
// current school year (one row per student and course) and its shaping
// into the import table (one row per student).
#include "exchange/import_table.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zedora {

struct Settings;

// The query with the first-name column of option 0 (call name), 1 (all
// first names) or 2 (first name of older server versions).
QString serverQuery(int firstNameOption);

// The result as received: column names and the rows' values as text
// (a null value is empty text).
struct RawTable {
    QStringList header;
    std::vector<QStringList> rows;
};

// Groups consecutive rows of one student, gathers their courses and fills
// the import table (before post-processing).
void shapeServerRows(const RawTable& raw, const Settings& settings, ImportTable& table);

// Text received as UTF-8 in the ANSI code page: characters it cannot hold
// and bytes that are no UTF-8 become '?', and are counted.
struct AnsiConversion {
    int replaced = 0;
    QString convert(const QByteArray& utf8);
};

} // namespace zedora
