#include "exchange/ui/TFTolvoOptionen.h"

#include "core/settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zedora {
namespace {

QButtonGroup* radioGroup(QWidget* parent, QLayout* into, const char* name, const QString& title,
                         const QStringList& items, int checked)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    if (QAbstractButton* b = group->button(checked))
        b->setChecked(true);
    into->addWidget(box);
    return group;
}

} // namespace

TFTolvoOptionen::TFTolvoOptionen(Settings& s, QWidget* parent) : QDialog(parent), settings_(s)
{
    setObjectName(QStringLiteral("TFTolvoOptionen"));
    setWindowTitle(QStringLiteral("Tolvo - Optionen"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto edit = [&](const char* name, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    dabaEdit_ = edit("DabaEdit", s.TolvoDBName);
    hostEdit_ = edit("HostEdit", s.TolvoHost);
    portEdit_ = edit("PortEdit", QString::number(s.TolvoPort));
    form->addRow(QStringLiteral("Datenbankname"), dabaEdit_);
    form->addRow(QStringLiteral("Host"), hostEdit_);
    form->addRow(QStringLiteral("Port"), portEdit_);
    layout->addLayout(form);
    rg1_ = radioGroup(this, layout, "rg1", QStringLiteral("Übernahme WPK"), {"Bezeichnung", "Fach"}, s.TolvoWPKBez ? 0 : 1);
    rg2_ = radioGroup(this, layout, "rg2", QStringLiteral("Übernahme AG's"), {"Bezeichnung", "Fach"}, s.TolvoAGBez ? 0 : 1);
    rg3_ = radioGroup(this, layout, "RG3", QStringLiteral("Übernahme Vorname(n)"),
                      {"Rufname (ab Tolvo 1.8)", "Alle Vornamen (ab Tolvo 1.8)", "Vorname (vor Tolvo 1.8)"},
                      s.TolvoVornamenOption);
    checkBox1_ = new QCheckBox(QStringLiteral("ANSI - Konvertierung"), this);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    checkBox1_->setChecked(s.AnsiKonvertierung);
    layout->addWidget(checkBox1_);
    layout->addWidget(new QLabel(QStringLiteral("Niveaustufen:"), this));
    auto* levelForm = new QFormLayout;
    const QString captions[] = {"Grund (HRS)", "Erhöht (HRS)", "Grund (IGS, KGS, OBS)", "Erhöht (IGS, KGS, OBS)",
                                "Zusatz (IGS, KGS, OBS)"};
    const QString values[] = {s.Niveau0, s.Niveau1, s.Niveau2, s.Niveau3, s.Niveau4};
    for (int i = 0; i < 5; ++i) {
        levels_[i] = edit(qPrintable(QStringLiteral("E_n%1").arg(i)), values[i]);
        levels_[i]->setMaxLength(1);
        levelForm->addRow(captions[i], levels_[i]);
    }
    layout->addLayout(levelForm);
    auto* take = new QPushButton(QStringLiteral("Übernehmen"), this);
    take->setObjectName(QStringLiteral("BitBtn1"));
    connect(take, &QPushButton::clicked, this, &TFTolvoOptionen::UebernehmenClick);
    layout->addWidget(take);
}

void TFTolvoOptionen::UebernehmenClick()
{
    settings_.TolvoDBName = dabaEdit_->text().left(40);
    settings_.TolvoHost = hostEdit_->text().trimmed().left(200);
    bool ok = false;
    const int port = portEdit_->text().trimmed().toInt(&ok);
    settings_.TolvoPort = ok ? port : 3306;
    settings_.TolvoWPKBez = rg1_->checkedId() == 0;
    settings_.TolvoAGBez = rg2_->checkedId() == 0;
    settings_.TolvoVornamenOption = std::max(0, rg3_->checkedId());
    settings_.AnsiKonvertierung = checkBox1_->isChecked();
    QString* targets[] = {&settings_.Niveau0, &settings_.Niveau1, &settings_.Niveau2, &settings_.Niveau3, &settings_.Niveau4};
    for (int i = 0; i < 5; ++i)
        *targets[i] = levels_[i]->text().left(1);
    accept();
}

} // namespace zedora
