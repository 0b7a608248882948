#include "app/ui/TFMain.h"

#include "entry/ui/field_entry.h"
#include "core/app_context.h"
#include "core/app_version.h"
#include "core/ui/admin_commands.h"
#include "core/ui/help_line.h"
#include "core/ui/main_menu.h"
#include "app/ui/icon_bar.h"
#include "app/workspace_setup.h"
#include "base/ansi_text.h"
#include "base/deferring_interaction.h"
#include "base/interaction.h"
#include "base/dates.h"
#include "base/directory_conventions.h"
#include "base/path_resolver.h"
#include "data/current_student_file.h"
#include "entry/abbreviation_tables.h"
#include "entry/storable_text.h"
#include "entry/student_table_checks.h"
#include "app/ui/TFEinstell.h"
#include "entry/ui/mask_page.h"
#include "entry/ui/memo_panel.h"
#include "core/ui/progress_panel.h"
#include "entry/ui/entry_table_features.h"
#include "entry/ui/entry_grid_delegate.h"
#include "entry/ui/column_information.h"
#include "entry/ui/master_data_commands.h"
#include "print/code_meanings.h"
#include "print/layout_model.h"
#include "print/layout_reader.h"
#include "print/page_renderer.h"
#include "print/print_job.h"
#include "print/print_metrics.h"
#include "print/student_print_records.h"
#include "print/ui/TFVorschau.h"
#include "data/student_table_model.h"
#include "data/column_block_sources.h"
#include "data/ui/TFEingabeLayout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QWheelEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QScreen>
#include <QTabBar>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {
namespace {

QFrame* panel(const char* name, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setAutoFillBackground(true);
    return f;
}

QToolButton* toolButton(const char* name, const QString& text, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(hint.isEmpty() ? text : hint);
    b->setAutoRaise(true);
    return b;
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

void fill(QWidget* w, const QColor& colour)
{
    if (!w)
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

TFMain::TFMain(AppContext& context, PasswordPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), context_(context), prompts_(prompts),
      admin_(std::make_unique<AdminCommands>()),
      file_(std::make_unique<CurrentStudentFile>(context)),
      abbreviations_(std::make_unique<AbbreviationTables>(context.workspace)),
      checkMessages_(std::make_unique<DeferringInteraction>(context.ui))
{
    setObjectName(QStringLiteral("FMain"));
    FormCreate();
}

TFMain::~TFMain()
{
    // The preview refers to the metrics, layout and records held here.
    delete preview_;
    context_.ui.setProgressDisplay(nullptr);
}

void TFMain::FormCreate()
{
    setWindowTitle(QLatin1String(kProgramCaption));
    resize(1280, 800);

    menu_ = std::make_unique<MainMenu>(buildMainMenu(*this, *admin_));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("zentral"));
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    IconBar bar = buildIconBar(central, *admin_);
    iconBar_ = bar.panel;
    outer->addWidget(iconBar_);
    sjbox_ = new QComboBox(iconBar_);
    sjbox_->setObjectName(QStringLiteral("sjbox"));
    sjbox_->setToolTip(QStringLiteral("Datenverzeichnis (Schulhalbjahr)"));
    sjbox_->setMinimumWidth(120);
    if (bar.schoolYearSlot)
        bar.schoolYearSlot->addWidget(sjbox_);
    if (QAction* toggle = menu_->action(QStringLiteral("Leiste")))
        attachIconBarToggle(*toggle, *iconBar_);
    outer->addWidget(createNavigationPanel());

    auto* middle = new QWidget(central);
    auto* middleLayout = new QHBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->setSpacing(0);
    middleLayout->addWidget(createFilePanel());
    allreg_ = new QTabWidget(middle);
    allreg_->setObjectName(QStringLiteral("allreg"));
    allreg_->setDocumentMode(true);
    middleLayout->addWidget(allreg_, 1);
    outer->addWidget(middle, 1);
    createPages();

    outer->addWidget(createStatusPanel());
    setCentralWidget(central);

    helpLine_ = new HelpLine(*hilfe_, context_.helpTexts, this);
    connectCommands();
    connectFileCommands();
    connectSettingsCommands();
    connectNavigation();
    connectViewCommands();
    installEntryTableFeatures(*this);
    file_->table().setInputTakeOver([this] { takeOverInput(); });
    if (EntryGridDelegate* editors = cellEditors())
        connect(editors, &EntryGridDelegate::inputChanged, this, &TFMain::updateSaveButtons);
    installColumnInformation(*this);
    installMasterData(*this);
    connectEntryDirection();
    connectMemoPanel();
    setGridFonts(8, 9);
}

QWidget* TFMain::createNavigationPanel()
{
    QFrame* p5 = panel("Panel5", this);
    auto* l = new QHBoxLayout(p5);
    l->setContentsMargins(6, 3, 6, 3);
    l->setSpacing(2);
    struct Nav {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* hint;
    };
    const Nav nav[] = {{"erster", QStyle::SP_MediaSkipBackward, "Erster Schüler"},
                       {"zur", QStyle::SP_MediaSeekBackward, "Vorheriger Schüler"},
                       {"vor", QStyle::SP_MediaSeekForward, "Nächster Schüler"},
                       {"letzter", QStyle::SP_MediaSkipForward, "Letzter Schüler"}};
    for (const Nav& n : nav) {
        QToolButton* b = toolButton(n.name, QString(), QString::fromUtf8(n.hint), p5);
        b->setIcon(style()->standardIcon(n.icon));
        b->setEnabled(false);
        l->addWidget(b);
    }
    QToolButton* info = toolButton("SpeedButton12", QString(), QStringLiteral("Spalteninformation"), p5);
    info->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    info->setEnabled(false);
    l->addWidget(info);
    for (const auto& [name, text] : {std::pair{"btnabbr", "Abbruch"}, std::pair{"btnspei", "Speichern"}}) {
        QToolButton* b = toolButton(name, QLatin1String(text), QString(), p5);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setEnabled(false);
        l->addWidget(b);
    }
    QToolButton* refresh = toolButton("SpeedButton13", QString(), QStringLiteral("Tabellenrefresh"), p5);
    refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    refresh->setEnabled(false);
    l->addWidget(refresh);
    l->addSpacing(12);
    QLabel* name = lName_ = label("L_name", QString(), p5);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    name->setFont(bold);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->addWidget(name, 1);
    QLabel* cls = klassenbez_ = label("klassenbez", QString(), p5);
    cls->setFont(bold);
    l->addWidget(cls);
    l->addSpacing(12);
    lKlasse_ = label("L_Klasse", QString(), p5);
    l->addWidget(lKlasse_);
    return p5;
}

QWidget* TFMain::createFilePanel()
{
    panel7_ = panel("Panel7", this);
    panel7_->setMinimumWidth(170);
    panel7_->setMaximumWidth(220);
    auto* l = new QVBoxLayout(panel7_);
    l->setContentsMargins(4, 4, 4, 4);
    QFrame* p11 = panel("Panel11", panel7_);
    auto* l11 = new QVBoxLayout(p11);
    l11->setContentsMargins(4, 4, 4, 4);
    QLabel* title = label("Panel11Text", QStringLiteral("Schülerdatei"), p11);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    l11->addWidget(title);
    l->addWidget(p11);
    dateienbox_ = new QListWidget(panel7_);
    dateienbox_->setObjectName(QStringLiteral("dateienbox"));
    l->addWidget(dateienbox_, 1);
    return panel7_;
}

void TFMain::createPages()
{
    const char* const pages[][2] = {{"reg0", "Eingabe in Tabelle"},
                                    {"reg1", "Eingabe in Maske"},
                                    {"reg2", "Eingabe - Stammdaten"}};
    for (const auto& p : pages) {
        auto* page = new QWidget(allreg_);
        page->setObjectName(QLatin1String(p[0]));
        allreg_->addTab(page, QLatin1String(p[1]));
    }
    createEntryGrids(allreg_->widget(0));
    auto* maskLayout = new QVBoxLayout(allreg_->widget(1));
    maskLayout->setContentsMargins(4, 4, 4, 4);
    mask_ = new MaskPageView(file_->table(), context_.settings, allreg_->widget(1));
    mask_->setObjectName(QStringLiteral("maske"));
    maskLayout->addWidget(mask_);
    allreg_->tabBar()->setMinimumHeight(25);
    allreg_->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 200px; min-height: 25px; }"));
}

void TFMain::createEntryGrids(QWidget* page)
{
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    createSingleViewPanel(page);
    v->addWidget(panel19_);
    // The frame around the grids shows the table lock: red locked, lime free.
    QFrame* frame = panel("Panel15", page);
    auto* l = new QHBoxLayout(frame);
    l->setContentsMargins(2, 2, 2, 2);
    l->setSpacing(0);
    v->addWidget(frame, 1);
    const auto makeGrid = [page](const char* name) {
        auto* g = new QTableView(page);
        g->setObjectName(QLatin1String(name));
        g->setSelectionMode(QAbstractItemView::SingleSelection);
        g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
        g->setAlternatingRowColors(true);
        return g;
    };
    grid2_ = makeGrid("DBGrid2");
    grid2_->setSelectionBehavior(QAbstractItemView::SelectRows);
    {
        QPalette grey = grid2_->palette();
        grey.setColor(QPalette::Base, QColor(236, 236, 236));
        grey.setColor(QPalette::AlternateBase, QColor(226, 226, 226));
        grid2_->setPalette(grey);
        QFont titles = grid2_->horizontalHeader()->font();
        titles.setBold(true);
        grid2_->horizontalHeader()->setFont(titles);
    }
    grid2_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid2_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid1_ = makeGrid("DBGrid1");
    grid1_->verticalHeader()->hide();
    l->addWidget(grid2_);
    l->addWidget(grid1_, 1);
    memo_ = new MemoPanel(file_->table(), context_.settings, page);
    v->addWidget(memo_);
    model1_ = new StudentTableModel(file_->table(), this);
    model2_ = new StudentTableModel(file_->table(), this);
    grid1_->setModel(model1_);
    grid2_->setModel(model2_);
    // Both grids show the same records and scroll together.
    connect(grid1_->verticalScrollBar(), &QScrollBar::valueChanged, grid2_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(grid2_->verticalScrollBar(), &QScrollBar::valueChanged, grid1_->verticalScrollBar(),
            &QScrollBar::setValue);
    const auto follow = [this](const QModelIndex& current, bool entryGrid) {
        if (current.isValid() && current.row() != file_->table().currentRow()) {
            // The move may read the rows afresh; the grid then returns to
            // the clicked column, not the one before.
            if (entryGrid)
                entryColumn_ = current.column();
            file_->table().moveToRow(current.row());
        }
    };
    connect(grid1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [follow](const QModelIndex& current) { follow(current, true); });
    connect(grid2_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [follow](const QModelIndex& current) { follow(current, false); });
}

// The single-student view: only the current student's rows, larger fonts.
void TFMain::createSingleViewPanel(QWidget* page)
{
    panel19_ = panel("Panel19", page);
    auto* l = new QHBoxLayout(panel19_);
    l->setContentsMargins(6, 3, 6, 3);
    const auto button = [this, l](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, panel19_);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        l->addWidget(b);
    };
    StudentTable& t = file_->table();
    const auto step = [this, &t](bool forward) {
        t.restrictToStudent(QString(), QString());
        const bool atEnd = forward ? t.atLast() : t.atFirst();
        if (atEnd) {
            setSingleView(false);
            return;
        }
        forward ? t.next() : t.prior();
        t.restrictToStudent(t.value(QStringLiteral("NAME")), t.value(QStringLiteral("VORNAME")));
    };
    button("EinzelZurueck", QStringLiteral("Zurück"), [step] { step(false); });
    button("EinzelVor", QStringLiteral("Vor"), [step] { step(true); });
    button("EinzelGesamt", QStringLiteral("Zeige gesamte Tabelle"), [this] { setSingleView(false); });
    button("EinzelPlus", QStringLiteral("+"), [this] {
        const int size = grid2_->font().pointSize();
        if (size < 20)
            setGridFonts(size + 2, grid2_->horizontalHeader()->font().pointSize() + 2);
        context_.settings.RangeFont = grid2_->font().pointSize();
    });
    button("EinzelMinus", QStringLiteral("-"), [this] {
        const int size = grid2_->font().pointSize();
        if (size >= 10)
            setGridFonts(size - 2, grid2_->horizontalHeader()->font().pointSize() - 2);
        context_.settings.RangeFont = grid2_->font().pointSize();
    });
    l->addStretch(1);
    panel19_->hide();
}

void TFMain::setGridFonts(int cellPoints, int titlePoints)
{
    for (QTableView* g : {grid1_, grid2_}) {
        QFont cells = g->font();
        cells.setPointSize(std::max(4, cellPoints));
        g->setFont(cells);
        QFont titles = g->horizontalHeader()->font();
        titles.setPointSize(std::max(4, titlePoints));
        g->horizontalHeader()->setFont(titles);
        g->verticalHeader()->setDefaultSectionSize(QFontMetrics(cells).height() + 6);
    }
}

void TFMain::setSingleView(bool on)
{
    StudentTable& t = file_->table();
    if (on) {
        allreg_->setCurrentIndex(0);
        t.setTag(QStringLiteral("NAME"));
        t.restrictToStudent(t.value(QStringLiteral("NAME")), t.value(QStringLiteral("VORNAME")));
        setGridFonts(context_.settings.RangeFont, context_.settings.RangeFont);
        panel19_->show();
    } else if (singleView_) {
        t.restrictToStudent(QString(), QString());
        file_->applySortOrder();
        t.first();
        // Standing on the first record, one step back says so at once.
        atBegin_ = true;
        atEnd_ = false;
        panel19_->hide();
        context_.settings.RangeFont = grid2_->font().pointSize();
        setGridFonts(8, 9);
    }
    singleView_ = on;
}

void TFMain::applyColumns()
{
    const Settings& s = context_.settings;
    std::vector<ColumnSpec> columns;
    for (const ColumnSpec& c : file_->layout().columns.columns) {
        if (!(s.Grid2Sichtbar && (c.field == QLatin1String("NAME") || c.field == QLatin1String("VORNAME"))))
            columns.push_back(c);
    }
    model1_->setColumns(columns);
    ColumnSpec name;
    name.field = QStringLiteral("NAME");
    name.title = QStringLiteral("Name");
    ColumnSpec first;
    first.field = QStringLiteral("VORNAME");
    first.title = QStringLiteral("Vorname");
    model2_->setColumns({name, first});
    grid2_->setVisible(s.Grid2Sichtbar);
    // Without the name grid the main grid shows the row numbers itself.
    grid1_->verticalHeader()->setVisible(!s.Grid2Sichtbar);
    grid2_->setFixedWidth(s.BreiteGrid2 + grid2_->verticalHeader()->width() + 2);
    grid2_->setColumnWidth(0, s.BreiteGridSpalte0);
    grid2_->setColumnWidth(1, s.BreiteGrid2 - s.BreiteGridSpalte0 + 50);
    const int charWidth = grid1_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int i = 0; i < model1_->columnCount(); ++i) {
        const ColumnSpec* c = model1_->column(i);
        grid1_->setColumnWidth(i, std::max(3, c->width) * charWidth + 12);
    }
}

