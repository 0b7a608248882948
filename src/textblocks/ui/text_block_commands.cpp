#include "textblocks/ui/text_block_commands.h"

#include "textblocks/spell_checker.h"
#include "textblocks/ui/TFRechtschreibung.h"
#include "textblocks/ui/TFTBS.h"
#include "textblocks/ui/block_insertion.h"
#include "textblocks/ui/length_test_display.h"
#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/help_line.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "core/ui/progress_panel.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "data/student_table_model.h"
#include "print/code_meanings.h"
#include "print/listing_printouts.h"
#include "print/placeholders.h"
#include "print/print_metrics.h"
#include "print/student_print_records.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGroupBox>
#include <QRegularExpression>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace zedora {

namespace {

constexpr int kTablePage = 0;
constexpr int kMaskPage = 1;

} // namespace

TextBlockCommands::TextBlockCommands(MainFrame& frame) : QObject(&frame.window()), frame_(frame)
{
    setObjectName(QStringLiteral("textBlockCommands"));
    AppContext& c = frame.context();
    file_ = std::make_unique<TextBlockFile>(c.workspace, *c.files, c.ui);
    spell_ = SpellChecker::openGerman(SpellChecker::personalListPath(c.workspace));
    metrics_ = std::make_unique<PrintMetrics>();
    length_ = new LengthTestDisplay(c.settings, frame.progressPanel(), *metrics_, this);

    installBlockExpansionKey(frame.window(), [this] { return blockFile(); },
                             [this](const QString& t) { return fillForCurrentStudent(t); }, c.ui);
    connectMenu();
    connectMemoPanel();
    // A zip import or a reorganisation ends by opening the student file;
    // the block file may have been replaced on the way.
    heldId_ = c.heldTables.add([this] { file_->letGo(); },
                               [this] {
                                   if (file_->takeBack() && window_)
                                       window_->showFileAgain();
                               });
    connect(&frame.studentFile(), &CurrentStudentFile::opened, this, [this] {
        if (window_)
            window_->refreshIfReplaced();
        else
            file_->reopenIfReplaced();
    });
}

TextBlockCommands::~TextBlockCommands()
{
    frame_.context().heldTables.remove(heldId_);
    // The window works on the block file held here.
    delete window_.data();
}

QString TextBlockCommands::currentFileName() const
{
    const QString assigned = frame_.studentFile().assignments().TBSdatei.trimmed();
    return assigned.isEmpty() ? frame_.context().settings.FloskelDatei : assigned;
}

TextBlockFile* TextBlockCommands::blockFile()
{
    if (!file_->isOpen())
        file_->open(currentFileName());
    return file_->isOpen() ? file_.get() : nullptr;
}

TFTBS& TextBlockCommands::blockWindow()
{
    if (!window_) {
        AppContext& c = frame_.context();
        std::function<void(QPlainTextEdit&)> spelling;
        if (spell_)
            spelling = [this](QPlainTextEdit& memo) { checkSpelling(memo); };
        c.settings.FloskelDatei = currentFileName();
        // A window of its own that closes with the main window.
        window_ = new TFTBS(*file_, c.settings, c.userMode, c.ui, spelling, &frame_.window());
        for (const auto& [name, code] : {std::pair{"SpeedButton2", "078"}, std::pair{"TBSID", "079"},
                                         std::pair{"FlosGrid", "080"}, std::pair{"Memo1", "081"}}) {
            if (QWidget* control = window_->findChild<QWidget*>(QLatin1String(name)))
                frame_.helpLine().attach(control, QLatin1String(code));
        }
        connect(window_, &TFTBS::insertRequested, this, &TextBlockCommands::insertFromWindow);
        connect(window_, &TFTBS::printRequested, this, &TextBlockCommands::printBlocks);
        connect(window_, &TFTBS::fileOpened, this, &TextBlockCommands::blockFileOpened);
        // Closing the window saves a text changed while it was open.
        connect(window_, &TFTBS::hidden, this, [this] {
            if (memoChanged_)
                frame_.studentFile().table().savePending();
        });
    }
    return *window_;
}

void TextBlockCommands::chooseBlockFile()
{
    blockWindow().OeffnenClick();
}

void TextBlockCommands::showBlockWindow()
{
    blockWindow().showForSearch();
}

void TextBlockCommands::printBlocks()
{
    if (!file_->isOpen())
        return;
    QVector<std::pair<QString, QString>> blocks;
    for (const TextBlock& b : file_->blocks())
        blocks.append({b.id, b.text});
    const ListJob job = listingJob(textBlockListing(frame_.context().settings, file_->fileName(), blocks));
    // The window stays on top of everything: out of the preview's way.
    const bool shown = window_ && window_->isVisible();
    if (shown)
        window_->hide();
    frame_.showListPrintout(job);
    if (shown && window_)
        window_->show();
}

bool TextBlockCommands::blockWindowVisible() const
{
    return window_ && window_->isVisible();
}

