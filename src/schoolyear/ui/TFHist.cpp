#include "schoolyear/ui/TFHist.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_files.h"
#include "data/student_photo.h"
#include "entry/abbreviation_tables.h"
#include "entry/colour_chains.h"
#include "schoolyear/history_printout.h"
#include "schoolyear/ui/history_class_page.h"
#include "schoolyear/ui/history_photo.h"
#include "schoolyear/ui/history_side_panel.h"
#include "schoolyear/ui/history_settings_panel.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zedora {

namespace {

const QString kGridHint = QStringLiteral(
    "Nächster  mit   LEERTASTE  oder ENTER,  zurück mit BACKSPACE\nBearbeiten mit rechter Maustaste!");

// The column of the current half-year is headed white on red.
class HistoryHeader : public QHeaderView {
public:
    explicit HistoryHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        if (logicalIndex != 1) {
            QHeaderView::paintSection(painter, rect, logicalIndex);
            return;
        }
        painter->save();
        painter->fillRect(rect, Qt::red);
        painter->setPen(Qt::white);
        QFont f = font();
        f.setBold(true);
        painter->setFont(f);
        painter->drawText(rect.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          model()->headerData(logicalIndex, Qt::Horizontal).toString());
        painter->restore();
    }
};

QString nameEntry(const QString& name, const QString& vorname)
{
    return name.trimmed() + QStringLiteral(", ") + vorname.trimmed();
}

} // namespace

TFHist::TFHist(MainFrame& frame, QWidget* parent) : QDialog(parent), frame_(frame)
{
    setObjectName(QStringLiteral("TFHist"));
    setWindowTitle(QStringLiteral("Notenübersicht einzelner Schüler mit Historie") + QString(9, QLatin1Char(' '))
                   + QStringLiteral("Zedora"));
    auto* top = new QHBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->tabBar()->hide();
    pages_->addTab(buildSinglePage(), QStringLiteral("Einzeltabelle"));
    classPage_ = new HistoryClassPage(pages_);
    pages_->addTab(classPage_, QStringLiteral("Klassentabelle"));
    top->addWidget(pages_, 1);
    settings_ = new HistorySettingsPanel(frame_.context().settings, this);
    settings_->hide();
    top->addWidget(settings_);
    side_ = new HistorySidePanel(this);
    top->addWidget(side_);
    connect(side_, &HistorySidePanel::firstClicked, this, &TFHist::firstStudent);
    connect(side_, &HistorySidePanel::priorClicked, this, &TFHist::priorStudent);
    connect(side_, &HistorySidePanel::nextClicked, this, &TFHist::nextStudent);
    connect(side_, &HistorySidePanel::lastClicked, this, &TFHist::lastStudent);
    connect(side_, &HistorySidePanel::nameClicked, this, [this](const QString& entry) {
        if (pages_->currentIndex() == 0)
            goToName(entry);
    });
    connect(side_, &HistorySidePanel::fileNameClicked, this, [this] {
        if (QAction* open = frame_.menu().action(QStringLiteral("openStudentFile")))
            open->trigger();
    });
    connect(side_, &HistorySidePanel::switchClicked, this, &TFHist::switchTables);
    connect(side_, &HistorySidePanel::settingsClicked, this, [this] {
        settings_->load();
        settings_->show();
    });
    connect(side_, &HistorySidePanel::refreshClicked, this, &TFHist::rebuild);
    connect(side_, &HistorySidePanel::closeClicked, this, &TFHist::close);
    resize(1000, 640);

    connect(classPage_, &HistoryClassPage::insertRequested, this, &TFHist::insertLine);
    connect(classPage_, &HistoryClassPage::printRequested, this, &TFHist::printClassTable);
    connect(&classPage_->grid(), &QTableWidget::cellDoubleClicked, this, &TFHist::showCell);
    classPage_->grid().installEventFilter(this);
    connect(settings_, &HistorySettingsPanel::looksChanged, this, &TFHist::applyLooks);
    connect(settings_, &HistorySettingsPanel::closed, this, &TFHist::rebuild);
    // The main window may move to another student while the view is up.
    connect(&frame_.studentFile().table(), &StudentTable::currentRowChanged, this, [this] {
        if (isVisible())
            fillCurrent();
    });
    // Another file opened while the view is up (also from its own file box).
    connect(&frame_.studentFile(), &CurrentStudentFile::opened, this, [this] {
        if (isVisible())
            rebuild();
    });
}

TFHist::~TFHist() = default;

QListWidget& TFHist::nameList()
{
    return side_->names();
}

HistoryPhoto& TFHist::photo()
{
    return side_->photo();
}