QWidget* TFMain::createStatusPanel()
{
    QFrame* p2 = panel("Panel2", this);
    auto* l = new QHBoxLayout(p2);
    l->setContentsMargins(4, 2, 4, 2);
    l->setSpacing(4);
    const char* const status[][2] = {{"spDatei", "Schülerdatei"},
                                     {"spTBS", "Textbausteine"},
                                     {"spLayout", "Layout"},
                                     {"spFDF", "Spaltenlayout"}};
    std::vector<QWidget*> statusButtons;
    for (const auto& s : status) {
        QToolButton* b = toolButton(s[0], QString::fromUtf8(s[1]), QString(), p2);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setEnabled(false);
        l->addWidget(b);
        statusButtons.push_back(b);
    }
    // Only the button of the direction in force can be pressed; it switches
    // to the other one.
    QToolButton* down = toolButton("EditUnten", QString(),
                                   QStringLiteral("Eingaberichtung vertikal – umschalten auf horizontal"), p2);
    down->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    QToolButton* right = toolButton("EditRechts", QString(),
                                    QStringLiteral("Eingaberichtung horizontal – umschalten auf vertikal"), p2);
    right->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    l->addWidget(down);
    l->addWidget(right);
    label5_ = label("Label5", QStringLiteral("Kürzeldatei: "), p2);
    l->addWidget(label5_);
    gaugepanel_ = new ProgressPanel(statusButtons, p2);
    l->addWidget(gaugepanel_, 1);
    context_.ui.setProgressDisplay(gaugepanel_);
    hilfe_ = new ElidedLabel(p2);
    hilfe_->setObjectName(QStringLiteral("hilfe"));
    hilfe_->setAutoFillBackground(true);
    hilfe_->setMinimumHeight(22);
    hilfe_->setIndent(6);
    // A long help text ends in "…", it must not widen the window.
    hilfe_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->addWidget(hilfe_, 1);
    return p2;
}