void TextBlockCommands::blockFileOpened(const QString& name)
{
    AppContext& c = frame_.context();
    c.settings.FloskelDatei = name;
    if (frame_.studentFile().table().isOpen())
        frame_.studentFile().assignments().TBSdatei = name;
    if (auto* status = frame_.window().findChild<QToolButton*>(QStringLiteral("spTBS")))
        status->setText(name);
}

QString TextBlockCommands::fillForCurrentStudent(const QString& text)
{
    AppContext& c = frame_.context();
    StudentPrintRecords record(frame_.studentFile().table());
    record.followCurrentRow();
    AbbreviationMeanings meanings(frame_.abbreviations());
    PlaceholderContext context;
    context.settings = &c.settings;
    context.record = frame_.studentFile().table().isEmpty() ? nullptr : &record;
    context.codes = &meanings;
    context.ui = &c.ui;
    return replacePlaceholders(text, context);
}

void TextBlockCommands::insertFromWindow(const TextBlock& block)
{
    Interaction& ui = frame_.context().ui;
    const QString text = fillForCurrentStudent(block.text) + u' ';
    QGuiApplication::clipboard()->setText(text);
    QWidget& main = frame_.window();
    main.raise();
    main.activateWindow();

    const int page = frame_.pages().currentIndex();
    if (page == kMaskPage) {
        QWidget* focused = main.focusWidget();
        if (isBlockMemo(focused) || isCourseNameField(focused))
            pasteAtCaret(focused, text);
        return;
    }
    if (page != kTablePage)
        return;
    QTableView& grid = frame_.entryGrid();
    const ColumnSpec* column = frame_.entryModel().column(grid.currentIndex().column());
    if (!column)
        return;
    StudentTable& table = frame_.studentFile().table();
    const int field = table.findField(column->field);
    if (column->kind == FieldKind::Average || column->kind == FieldKind::MasterData
        || column->kind == FieldKind::Identity) {
        ui.info(QStringLiteral("Dieses Feld (z. B. Stammdaten) kann nicht mit\nTextbausteinen verändert werden!"));
    } else if (column->kind == FieldKind::AssessmentText) {
        // The text field under the table is bound to this column already.
        if (QPlainTextEdit* memo = tableMemo(); memo && memo->isVisibleTo(&main)) {
            memo->setFocus();
            pasteAtCaret(memo, text);
        }
        return;
    } else if (field < 0 || table.isReadOnly(field) || table.isEmpty()) {
        ui.info(QStringLiteral("Stammdaten können nicht mit\nTextbausteinen verändert werden!"));
    } else {
        table.edit();
        if (table.setValue(field, text))
            table.savePending();
    }
    grid.setFocus();
}

void TextBlockCommands::checkSpelling(QPlainTextEdit& memo)
{
    if (!spell_)
        return;
    spell_->reloadPersonalList();
    // The student's own names are right in the student's text.
    QStringList names;
    if (const StudentTable& table = frame_.studentFile().table(); table.isOpen() && !table.isEmpty()) {
        static const QRegularExpression notLetter(QStringLiteral("[^\\p{L}'-]+"));
        for (const char* field : {"VORNAME", "NAME"})
            names += table.value(QLatin1String(field)).split(notLetter, Qt::SkipEmptyParts);
    }
    spell_->setTextWords(names);
    QSet<QString> ids;
    if (TextBlockFile* f = blockFile()) {
        for (const TextBlock& b : f->blocks())
            ids.insert(b.id);
    }
    zedora::checkSpelling(memo, *spell_, frame_.context().ui, ids);
}

void TextBlockCommands::printTextBlockColumn()
{
    const ColumnSpec* column = frame_.entryModel().column(frame_.entryGrid().currentIndex().column());
    if (!column || column->kind != FieldKind::AssessmentText)
        frame_.context().ui.error(QStringLiteral("Aktuelle Spalte ist keine Textblockspalte!\n\n"));
}

void TextBlockCommands::connectMenu()
{
    const MainMenu& menu = frame_.menu();
    for (const char* name : {"textBlockWindow", "MEin4"}) {
        if (QAction* a = menu.action(QLatin1String(name))) {
            frame_.adminCommands().setAvailable(a, true);
            connect(a, &QAction::triggered, this, &TextBlockCommands::showBlockWindow);
        }
    }
    if (auto* button = frame_.iconBar().findChild<QToolButton*>(QStringLiteral("SpeedButton2"))) {
        frame_.adminCommands().setAvailable(button, true);
        connect(button, &QToolButton::clicked, this, &TextBlockCommands::showBlockWindow);
    }
    if (auto* status = frame_.window().findChild<QToolButton*>(QStringLiteral("spTBS")))
        connect(status, &QToolButton::clicked, this, &TextBlockCommands::chooseBlockFile);
    // The file list's own menu offers the same beside "&Layout zuweisen".
    if (auto* list = frame_.window().findChild<QListWidget*>(QStringLiteral("dateienbox"))) {
        if (auto* popup = list->findChild<QMenu*>()) {
            QAction* item = popup->addAction(QStringLiteral("&Textbausteindatei zuweisen"));
            item->setObjectName(QStringLiteral("Textbausteindateizuweisen1"));
            connect(item, &QAction::triggered, this, &TextBlockCommands::chooseBlockFile);
        }
    }
    if (QAction* a = menu.action(QStringLiteral("printTextBlockColumn"))) {
        frame_.adminCommands().setAvailable(a, true);
        connect(a, &QAction::triggered, this, &TextBlockCommands::printTextBlockColumn);
    }
    // A double click into a column that takes no text editor inserts the
    // window's block while the window is shown.
    connect(&frame_.entryGrid(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const ColumnSpec* c = frame_.entryModel().column(index.column());
        if (blockWindowVisible() && c && c->kind != FieldKind::AssessmentText && frame_.pages().currentIndex() == kTablePage) {
            if (const std::optional<TextBlock> b = window_->currentBlock())
                insertFromWindow(*b);
        }
    });
    for (int i = 1; i <= 8; ++i) {
        if (QWidget* course = frame_.window().findChild<QWidget*>(QStringLiteral("wpf%1").arg(i * 10 + 1)))
            course->installEventFilter(this);
    }
}

