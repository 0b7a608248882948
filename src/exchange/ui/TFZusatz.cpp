#include "exchange/ui/TFZusatz.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "core/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace zedora {

TFZusatz::TFZusatz(Settings& settings, const QString& fieldList, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setObjectName(QStringLiteral("TFZusatz"));
    setWindowTitle(QStringLiteral("Einleseoptionen für WinSibank"));
    QStringList names{QString(11, QLatin1Char(' '))};
    QFile f(resolvePath(fieldList));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                names << fromAnsi(line.trimmed());
    } else {
        names.clear();
    }
    const auto combo = [&](const char* name, const QString& value) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->addItems(names);
        c->setCurrentText(upperAscii(value));
        return c;
    };
    edit1_ = combo("edit1", settings.FreiFeld1);
    edit2_ = combo("edit2", settings.FreiFeld2);
    kursspin_ = new QSpinBox(this);
    kursspin_->setObjectName(QStringLiteral("kursspin"));
    kursspin_->setRange(1, 2);
    kursspin_->setValue(settings.Kursleselaenge);
    abgimportbox_ = new QCheckBox(QStringLiteral("Auch Abgänger importieren"), this);
    abgimportbox_->setObjectName(QStringLiteral("abgimportbox"));
    abgimportbox_->setChecked(settings.AbgImport);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    connect(ok, &QPushButton::clicked, this, &TFZusatz::OKClick);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("zus. freies Feld 1"), edit1_);
    form->addRow(QStringLiteral("zus. freies Feld 2"), edit2_);
    form->addRow(QStringLiteral("Einleselänge für Fachleistungskurse (1 oder 2)"), kursspin_);
    form->addRow(abgimportbox_);
    form->addRow(ok);
}

void TFZusatz::OKClick()
{
    settings_.FreiFeld1 = edit1_->currentText().trimmed().left(12);
    settings_.FreiFeld2 = edit2_->currentText().trimmed().left(12);
    settings_.Kursleselaenge = kursspin_->value();
    settings_.AbgImport = abgimportbox_->isChecked();
    accept();
}

} // namespace zedora