void TFMain::connectCommands()
{
    if (QAction* exit = menu_->action(QStringLiteral("Beenden1")))
        connect(exit, &QAction::triggered, this, &QWidget::close);
    if (QToolButton* exitButton = iconBar_->findChild<QToolButton*>(QStringLiteral("SpeedButton1")))
        connect(exitButton, &QToolButton::clicked, this, &QWidget::close);
    if (QAction* help = menu_->action(QStringLiteral("Hilfetexteanzeigen1"))) {
        connect(help, &QAction::toggled, this, [this](bool on) {
            context_.settings.MitHilfe = on;
            setHelpTextsShown(on);
        });
    }

    for (const auto& [name, code] : {std::pair{"spDatei", "003"}, std::pair{"sjbox", "003"},
                                     std::pair{"Panel11", "003"}, std::pair{"spTBS", "011"},
                                     std::pair{"spLayout", "012"}, std::pair{"erster", "016"},
                                     std::pair{"zur", "017"}, std::pair{"vor", "018"},
                                     std::pair{"letzter", "019"}, std::pair{"btnabbr", "022"},
                                     std::pair{"btnspei", "023"}, std::pair{"EditRechts", "009"},
                                     std::pair{"EditUnten", "009"}, std::pair{"dateienbox", "086"},
                                     std::pair{"SpeedButton12", "083"}})
        helpLine_->attach(findChild<QWidget*>(QLatin1String(name)), QLatin1String(code));
    for (const auto& [name, code] :
         {std::pair{"SpeedButton4", "001"}, std::pair{"SpeedButton10", "004"},
          std::pair{"SpeedButton5", "013"}, std::pair{"SpeedButton2", "014"},
          std::pair{"BtnSichern", "015"}, std::pair{"SpeedButton9", "020"},
          std::pair{"SpeedButton11", "021"}, std::pair{"SpeedButton16", "024"},
          std::pair{"SpeedButton1", "025"}, std::pair{"SpeedButton7", "083"},
          std::pair{"SpeedButton18", "084"}, std::pair{"SpeedButton19", "085"},
          std::pair{"SpeedButton20", "089"}})
        helpLine_->attach(iconBar_->findChild<QWidget*>(QLatin1String(name)), QLatin1String(code));
    helpLine_->attachText(iconBar_->findChild<QWidget*>(QStringLiteral("PreView")), [this] {
        return QStringLiteral("Vorschau/Druck des Formulars ")
             + lastComponent(context_.settings.LetztesLayout) + QStringLiteral(" für aktuellen Schüler");
    });
    connectUserModeMenu(*menu_, context_.userMode, *admin_, prompts_);
}

bool TFMain::openLastStudentFile()
{
    // The set-up of a new workspace has only now put ABSCHL.TXT in place.
    abbreviations_->reloadGraduationCodes();
    if (!file_->open(context_.settings.NotenDatei)) {
        close();
        return false;
    }
    return true;
}

