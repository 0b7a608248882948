#include "schoolyear/ui/history_settings_panel.h"

#include "core/settings.h"
#include "schoolyear/history_labels.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zedora {

HistorySettingsPanel::HistorySettingsPanel(Settings& settings, QWidget* parent) : QFrame(parent), settings_(settings)
{
    setObjectName(QStringLiteral("einstellpanel"));
    setFrameShape(QFrame::StyledPanel);
    auto* top = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Historie - Einstellungen"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    top->addWidget(title);
    form_ = new QFormLayout;
    top->addLayout(form_);

    fontSize_ = spin("spSchrift", QString::fromUtf8("   Schriftgröße"), 6, 18, &Settings::Histschriftgrad);
    rowHeight_ = spin("spZeile", QString::fromUtf8("   Zeilenhöhe"), 10, 100, &Settings::Histzeile);
    firstWidth_ = spin("spSpalte1", QStringLiteral("   Breite der 1. Spalte"), 50, 400, &Settings::Histspalte1);
    secondWidth_ = spin("spSpalte2", QStringLiteral("   Breite der 2. Spalte"), 20, 400, &Settings::Histspalte2);
    earlierWidth_ =
        spin("spSpalte3", QStringLiteral("   Breite der 3. - letzten Spalte"), 20, 400, &Settings::Histspalte3);
    halfYears_ = new QSpinBox(this);
    halfYears_->setObjectName(QStringLiteral("spHalbjahre"));
    halfYears_->setRange(kMinVisibleHalfYears, kMaxVisibleHalfYears);
    // Only stepped: a typed number would rebuild nothing until it is whole.
    if (auto* edit = halfYears_->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    form_->addRow(QStringLiteral("   Anzahl der sichtbaren Halbjahre"), halfYears_);
    connect(halfYears_, &QSpinBox::valueChanged, this, [this](int v) { settings_.HJSichtbar = v; });

    photos_ = new QCheckBox(QStringLiteral("Bilder der Schüler anzeigen  aus Ordner:"), this);
    photos_->setObjectName(QStringLiteral("cbFotos"));
    photoFolder_ = new QLineEdit(this);
    photoFolder_->setObjectName(QStringLiteral("edFotoordner"));
    photoFolder_->setReadOnly(true);
    top->addWidget(photos_);
    top->addWidget(photoFolder_);
    connect(photos_, &QCheckBox::toggled, this, [this](bool on) { settings_.FotoAnzeigen = on; });

    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("btEinstellSchliessen"));
    top->addWidget(close);
    top->addStretch();
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    load();
}

QSpinBox* HistorySettingsPanel::spin(const char* name, const QString& label, int min, int max, int Settings::*value)
{
    auto* s = new QSpinBox(this);
    s->setObjectName(QLatin1String(name));
    s->setRange(min, max);
    form_->addRow(label, s);
    connect(s, &QSpinBox::valueChanged, this, [this, value](int v) {
        settings_.*value = v;
        emit looksChanged();
    });
    return s;
}

void HistorySettingsPanel::load()
{
    const QSignalBlocker b1(fontSize_), b2(rowHeight_), b3(firstWidth_), b4(secondWidth_), b5(earlierWidth_),
        b6(halfYears_), b7(photos_);
    fontSize_->setValue(settings_.Histschriftgrad);
    rowHeight_->setValue(settings_.Histzeile);
    firstWidth_->setValue(settings_.Histspalte1);
    secondWidth_->setValue(settings_.Histspalte2);
    earlierWidth_->setValue(settings_.Histspalte3);
    halfYears_->setValue(settings_.HJSichtbar);
    photos_->setChecked(settings_.FotoAnzeigen);
    photoFolder_->setText(settings_.SibankFotoordner);
}

} // namespace zedora
