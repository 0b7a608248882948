#include "exchange/ui/TFFeld.h"

#include "base/ansi_text.h"
#include "core/settings.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zedora {
namespace {

struct Row {
    const char* caption;
    QString Settings::*key;
};

const Row kRows[] = {
    {"Name", &Settings::ip_Name},         {"Vorname", &Settings::ip_Vorname},   {"Klasse", &Settings::ip_Klasse},
    {"Geboren", &Settings::ip_Geboren},   {"Geburtsort", &Settings::ip_GebOrt}, {"Geschlecht", &Settings::ip_Geschlecht},
    {"Telefon", &Settings::ip_Telefon},   {"Staatsangeh.", &Settings::ip_Staat}, {"Konfession", &Settings::ip_Konf},
    {"PLZ", &Settings::ip_plz},           {"Wohnort", &Settings::ip_Wohnort},   {"Straße", &Settings::ip_Strasse},
    {"AG1", &Settings::ip_ag1},           {"AG2", &Settings::ip_ag2},           {"AG3", &Settings::ip_ag3},
    {"Freies Feld 1", &Settings::ip_Frei1}, {"Freies Feld 2", &Settings::ip_Frei2},
};

} // namespace

TFFeld::TFFeld(Settings& settings, QWidget* parent) : QDialog(parent), settings_(settings)
{
    setObjectName(QStringLiteral("TFFeld"));
    setWindowTitle(QStringLiteral("Feldnamen festlegen"));
    grid_ = new QTableWidget(static_cast<int>(std::size(kRows)), 2, this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Feldnamen"), QString()});
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < grid_->rowCount(); ++r) {
        auto* caption = new QTableWidgetItem(QString::fromUtf8(kRows[r].caption));
        caption->setFlags(Qt::ItemIsEnabled);
        grid_->setItem(r, 0, caption);
        grid_->setItem(r, 1, new QTableWidgetItem(upperAscii(settings.*kRows[r].key)));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(buttons);
    resize(360, 520);
}

void TFFeld::done(int result)
{
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const QTableWidgetItem* item = grid_->item(r, 1);
        settings_.*kRows[r].key = upperAscii(item ? item->text().trimmed() : QString()).left(30);
    }
    QDialog::done(result);
}

} // namespace zedora