void TFMain::connectFileCommands()
{
    connect(file_.get(), &CurrentStudentFile::opened, this, &TFMain::studentFileOpened);
    file_->setChooseBlock([this](LoadedLayout& layout) {
        TFEingabeLayout dialog(layout.lines, context_.workspace, layout.path, context_.ui, this);
        dialog.exec();
        return dialog.changed();
    });
    connect(file_.get(), &CurrentStudentFile::filesChanged, this, &TFMain::fillFileList);
    connect(file_.get(), &CurrentStudentFile::cannotGoOn, this, &QWidget::close);
    // Others' changes never replace a value the user is still typing.
    file_->setTypingProbe([this] {
        EntryGridDelegate* editors = cellEditors();
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return (editors && editors->hasTypedInput()) || (field && field->isModified());
    });
    // A reset of the rows (after a save, a new order) leaves the grids
    // without a current cell; they take the table's record again.
    // The column the user is in, kept over resets of the model.
    connect(grid1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    entryColumn_ = current.column();
            });
    connect(&file_->table(), &StudentTable::rowsReset, this, [this] {
        const int row = file_->table().currentRow();
        if (row >= 0 && grid1_->model()->rowCount() > row) {
            const int column = std::min(entryColumn_, std::max(0, grid1_->model()->columnCount() - 1));
            grid1_->setCurrentIndex(grid1_->model()->index(row, column));
            grid2_->setCurrentIndex(grid2_->model()->index(row, 0));
        }
    });
    connect(&file_->table(), &StudentTable::rowChanged, this, [this](int row) {
        if (row == file_->table().currentRow())
            updateStatusLine();
    });
    connect(&file_->table(), &StudentTable::currentRowChanged, this, [this](int row) {
        updateStatusLine();
        refreshPreview();
        for (QTableView* g : {grid1_, grid2_}) {
            const QModelIndex current = g->currentIndex();
            // After new columns the grid has no cell; it returns to the
            // column the user was in.
            const int column = current.isValid() ? current.column() : g == grid1_ ? entryColumn_ : 0;
            if (row >= 0 && current.row() != row)
                g->setCurrentIndex(g->model()->index(row, std::min(column, std::max(0, g->model()->columnCount() - 1))));
        }
    });
    const auto command = [this](const char* name, auto slot) {
        if (QAction* a = menu_->action(QLatin1String(name))) {
            admin_->setAvailable(a, true);
            connect(a, &QAction::triggered, this, slot);
        }
    };
    command("openStudentFile", [this] { chooseStudentFile(); });
    command("ErstelleeineleereDatei1", [this] { file_->createEmpty(); });
    command("Dateienlschen1", [this] { file_->deleteFiles(); });
    command("reorganiseFile", [this] { file_->reorganiseCurrent(); });
    command("Komplett", [this] {
        if (file_->scheduleCompleteReorganisation())
            close();
    });
    for (int value = 1; value <= 3; ++value) {
        if (QAction* sort = menu_->sortItem(value)) {
            admin_->setAvailable(sort, true);
            connect(sort, &QAction::triggered, this, [this, value] {
                context_.settings.Sortierung = value;
                file_->applySortOrder();
            });
        }
    }
    command("toggleFileList", [this] {
        panel7_->setVisible(!panel7_->isVisible());
        context_.settings.DateienWahlBoxSichtbar = panel7_->isVisible();
    });
    // Assigning another column layout file or layout to the student file.
    const auto assignColumnFile = [this] {
        if (const std::optional<QString> name = chooseColumnLayoutFile(context_.workspace, context_.ui)) {
            file_->assignments().Faecherdatei = *name;
            file_->writeAssignments();
            file_->reopen();
        }
    };
    const auto assignLayout = [this] {
        const std::optional<QString> chosen = chooseLayout(
            context_.workspace, file_->assignments().Layoutdatei, context_.ui,
            [this](const QString& p) { context_.createdFiles->registerFile(p); },
            [this](const QString& p) { context_.createdFiles->registerDirectory(p); });
        if (chosen) {
            // Written at once: opening again reads the assignments back.
            file_->assignments().Layoutdatei = *chosen;
            file_->writeAssignments();
            file_->reopen();
        }
    };
    command("assignColumnLayoutFile", assignColumnFile);
    // The file list's own menu.
    auto* fileListMenu = new QMenu(dateienbox_);
    QAction* layoutItem = fileListMenu->addAction(QStringLiteral("&Layout zuweisen"));
    layoutItem->setObjectName(QStringLiteral("Layoutzuweisen1"));
    connect(layoutItem, &QAction::triggered, this, assignLayout);
    dateienbox_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dateienbox_, &QWidget::customContextMenuRequested, this, [this, fileListMenu](const QPoint& at) {
        fileListMenu->popup(dateienbox_->viewport()->mapToGlobal(at));
    });
    for (const char* name : {"spFDF", "spLayout"}) {
        if (QToolButton* b = findChild<QToolButton*>(QLatin1String(name))) {
            b->setEnabled(true);
            if (QLatin1String(name) == QLatin1String("spFDF"))
                connect(b, &QToolButton::clicked, this, assignColumnFile);
            else
                connect(b, &QToolButton::clicked, this, assignLayout);
        }
    }
    if (QToolButton* sp = findChild<QToolButton*>(QStringLiteral("spDatei"))) {
        sp->setEnabled(true);
        connect(sp, &QToolButton::clicked, this, [this] { chooseStudentFile(); });
    }
    connect(dateienbox_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const QString path = QDir(QFileInfo(file_->path()).absolutePath()).filePath(item->text());
        if (QFileInfo(path) == QFileInfo(file_->path()))
            return;
        if (!file_->table().savePending())
            return;
        file_->writeAssignments();
        file_->open(path);
    });
    connect(dateienbox_, &QListWidget::itemDoubleClicked, this, [this] { chooseStudentFile(); });
    connect(sjbox_, &QComboBox::activated, this,
            [this](int index) { file_->switchDataDirectory(sjbox_->itemText(index)); fillFileList(); });
}

void TFMain::connectSettingsCommands()
{
    abbreviations_->loadAtStart(context_.settings);
    // Every change of a grade, course level, head grade or graduation code
    // is checked against the tables, whatever made it.
    StudentTableCheckHooks hooks;
    hooks.context = [this](const QString& field) {
        AbbreviationCheckContext c;
        c.exempt = file_->layout().columns.isExempt(field);
        c.nameEmpty = file_->table().value(QStringLiteral("NAME")).trimmed().isEmpty();
        return c;
    };
    file_->table().setErrorReport([this](const QString& text) { context_.ui.error(text); });
    // A record without a name takes no grades: its pending edit is dropped.
    hooks.discardEdit = [this] { file_->table().cancel(); };
    // Text the files cannot hold is refused with a message rather than
    // stored as question marks.
    StudentTable::ChangeCheck codes = makeStudentTableCheck(*abbreviations_, *checkMessages_, hooks);
    file_->table().setChangeCheck(
        [this, codes](const QString& field, const QString& value) -> std::optional<QString> {
            if (!isStorable(value)) {
                checkMessages_->warning(unstorableCharactersText());
                return std::nullopt;
            }
            return codes(field, value);
        });

    const auto open = [this](const char* name, TFEinstell::Page page) {
        QObject* item = menu_->action(QLatin1String(name));
        if (!item)
            item = findChild<QToolButton*>(QLatin1String(name));
        if (auto* a = qobject_cast<QAction*>(item)) {
            admin_->setAvailable(a, true);
            connect(a, &QAction::triggered, this, [this, page] { openSettings(int(page)); });
        } else if (auto* b = qobject_cast<QToolButton*>(item)) {
            admin_->setAvailable(b, true);
            connect(b, &QToolButton::clicked, this, [this, page] { openSettings(int(page)); });
        }
    };
    for (const auto& [name, small] : {std::pair{"PreView", false}, std::pair{"smallPreviewButton", true}}) {
        if (QToolButton* b = iconBar_->findChild<QToolButton*>(QLatin1String(name))) {
            admin_->setAvailable(b, true);
            connect(b, &QToolButton::clicked, this, [this, small = small] { showPreview(small); });
        }
    }
    open("MEin1", TFEinstell::Page::Allgemeines1);
    open("Voreinstellungen1", TFEinstell::Page::Allgemeines1);
    open("SpeedButton16", TFEinstell::Page::Allgemeines1);
    open("MEin3", TFEinstell::Page::Kuerzel);
    open("Durchschnittsnotenfestlegen1", TFEinstell::Page::Durchschnitt);
    if (QAction* settingsMenu = menu_->action(QStringLiteral("Einstellungen2")))
        admin_->setAvailable(settingsMenu, true);
}

