#include "app/ui/TFMain.h"

#include "app/ui/icon_bar.h"
#include "app/ui/main_window_panels.h"
#include "app/ui/settings_commands.h"
#include "app/workspace_setup.h"
#include "base/ansi_text.h"
#include "base/dates.h"
#include "base/deferring_interaction.h"
#include "base/directory_conventions.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/app_version.h"
#include "core/ui/admin_commands.h"
#include "core/ui/help_line.h"
#include "core/ui/main_menu.h"
#include "core/ui/progress_panel.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "data/ui/file_commands.h"
#include "entry/abbreviation_tables.h"
#include "entry/ui/bulk_edit_commands.h"
#include "entry/ui/column_information.h"
#include "entry/ui/entry_direction.h"
#include "entry/ui/entry_grid_delegate.h"
#include "entry/ui/entry_table_features.h"
#include "entry/ui/mask_page.h"
#include "entry/ui/master_data_commands.h"
#include "entry/ui/memo_panel.h"
#include "entry/ui/memo_panel_commands.h"
#include "entry/ui/single_view.h"
#include "entry/ui/student_navigation.h"
#include "entry/ui/view_commands.h"
#include "textblocks/ui/text_block_commands.h"
#include "print/ui/preview_commands.h"
#include "print/ui/print_centre_commands.h"
#include "print/ui/list_preview.h"
#include "print/ui/list_printout_commands.h"
#include "print/ui/layout_editor_commands.h"
#include "periphery/ui/periphery_commands.h"
#include "exchange/ui/export_commands.h"
#include "exchange/ui/import_commands.h"
#include "exchange/ui/zip_commands.h"
#include "schoolyear/ui/archive_commands.h"
#include "schoolyear/ui/history_commands.h"
#include "schoolyear/ui/schoolyear_commands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTabBar>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {
namespace {

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
    const NavigationPanel navigation = buildNavigationPanel(this);
    lName_ = navigation.student;
    klassenbez_ = navigation.className;
    lKlasse_ = navigation.studentCount;
    outer->addWidget(navigation.panel);

    auto* middle = new QWidget(central);
    auto* middleLayout = new QHBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->setSpacing(0);
    const FilePanel files = buildFilePanel(this);
    panel7_ = files.panel;
    dateienbox_ = files.files;
    middleLayout->addWidget(panel7_);
    allreg_ = new QTabWidget(middle);
    allreg_->setObjectName(QStringLiteral("allreg"));
    allreg_->setDocumentMode(true);
    middleLayout->addWidget(allreg_, 1);
    outer->addWidget(middle, 1);
    createPages();

    const StatusPanel status = buildStatusPanel(this);
    label5_ = status.abbreviationFile;
    gaugepanel_ = status.progress;
    hilfe_ = status.help;
    context_.ui.setProgressDisplay(gaugepanel_);
    outer->addWidget(status.panel);
    setCentralWidget(central);

    helpLine_ = new HelpLine(*hilfe_, context_.helpTexts, this);
    connectCommands();
    followStudentFile();
    installCommands();
}

// Every subsystem connects its menu items, buttons and keys to its windows
// through its installer. A new capability adds its installer here. The
// order counts where two installers answer the same signal.
void TFMain::installCommands()
{
    MainFrame& frame = *this;
    installFileCommands(frame);
    installSettingsCommands(frame);
    installPreviewCommands(frame);
    installPrintCentre(frame);
    installListPrintouts(frame);
    installLayoutEditor(frame);
    installEntryTableFeatures(frame);  // puts the cell editors in place
    installStudentNavigation(frame);
    installViewCommands(frame);
    installSingleView(frame);
    installColumnInformation(frame);
    installMasterData(frame);
    installEntryDirection(frame);
    installMemoPanelCommands(frame);
    installTextBlocks(frame);
    installPeriphery(frame);
    installImport(frame);
    installZipExchange(frame);
    installExports(frame);
    installBulkEdits(frame);
    installSchoolYear(frame);
    installArchiveAndStatistics(frame);
    installHistory(frame);
}

// The frame follows the open file: the status line and the grids' current
// cell.
void TFMain::followStudentFile()
{
    connect(file_.get(), &CurrentStudentFile::opened, this, &TFMain::studentFileOpened);
    file_->table().setInputTakeOver([this] { takeOverInput(); });
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
        for (QTableView* g : {grid1_, grid2_}) {
            const QModelIndex current = g->currentIndex();
            // After new columns the grid has no cell; it returns to the
            // column the user was in.
            const int column = current.isValid() ? current.column() : g == grid1_ ? entryColumn_ : 0;
            if (row >= 0 && current.row() != row)
                g->setCurrentIndex(g->model()->index(row, std::min(column, std::max(0, g->model()->columnCount() - 1))));
        }
    });
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
    // The frame around the grids shows the table lock: red locked, lime free.
    QFrame* frame = makePanel("Panel15", page);
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

void TFMain::showListPrintout(const ListJob& job)
{
    zedora::showListPrintout(job, context_.settings, context_.ui, context_.files.get(), this);
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

void TFMain::studentFileOpened()
{
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
    const int index = sjbox_->findText(dir, Qt::MatchFixedString);
    if (index >= 0)
        sjbox_->setCurrentIndex(index);
    emit file_->table().currentRowChanged(file_->table().currentRow());
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
