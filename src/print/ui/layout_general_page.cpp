#include "print/ui/layout_general_page.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace zedora {

namespace {

QSlider* slider(QWidget* parent, const char* name, int min, int max, int step)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(min, max);
    s->setSingleStep(step);
    s->setPageStep(step);
    return s;
}

QLineEdit* readOnlyBox(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMaximumWidth(80);
    return e;
}

QWidget* row(QWidget* parent, QWidget* a, QWidget* b, const QString& unit = {})
{
    auto* w = new QWidget(parent);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(a, 1);
    l->addWidget(b);
    if (!unit.isEmpty())
        l->addWidget(new QLabel(unit, w));
    return w;
}

} // namespace

LayoutGeneralPage::LayoutGeneralPage(LayoutGeneral& general, Interaction& ui, QWidget* parent)
    : QWidget(parent), general_(general), ui_(ui)
{
    Label6 = new QLabel(this);
    Label7 = new QLabel(this);
    layname = new QLineEdit(this);
    layname->setObjectName(QStringLiteral("layname"));
    laybedeut = new QComboBox(this);
    laybedeut->setObjectName(QStringLiteral("laybedeut"));
    laybedeut->addItems({QStringLiteral("Immer Notenbedeutung Nr. 1"), QStringLiteral("Immer Notenbedeutung Nr. 2"),
                         QStringLiteral("Immer Kürzel drucken"), QStringLiteral("Wie im Druckzentrum definiert")});
    layFont = readOnlyBox(this, "layFont");
    layFont->setMaximumWidth(200);
    layGrad = readOnlyBox(this, "layGrad");
    layFont->installEventFilter(this);
    layGrad->installEventFilter(this);

    schieberVorschub = slider(this, "schieberVorschub", 0, 3000, 100);
    layVorschEdit = readOnlyBox(this, "layVorschEdit");
    tableNote = new QLabel(QStringLiteral("Layout ist jetzt als Tabelle definiert!"), this);
    RadioGroup1 = new QGroupBox(QStringLiteral("Max pro Seite"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    automatic = new QRadioButton(QStringLiteral("Automatisch"), RadioGroup1);
    fixed = new QRadioButton(QStringLiteral("Fest"), RadioGroup1);
    Edit2 = new QLineEdit(RadioGroup1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto* groupLayout = new QHBoxLayout(RadioGroup1);
    groupLayout->addWidget(automatic);
    groupLayout->addWidget(fixed);
    groupLayout->addWidget(Edit2);

    schieberVertikal = slider(this, "schieberVertikal", -3000, 3000, 10);
    vertikalEdit = readOnlyBox(this, "vertikalEdit");
    schieberHorizontal = slider(this, "schieberHorizontal", -300, 300, 10);
    HorizontalEdit = readOnlyBox(this, "HorizontalEdit");
    pgradio = new QComboBox(this);
    pgradio->setObjectName(QStringLiteral("pgradio"));
    pgradio->addItems({QStringLiteral("DIN-A4"), QStringLiteral("DIN-A3")});
    layformat = new QComboBox(this);
    layformat->setObjectName(QStringLiteral("layformat"));
    layformat->addItems({QStringLiteral("Hochformat"), QStringLiteral("Querformat")});
    kuerzelbox = new QComboBox(this);
    kuerzelbox->setObjectName(QStringLiteral("kuerzelbox"));
    kuerzelbox->setEditable(true);

    auto* form = new QFormLayout;
    form->addRow(Label6);
    form->addRow(Label7);
    form->addRow(QStringLiteral("Formularbeschreibung"), layname);
    form->addRow(QStringLiteral("Bedeutung"), laybedeut);
    form->addRow(QStringLiteral("Schriftfont / Schriftgrad (gobal)"), row(this, layFont, layGrad));
    form->addRow(QStringLiteral("Datensatzvorschub für Tabellen"), row(this, schieberVorschub, layVorschEdit, QStringLiteral("mm")));
    form->addRow(tableNote);
    form->addRow(RadioGroup1);
    form->addRow(QStringLiteral("Verschiebung des Formulars vertikal"),
                 row(this, schieberVertikal, vertikalEdit, QStringLiteral("mm")));
    form->addRow(QStringLiteral("Verschiebung des Formulars horizontal"),
                 row(this, schieberHorizontal, HorizontalEdit, QStringLiteral("mm")));
    form->addRow(QStringLiteral("Papiergröße"), pgradio);
    form->addRow(QStringLiteral("Seitenformat"), layformat);
    form->addRow(QStringLiteral("Zugehörige Kürzeldatei"), kuerzelbox);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addStretch();

    connect(layname, &QLineEdit::textEdited, this, [this](const QString& t) { general_.FormularName = t; changed(); });
    connect(laybedeut, &QComboBox::currentIndexChanged, this, [this](int i) { general_.Bedeutung = i; changed(); });
    connect(schieberVorschub, &QSlider::valueChanged, this, [this](int v) {
        general_.DatenSatzVorschub = v;
        layVorschEdit->setText(millimetreText(v));
        showTableMode();
        changed();
    });
    connect(automatic, &QRadioButton::toggled, this, [this](bool on) { general_.Automatisch = on ? 0 : 1; changed(); });
    connect(Edit2, &QLineEdit::textEdited, this, [this](const QString& t) { general_.DatenAnzahl = t; changed(); });
    connect(schieberVertikal, &QSlider::valueChanged, this, [this](int v) {
        general_.VertiKorrektur = v;
        vertikalEdit->setText(millimetreText(v));
        changed();
    });
    connect(schieberHorizontal, &QSlider::valueChanged, this, [this](int v) {
        general_.HoriKorrektur = v;
        HorizontalEdit->setText(millimetreText(v));
        changed();
    });
    connect(pgradio, &QComboBox::currentIndexChanged, this, [this](int i) { general_.PapierA4 = i == 0; changed(); });
    connect(layformat, &QComboBox::currentIndexChanged, this, [this](int i) { general_.Querformat = i == 1; changed(); });
    connect(kuerzelbox, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        general_.Kuerzeldateiname = upperAscii(t.trimmed());
        changed();
    });
}

void LayoutGeneralPage::refill(const QString& layoutPath, const QStringList& abbreviationFiles)
{
    filling_ = true;
    const QFileInfo info(layoutPath);
    Label6->setText(QStringLiteral("Layoutdatei: ") + info.fileName());
    // The folder as this system names it: upper-cased it would name another one.
    Label7->setText(QStringLiteral("im Verzeichnis: ") + QDir::toNativeSeparators(info.absolutePath()));
    layname->setText(general_.FormularName);
    laybedeut->setCurrentIndex(general_.Bedeutung);
    layFont->setText(general_.GlobaleSchrift);
    layGrad->setText(QString::number(general_.GlobalerSchriftGrad));
    schieberVorschub->setValue(general_.DatenSatzVorschub);
    layVorschEdit->setText(millimetreText(general_.DatenSatzVorschub));
    automatic->setChecked(general_.Automatisch != 1);
    fixed->setChecked(general_.Automatisch == 1);
    Edit2->setText(general_.DatenAnzahl);
    schieberVertikal->setValue(general_.VertiKorrektur);
    vertikalEdit->setText(millimetreText(general_.VertiKorrektur));
    schieberHorizontal->setValue(general_.HoriKorrektur);
    HorizontalEdit->setText(millimetreText(general_.HoriKorrektur));
    pgradio->setCurrentIndex(general_.PapierA4 ? 0 : 1);
    layformat->setCurrentIndex(general_.Querformat ? 1 : 0);
    kuerzelbox->clear();
    QStringList files{QStringLiteral("KUERZEL.TXT")};
    for (const QString& f : abbreviationFiles)
        if (!files.contains(upperAscii(f)))
            files << upperAscii(f);
    kuerzelbox->addItems(files);
    kuerzelbox->setCurrentText(upperAscii(general_.Kuerzeldateiname));
    showTableMode();
    filling_ = false;
}

void LayoutGeneralPage::showTableMode()
{
    const bool table = general_.DatenSatzVorschub > 0;
    tableNote->setVisible(table);
    RadioGroup1->setVisible(table);
}

void LayoutGeneralPage::chooseGlobalFont()
{
    QFont preset(general_.GlobaleSchrift);
    preset.setPointSize(general_.GlobalerSchriftGrad > 0 ? general_.GlobalerSchriftGrad : 12);
    const auto chosen = ui_.chooseFont(preset);
    if (!chosen)
        return;
    general_.GlobaleSchrift = chosen->family();
    general_.GlobalerSchriftGrad = chosen->pointSize();
    layFont->setText(general_.GlobaleSchrift);
    layGrad->setText(QString::number(general_.GlobalerSchriftGrad));
    changed();
}

bool LayoutGeneralPage::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == layFont || watched == layGrad) && event->type() == QEvent::MouseButtonPress) {
        chooseGlobalFont();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void LayoutGeneralPage::changed()
{
    if (!filling_ && onChanged)
        onChanged();
}

} // namespace zedora
