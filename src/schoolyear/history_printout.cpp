#include "schoolyear/history_printout.h"

namespace zedora {

namespace {

HistoryList headed(const HistoryPrintHeading& heading)
{
    HistoryList list;
    list.klasse = heading.klasse;
    list.schuljahr = heading.schuljahr;
    list.halbjahr = heading.halbjahr;
    list.layoutName = heading.fileName;
    list.rowHeight = heading.rowHeight;
    return list;
}

} // namespace

HistoryList studentHistoryList(const QVector<HistoryGrid>& grids, const HistoryPrintHeading& heading)
{
    HistoryList list = headed(heading);
    list.columns << QString();
    if (!grids.isEmpty())
        list.columns << grids.front().headers;
    for (const HistoryGrid& g : grids) {
        list.rows << QStringList{g.studentLine.trimmed()};
        for (int r = 0; r < int(g.rows.size()); ++r) {
            QStringList row{g.rows[size_t(r)].caption.trimmed()};
            for (int c = 1; c <= g.headers.size(); ++c)
                row << g.cell(r, c).trimmed();
            list.rows << row;
        }
    }
    if (!grids.isEmpty())
        list.blockRows = int(grids.front().rows.size()) + 1;
    // Every student's rows under their own half-year titles.
    list.repeatHeader = true;
    return list;
}

HistoryList classHistoryList(const ClassHistory& table, bool repeatHeader, const HistoryPrintHeading& heading)
{
    HistoryList list = headed(heading);
    list.columns << kClassNameTitle << kClassHalfYearTitle << table.titles;
    for (const QStringList& row : table.rows)
        list.rows << row;
    list.repeatHeader = repeatHeader;
    list.blockRows = table.block();
    return list;
}

} // namespace zedora
