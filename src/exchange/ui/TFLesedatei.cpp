#include "exchange/ui/TFLesedatei.h"

#include "exchange/import_table.h"
#include "exchange/sibank_format.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zedora {

TFLesedatei::TFLesedatei(const ImportTable& table, Services services, bool fromServer, bool conversionMode,
                         QWidget* parent)
    : QDialog(parent), table_(table), services_(services), conversionMode_(conversionMode)
{
    setObjectName(QStringLiteral("TFLesedatei"));
    setWindowTitle(QStringLiteral("Gelesene Daten"));
    grid_ = new QTableWidget(table.studentCount(), ImportColumn::Count, this);
    grid_->setObjectName(QStringLiteral("StammDa"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    QStringList captions;
    for (int c = 0; c < ImportColumn::Count; ++c)
        captions << table.cell(0, c);
    grid_->setHorizontalHeaderLabels(captions);
    for (int r = 1; r <= table.studentCount(); ++r)
        for (int c = 0; c < ImportColumn::Count; ++c)
            grid_->setItem(r - 1, c, new QTableWidgetItem(table.cell(r, c)));
    grid_->resizeColumnsToContents();

    auto* weiter = new QPushButton(QStringLiteral("Weiter"), this);
    weiter->setObjectName(QStringLiteral("WeiterBtn"));
    auto* abbrechen = new QPushButton(QStringLiteral("Import abbrechen"), this);
    abbrechen->setObjectName(QStringLiteral("AbbrechenBtn"));
    auto* sibank = new QPushButton(QStringLiteral("Erstelle Datei im Sibankformat"), this);
    sibank->setObjectName(QStringLiteral("SibankBtn"));
    sibank->setVisible(fromServer);
    sibank->setEnabled(!conversionMode);
    connect(weiter, &QPushButton::clicked, this, &TFLesedatei::WeiterClick);
    connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(sibank, &QPushButton::clicked, this, &TFLesedatei::SibankClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(weiter);
    buttons->addWidget(abbrechen);
    buttons->addStretch();
    buttons->addWidget(sibank);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
    resize(900, 500);
}

void TFLesedatei::WeiterClick()
{
    if (conversionMode_)
        convertToSibank(table_, true, services_.workspace, services_.settings, services_.ui, services_.files);
    accept();
}

void TFLesedatei::SibankClick()
{
    // A refused target keeps the window open; a written file or an error ends it.
    if (convertToSibank(table_, false, services_.workspace, services_.settings, services_.ui, services_.files)
        != SibankResult::Refused)
        accept();
}

} // namespace zedora
