#include "schoolyear/ui/history_class_page.h"

#include "schoolyear/history_printout.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zedora {

HistoryClassPage::HistoryClassPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("klassenseite"));
    auto* top = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* insert = new QPushButton(QStringLiteral("Zeile einfügen"), this);
    insert->setObjectName(QStringLiteral("btZeileEinfuegen"));
    auto* print = new QPushButton(QStringLiteral("Tabelle drucken"), this);
    print->setObjectName(QStringLiteral("btTabelleDrucken"));
    repeatHeader_ = new QCheckBox(QStringLiteral("Im Druck Kopfzeile für jeden Schüler"), this);
    repeatHeader_->setObjectName(QStringLiteral("cbKopfzeile"));
    buttons->addWidget(insert);
    buttons->addWidget(print);
    buttons->addWidget(repeatHeader_);
    buttons->addStretch();
    top->addLayout(buttons);
    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("kltab"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    top->addWidget(grid_);
    connect(insert, &QPushButton::clicked, this, &HistoryClassPage::insertRequested);
    connect(print, &QPushButton::clicked, this, &HistoryClassPage::printRequested);
}

void HistoryClassPage::show(const ClassHistory& table, int halfYearWidth)
{
    table_ = table;
    halfYearWidth_ = halfYearWidth;
    fillGrid();
}

void HistoryClassPage::fillGrid()
{
    grid_->clear();
    grid_->setColumnCount(2 + int(table_.titles.size()));
    grid_->setRowCount(int(table_.rows.size()));
    QStringList titles{kClassNameTitle, kClassHalfYearTitle};
    titles << table_.titles;
    grid_->setHorizontalHeaderLabels(titles);
    // Narrow columns show the start of their caption, the whole in the hint.
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < titles.size(); ++c)
        grid_->horizontalHeaderItem(c)->setToolTip(titles[c]);
    QFont font = grid_->font();
    font.setPointSize(8);
    grid_->setFont(font);
    QFont bold = font;
    bold.setBold(true);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->setColumnWidth(0, 100);
    grid_->setColumnWidth(1, halfYearWidth_);
    for (size_t c = 0; c < table_.widths.size(); ++c)
        grid_->setColumnWidth(int(c) + 2, table_.widths[c]);
    const QColor window = QApplication::palette().color(QPalette::Window);
    for (int r = 0; r < int(table_.rows.size()); ++r) {
        const QStringList& row = table_.rows[size_t(r)];
        const bool first = !row.value(0).isEmpty();
        for (int c = 0; c < row.size(); ++c) {
            auto* item = new QTableWidgetItem(row[c]);
            if (c < 2)
                item->setFont(bold);
            // The first line of each student stands out.
            if (first)
                item->setBackground(window);
            grid_->setItem(r, c, item);
        }
    }
}

bool HistoryClassPage::insertLine(const QString& text)
{
    // The grid's row 0 is the first data row; the titles sit in the header.
    const int selected = grid_->currentRow() + 1;
    if (!insertClassLine(table_, selected, text.left(40)))
        return false;
    fillGrid();
    return true;
}

} // namespace zedora
