#include "entry/ui/TfEpochal.h"

#include "entry/bulk_record_edits.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

TfEpochal::TfEpochal(const QString& fileName, const QString& marker, const QStringList& entries,
                     const QStringList& epochal, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfEpochal"));
    setModal(true);
    setWindowTitle(QStringLiteral("Epochalfächer festlegen für Datei ") + fileName);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* markerEdit = new QLineEdit(marker, this);
    markerEdit->setObjectName(QStringLiteral("Edit1"));
    markerEdit->setReadOnly(true);
    form->addRow(QStringLiteral("Epochalkennung (Voreinstellungen)"), markerEdit);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Notenkürzel"), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("CheckListBox1"));
    for (const QString& entry : entries) {
        auto* item = new QListWidgetItem(entry, list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const qsizetype paren = entry.indexOf(QLatin1Char('('));
        item->setCheckState(isEpochal(paren < 0 ? entry : entry.left(paren), epochal) ? Qt::Checked
                                                                                       : Qt::Unchecked);
    }
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("Speichern und schließen"), this);
    save->setObjectName(QStringLiteral("BitBtn1"));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TfEpochal::chosen() const
{
    QStringList checked;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            checked << list_->item(i)->text();
    return epochalListFromChecked(checked);
}

} // namespace zedora
