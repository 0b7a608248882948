#pragma once
// The class table of the history view: every student of the open file over
// the visible half-years, with lines the user inserts and its printout.
#include "schoolyear/history_view.h"

#include <QWidget>

class QCheckBox;
class QTableWidget;

namespace zedora {

class HistoryClassPage : public QWidget {
    Q_OBJECT
public:
    explicit HistoryClassPage(QWidget* parent = nullptr);

    // Shows the table; font size 8, row height 20, the names 100 wide, the
    // half-year column as wide as given.
    void show(const ClassHistory& table, int halfYearWidth);
    const ClassHistory& table() const { return table_; }
    QTableWidget& grid() { return *grid_; }
    QCheckBox& repeatHeader() { return *repeatHeader_; }

    // "Zeile einfügen" with the text asked for; false when nothing changed.
    bool insertLine(const QString& text);

signals:
    void insertRequested();
    void printRequested();

private:
    void fillGrid();

    ClassHistory table_;
    QTableWidget* grid_;
    QCheckBox* repeatHeader_;
    int halfYearWidth_ = 100;
};

} // namespace zedora