bool TextBlockCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && blockWindowVisible()) {
        auto* field = qobject_cast<QWidget*>(watched);
        const ColumnSpec* c = frame_.entryModel().column(frame_.entryGrid().currentIndex().column());
        const std::optional<TextBlock> b = window_->currentBlock();
        if (isCourseNameField(field) && b && !(c && c->kind == FieldKind::AssessmentText)) {
            field->setFocus();
            pasteAtCaret(field, fillForCurrentStudent(b->text) + u' ');
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QPlainTextEdit* TextBlockCommands::tableMemo() const
{
    return memo_;
}

void TextBlockCommands::connectMemoPanel()
{
    AppContext& c = frame_.context();
    memo_ = frame_.window().findChild<QPlainTextEdit*>(QStringLiteral("DBMemo1"));
    QPlainTextEdit* memo = memo_;
    QWidget* panel = memo ? memo->parentWidget() : &frame_.window();
    while (panel && panel->objectName() != QLatin1String("EdTB") && panel != &frame_.window())
        panel = panel->parentWidget();
    if (!panel)
        panel = &frame_.window();
    if (auto* spelling = panel->findChild<QToolButton*>(QStringLiteral("SpeedButton6"))) {
        // Without a German dictionary the button is not offered.
        spelling->setVisible(bool(spell_));
        spelling->setEnabled(bool(spell_));
        connect(spelling, &QToolButton::clicked, this, [this] {
            if (QPlainTextEdit* m = tableMemo())
                checkSpelling(*m);
        });
    }
    if (auto* lengthTest = panel->findChild<QPushButton*>(QStringLiteral("bitbtn1"))) {
        lengthTest->setEnabled(true);
        lengthTest->setText(LengthTestDisplay::buttonText(c.settings.MitLaengentest));
        connect(lengthTest, &QPushButton::clicked, this, [this, lengthTest] {
            length_->toggle(*lengthTest);
            if (frame_.pages().currentIndex() == kTablePage)
                frame_.entryGrid().setFocus();
        });
    }
    connect(qApp, &QApplication::focusChanged, this, &TextBlockCommands::focusMoved);
    if (!memo)
        return;
    connect(memo, &QPlainTextEdit::textChanged, this, [this] { memoChanged_ = true; });
    // Entering a column of the grid starts a new text.
    connect(frame_.entryGrid().selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
            [this] { memoChanged_ = false; });
}

void TextBlockCommands::focusMoved(QWidget* old, QWidget* now)
{
    // Another window (the block window, a message) leaves the text entered;
    // a closed main window has nothing to count.
    QWidget& main = frame_.window();
    if (!now || !main.isVisible() || now->window() != &main)
        return;
    if (auto* memo = qobject_cast<QPlainTextEdit*>(now); memo && isBlockMemo(memo))
        memoEntered(*memo);
    else if (old && old == length_->memo())
        length_->leave();
}

void TextBlockCommands::memoEntered(QPlainTextEdit& memo)
{
    if (!calibrated_) {
        metrics_->calibrate();
        calibrated_ = true;
    }
    QString field;
    if (&memo == memo_) {
        const ColumnSpec* column = frame_.entryModel().column(frame_.entryGrid().currentIndex().column());
        if (column && column->kind == FieldKind::AssessmentText)
            field = column->field;
    } else if (auto* box = qobject_cast<QGroupBox*>(memo.parentWidget())) {
        // The mask names each text's field in its frame: "caption (FIELD)".
        static const QRegularExpression named(QStringLiteral("\\(([A-Za-z0-9_]+)\\)\\s*$"));
        field = named.match(box->title()).captured(1);
    }
    if (field.isEmpty())
        return;
    const LoadedLayout& layout = frame_.studentFile().layout();
    length_->enter(&memo, field, layout.path, layout.lines);
}

void installTextBlocks(MainFrame& frame)
{
    new TextBlockCommands(frame);
}

} // namespace zedora
