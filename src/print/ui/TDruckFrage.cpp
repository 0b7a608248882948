#include "print/ui/TDruckFrage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zedora {

namespace {

QButtonGroup* radioGroup(QWidget* parent, QLayout* into, const QString& name, const QString& title,
                         const QStringList& items)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items[i], box);
        r->setObjectName(name + QString::number(i));
        group->addButton(r, i);
        layout->addWidget(r);
    }
    group->button(0)->setChecked(true);
    into->addWidget(box);
    return group;
}

} // namespace

TDruckFrage::TDruckFrage(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DruckFrage"));
    setWindowTitle(QStringLiteral("Tabellendruck"));
    setModal(true);
    auto* main = new QVBoxLayout(this);
    auto* choices = new QHBoxLayout;
    main->addLayout(choices);
    rgp2_ = radioGroup(this, choices, QStringLiteral("rgp2"), QStringLiteral("Umfang"),
                       {QStringLiteral("Alle Seiten"), QStringLiteral("Nur 1. Seite")});
    rgp1_ = radioGroup(this, choices, QStringLiteral("rgp1"), QStringLiteral("Papierformat"),
                       {QStringLiteral("Hochformat"), QStringLiteral("Querformat")});
    const std::pair<const char*, const char*> buttons[] = {{"B2", "Tabelle mit &Daten"},
                                                           {"B4", "&Leere Tabelle"},
                                                           {"B5", "&Texte der aktuellen Spalte"},
                                                           {"B0", "&Schließen"}};
    const int codes[] = {WithData, Empty, TextColumn, Close};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(buttons[i].second), this);
        b->setObjectName(QString::fromLatin1(buttons[i].first));
        const int code = codes[i];
        connect(b, &QPushButton::clicked, this, [this, code] { done(code); });
        main->addWidget(b);
    }
}

bool TDruckFrage::firstPageOnly() const
{
    return rgp2_->checkedId() == 1;
}

bool TDruckFrage::landscape() const
{
    return rgp1_->checkedId() == 1;
}

} // namespace zedora
