#include "print/ui/layout_column_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zedora {

namespace {

enum VisibleColumn { Variable = 0, Bedeutung, Breite, Ohne };

QTableWidget* table(QWidget* parent, const char* name, const QStringList& captions, const QList<int>& widths)
{
    auto* t = new QTableWidget(0, int(captions.size()), parent);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels(captions);
    for (int c = 0; c < widths.size(); ++c)
        t->setColumnWidth(c, widths[c]);
    // The meaning takes the room the window gives.
    t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    t->horizontalHeader()->setHighlightSections(false);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(20);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    return t;
}

QTableWidgetItem* fixedItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QPushButton* arrow(QWidget* parent, QLayout* layout, const char* name, const QString& text, const QString& hint)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setFixedWidth(36);
    layout->addWidget(b);
    return b;
}

} // namespace

LayoutColumnPage::LayoutColumnPage(std::vector<AvailableField> fields, Interaction& ui, QWidget* parent)
    : QWidget(parent), fields_(std::move(fields)), ui_(ui)
{
    auto* availableBox = new QGroupBox(QStringLiteral(" Verfügbare Eingabefelder "), this);
    faAllx = table(availableBox, "faAllx",
                   {QStringLiteral("Variable"), QStringLiteral("Bedeutung"), QStringLiteral("DB-L"),
                    QStringLiteral("Kng"), QStringLiteral("SpB")},
                   {70, 150, 40, 35, 35});
    faAllx->setEditTriggers(QAbstractItemView::NoEditTriggers);
    (new QVBoxLayout(availableBox))->addWidget(faAllx);

    auto* visibleBox = new QGroupBox(QStringLiteral(" Sichtbar in Eingabetabelle /-maske "), this);
    FaIstx = table(visibleBox, "FaIstx",
                   {QStringLiteral("Variable"), QStringLiteral("Bedeutung"), QStringLiteral("Sp.-Br."),
                    QStringLiteral("nü")},
                   {70, 200, 50, 30});
    FaIstx->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                            | QAbstractItemView::AnyKeyPressed);
    FaIstx->setToolTip(QStringLiteral("\"nü\": Eingaben dieser Spalte werden nicht mit den Kürzeln geprüft"));
    (new QVBoxLayout(visibleBox))->addWidget(FaIstx);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    connect(arrow(this, arrows, "BtnAufnehmen", QStringLiteral("→"), QStringLiteral("Feld in die Eingabetabelle aufnehmen")),
            &QPushButton::clicked, this, [this] { addSelected(); });
    connect(arrow(this, arrows, "BtnEntfernen", QStringLiteral("←"), QStringLiteral("Spalte aus der Eingabetabelle entfernen")),
            &QPushButton::clicked, this, [this] { removeSelected(); });
    arrows->addSpacing(16);
    connect(arrow(this, arrows, "BtnHoch", QStringLiteral("↑"), QStringLiteral("Spalte nach vorne")), &QPushButton::clicked,
            this, [this] { moveSelected(-1); });
    connect(arrow(this, arrows, "BtnRunter", QStringLiteral("↓"), QStringLiteral("Spalte nach hinten")),
            &QPushButton::clicked, this, [this] { moveSelected(1); });
    arrows->addStretch();

    appearance = new QPushButton(QStringLiteral("Aussehen der Eingabetabelle ..."), this);
    appearance->setObjectName(QStringLiteral("BtnAussehen"));
    connect(appearance, &QPushButton::clicked, this, [this] {
        if (onAppearance)
            onAppearance();
    });

    auto* grids = new QHBoxLayout;
    grids->addWidget(availableBox, 1);
    grids->addLayout(arrows);
    grids->addWidget(visibleBox, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(appearance);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids, 1);
    layout->addLayout(bottom);

    connect(FaIstx, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { cellEdited(item); });
    connect(faAllx, &QTableWidget::cellDoubleClicked, this, [this](int, int) { addSelected(); });
    refill(-1);
}

