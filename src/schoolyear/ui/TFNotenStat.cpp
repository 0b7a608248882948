#include "schoolyear/ui/TFNotenStat.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/main_frame.h"
#include "data/current_student_file.h"
#include "exchange/export_xlsx.h"
#include "print/statistics_printouts.h"
#include "schoolyear/statistics_grades.h"
#include "schoolyear/statistics_table.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace zedora {
namespace {

constexpr int kColumns = 9;
constexpr int kRows = 200;

QPushButton* button(QWidget* parent, QLayout* layout, const QString& text, const QString& hint)
{
    auto* b = new QPushButton(text, parent);
    b->setToolTip(hint);
    layout->addWidget(b);
    return b;
}

} // namespace

TFNotenStat::TFNotenStat(MainFrame& frame, const QStringList& files, const QStringList& gradeFields, QWidget* parent)
    : QDialog(parent), frame_(frame), files_(files), fields_(gradeFields)
{
    setObjectName(QStringLiteral("TFNotenStat"));
    setWindowTitle(QStringLiteral("Notenstatistik"));
    auto* top = new QVBoxLayout(this);
    auto* choose = new QHBoxLayout;
    fileBox_ = new QComboBox(this);
    fileBox_->setObjectName(QStringLiteral("ComboBox4"));
    fileBox_->setToolTip(QStringLiteral("Alle Klassendateien im aktuellen Schulhalbjahr"));
    fileBox_->addItems(files_);
    fieldBox_ = new QComboBox(this);
    fieldBox_->setObjectName(QStringLiteral("ComboBox3"));
    fieldBox_->setToolTip(QStringLiteral("Fächer des aktuellen Eingabelayouts"));
    fieldBox_->addItems(fields_);
    choose->addWidget(fileBox_);
    QPushButton* byClass = button(this, choose, QStringLiteral("Alle Fächer der Klasse ..."),
                                  QStringLiteral("Alle Fächer der gewählten Klasse eintragen"));
    choose->addWidget(fieldBox_);
    QPushButton* bySubject = button(this, choose, QStringLiteral("Alle Klassen im Fach ..."),
                                    QStringLiteral("Alle Klassen mit dem gewählten Fach eintragen"));
    QPushButton* all = button(this, choose, QStringLiteral("Alle Klassen und Fächer"),
                              QStringLiteral("Eintragen aller Klassen mit allen Fächern in die Statistiktabelle"));
    top->addLayout(choose);

    grid_ = new QTableWidget(kRows, kColumns, this);
    grid_->setObjectName(QStringLiteral("awgitter"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Klasse"), QStringLiteral("Fach"), QStringLiteral("I"),
                                      QStringLiteral("II"), QStringLiteral("III"), QStringLiteral("IV"),
                                      QStringLiteral("V"), QStringLiteral("VI"), QStringLiteral("Durchschnitt")});
    const int widths[kColumns] = {150, 80, 25, 25, 25, 25, 25, 25, 80};
    // Room for the digits and the header texts beside the given widths.
    for (int c = 0; c < kColumns; ++c)
        grid_->setColumnWidth(c, widths[c] + 10);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
    pickList_ = new QListWidget(this);
    pickList_->setObjectName(QStringLiteral("pickList"));
    pickList_->setToolTip(QStringLiteral("Übernahme in die Tabelle mit <Doppelklick> !"));
    pickList_->setFixedWidth(150);
    pickList_->hide();
    auto* table = new QHBoxLayout;
    table->addWidget(grid_);
    table->addWidget(pickList_);
    top->addLayout(table);

    auto* actions = new QHBoxLayout;
    QPushButton* make = button(this, actions, QStringLiteral("S&tatistik erstellen"),
                               QStringLiteral("Berechnen der Statistik über die gewählten Einträge"));
    QPushButton* printIt = button(this, actions, QStringLiteral("&Drucken"), QStringLiteral("Drucken der Statistiktabelle"));
    QPushButton* excel = button(this, actions, QStringLiteral(" Excel"),
                                QStringLiteral("Exportieren der Statistikdaten in eine Exceltabelle"));
    QPushButton* clear = button(this, actions, QStringLiteral("&Löschen"), QStringLiteral("Löschen der Statistiktabelle"));
    QPushButton* close = button(this, actions, QStringLiteral("&Schließen"), QStringLiteral("Schließen des Statistikfensters"));
    top->addLayout(actions);
    resize(820, 560);

    connect(byClass, &QPushButton::clicked, this, [this] { fillClass(fileBox_->currentText()); });
    connect(fileBox_, &QComboBox::activated, this, [this] { fillClass(fileBox_->currentText()); });
    connect(bySubject, &QPushButton::clicked, this, [this] { fillSubject(fieldBox_->currentText()); });
    connect(fieldBox_, &QComboBox::activated, this, [this] { fillSubject(fieldBox_->currentText()); });
    connect(all, &QPushButton::clicked, this, &TFNotenStat::fillAll);
    connect(grid_, &QTableWidget::cellClicked, this, &TFNotenStat::cellClicked);
    connect(pickList_, &QListWidget::itemDoubleClicked, this, &TFNotenStat::takeOver);
    connect(make, &QPushButton::clicked, this, &TFNotenStat::compute);
    connect(printIt, &QPushButton::clicked, this, &TFNotenStat::print);
    connect(excel, &QPushButton::clicked, this, &TFNotenStat::exportWorkbook);
    connect(clear, &QPushButton::clicked, this, [this] {
        if (frame_.context().ui.ask(QStringLiteral("Sollen ale Felder gelöscht werden?\n\n"), Buttons::YesNoCancel) ==
            Answer::Yes)
            clearTable();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    const QString open = QFileInfo(frame_.studentFile().path()).fileName();
    const int at = files_.indexOf(open);
    if (at >= 0)
        fileBox_->setCurrentIndex(at);
    if (!open.isEmpty())
        fillClass(open);
}

void TFNotenStat::cellClicked(int, int column)
{
    if (column != 0 && column != 1) {
        pickList_->hide();
        pickColumn_ = -1;
        return;
    }
    if (column != pickColumn_) {
        pickList_->clear();
        pickList_->addItems(column == 0 ? files_ : fields_);
        pickColumn_ = column;
    }
    pickList_->show();
}

void TFNotenStat::takeOver(QListWidgetItem* item)
{
    const int row = grid_->currentRow();
    if (!item || row < 0 || pickColumn_ < 0)
        return;
    grid_->setItem(row, pickColumn_, new QTableWidgetItem(item->text()));
    if (row + 1 < grid_->rowCount())
        grid_->setCurrentCell(row + 1, pickColumn_);
}

void TFNotenStat::clearTable()
{
    grid_->clearContents();
}

void TFNotenStat::setRows(const QVector<QPair<QString, QString>>& rows)
{
    clearTable();
    if (rows.size() > grid_->rowCount())
        grid_->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        grid_->setItem(r, 0, new QTableWidgetItem(rows[r].first));
        grid_->setItem(r, 1, new QTableWidgetItem(rows[r].second));
    }
}

void TFNotenStat::fillClass(const QString& file)
{
    QVector<QPair<QString, QString>> rows;
    for (const QString& f : fields_)
        rows.append({file, f});
    setRows(rows);
}

void TFNotenStat::fillSubject(const QString& field)
{
    QVector<QPair<QString, QString>> rows;
    for (const QString& file : files_)
        rows.append({file, field});
    setRows(rows);
}

void TFNotenStat::fillAll()
{
    QVector<QPair<QString, QString>> rows;
    for (const GradeStatistics::Row& r : gradeStatisticsRows(files_, fields_))
        rows.append({r.klasse, r.subject});
    setRows(rows);
}

GradeStatistics TFNotenStat::collect(QVector<int>* gridRows) const
{
    GradeStatistics s;
    s.header.heading = frame_.context().settings.SchulName1;
    s.header.dataDirectory = frame_.studentFile().dataDirectoryName();
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const auto text = [&](int c) { return grid_->item(r, c) ? grid_->item(r, c)->text() : QString(); };
        if (text(0).trimmed().isEmpty() && text(1).trimmed().isEmpty())
            continue;
        GradeStatistics::Row row;
        row.klasse = text(0);
        row.subject = text(1);
        for (int g = 0; g < 6; ++g)
            row.grades[size_t(g)] = text(2 + g).toInt();
        row.average = text(8);
        s.rows << row;
        if (gridRows)
            *gridRows << r;
    }
    return s;
}

