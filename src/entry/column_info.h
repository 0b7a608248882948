#pragma once
// What the column information window tells about one column of the entry
// table: its number, caption and placeholder, whether it holds master data,
// and whether the current layout prints it.
#include <QString>
#include <QStringList>

namespace zedora {

// Whether placeholder ("%DE%") occurs in any line of the layout text,
// compared in upper case; comments and other sections count as well.
bool layoutContainsPlaceholder(const QStringList& layoutLines, const QString& placeholder);

// "%" + field + "%".
QString placeholderOf(const QString& field);

struct ColumnInfo {
    QString number;          // "Spalte Nr. 0" for the first column
    QString caption;         // the column caption, without trailing blanks
    QString placeholder;     // "%DE%"
    QStringList masterData;  // the two pieces of the master-data notice, or empty
    QString presence;        // "Variable %DE% kommt im aktuellen Layout (NICHT) vor!"
    bool inLayout = false;   // the presence line is green, else red
    QString layout;          // "Aktuelles Layout: " + the layout shown in the status line
};

// position: the column's place in the table, counted from 0.
ColumnInfo describeColumn(int position, const QString& field, const QString& caption,
                          const QStringList& layoutLines, const QString& layoutCaption);

} // namespace zedora