QWidget* TFHist::buildSinglePage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("einzelseite"));
    auto* layout = new QVBoxLayout(page);
    auto* panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    // The student line on a row of its own: beside the controls a long name
    // made the window wider than a 1280-pixel screen.
    auto* rows = new QVBoxLayout(panel);
    studentLine_ = new QLabel(panel);
    studentLine_->setObjectName(QStringLiteral("schuelerzeile"));
    QFont bold = studentLine_->font();
    bold.setBold(true);
    studentLine_->setFont(bold);
    rows->addWidget(studentLine_);
    auto* row = new QHBoxLayout;
    rows->addLayout(row);
    auto* single = new QPushButton(QStringLiteral("Druck &Einzel"), panel);
    single->setObjectName(QStringLiteral("btDruckEinzel"));
    auto* all = new QPushButton(QStringLiteral("Druck &alle"), panel);
    all->setObjectName(QStringLiteral("btDruckAlle"));
    row->addWidget(single);
    row->addWidget(all);
    auto* view = new QGroupBox(QStringLiteral("Notenansicht"), panel);
    view->setObjectName(QStringLiteral("rgNotenansicht"));
    auto* viewLayout = new QHBoxLayout(view);
    gradeView_ = new QButtonGroup(this);
    const QString choices[] = {QStringLiteral("Kürzel"), QStringLiteral("Bedeutung 1"), QStringLiteral("Bedeutung 2")};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(choices[i], view);
        r->setObjectName(QStringLiteral("rbAnsicht%1").arg(i));
        gradeView_->addButton(r, i);
        viewLayout->addWidget(r);
    }
    gradeView_->button(0)->setChecked(true);
    row->addWidget(view);
    row->addWidget(new QLabel(QStringLiteral("Druckzeilenhöhe"), panel));
    printRowHeight_ = new QSpinBox(panel);
    printRowHeight_->setObjectName(QStringLiteral("drzSpin"));
    printRowHeight_->setRange(30, 100);
    printRowHeight_->setValue(frame_.context().settings.HistDruckzeilenhoehe);
    row->addWidget(printRowHeight_);
    row->addStretch(1);
    layout->addWidget(panel);

    grid_ = new QTableWidget(page);
    grid_->setObjectName(QStringLiteral("eitab"));
    grid_->setHorizontalHeader(new HistoryHeader(grid_));
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setToolTip(kGridHint);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->installEventFilter(this);
    layout->addWidget(grid_, 1);

    popup_ = new QMenu(grid_);
    const auto item = [this](const char* name, const QString& text, void (TFHist::*run)()) {
        QAction* a = popup_->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, run);
    };
    item("Inhaltbearbeiten1", QStringLiteral("&Inhalt bearbeiten"), &TFHist::editCell);
    item("NaechsterSchueler1", QStringLiteral("&Nächster Schüler"), &TFHist::nextStudent);
    item("VorherigerSchueler1", QStringLiteral("&Vorheriger Schüler"), &TFHist::priorStudent);
    item("Klassentabelle1", QStringLiteral("Klassen&tabelle"), &TFHist::showClassTable);
    QAction* settingsItem = popup_->addAction(QStringLiteral("&Einstellungen"));
    settingsItem->setObjectName(QStringLiteral("Einstellungen1"));
    connect(settingsItem, &QAction::triggered, this, [this] {
        settings_->load();
        settings_->show();
    });
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = grid_->indexAt(pos);
        if (index.isValid())
            grid_->setCurrentIndex(index);
        popup_->exec(grid_->viewport()->mapToGlobal(pos));
    });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, &TFHist::showCell);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { syncEarlierWidths(column, width); });
    connect(single, &QPushButton::clicked, this, &TFHist::printSingle);
    connect(all, &QPushButton::clicked, this, &TFHist::printAll);
    connect(gradeView_, &QButtonGroup::idClicked, this, [this](int id) {
        if (view_)
            view_->setGradeView(GradeView(id));
        // The class table shows the grades as chosen when it is built.
        classBuilt_ = false;
        fillCurrent();
    });
    return page;
}

void TFHist::openView()
{
    // The view always starts with the codes; the meanings are a choice.
    gradeView_->button(0)->setChecked(true);
    settings_->hide();
    classPage_->repeatHeader().setChecked(frame_.context().settings.WiederholeHistKopf);
    printRowHeight_->setValue(frame_.context().settings.HistDruckzeilenhoehe);
    rebuild();
    show();
    raise();
    activateWindow();
}