void TFMain::showPreview(bool smallWindow)
{
    if (!file_->table().savePending() || file_->table().isEmpty())
        return;
    if (!metrics_) {
        metrics_ = std::make_unique<PrintMetrics>();
        metrics_->calibrate();
    }
    auto layout = std::make_unique<TDruckLayout>();
    if (!parseLayoutForPrinting(file_->layout().path, file_->layout().lines, *layout, &context_.ui,
                                context_.workspace))
        return;
    printLayout_ = std::move(layout);
    printRecords_ = std::make_unique<StudentPrintRecords>(file_->table());
    printRecords_->followCurrentRow();
    meanings_ = std::make_unique<AbbreviationMeanings>(*abbreviations_);
    PlaceholderContext placeholders;
    placeholders.settings = &context_.settings;
    placeholders.codes = meanings_.get();
    placeholders.ui = &context_.ui;
    for (const QString& ep : file_->assignments().EP) {
        if (!ep.trimmed().isEmpty())
            placeholders.epochalSubjects << ep.trimmed();
    }
    placeholders.freeEntryColumns = file_->layout().columns.exemptList;
    if (!preview_) {
        preview_ = new TFVorschau(context_.settings, context_.ui, *metrics_, this);
        preview_->setWorkspaceFiles(context_.files.get());
    }
    preview_->showJob(reportCardJob(*printLayout_, *metrics_,
                                    RenderOptions::fromSettings(context_.settings, context_.workspace),
                                    placeholders, *printRecords_, singleStudentRun(*printLayout_),
                                    file_->table().value(QStringLiteral("KLASSE")), context_.settings.Schuljahr),
                      false, smallWindow);
}

void TFMain::refreshPreview()
{
    if (preview_ && preview_->isVisible() && printRecords_) {
        printRecords_->followCurrentRow();
        preview_->rebuild();
    }
}

void TFMain::openSettings(int page)
{
    if (!file_->table().savePending())
        return;
    SettingsDialogOptions options;
    options.fileFields = file_->table().fieldNames();
    options.reopenStudentFile = [this] { file_->reopen(); };
    openSettingsDialog(context_, *abbreviations_, TFEinstell::Page(page), this, options);
    applyColourScheme();
    label5_->setText(abbreviations_->grades.label());
}

void TFMain::connectNavigation()
{
    StudentTable& t = file_->table();
    const auto button = [this](const char* name) { return findChild<QToolButton*>(QLatin1String(name)); };
    // Like a dBase cursor: a step before the first (after the last) record
    // stays put; only the step after that says the end is reached.
    const std::pair<const char*, std::function<void()>> moves[] = {
        {"erster", [this, &t] { if (t.first()) { atBegin_ = true; atEnd_ = false; } }},
        {"zur", [this, &t] {
             if (!t.savePending())
                 return;
             if (atBegin_) {
                 context_.ui.info(QStringLiteral("Anfang erreicht!\n"));
             } else if (t.atFirst()) {
                 atBegin_ = true;
             } else {
                 t.prior();
                 atEnd_ = false;
             }
         }},
        {"vor", [this, &t] {
             if (!t.savePending())
                 return;
             if (atEnd_) {
                 context_.ui.info(QStringLiteral("Ende erreicht!\n"));
             } else if (t.atLast()) {
                 atEnd_ = true;
             } else {
                 t.next();
                 atBegin_ = false;
             }
         }},
        {"letzter", [this, &t] { if (t.last()) { atEnd_ = true; atBegin_ = false; } }},
    };
    for (const auto& [name, move] : moves) {
        if (QToolButton* b = button(name)) {
            b->setEnabled(true);
            connect(b, &QToolButton::clicked, this, [this, move = move] {
                navigating_ = true;
                move();
                navigating_ = false;
            });
        }
    }
    // Any other move (a click, the wheel, the search) leaves both ends.
    connect(&t, &StudentTable::currentRowChanged, this, [this] {
        if (!navigating_)
            atBegin_ = atEnd_ = false;
    });
    QToolButton* save = button("btnspei");
    QToolButton* cancel = button("btnabbr");
    connect(save, &QToolButton::clicked, this, [&t] { t.savePending(); });
    connect(cancel, &QToolButton::clicked, this, [this, &t] {
        if (EntryGridDelegate* editors = cellEditors())
            editors->discardInput();
        t.cancel();
    });
    connect(&t, &StudentTable::stateChanged, this, &TFMain::updateSaveButtons);
    for (QToolButton* refresh : {button("SpeedButton13"), iconBar_->findChild<QToolButton*>(QStringLiteral("SpeedButton21"))}) {
        if (!refresh)
            continue;
        admin_->setAvailable(refresh, true);
        refresh->setEnabled(true);
        connect(refresh, &QToolButton::clicked, this, [this] { rebuildTable(); });
    }
    // F8 saves, F9 saves and moves on, Esc drops the pending edit.
    const auto key = [this](QKeySequence seq, std::function<void()> act) {
        auto* sc = new QShortcut(seq, grid1_, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, this, std::move(act));
    };
    key(QKeySequence(Qt::Key_F8), [&t] { t.savePending(); });
    key(QKeySequence(Qt::Key_F9), [this] { saveAndNext(); });
    key(QKeySequence(Qt::Key_Escape), [this, &t] {
        // In a cell editor Esc drops what was typed there; in the grid the
        // pending edit.
        EntryGridDelegate* editors = cellEditors();
        if (editors && QApplication::focusWidget() != grid1_)
            editors->discardInput();
        else if (QApplication::focusWidget() == grid1_)
            t.cancel();
    });
}

