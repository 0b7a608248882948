#include "print/ui/Tfverschiebung.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zedora {

Tfverschiebung::Tfverschiebung(LayoutEditorData& data, ElementKind kind, int column, int startValue,
                               Interaction& ui, QWidget* parent)
    : QDialog(parent), data_(data), kind_(kind), column_(column), ui_(ui)
{
    setObjectName(QStringLiteral("fverschiebung"));
    setWindowTitle(QStringLiteral("Global ändern ..."));
    auto* form = new QFormLayout;
    minbox = new QLineEdit(QString::number(startValue), this);
    maxbox = new QLineEdit(QString::number(startValue), this);
    addwert = new QLineEdit(this);
    minbox->setObjectName(QStringLiteral("minbox"));
    maxbox->setObjectName(QStringLiteral("maxbox"));
    addwert->setObjectName(QStringLiteral("addwert"));
    form->addRow(QStringLiteral("Untergrenze"), minbox);
    form->addRow(QStringLiteral("Obergrenze"), maxbox);
    form->addRow(QStringLiteral("Vergrößerung / Verkleinerung um"), addwert);

    auto* choice = new QGroupBox(QStringLiteral("Elemente"), this);
    auto* choiceLayout = new QVBoxLayout(choice);
    currentColumn = new QRadioButton(QStringLiteral("Nur in aktueller Spalte "), choice);
    allElements = new QRadioButton(
        QStringLiteral("Alle Elemente (Linien, Einträge, Grafiken, Notenfelder) in vertikaler Richtung; "
                       "\"+\"=unten, \"-\"= oben"),
        choice);
    currentColumn->setChecked(true);
    choiceLayout->addWidget(currentColumn);
    choiceLayout->addWidget(allElements);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);

    auto* startButton = new QPushButton(QStringLiteral("&Starten"), this);
    auto* cancelButton = new QPushButton(QStringLiteral("Abbruch"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(startButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(choice);
    layout->addWidget(Label2);
    layout->addLayout(buttons);

    for (QLineEdit* box : {minbox, maxbox, addwert})
        connect(box, &QLineEdit::textChanged, this, [this] { describe(); });
    connect(currentColumn, &QRadioButton::toggled, this, [this] { describe(); });
    connect(startButton, &QPushButton::clicked, this, [this] { start(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    describe();
}

ShiftScope Tfverschiebung::scope() const
{
    return allElements->isChecked() ? ShiftScope::AllElementsVertical : ShiftScope::CurrentColumn;
}

void Tfverschiebung::describe()
{
    Label2->setText(globalChangeDescription(minbox->text(), maxbox->text(), addwert->text(), scope()));
}

void Tfverschiebung::start()
{
    bool stay = false;
    const auto count = runGlobalChange(data_, kind_, column_, minbox->text(), maxbox->text(), addwert->text(),
                                       scope(), ui_, &stay);
    if (stay)
        return;
    changes_ = count.value_or(0);
    if (count)
        accept();
    else
        reject();
}

} // namespace zedora
