#include "periphery/ui/Tdoku.h"

#include "base/interaction.h"
#include "core/settings.h"
#include "periphery/document_archive.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zedora {

namespace {

void addNodes(QTreeWidgetItem* parent, QTreeWidget* tree, const QList<ArchiveNode>& nodes)
{
    for (const ArchiveNode& node : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, node.text);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        addNodes(item, tree, node.children);
    }
}

} // namespace

Tdoku::Tdoku(const QString& workspace, const Settings& settings, Interaction& ui,
             std::function<void(const QString&)> open, QWidget* parent)
    : QDialog(parent), folder_(documentFolder(workspace)), ui_(ui), open_(std::move(open))
{
    setObjectName(QStringLiteral("Tdoku"));
    setWindowTitle(QStringLiteral("Dokumenten Archiv"));
    resize(480, 520);
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QLabel(folder_.toLower(), this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAutoFillBackground(true);
    panel->setFrameShape(QFrame::Panel);
    panel->setMargin(6);
    QPalette pp = panel->palette();
    pp.setColor(QPalette::Window, settings.firstColour);
    panel->setPalette(pp);
    layout->addWidget(panel);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    tree_->setToolTip(QStringLiteral("PDF-Datei wählen, aufrufen mit Doppelklick oder ENTER"));
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette tp = tree_->palette();
    tp.setColor(QPalette::Base, settings.secondColour);
    tree_->setPalette(tp);
    layout->addWidget(tree_, 1);
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setAutoDefault(false);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        choose(item);
        openSelected();
    });
    fill();
}

void Tdoku::fill()
{
    BusyScope busy(ui_);
    tree_->clear();
    addNodes(nullptr, tree_, listDocumentArchive(folder_));
}

void Tdoku::choose(QTreeWidgetItem* item)
{
    selected_.clear();
    if (!item)
        return;
    QStringList texts;
    for (QTreeWidgetItem* i = item; i; i = i->parent())
        texts.prepend(i->text(0));
    const QString path = documentPath(folder_, texts);
    if (QFileInfo(path).isFile())
        selected_ = path;
}

void Tdoku::openSelected()
{
    if (!selected_.isEmpty() && QFileInfo(selected_).isFile() && open_)
        open_(selected_);
}

void Tdoku::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the document instead of closing the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(tree_->currentItem());
        openSelected();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zedora
