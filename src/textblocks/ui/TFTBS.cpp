#include "textblocks/ui/TFTBS.h"

#include "textblocks/block_permission.h"
#include "textblocks/text_block_table_model.h"
#include "textblocks/ui/TFAlleTBS.h"
#include "textblocks/ui/TFeditTBS.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "core/settings.h"
#include "core/user_mode.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace zedora {

namespace {

// Topic headings stand out in the scheme's second colour, bold, unless focused.
class TopicCellDelegate : public QStyledItemDelegate {
public:
    TopicCellDelegate(const Settings& settings, QObject* parent) : QStyledItemDelegate(parent), settings_(settings) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString text = index.data().toString();
        const bool focused = option.state & QStyle::State_HasFocus;
        if (!text.startsWith(u'=') || focused) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->fillRect(option.rect, settings_.secondColour);
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(Qt::black);
        painter->drawText(option.rect.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        painter->restore();
    }

private:
    const Settings& settings_;
};

QAction* action(QMenu* menu, const char* name, const QString& text, const QKeySequence& key = {})
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

} // namespace

TFTBS::TFTBS(TextBlockFile& blocks, Settings& settings, UserMode& mode, Interaction& ui,
             std::function<void(QPlainTextEdit&)> spelling, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      blocks_(blocks), settings_(settings), mode_(mode), ui_(ui), spelling_(std::move(spelling))
{
    setObjectName(QStringLiteral("TFTBS"));
    setWindowTitle(QStringLiteral("Textbausteine"));
    setMinimumWidth(390);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(2, 2, 2, 2);
    auto* row = new QHBoxLayout;
    outer->addLayout(row, 1);

    left_ = new QFrame(central);
    left_->setObjectName(QStringLiteral("Panel1"));
    left_->setFixedWidth(settings_.TMBBreite);
    auto* leftLayout = new QVBoxLayout(left_);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    topicsLabel_ = new QLabel(QStringLiteral("Themenbereiche"), left_);
    topicsLabel_->setObjectName(QStringLiteral("Label2"));
    topicsLabel_->setWordWrap(true);
    topics_ = new QListWidget(left_);
    topics_->setObjectName(QStringLiteral("ThemenBox"));
    auto* searchLabel = new QLabel(QStringLiteral("Suche ID ..."), left_);
    search_ = new QLineEdit(left_);
    search_->setObjectName(QStringLiteral("TBSID"));
    search_->setMaxLength(kBlockIdCapacity);
    search_->installEventFilter(this);
    auto* take = new QPushButton(QStringLiteral("In Schülerdatei\nübernehmen"), left_);
    take->setObjectName(QStringLiteral("SpeedButton2"));
    leftLayout->addWidget(topicsLabel_);
    leftLayout->addWidget(topics_, 1);
    leftLayout->addWidget(searchLabel);
    leftLayout->addWidget(search_);
    leftLayout->addWidget(take);
    row->addWidget(left_);

    model_ = new TextBlockTableModel(this);
    grid_ = new QTableView(central);
    grid_->setObjectName(QStringLiteral("FlosGrid"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setItemDelegate(new TopicCellDelegate(settings_, grid_));
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    grid_->setColumnWidth(0, 44);
    grid_->setToolTip(QStringLiteral("Mit <Enter> oder <F2> Bausteine bearbeiten, rechte Maustaste für Löschen und Einfügen"));
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid_->installEventFilter(this);
    row->addWidget(grid_, 1);

    memo_ = new QPlainTextEdit(central);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    memo_->setMaximumHeight(70);
    memo_->installEventFilter(this);
    memo_->viewport()->installEventFilter(this);
    outer->addWidget(memo_);
    setCentralWidget(central);

    buildMenus();

    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TFTBS::currentChanged);
    connect(grid_, &QTableView::doubleClicked, this, &TFTBS::TakeOverBlock);
    connect(take, &QPushButton::clicked, this, &TFTBS::TakeOverBlock);
    connect(search_, &QLineEdit::textEdited, this, &TFTBS::searchEdited);
    connect(search_, &QLineEdit::returnPressed, this, &TFTBS::TakeOverBlock);
    connect(topics_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { chooseTopic(item->text()); });
}

TFTBS::~TFTBS() = default;

void TFTBS::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    connect(action(file, "Neu1", QStringLiteral("&Neu ..."), QKeySequence(Qt::CTRL | Qt::Key_F3)),
            &QAction::triggered, this, &TFTBS::NeuClick);
    connect(action(file, "Oeffnen1", QStringLiteral("Ö&ffnen ..."), QKeySequence(Qt::Key_F3)),
            &QAction::triggered, this, &TFTBS::OeffnenClick);
    connect(action(file, "Speichernunter1", QStringLiteral("Datei speichern &unter ..."),
                   QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &TFTBS::SpeichernUnterClick);
    connect(action(file, "Drucken1", QStringLiteral("&Drucken ..."), QKeySequence(Qt::Key_F9)),
            &QAction::triggered, this, &TFTBS::printRequested);
    file->addSeparator();
    connect(action(file, "Beenden1", QStringLiteral("&Beenden"), QKeySequence(Qt::ALT | Qt::Key_F4)),
            &QAction::triggered, this, &QWidget::hide);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    QAction* current = action(edit, "AktuellenBearbeiten1", QStringLiteral("Aktuellen Textbaustein bearbeiten"));
    QAction* all = action(edit, "AlleBearbeiten1", QStringLiteral("Alle Textbausteine bearbeiten"));
    QAction* add = action(edit, "NeuenEinfuegen1", QStringLiteral("&Neuen Textbaustein einfügen"));
    QAction* remove = action(edit, "Loeschen1", QStringLiteral("Textbaustein &löschen ..."));
    edit->addSeparator();
    QAction* take = action(edit, "Uebernehmen1", QStringLiteral("&Textbaustein übernehmen"));
    connect(current, &QAction::triggered, this, &TFTBS::EditCurrentBlock);
    connect(all, &QAction::triggered, this, &TFTBS::EditAllBlocks);
    connect(add, &QAction::triggered, this, &TFTBS::AddBlock);
    connect(remove, &QAction::triggered, this, &TFTBS::DeleteBlock);
    connect(take, &QAction::triggered, this, &TFTBS::TakeOverBlock);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Optionen"));
    connect(action(options, "BreiteThemen1", QStringLiteral("Breite \"Themenbereiche\" ändern ...")),
            &QAction::triggered, this, &TFTBS::ChangeTopicWidth);

    // The grid's popup.
    auto popup = [this](const char* name, const QString& text, void (TFTBS::*slot)()) {
        auto* a = new QAction(text, grid_);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        grid_->addAction(a);
    };
    popup("PopupBearbeiten", QStringLiteral("Aktuellen Textbaustein bearbeiten"), &TFTBS::EditCurrentBlock);
    popup("PopupAlleBearbeiten", QStringLiteral("Alle Textbausteine bearbeiten"), &TFTBS::EditAllBlocks);
    popup("PopupEinfuegen", QStringLiteral("Textbaustein einfügen"), &TFTBS::AddBlock);
    popup("PopupLoeschen", QStringLiteral("Textbaustein löschen"), &TFTBS::DeleteBlock);
}

bool TFTBS::openFile(const QString& name)
{
    const bool ok = blocks_.open(name);
    afterOpen();
    return ok;
}

void TFTBS::afterOpen(bool chosen)
{
    reload();
    if (!blocks_.isOpen())
        return;
    setWindowTitle(QStringLiteral("Textbausteindatei ") + blocks_.fileName());
    model_->setHeaderData(1, Qt::Horizontal, QStringLiteral("Textbausteine"));
    if (model_->rowCount() > 0) {
        grid_->setCurrentIndex(model_->index(0, 0));
        search_->setText(model_->blocks().first().id);
    }
    search_->setFocus();
    if (chosen)
        emit fileOpened(blocks_.fileName());
}

void TFTBS::reload()
{
    const std::optional<TextBlock> before = currentBlock();
    const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 1;
    model_->setBlocks(blocks_.blocks());
    buildTopics();
    if (before && !selectBlock(before->mark) && model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, column));
    currentChanged();
}

void TFTBS::buildTopics()
{
    topics_->clear();
    const QStringList list = TextBlockFile::topics(model_->blocks());
    topics_->addItems(list);
    topics_->setVisible(!list.isEmpty());
    topicsLabel_->setText(list.isEmpty() ? QStringLiteral("Keine Themenbereiche definiert")
                                         : QStringLiteral("Themenbereiche"));
}

std::optional<TextBlock> TFTBS::currentBlock() const
{
    const QModelIndex i = grid_->currentIndex();
    if (!i.isValid() || i.row() >= model_->blocks().size())
        return std::nullopt;
    return model_->blocks()[i.row()];
}

bool TFTBS::selectBlock(std::uint32_t mark)
{
    const int row = model_->rowOf(mark);
    if (row < 0)
        return false;
    const int column = grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 1;
    grid_->setCurrentIndex(model_->index(row, column));
    grid_->scrollTo(model_->index(row, column));
    return true;
}

void TFTBS::currentChanged()
{
    const std::optional<TextBlock> b = currentBlock();
    memo_->setPlainText(b ? b->text : QString());
}

void TFTBS::searchEdited(const QString& typed)
{
    const QString upper = upperAscii(typed);
    if (upper != typed) {
        const int pos = search_->cursorPosition();
        search_->setText(upper);
        search_->setCursorPosition(pos);
    }
    // The first block at or after the typed ID, in index order.
    const QVector<TextBlock>& list = model_->blocks();
    for (int row = 0; row < list.size(); ++row) {
        if (upperAscii(list[row].id).compare(upper) >= 0) {
            grid_->setCurrentIndex(model_->index(row, 1));
            grid_->scrollTo(model_->index(row, 1));
            return;
        }
    }
}

void TFTBS::chooseTopic(const QString& topic)
{
    const QVector<TextBlock>& list = model_->blocks();
    for (int row = 0; row < list.size(); ++row) {
        if (list[row].text.trimmed() == u'=' + topic.trimmed()) {
            grid_->setCurrentIndex(model_->index(row, 1));
            grid_->scrollTo(model_->index(row, 1), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void TFTBS::showForSearch()
{
    show();
    raise();
    activateWindow();
    search_->clear();
    search_->setFocus();
}

void TFTBS::NeuClick()
{
    if (blocks_.createNewFile())
        afterOpen(true);
}

void TFTBS::OeffnenClick()
{
    if (blocks_.openWithDialog(blocks_.fileName().isEmpty() ? settings_.FloskelDatei : blocks_.fileName()))
        afterOpen(true);
}

void TFTBS::SpeichernUnterClick()
{
    if (blocks_.saveUnderNewName())
        afterOpen(true);
}

void TFTBS::EditCurrentBlock()
{
    const std::optional<TextBlock> b = currentBlock();
    if (!b || !mayChangeBlocks(settings_, mode_, ui_))
        return;
    auto* dialog = new TFeditTBS(*b, spelling_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const std::uint32_t mark = b->mark;
    connect(dialog, &QDialog::accepted, this, [this, dialog, mark, block = *b] {
        const bool stored = blocks_.update(block, dialog->id(), dialog->content());
        // Also when refused: the file may have been replaced meanwhile.
        reload();
        if (stored)
            selectBlock(mark);
    });
    dialog->open();
}

void TFTBS::EditAllBlocks()
{
    if (!blocks_.isOpen() || !mayChangeBlocks(settings_, mode_, ui_))
        return;
    if (!blocks_.exclusiveUseTest())
        return;
    auto* dialog = new TFAlleTBS(blocks_.editorText(), ui_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setSaver([this](const QString& text) {
        const bool saved = blocks_.replaceAll(text);
        afterOpen();
        return saved;
    });
    dialog->open();
}

void TFTBS::AddBlock()
{
    if (!blocks_.isOpen() || !mayChangeBlocks(settings_, mode_, ui_))
        return;
    if (const std::optional<std::uint32_t> mark = blocks_.addEmpty()) {
        reload();
        selectBlock(*mark);
    }
}

void TFTBS::DeleteBlock()
{
    const std::optional<TextBlock> b = currentBlock();
    if (!b || !mayChangeBlocks(settings_, mode_, ui_))
        return;
    if (ui_.ask(QStringLiteral("Textbaustein ") + b->id.trimmed() + QStringLiteral(" löschen?\n"),
                Buttons::YesNoCancel) != Answer::Yes)
        return;
    const int row = grid_->currentIndex().row();
    const bool removed = blocks_.remove(*b);
    reload();
    if (removed && model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(std::min(row, model_->rowCount() - 1), 1));
}

void TFTBS::TakeOverBlock()
{
    if (const std::optional<TextBlock> b = currentBlock())
        emit insertRequested(*b);
}

void TFTBS::ChangeTopicWidth()
{
    const QString preset = QString::number(left_->width());
    const std::optional<QString> answer = ui_.input(QStringLiteral("Breite in Bildschirmpunkten"),
                                                    QStringLiteral("Wert zwischen 100 und 400"), preset);
    if (!answer || *answer == preset)
        return;
    bool ok = false;
    const int width = answer->trimmed().toInt(&ok);
    if (!ok || width < 100 || width > 400)
        return;
    settings_.TMBBreite = width;
    left_->setFixedWidth(width);
    fitColumns();
}

bool TFTBS::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == search_ && event->type() == QEvent::MouseButtonPress) {
        search_->clear();
    } else if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
            EditCurrentBlock();
            return true;
        }
    } else if (watched == memo_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditCurrentBlock();
            return true;
        }
    } else if (watched == memo_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        EditCurrentBlock();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFTBS::fitColumns()
{
    grid_->setColumnWidth(1, std::max(40, width() - left_->width() - 86));
}

void TFTBS::storeGeometry()
{
    if (!activated_)
        return;
    const QRect g = geometry();
    settings_.TBSLinks = g.x();
    settings_.TBSOben = g.y();
    settings_.TBSBreite = g.width();
    settings_.TBSHoehe = g.height();
}

void TFTBS::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitColumns();
    storeGeometry();
}

void TFTBS::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    storeGeometry();
}

void TFTBS::refreshIfReplaced()
{
    if (blocks_.reopenIfReplaced())
        afterOpen();
}

void TFTBS::changeEvent(QEvent* event)
{
    // Coming back to the window shows a file another step put in place.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && activated_)
        refreshIfReplaced();
    QMainWindow::changeEvent(event);
}

void TFTBS::showEvent(QShowEvent* event)
{
    if (activated_)
        refreshIfReplaced();
    if (!activated_) {
        setGeometry(settings_.TBSLinks, settings_.TBSOben, std::max(390, settings_.TBSBreite), settings_.TBSHoehe);
        activated_ = true;
        if (!blocks_.isOpen())
            openFile(settings_.FloskelDatei);
        else
            afterOpen();
    }
    QMainWindow::showEvent(event);
}

} // namespace zedora

namespace zedora {

void TFTBS::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

} // namespace zedora