void TFHist::rebuild()
{
    AppContext& ctx = frame_.context();
    CurrentStudentFile& file = frame_.studentFile();
    StudentTable& table = file.table();
    frame_.takeOverInput();
    table.savePending();
    // Others may have changed the file since it was opened.
    if (table.isOpen() && !table.isEditing())
        table.refresh();

    HistorySetup setup;
    setup.workspace = ctx.workspace;
    setup.dataDirectory = file.dataDirectoryName();
    setup.previousArchive = file.previousArchive();
    setup.visible = ctx.settings.HJSichtbar;
    setup.columns = file.layout().columns;
    setup.averages = AverageDefinitions::fromSettings(ctx.settings);
    setup.birthDateFormat = ctx.settings.GebFormat;
    setup.reorganise = [&ctx](const QString& path) {
        const StudentFileContext fc{ctx.workspace, ctx.paths.computerName, *ctx.files, ctx.ui};
        return reorganiseStudentFile(path, fc);
    };
    {
        BusyScope busy(ctx.ui);
        view_ = std::make_unique<HistoryView>(table, setup, &frame_.abbreviations().grades);
    }
    view_->setGradeView(GradeView(std::max(0, gradeView_->checkedId())));
    const QStringList unreadable = view_->unreadableArchives();
    if (!unreadable.isEmpty())
        ctx.ui.warning(QStringLiteral("Archivdatei kann nicht gelesen werden, ihre Spalte bleibt leer:\n\n")
                       + unreadable.join(QStringLiteral("\n\n")));

    classBuilt_ = false;
    classPage_->show(ClassHistory{}, ctx.settings.Histspalte2);
    buildSingleGrid();
    showSingleTable();
    side_->setFileName(file.fileName());
    fillNames();
    table.first();
    fillCurrent();
}

void TFHist::buildSingleGrid()
{
    const int n = view_->halfYears();
    const auto& rows = view_->rows();
    grid_->clear();
    grid_->setColumnCount(n + 2);
    grid_->setRowCount(int(rows.size()));
    QStringList headers{QString()};
    headers << view_->headers() << QString();
    grid_->setHorizontalHeaderLabels(headers);
    grid_->setColumnHidden(n + 1, true);
    for (int r = 0; r < int(rows.size()); ++r) {
        grid_->setItem(r, 0, new QTableWidgetItem(rows[size_t(r)].caption));
        grid_->setItem(r, n + 1, new QTableWidgetItem(rows[size_t(r)].field));
        for (int c = 1; c <= n; ++c)
            grid_->setItem(r, c, new QTableWidgetItem);
    }
    applyLooks();
}

void TFHist::applyLooks()
{
    const Settings& s = frame_.context().settings;
    QFont font = grid_->font();
    font.setPointSize(s.Histschriftgrad);
    grid_->setFont(font);
    grid_->horizontalHeader()->setFont(font);
    if (s.Histzeile >= 4 && s.Histzeile <= 199) {
        grid_->verticalHeader()->setMinimumSectionSize(4);
        grid_->verticalHeader()->setDefaultSectionSize(s.Histzeile);
        for (int r = 0; r < grid_->rowCount(); ++r)
            grid_->setRowHeight(r, s.Histzeile);
    }
    const QSignalBlocker block(grid_->horizontalHeader());
    syncing_ = true;
    grid_->setColumnWidth(0, s.Histspalte1);
    grid_->setColumnWidth(1, s.Histspalte2);
    for (int c = 2; c < grid_->columnCount() - 1; ++c)
        grid_->setColumnWidth(c, s.Histspalte3);
    syncing_ = false;
    QFont bold = font;
    bold.setBold(true);
    for (int r = 0; r < grid_->rowCount(); ++r) {
        for (int c = 0; c <= 1 && c < grid_->columnCount(); ++c) {
            if (QTableWidgetItem* item = grid_->item(r, c))
                item->setFont(bold);
        }
    }
}

void TFHist::syncEarlierWidths(int column, int width)
{
    if (syncing_ || !view_ || column < 2 || column > view_->halfYears())
        return;
    syncing_ = true;
    frame_.context().settings.Histspalte3 = width;
    for (int c = 2; c <= view_->halfYears(); ++c) {
        if (c != column)
            grid_->setColumnWidth(c, width);
    }
    syncing_ = false;
}

void TFHist::fillNames()
{
    StudentTable& table = frame_.studentFile().table();
    const int name = table.findField(QStringLiteral("NAME"));
    const int vorname = table.findField(QStringLiteral("VORNAME"));
    QStringList names;
    for (int r = 0; r < table.rowCount(); ++r)
        names << nameEntry(table.valueAt(r, name), table.valueAt(r, vorname));
    side_->setNames(names);
}