void TFMain::connectViewCommands()
{
    const auto available = [this](const char* name) {
        QAction* a = menu_->action(QLatin1String(name));
        if (a)
            admin_->setAvailable(a, true);
        return a;
    };
    if (QAction* a = available("Tabelle"))
        connect(a, &QAction::triggered, this, [this] { allreg_->setCurrentIndex(0); });
    if (QAction* a = available("Einzel"))
        connect(a, &QAction::triggered, this, [this] { allreg_->setCurrentIndex(1); });
    connect(allreg_, &QTabWidget::currentChanged, this, [this](int page) {
        const char* names[] = {"Tabelle", "Einzel", "Stamm"};
        if (QAction* a = menu_->action(QLatin1String(names[std::clamp(page, 0, 2)])))
            a->setChecked(true);
        // What was typed on the page left is saved with the record.
        file_->table().savePending();
        if (page == 0) {
            panel7_->setVisible(context_.settings.DateienWahlBoxSichtbar);
            grid1_->setFocus();
        } else if (width() <= 800) {
            panel7_->hide();
        }
        if (page == 1) {
            if (QWidget* first = mask_->findChild<QWidget*>(QStringLiteral("n01")); first && first->isVisible())
                first->setFocus();
        }
    });

    // Entry direction: the menu items and the two buttons set EditVertikal.
    QToolButton* down = findChild<QToolButton*>(QStringLiteral("EditUnten"));
    QToolButton* right = findChild<QToolButton*>(QStringLiteral("EditRechts"));
    const auto setDirection = [this, down, right](bool vertical) {
        context_.settings.EditVertikal = vertical;
        right->setEnabled(!vertical);
        down->setEnabled(vertical);
        if (QAction* a = menu_->action(vertical ? QStringLiteral("menverti") : QStringLiteral("menhori")))
            a->setChecked(true);
    };
    if (QAction* a = available("menverti"))
        connect(a, &QAction::triggered, this, [setDirection] { setDirection(true); });
    if (QAction* a = available("menhori"))
        connect(a, &QAction::triggered, this, [setDirection] { setDirection(false); });
    connect(right, &QToolButton::clicked, this, [setDirection] { setDirection(true); });
    connect(down, &QToolButton::clicked, this, [setDirection] { setDirection(false); });

    // The cell clipboard: one value for the whole run, apart from the
    // system clipboard.
    const auto currentField = [this] { return model1_->fieldOfColumn(grid1_->currentIndex().column()); };
    const auto lockedRefusal = [this] {
        if (!context_.settings.SperreOption)
            return false;
        context_.ui.info(QStringLiteral("Nicht möglich, Tabelle ist gesperrt!\n"));
        return true;
    };
    const auto putIntoCell = [this, currentField](const QString& value) {
        StudentTable& t = file_->table();
        const int field = currentField();
        if (field < 0)
            return;
        if (t.isReadOnly(field)) {
            context_.ui.error(QStringLiteral("Das Feld ") + t.fieldName(field)
                              + QStringLiteral(" ist schreibgeschützt und kann hier nicht verändert werden."));
            return;
        }
        if (t.setValue(field, value))
            t.savePending();
    };
    if (QAction* a = available("Zelleinhaltkopieren1"))
        connect(a, &QAction::triggered, this, [this, currentField] {
            if (currentField() >= 0)
                cellClipboard_ = file_->table().value(currentField());
        });
    if (QAction* a = available("Zelleinhaltausschneiden1"))
        connect(a, &QAction::triggered, this, [this, currentField, lockedRefusal, putIntoCell] {
            if (lockedRefusal() || currentField() < 0)
                return;
            cellClipboard_ = file_->table().value(currentField());
            putIntoCell(QString());
        });
    if (QAction* a = available("Zelleninhalteinfgen1"))
        connect(a, &QAction::triggered, this, [this, lockedRefusal, putIntoCell] {
            if (!lockedRefusal())
                putIntoCell(cellClipboard_);
        });

    // The help line over the entry grid depends on the column.
    helpLine_->attachText(grid1_, [this] {
        const ColumnSpec* c = model1_->column(grid1_->currentIndex().column());
        return context_.helpTexts.text(c && c->kind == 11 ? QStringLiteral("006") : QStringLiteral("007"));
    });

    if (QToolButton* single = iconBar_->findChild<QToolButton*>(QStringLiteral("SpeedButton8"))) {
        admin_->setAvailable(single, true);
        connect(single, &QToolButton::clicked, this, [this] { setSingleView(!singleView_); });
    }

    // The fixed name grid and its popup menu.
    // The column layout leaves out name and first name while the fixed grid
    // shows them, so the table is built anew.
    const auto showFixedGrid = [this](bool on) {
        context_.settings.Grid2Sichtbar = on;
        rebuildTable();
    };
    if (QAction* a = available("FixspaltenNameVornameeinausblenden1"))
        connect(a, &QAction::triggered, this,
                [this, showFixedGrid] { showFixedGrid(!context_.settings.Grid2Sichtbar); });
    if (QAction* a = available("Ausblenden1"))
        connect(a, &QAction::triggered, this, [showFixedGrid] { showFixedGrid(false); });
    if (QAction* a = available("Spaltenbreiten1"))
        connect(a, &QAction::triggered, this, [this] {
            context_.ui.info(QStringLiteral("Die beiden Spaltenbreiten können durch Mausziehen verändert werden!"));
        });
    if (QAction* a = available("Fensterbreiteverndern1"))
        connect(a, &QAction::triggered, this, [this] {
            const QString current = QString::number(context_.settings.BreiteGrid2);
            const std::optional<QString> answer = context_.ui.input(
                QStringLiteral("Breite in Bildschirmpunkten"), QStringLiteral("Wert zwischen 80 und 400"), current);
            bool ok = false;
            const int width = answer ? answer->trimmed().toInt(&ok) : 0;
            if (!answer || answer->trimmed() == current || !ok || width < 80 || width > 400)
                return;
            context_.settings.BreiteGrid2 = width;
            applyColumns();
        });
    grid2_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid2_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (menu_->fixedGridPopup)
            menu_->fixedGridPopup->popup(grid2_->viewport()->mapToGlobal(at));
    });
    // The widths of the name grid reach the settings when the program ends.
    connect(grid2_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (section == 0)
                    context_.settings.BreiteGridSpalte0 = size;
                else if (section == 1)
                    context_.settings.BreiteGridSpalte1 = size;
            });
}

// Enter in the entry grid moves by the entry direction: to the next student
// in the same column (vertical) or to the next column (horizontal).
void TFMain::connectEntryDirection()
{
    grid1_->installEventFilter(this);
    grid2_->installEventFilter(this);
    // The mouse wheel moves the record cursor, not just the view.
    grid1_->viewport()->installEventFilter(this);
    grid2_->viewport()->installEventFilter(this);
    connect(grid1_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache)
                    QTimer::singleShot(0, this, &TFMain::moveByEntryDirection);
            });
}

void TFMain::updateStatusLine()
{
    const StudentTable& t = file_->table();
    const int row = t.currentRow();
    if (QLabel* name = lName_) {
        // "Müller, Hans" is shown as "Hans Müller".
        QString surname = t.value(QStringLiteral("NAME")).trimmed();
        const qsizetype comma = surname.indexOf(QStringLiteral(", "));
        if (comma >= 0)
            surname = surname.mid(comma + 2).trimmed() + QLatin1Char(' ') + surname.left(comma);
        const QString born = t.value(QStringLiteral("GEBOREN")).trimmed();
        const std::optional<QDate> date = parseGermanDate(born);
        name->setText(row < 0 ? QString()
                              : QStringLiteral("  ") + surname + QStringLiteral(", ")
                                    + t.value(QStringLiteral("VORNAME")).trimmed()
                                    + QStringLiteral("  geb. am ")
                                    + (date ? formatGermanDate(*date) : born));
    }
    klassenbez_->setText(row < 0 ? QString() : t.value(QStringLiteral("KLASSE")) + QStringLiteral("   "));
    lKlasse_->setText(QStringLiteral(" ") + QString::number(t.rowCount()) + QStringLiteral(" Schüler"));
}

void TFMain::rebuildTable()
{
    // Reopening reads the file and its column layout anew and keeps the record.
    file_->reopen();
    if (allreg_->currentIndex() == 0)
        grid1_->setFocus();
    grid1_->viewport()->update();
    grid2_->viewport()->update();
}

EntryGridDelegate* TFMain::cellEditors() const
{
    return qobject_cast<EntryGridDelegate*>(grid1_->itemDelegate());
}

