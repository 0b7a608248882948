#pragma once
// What the history printouts list: one student's table or every student's
// one after the other, and the class table.
#include "print/statistics_printouts.h"
#include "schoolyear/history_view.h"

#include <QVector>

namespace zedora {

// The heading's class and half-year, the print row height and the file.
struct HistoryPrintHeading {
    QString klasse, schuljahr, halbjahr, fileName;
    int rowHeight = 44;
};

// Per student its line, then the rows with caption and half-year values.
HistoryList studentHistoryList(const QVector<HistoryGrid>& grids, const HistoryPrintHeading& heading);

// The class table as shown, inserted lines included; with repeatHeader the
// titles stand above every student's rows.
HistoryList classHistoryList(const ClassHistory& table, bool repeatHeader, const HistoryPrintHeading& heading);

inline const QString kClassNameTitle = QStringLiteral("Schüler");
inline const QString kClassHalfYearTitle = QStringLiteral("Halbjahr/Klasse");

} // namespace zedora
