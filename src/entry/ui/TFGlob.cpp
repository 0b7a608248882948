#include "entry/ui/TFGlob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zedora {

TFGlob::TFGlob(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFGlob"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    suchnummer_ = new QGroupBox(this);
    suchnummer_->setObjectName(QStringLiteral("suchnummer"));
    auto* radios = new QVBoxLayout(suchnummer_);
    all_ = new QRadioButton(QStringLiteral("Alle Felder der Spalte"), suchnummer_);
    matching_ = new QRadioButton(QStringLiteral("Felder mit folgendem Eintrag:"), suchnummer_);
    suchbox_ = new QLineEdit(suchnummer_);
    suchbox_->setObjectName(QStringLiteral("suchbox"));
    radios->addWidget(all_);
    radios->addWidget(matching_);
    radios->addWidget(suchbox_);
    layout->addWidget(suchnummer_);

    auto* checkRow = new QHBoxLayout;
    vorLoesch_ = new QCheckBox(QStringLiteral("Textblock-Feld:"), this);
    vorLoesch_->setObjectName(QStringLiteral("VOrLoesch"));
    vorLoeschLabel_ = new QLabel(QStringLiteral("Inhalte vorher löschen "), this);
    checkRow->addWidget(vorLoesch_);
    checkRow->addWidget(vorLoeschLabel_);
    checkRow->addStretch();
    layout->addLayout(checkRow);

    label2_ = new QLabel(QStringLiteral("Ersetze durch ..."), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(label2_);
    eingabeBox_ = new QComboBox(this);
    eingabeBox_->setObjectName(QStringLiteral("eingabeBox"));
    eingabeBox_->setEditable(true);
    layout->addWidget(eingabeBox_);
    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setReadOnly(true);
    memo1_->setMaximumHeight(90);
    layout->addWidget(memo1_);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(QStringLiteral("&Starten"), this);
    start_->setObjectName(QStringLiteral("BitBtn1"));
    start_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("&Abbruch"), this);
    cancel_->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(start_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(all_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            suchbox_->clear();
        suchbox_->setEnabled(!on && mode_ == GlobalChangeMode::Plain);
    });
    connect(vorLoesch_, &QCheckBox::toggled, this, [this] { updateLabel(); });
    connect(eingabeBox_, &QComboBox::activated, this,
            [this](int index) { memo1_->setPlainText(eingabeBox_->itemText(index)); });
}

void TFGlob::prepare(GlobalChangeMode mode, const QString& caption, const QString& cellValue,
                     const QString& klasse, const QStringList& blocks)
{
    mode_ = mode;
    klasse_ = klasse;
    setWindowTitle(QStringLiteral("Suchen und Ersetzen in Spalte: ") + caption);
    suchnummer_->setTitle(QStringLiteral("Suche in Spalte: ") + caption);
    vorLoesch_->setChecked(false);
    const bool text = mode == GlobalChangeMode::TextBlock;
    vorLoesch_->setVisible(text);
    vorLoeschLabel_->setVisible(text);
    suchnummer_->setEnabled(mode == GlobalChangeMode::Plain);
    suchbox_->setVisible(mode != GlobalChangeMode::Class);
    suchbox_->setText(mode == GlobalChangeMode::Plain ? cellValue.trimmed() : QString());
    const bool withSearch = !suchbox_->text().isEmpty();
    matching_->setChecked(withSearch);
    all_->setChecked(!withSearch);
    suchbox_->setEnabled(withSearch && mode == GlobalChangeMode::Plain);
    memo1_->clear();
    eingabeBox_->clear();
    eingabeBox_->addItems(blocks);
    eingabeBox_->setCurrentIndex(-1);
    eingabeBox_->setEditText(QString());
    updateLabel();
}

void TFGlob::updateLabel()
{
    if (mode_ == GlobalChangeMode::Class)
        label2_->setText(QStringLiteral("Ersetze Klasse ") + klasse_ + QStringLiteral(" durch ..."));
    else if (mode_ == GlobalChangeMode::TextBlock)
        label2_->setText(vorLoesch_->isChecked()
                             ? QStringLiteral("Folgenden Text eintragen: (bestehenden ggf. vorher löschen!)")
                             : QStringLiteral("Folgenden Text eintragen: (an evt. bestehenden Text anhängen!)"));
    else
        label2_->setText(QStringLiteral("Ersetze durch ..."));
}

bool TFGlob::allFields() const { return !matching_->isChecked(); }
QString TFGlob::search() const { return suchbox_->text(); }
QString TFGlob::boxText() const { return eingabeBox_->currentText(); }
bool TFGlob::replaceText() const { return vorLoesch_->isChecked(); }

} // namespace zedora