void TFNotenStat::showResults(const GradeStatistics& s, const QVector<int>& gridRows)
{
    const QBrush window = palette().window();
    for (int r = 0; r < s.rows.size() && r < gridRows.size(); ++r) {
        const int row = gridRows[r];
        for (int g = 0; g < 6; ++g) {
            auto* item = new QTableWidgetItem(QString::number(s.rows[r].grades[size_t(g)]));
            item->setTextAlignment(Qt::AlignCenter);
            item->setBackground(Qt::lightGray);
            grid_->setItem(row, 2 + g, item);
        }
        auto* avg = new QTableWidgetItem(s.rows[r].average);
        QFont bold = avg->font();
        bold.setBold(true);
        avg->setFont(bold);
        avg->setTextAlignment(Qt::AlignCenter);
        avg->setBackground(window);
        grid_->setItem(row, 8, avg);
    }
}

void TFNotenStat::compute()
{
    QVector<int> gridRows;
    GradeStatistics s = collect(&gridRows);
    Interaction& ui = frame_.context().ui;
    const QString directory = QFileInfo(frame_.studentFile().path()).absolutePath();
    try {
        computeGradeStatistics(s, directory, QLocale(QLocale::German, QLocale::Germany), [&](int row, int rows) {
            ui.progress(QStringLiteral("Notenstatistik"), row, rows);
        });
    } catch (const std::exception& e) {
        ui.progressFinished();
        ui.error(QString::fromLocal8Bit(e.what()));
        return;
    }
    ui.progressFinished();
    showResults(s, gridRows);
}

void TFNotenStat::print()
{
    frame_.showListPrintout(gradeStatisticsJob(collect()));
}

void TFNotenStat::exportWorkbook()
{
    AppContext& ctx = frame_.context();
    const QString dir = joinPath(ctx.workspace, QStringLiteral("tmp"));
    QDir().mkpath(dir);
    const QString path = joinPath(dir, QStringLiteral("notenstatistik.xlsx"));
    XlsxTable t;
    t.sheetName = QStringLiteral("Statistik - ") + frame_.studentFile().dataDirectoryName();
    t.title = QStringLiteral("Notenstatistik ") + frame_.studentFile().dataDirectoryName();
    t.rows = gradeStatisticsTable(collect());
    const QString failure = writeXlsx(path, t);
    if (!failure.isEmpty()) {
        ctx.ui.error(failure);
        return;
    }
    if (ctx.ui.ask(QStringLiteral("Statistik wurde als Excel-Datei gespeichert unter:\n\n") + QDir::toNativeSeparators(path) +
                       QStringLiteral("\n\n") + QStringLiteral("Soll die Datei jetzt geöffnet werden?\n"),
                   Buttons::YesNoCancel) == Answer::Yes)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zedora
