#include "data/ui/TFEingabeLayout.h"

#include "data/column_block_sources.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zedora {

TFEingabeLayout::TFEingabeLayout(QStringList& layoutLines, QString workspaceDir,
                                 QString currentLayout, Interaction& ui, QWidget* parent)
    : QDialog(parent), lines_(layoutLines), workspace_(std::move(workspaceDir)),
      layout_(std::move(currentLayout)), ui_(ui)
{
    setObjectName(QStringLiteral("FEingabeLayout"));
    setWindowTitle(QStringLiteral("Aussehen der Eingabetabelle"));
    setModal(true);
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    struct Row {
        const char* name;
        const char* caption;
        const char* label;
    };
    const Row rows[] = {
        {"BtnStart", "Start", "Alle Felder, die im Druck vorkommen, sollen auch in der Eingabetabelle stehen"},
        {"BtnFDF", "FDF-Auswahl", "Eingabetabelle aus FDF-Datei (Zedora 4) laden"},
        {"BtnLAY", "LAY-Auswahl", "Eingabetabelle aus anderer Layoutdatei laden"},
        {"BtnAbbruch", "Abbruch", ""},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* b = new QPushButton(QString::fromUtf8(row.caption), this);
        b->setObjectName(QLatin1String(row.name));
        b->setMinimumWidth(120);
        grid->addWidget(b, r, 0);
        grid->addWidget(new QLabel(QString::fromUtf8(row.label), this), r, 1);
        ++r;
    }
    connect(findChild<QPushButton*>(QStringLiteral("BtnStart")), &QPushButton::clicked, this,
            [this] { run(runPrintedFieldsButton(lines_, workspace_)); });
    connect(findChild<QPushButton*>(QStringLiteral("BtnFDF")), &QPushButton::clicked, this,
            [this] { run(runColumnFileButton(lines_, workspace_, ui_)); });
    connect(findChild<QPushButton*>(QStringLiteral("BtnLAY")), &QPushButton::clicked, this,
            [this] { run(runOtherLayoutButton(lines_, layout_, ui_)); });
    connect(findChild<QPushButton*>(QStringLiteral("BtnAbbruch")), &QPushButton::clicked, this,
            &QDialog::reject);
}

void TFEingabeLayout::run(bool changed)
{
    changed_ = changed_ || changed;
    accept();
}

} // namespace zedora