void TFMain::takeOverInput()
{
    if (EntryGridDelegate* editors = cellEditors()) {
        editors->takeOverInput();
        // A refusal is shown before the save goes on (and before the
        // program ends, when closing takes the value).
        checkMessages_->flush();
    }
    // A field of the mask or master-data page hands over its value when it
    // is left; a save while it still has the focus takes it now.
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (field && field->isModified() && allreg_->isAncestorOf(field) && !grid1_->isAncestorOf(field)) {
        field->setModified(false);
        emit field->editingFinished();
    }
}

void TFMain::updateSaveButtons()
{
    EntryGridDelegate* editors = cellEditors();
    const bool editing = file_->table().isEditing() || (editors && editors->hasTypedInput());
    for (const char* name : {"btnabbr", "btnspei"}) {
        if (QToolButton* b = findChild<QToolButton*>(QLatin1String(name)))
            b->setEnabled(editing);
    }
}

void TFMain::saveAndNext()
{
    StudentTable& t = file_->table();
    if (!t.savePending())
        return;
    if (allreg_->currentIndex() == 0)
        grid1_->setFocus();
    if (!t.atLast())
        t.next();
}

// The text field under the table belongs to the current text-block column.
void TFMain::connectMemoPanel()
{
    StudentTable& t = file_->table();
    connect(grid1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (current.column() != previous.column())
                    columnEntered(current.isValid() ? current.column() : -1);
            });
    helpLine_->attach(&memo_->memo(), QStringLiteral("002"));
    helpLine_->attach(memo_->findChild<QWidget*>(QStringLiteral("bitbtn1")), QStringLiteral("008"));
    connect(memo_, &MemoPanel::saveRequested, this, [&t] { t.savePending(); });
    connect(memo_, &MemoPanel::saveAndNextRequested, this, [this](bool refocus) {
        saveAndNext();
        if (refocus && memo_->isVisible())
            memo_->memo().setFocus();
    });
    connect(memo_, &MemoPanel::cancelRequested, this, [this, &t] {
        t.cancel();
        grid1_->setFocus();
        memo_->refresh();
    });
    // Leaving the text saves it; a failed save keeps the pending edit.
    connect(memo_, &MemoPanel::left, this, [this, &t] {
        gaugepanel_->hideProgress();
        t.savePending();
    });
    connect(grid2_, &QAbstractItemView::doubleClicked, this, [this] {
        if (!preview_ || !preview_->isVisible())
            showPreview(false);
    });
    connect(grid1_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const ColumnSpec* c = model1_->column(index.column());
        if (!c || c->kind != FieldKind::AssessmentText || allreg_->currentIndex() != 0)
            return;
        if (preview_)
            preview_->close();
        memo_->memo().setFocus();
    });
    // The system clipboard items of the table menu work in the text field.
    if (QMenu* popup = menu_->tablePopup) {
        QAction* copy = menu_->action(QStringLiteral("Kopieren1"));
        QAction* paste = menu_->action(QStringLiteral("Einfgen1"));
        for (QAction* a : {copy, paste}) {
            if (a)
                admin_->setAvailable(a, true);
        }
        memo_->memo().setContextMenuPolicy(Qt::CustomContextMenu);
        connect(&memo_->memo(), &QWidget::customContextMenuRequested, this, [this, popup](const QPoint& at) {
            popup->popup(memo_->memo().viewport()->mapToGlobal(at));
        });
        connect(popup, &QMenu::aboutToShow, this, [this, copy, paste] {
            const bool inMemo = memo_->textHasFocus();
            for (QAction* a : {copy, paste}) {
                if (a)
                    a->setEnabled(inMemo);
            }
            for (const char* name : {"EintrgeinZeilelschen2", "SpaLoesch2"}) {
                if (QAction* a = menu_->action(QLatin1String(name)); a && inMemo)
                    a->setEnabled(false);
            }
        });
        if (copy)
            connect(copy, &QAction::triggered, this, [this] {
                if (memo_->textHasFocus())
                    memo_->memo().copy();
            });
        if (paste)
            connect(paste, &QAction::triggered, this, [this] {
                if (memo_->textHasFocus())
                    memo_->memo().paste();
            });
    }
}

void TFMain::columnEntered(int column)
{
    // Leaving a column makes the text blocks editable again.
    file_->setEntryTableFocus(false);
    memo_->clearChanged();
    const ColumnSpec* c = model1_->column(column);
    if (c && c->kind == FieldKind::AssessmentText)
        memo_->showFor(c->caption.trimmed().isEmpty() ? c->title : c->caption, c->field);
    else
        memo_->hidePanel();
}