void TFHist::fillCurrent()
{
    if (!view_)
        return;
    StudentTable& table = frame_.studentFile().table();
    shown_ = view_->fill(table.currentRow());
    const Settings& s = frame_.context().settings;
    const ColourChains chains = ColourChains::fromSettings(s);
    const HistoryColours colours{&chains, windowsColour(s.FarbePosi), windowsColour(s.FarbeNegi)};
    const QBrush plain = grid_->palette().base();
    for (int r = 0; r < grid_->rowCount() && r < int(shown_.rows.size()); ++r) {
        for (int c = 1; c <= view_->halfYears(); ++c) {
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item)
                continue;
            item->setText(shown_.cell(r, c));
            const std::optional<QColor> colour = historyCellColour(shown_, r, c, colours);
            item->setBackground(colour ? QBrush(*colour) : plain);
        }
    }
    studentLine_->setText(shown_.studentLine);
    side_->selectName(nameEntry(table.value(QStringLiteral("NAME")), table.value(QStringLiteral("VORNAME"))));
    showPhoto();
}

void TFHist::showPhoto()
{
    const Settings& s = frame_.context().settings;
    StudentTable& table = frame_.studentFile().table();
    QString file;
    if (s.FotoAnzeigen && table.currentRow() >= 0) {
        const StudentPhotoKey key{table.value(QStringLiteral("NAME")), table.value(QStringLiteral("VORNAME")),
                                  table.value(QStringLiteral("GEBOREN")), table.value(QStringLiteral("MW"))};
        file = studentPhotoFile(photoFolder(s.SibankFotoordner), photoBaseName(key, s.Maennlich));
    }
    side_->photo().showFile(file, studentLine_->text().trimmed());
}

void TFHist::firstStudent()
{
    frame_.takeOverInput();
    if (frame_.studentFile().table().first())
        fillCurrent();
}

void TFHist::lastStudent()
{
    frame_.takeOverInput();
    if (frame_.studentFile().table().last())
        fillCurrent();
}

void TFHist::priorStudent()
{
    StudentTable& table = frame_.studentFile().table();
    if (table.atFirst()) {
        frame_.context().ui.info(QStringLiteral("Dateianfang erreicht!\n"));
        return;
    }
    frame_.takeOverInput();
    if (table.prior())
        fillCurrent();
}

void TFHist::nextStudent()
{
    StudentTable& table = frame_.studentFile().table();
    if (table.atLast()) {
        frame_.context().ui.info(QStringLiteral("Dateiende erreicht!\n"));
        return;
    }
    frame_.takeOverInput();
    if (table.next())
        fillCurrent();
}

void TFHist::goToName(const QString& entry)
{
    StudentTable& table = frame_.studentFile().table();
    const int name = table.findField(QStringLiteral("NAME"));
    const int vorname = table.findField(QStringLiteral("VORNAME"));
    for (int r = 0; r < table.rowCount(); ++r) {
        if (nameEntry(table.valueAt(r, name), table.valueAt(r, vorname)) == entry) {
            if (table.moveToRow(r))
                fillCurrent();
            return;
        }
    }
}

void TFHist::showCell()
{
    Interaction& ui = frame_.context().ui;
    if (pages_->currentIndex() == 1) {
        const QTableWidgetItem* item = classPage_->grid().currentItem();
        if (item)
            ui.info(item->text());
        return;
    }
    const int r = grid_->currentRow();
    const int c = grid_->currentColumn();
    if (r < 0 || c < 0)
        return;
    const QString caption = grid_->item(r, 0) ? grid_->item(r, 0)->text() : QString();
    const QString value = grid_->item(r, c) ? grid_->item(r, c)->text().trimmed() : QString();
    ui.info(caption + QStringLiteral(":     \n\n") + QString(6, QLatin1Char(' ')) + value);
}