void LayoutColumnPage::setFields(std::vector<AvailableField> fields)
{
    fields_ = std::move(fields);
    refill(FaIstx->currentRow());
}

void LayoutColumnPage::setColumns(std::vector<EditorColumn> columns)
{
    columns_ = std::move(columns);
    refill(-1);
}

void LayoutColumnPage::refill(int selectRow)
{
    filling_ = true;
    QSet<QString> shown;
    FaIstx->setRowCount(int(columns_.size()));
    for (int r = 0; r < int(columns_.size()); ++r) {
        const EditorColumn& c = columns_[r];
        shown.insert(c.name);
        FaIstx->setItem(r, Variable, fixedItem(c.name));
        FaIstx->setItem(r, Bedeutung, new QTableWidgetItem(c.caption));
        FaIstx->setItem(r, Breite, new QTableWidgetItem(c.width));
        FaIstx->setItem(r, Ohne, new QTableWidgetItem(c.mark));
    }
    // A field shows once in the entry table: the list offers the others.
    const int keepAvailable = faAllx->currentRow();
    faAllx->setRowCount(0);
    for (int i = 0; i < int(fields_.size()); ++i) {
        const AvailableField& f = fields_[i];
        if (shown.contains(f.name))
            continue;
        const int r = faAllx->rowCount();
        faAllx->insertRow(r);
        auto* name = fixedItem(f.name);
        name->setData(Qt::UserRole, i);
        faAllx->setItem(r, 0, name);
        faAllx->setItem(r, 1, fixedItem(f.meaning));
        faAllx->setItem(r, 2, fixedItem(QString::number(f.dbLength)));
        faAllx->setItem(r, 3, fixedItem(QString::number(f.kind)));
        faAllx->setItem(r, 4, fixedItem(QString::number(f.columnWidth)));
    }
    if (faAllx->rowCount() > 0)
        faAllx->setCurrentCell(std::clamp(keepAvailable, 0, faAllx->rowCount() - 1), 0);
    if (selectRow >= 0 && selectRow < FaIstx->rowCount())
        FaIstx->setCurrentCell(selectRow, Variable);
    filling_ = false;
}

void LayoutColumnPage::changed(int selectRow)
{
    refill(selectRow);
    if (onChanged)
        onChanged();
}

void LayoutColumnPage::addSelected()
{
    const int r = faAllx->currentRow();
    if (r < 0 || !faAllx->item(r, 0))
        return;
    const int field = faAllx->item(r, 0)->data(Qt::UserRole).toInt();
    // The new column goes behind the selected one, else at the end.
    const int current = FaIstx->currentRow();
    const int at = current >= 0 ? current + 1 : int(columns_.size());
    changed(addColumn(columns_, fields_[field], at));
}

void LayoutColumnPage::removeSelected()
{
    const int r = FaIstx->currentRow();
    if (r >= 0 && removeColumn(columns_, r, ui_))
        changed(std::min(r, int(columns_.size()) - 1));
}

void LayoutColumnPage::moveSelected(int delta)
{
    const int r = FaIstx->currentRow();
    if (r < 0)
        return;
    const int to = moveColumn(columns_, r, delta);
    if (to != r)
        changed(to);
}

void LayoutColumnPage::cellEdited(QTableWidgetItem* item)
{
    if (filling_ || !item)
        return;
    const int r = item->row();
    if (r < 0 || r >= int(columns_.size()))
        return;
    EditorColumn& c = columns_[r];
    QString* target = nullptr;
    QString clean;
    switch (item->column()) {
    case Bedeutung:
        target = &c.caption;
        clean = cleanCaption(item->text());
        break;
    case Breite:
        target = &c.width;
        clean = cleanWidth(item->text());
        break;
    case Ohne:
        target = &c.mark;
        clean = cleanMark(item->text());
        break;
    default:
        return;
    }
    if (clean != item->text()) {
        filling_ = true;
        item->setText(clean);
        filling_ = false;
    }
    if (*target == clean)
        return;
    *target = clean;
    if (onChanged)
        onChanged();
}

} // namespace zedora