void TFMain::moveByEntryDirection()
{
    const QModelIndex current = grid1_->currentIndex();
    if (!current.isValid())
        return;
    const ColumnSpec* c = model1_->column(current.column());
    if (c && c->kind == FieldKind::AssessmentText) {
        // A text-block column is written in the text field below the table.
        memo_->memo().setFocus();
        return;
    }
    StudentTable& t = file_->table();
    if (context_.settings.EditVertikal) {
        if (!t.savePending() || t.atLast())
            return;
        const int column = current.column();
        t.next();
        grid1_->setCurrentIndex(model1_->index(t.currentRow(), column));
    } else if (current.column() + 1 < model1_->columnCount()) {
        grid1_->setCurrentIndex(model1_->index(current.row(), current.column() + 1));
    } else if (t.savePending() && !t.atLast()) {
        // Past the last column, like Tab: the next student's first column.
        t.next();
        grid1_->setCurrentIndex(model1_->index(t.currentRow(), 0));
    }
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == grid1_->viewport() || watched == grid2_->viewport()) && event->type() == QEvent::Wheel) {
        // Touchpads turn in small steps; they add up to whole notches.
        wheelRest_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int notches = wheelRest_ / 120;
        wheelRest_ -= notches * 120;
        StudentTable& t = file_->table();
        if (notches != 0 && t.rowCount() > 0) {
            const int target = std::clamp(t.currentRow() - notches * QApplication::wheelScrollLines(), 0,
                                          t.rowCount() - 1);
            t.moveToRow(target);
        }
        return true;
    }
    if (watched == grid1_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        if (endsOrBeginsEntry(*event))
            file_->setEntryTableFocus(event->type() == QEvent::FocusIn);
    }
    if (watched == grid1_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // While a cell is being edited the Return comes up from its editor,
        // which hands over the value and moves on when it closes.
        QWidget* focus = QApplication::focusWidget();
        const bool fromEditor = focus && focus != grid1_ && grid1_->isAncestorOf(focus);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !fromEditor) {
            moveByEntryDirection();
            return true;
        }
    }
    if ((watched == grid1_ || watched == grid2_) && event->type() == QEvent::KeyPress) {
        // The view's own search by typed letters would move the record
        // cursor, and the next entry would go to another student.
        const auto* press = static_cast<QKeyEvent*>(event);
        const auto* grid = static_cast<QTableView*>(watched);
        const bool typed = !press->text().isEmpty() && press->text().at(0).isPrint()
                           && !(press->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool opensEditor = (grid->editTriggers() & QAbstractItemView::AnyKeyPressed)
                                 && (grid->model()->flags(grid->currentIndex()) & Qt::ItemIsEditable);
        if (typed && QApplication::focusWidget() == grid && !opensEditor) {
            context_.ui.beep();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFMain::chooseStudentFile()
{
    if (!file_->table().savePending())
        return;
    file_->writeAssignments();
    const std::optional<QString> chosen =
        context_.ui.openFile(QStringLiteral("Schülerdatei öffnen"), QStringLiteral("Schülerdateien (*.dbf *.DBF)"),
                             QFileInfo(file_->path()).absolutePath(), file_->fileName());
    if (!chosen || chosen->isEmpty() || !QFileInfo::exists(*chosen))
        return;
    if (chosen->startsWith(QLatin1String("A:"), Qt::CaseInsensitive)) {
        context_.ui.info(QStringLiteral("Das Öffnen einer Datei auf Diskette ist nicht vorgesehen,\n"
                                        "benutzen Sie den Menüpunkt \"Datenimport\" !\n"));
        return;
    }
    if (!file_->open(*chosen))
        close();
}

void TFMain::fillFileList()
{
    const QSignalBlocker block(dateienbox_);
    dateienbox_->clear();
    const QStringList files = file_->studentFilesOfDirectory();
    QFont f = dateienbox_->font();
    f.setPointSize(files.size() < 11 ? 10 : 8);
    dateienbox_->setFont(f);
    dateienbox_->addItems(files);
    const QString current = file_->fileName();
    for (int i = 0; i < dateienbox_->count(); ++i) {
        if (dateienbox_->item(i)->text().compare(current, Qt::CaseInsensitive) == 0)
            dateienbox_->setCurrentRow(i);
    }
}

void TFMain::studentFileOpened()
{
    // A rebuilt table shows the whole class again.
    if (singleView_)
        setSingleView(false);
    abbreviations_->grades.chooseFromLayout(file_->layout().lines);
    label5_->setText(abbreviations_->grades.label());
    applyColumns();
    mask_->rebuild(file_->layout().columns, abbreviations_->graduation.dropDownItems());
    for (const char* name : {"kopfpanel", "PFL", "WPF"})
        helpLine_->attach(mask_->findChild<QWidget*>(QLatin1String(name)), QStringLiteral("026"));
    for (int i = 1; i <= 12; ++i)
        helpLine_->attach(mask_->findChild<QWidget*>(QStringLiteral("t%1").arg(i)), QStringLiteral("002"));
    const QString name = file_->fileName();
    const QString dir = file_->dataDirectoryName();
    if (QAction* title = menu_->action(QStringLiteral("dateiname1")))
        title->setText(QStringLiteral(">>>>   ") + name + QStringLiteral("   <<<<"));
    if (QToolButton* sp = findChild<QToolButton*>(QStringLiteral("spDatei")))
        sp->setText(QStringLiteral(" ") + name + QStringLiteral(" im Ordner ") + upperAscii(dir));
    const FileAssignments& a = file_->assignments();
    if (QToolButton* tbs = findChild<QToolButton*>(QStringLiteral("spTBS")))
        tbs->setText(a.TBSdatei.isEmpty() ? QStringLiteral("Textbausteine") : a.TBSdatei);
    if (QToolButton* lay = findChild<QToolButton*>(QStringLiteral("spLayout")))
        lay->setText(lastComponent(a.Layoutdatei));
    if (QToolButton* fdf = findChild<QToolButton*>(QStringLiteral("spFDF")))
        fdf->setText(a.Faecherdatei.isEmpty() ? QStringLiteral("Spaltenlayout") : a.Faecherdatei);
    if (QLabel* title = findChild<QLabel*>(QStringLiteral("Panel11Text")))
        title->setText(QStringLiteral("Schülerdatei"));
    fillFileList();
    const int index = sjbox_->findText(dir, Qt::MatchFixedString);
    if (index >= 0)
        sjbox_->setCurrentIndex(index);
    emit file_->table().currentRowChanged(file_->table().currentRow());
    atBegin_ = true;
    atEnd_ = false;
    columnEntered(grid1_->currentIndex().column());
}

void TFMain::applyColourScheme()
{
    const ColourScheme scheme = colourScheme(context_.settings.FARBSCHEMA);
    for (const char* name : {"Panel1", "Panel2", "Panel9", "Panel11", "Panel12", "Panel19",
                             "kopfende", "dateienbox", "hilfe"})
        fill(findChild<QWidget*>(QLatin1String(name)), scheme.first);
    for (const char* name : {"Panel5", "Panel8", "Panel13", "Panel17", "kopfpanel",
                             "vierknopfpanel", "anzahlpanel", "gaugepanel"})
        fill(findChild<QWidget*>(QLatin1String(name)), scheme.second);
}

void TFMain::prepareFromSettings()
{
    const Settings& s = context_.settings;
    applyColourScheme();
    panel7_->setVisible(s.DateienWahlBoxSichtbar);
    findChild<QToolButton*>(QStringLiteral("EditUnten"))->setEnabled(s.EditVertikal);
    findChild<QToolButton*>(QStringLiteral("EditRechts"))->setEnabled(!s.EditVertikal);
    label5_->setText(QStringLiteral("Kürzeldatei: ") + s.Kuerzeldateiname);
    if (QAction* sort = menu_->sortItem(s.Sortierung))
        sort->setChecked(true);
    if (QAction* direction = menu_->action(s.EditVertikal ? QStringLiteral("menverti")
                                                          : QStringLiteral("menhori")))
        direction->setChecked(true);
    if (s.StartState != 0)
        setGeometry(s.StartLinks, s.StartOben, s.StartBreite, s.StartHoehe);
}

void TFMain::fillDataDirectoryList()
{
    sjbox_->clear();
    const QDir ws(context_.workspace);
    QStringList names;
    for (const QString& d : ws.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (isDataDirectoryName(d))
            names << d;
    }
    sjbox_->addItems(names);
}

void TFMain::setHelpTextsShown(bool on)
{
    helpLine_->setEnabled(on);
    if (QAction* help = menu_->action(QStringLiteral("Hilfetexteanzeigen1"))) {
        const QSignalBlocker block(help);
        help->setChecked(on);
    }
}

void TFMain::setUserMode(bool administrator)
{
    context_.userMode.setAdministrator(administrator);
}

bool TFMain::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        if (context_.settings.StartState == 0)
            showMaximized();
        file_->reopen();
        emit firstActivation();
    }
    return QMainWindow::event(e);
}

void TFMain::closeEvent(QCloseEvent* event)
{
    runClosingSteps();
    event->accept();
}

void TFMain::runClosingSteps()
{
    if (closed_)
        return;
    closed_ = true;
    file_->table().savePending();
    Settings& s = context_.settings;
    if (isVisible())
        s.DateienWahlBoxSichtbar = panel7_->isVisible();
    s.StartState = isMaximized() ? 0 : 1;
    if (!isMaximized()) {
        const QRect g = geometry();
        s.StartLinks = g.left();
        s.StartOben = g.top();
        s.StartBreite = g.width();
        s.StartHoehe = g.height();
    }
    context_.settingsFiles->writeProgramWide(s, context_.userMode.isAdministrator());
    context_.settingsFiles->writePerComputer(s);
    file_->writeAssignments();
    file_->table().close();
    removeTemporaryFiles(context_.workspace, *context_.files);
    context_.createdFiles->endDefer();
}

} // namespace zedora