void TFHist::editCell()
{
    Interaction& ui = frame_.context().ui;
    if (frame_.context().settings.SperreOption) {
        ui.info(QStringLiteral("Tabell ist gesperrt, Änderung nicht möglich!"));
        return;
    }
    const int r = grid_->currentRow();
    if (grid_->currentColumn() != 1 || r < 0) {
        ui.info(QStringLiteral("Es können nur die Daten des \naktuellen Schuljahres bearbeitet werden!\n\n"));
        return;
    }
    StudentTable& table = frame_.studentFile().table();
    const QString fieldName = grid_->item(r, grid_->columnCount() - 1)->text();
    const int field = table.findField(fieldName);
    if (field < 0 || table.currentRow() < 0)
        return;
    const QString caption = grid_->item(r, 0)->text();
    if (table.isReadOnly(field)) {
        ui.info(caption.trimmed() + QStringLiteral(": Dieses Feld kann hier nicht geändert werden!"));
        return;
    }
    const QString old = table.value(field).trimmed();
    const std::optional<QString> typed =
        ui.input(caption, QStringLiteral("Alter Eintrag:   ") + old + QStringLiteral("\n\nNEUER EINTRAG:"), old);
    if (!typed)
        return;
    if (upperAscii(typed->trimmed()) == old) {
        ui.info(QStringLiteral("Abbruch!"));
        return;
    }
    if (!table.isEditing())
        table.edit();
    table.setValue(field, *typed);
    // What the record holds now: the new value, or what the check left.
    const QString now = table.value(field).trimmed();
    grid_->item(r, 1)->setText(r == 0 ? now : QStringLiteral("     ") + now);
}

void TFHist::switchTables()
{
    if (pages_->currentIndex() == 0)
        showClassTable();
    else
        showSingleTable();
}

void TFHist::showSingleTable()
{
    pages_->setCurrentIndex(0);
    side_->setSwitchToClassTable(true);
}

void TFHist::showClassTable()
{
    if (!view_)
        return;
    if (!classBuilt_) {
        Interaction& ui = frame_.context().ui;
        frame_.takeOverInput();
        frame_.studentFile().table().savePending();
        const int total = frame_.studentFile().table().rowCount();
        ProgressScope progress(ui, QStringLiteral("Klassentabelle wird erstellt ..."), total);
        const ClassHistory table = view_->classTable([&progress](int done, int) { progress.step(done); });
        classPage_->show(table, frame_.context().settings.Histspalte2);
        classBuilt_ = true;
    }
    pages_->setCurrentIndex(1);
    side_->setSwitchToClassTable(false);
}

void TFHist::insertLine()
{
    const std::optional<QString> text =
        frame_.context().ui.input(QStringLiteral("Zeile einfügen unter aktueller"), QStringLiteral("Text für 2. Spalte: "),
                                  QString());
    if (!text || text->isEmpty())
        return;
    classPage_->insertLine(*text);
}

QString TFHist::headingClass() const
{
    return frame_.studentFile().table().value(QStringLiteral("KLASSE")).trimmed();
}

HistoryPrintHeading TFHist::printHeading() const
{
    const Settings& s = frame_.context().settings;
    return {headingClass(), s.Schuljahr, s.Halbjahr, frame_.studentFile().fileName(), printRowHeight_->value()};
}

void TFHist::printSingle()
{
    if (!view_)
        return;
    frame_.takeOverInput();
    StudentTable& table = frame_.studentFile().table();
    table.savePending();
    frame_.showListPrintout(historyJob(studentHistoryList({view_->fill(table.currentRow())}, printHeading())));
}

void TFHist::printAll()
{
    if (!view_)
        return;
    frame_.takeOverInput();
    StudentTable& table = frame_.studentFile().table();
    table.savePending();
    QVector<HistoryGrid> grids;
    for (int r = 0; r < table.rowCount(); ++r)
        grids << view_->fill(r);
    frame_.showListPrintout(historyJob(studentHistoryList(grids, printHeading())));
    firstStudent();
}

void TFHist::printClassTable()
{
    frame_.showListPrintout(
        historyJob(classHistoryList(classPage_->table(), classPage_->repeatHeader().isChecked(), printHeading())));
}

bool TFHist::eventFilter(QObject* watched, QEvent* event)
{
    if (classPage_ && watched == &classPage_->grid() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showCell();
            return true;
        }
    } else if (watched == grid_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Space:
            nextStudent();
            return true;
        case Qt::Key_Backspace:
            priorStudent();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            showCell();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFHist::storeSettings()
{
    Settings& s = frame_.context().settings;
    s.HistDruckzeilenhoehe = printRowHeight_->value();
    s.WiederholeHistKopf = classPage_->repeatHeader().isChecked();
    // The panel keeps font size, row height, widths, HJSichtbar and
    // FotoAnzeigen in the settings as they change.
}

void TFHist::reject()
{
    // Escape, "&Schließen" and the window's close box all end here.
    storeSettings();
    // An edit made here is not left pending behind a closed window.
    frame_.takeOverInput();
    frame_.studentFile().table().savePending();
    QDialog::reject();
}

void TFHist::showEvent(QShowEvent* event)
{
    side_->runClock(true);
    QDialog::showEvent(event);
}

void TFHist::hideEvent(QHideEvent* event)
{
    side_->runClock(false);
    QDialog::hideEvent(event);
}

} // namespace zedora
