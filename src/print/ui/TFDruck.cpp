#include "print/ui/TFDruck.h"

#include "base/interaction.h"
#include "base/workspace_files.h"
#include "core/settings.h"
#include "print/layout_reader.h"
#include "print/pdf_file_name.h"
#include "print/printer_output.h"
#include "print/printer_test_page.h"
#include "print/ui/list_preview.h"
#include "print/report_pdf.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zedora {

namespace {

QButtonGroup* radioGroup(QWidget* parent, QVBoxLayout* column, const QString& name, const QString& title,
                         const QStringList& items)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items[i], box);
        r->setObjectName(name + QString::number(i));
        group->addButton(r, i);
        layout->addWidget(r);
    }
    group->button(0)->setChecked(true);
    column->addWidget(box);
    return group;
}

QString folderOf(const QString& path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    return p.contains(u'/') ? p.section(u'/', 0, -2) : QString();
}

} // namespace

TFDruck::TFDruck(Settings& settings, Interaction& ui, PrintMetrics& metrics, QWidget* parent)
    : QDialog(parent), settings_(settings), ui_(ui), metrics_(metrics), layout_(std::make_unique<TDruckLayout>())
{
    setObjectName(QStringLiteral("FDruck"));
    setWindowTitle(QStringLiteral("Druckzentrum"));
    setModal(true);
    buildControls();
    openPreview = [this](PreviewJob job) {
        if (!preview_) {
            preview_ = std::make_unique<TFVorschau>(settings_, ui_, metrics_, parentWidget());
            preview_->setWorkspaceFiles(files_);
        }
        preview_->showJob(std::move(job), true);
    };
}

TFDruck::~TFDruck() = default;

void TFDruck::buildControls()
{
    auto* main = new QHBoxLayout(this);

    // Layouts.
    auto* left = new QVBoxLayout;
    main->addLayout(left);
    const auto makeButton = [this](int slot) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("l") + QString::number(slot));
        b->setToolTip(QString::fromUtf8(PrintCentre::kSlotHint));
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, slot] { layoutButtonClicked(slot); });
        if (slot != 17) {
            connect(b, &QWidget::customContextMenuRequested, this, [this, b, slot](const QPoint& pos) {
                QMenu menu(b);
                menu.setObjectName(QStringLiteral("PopupMenu1"));
                menu.addAction(QStringLiteral("Löschen"));
                menu.addAction(QStringLiteral("Ändern"));
                menu.addSeparator();
                menu.addAction(QStringLiteral("Abbruch"));
                if (QAction* a = menu.exec(b->mapToGlobal(pos)))
                    slotMenuChosen(slot, a->text());
            });
        }
        slotButtons_[size_t(slot)] = b;
        return b;
    };
    left->addWidget(new QLabel(QStringLiteral("Aktuelles Layout"), this));
    QPushButton* current = makeButton(PrintCentre::kCurrentLayoutSlot);
    current->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    left->addWidget(current);
    left->addWidget(new QLabel(QStringLiteral("Weitere Layouts"), this));
    for (int s = 1; s <= 11; ++s)
        left->addWidget(makeButton(s));
    for (int s = 14; s <= 16; ++s)
        left->addWidget(makeButton(s));
    auto* chosen = new QHBoxLayout;
    layoutbox_ = new QComboBox(this);
    layoutbox_->setObjectName(QStringLiteral("layoutbox"));
    chosen->addWidget(layoutbox_, 1);
    chosen->addWidget(makeButton(17));
    slotButtons_[17]->setText(QStringLiteral("Drucken"));
    left->addLayout(chosen);
    left->addStretch();

    // Form mode, grade format, range, printer.
    auto* middle = new QVBoxLayout;
    main->addLayout(middle);
    formArt_ = radioGroup(this, middle, QStringLiteral("FormArt"), QStringLiteral("Formularart..."),
                          {QStringLiteral("... mit allen Daten"), QStringLiteral("... nur mit Kopfdaten"),
                           QStringLiteral("... leeres Formular"), QStringLiteral("... mit Variablennamen")});
    anzeige_ = radioGroup(this, middle, QStringLiteral("anzeige"), QStringLiteral("Notenformat..."),
                          {QStringLiteral("  Bedeutung 1"), QStringLiteral("  Bedeutung 2"), QStringLiteral("  Kürzel")});
    bereich_ = radioGroup(this, middle, QStringLiteral("bereich"), QStringLiteral("Bereich für Druck..."),
                          {QStringLiteral("Auswahl"), QStringLiteral("Ganze Klasse")});
    connect(bereich_, &QButtonGroup::idClicked, this, [this] { rangeChanged(); });
    abBox_ = new QComboBox(this);
    abBox_->setObjectName(QStringLiteral("abBox"));
    middle->addWidget(abBox_);
    auto* copies = new QHBoxLayout;
    copies->addWidget(new QLabel(QStringLiteral("Anzahl:"), this));
    anzahlspin_ = new QSpinBox(this);
    anzahlspin_->setObjectName(QStringLiteral("anzahlspin"));
    anzahlspin_->setRange(PrintCentre::kMinCopies, PrintCentre::kMaxCopies);
    anzahlspin_->setValue(1);
    copies->addWidget(anzahlspin_);
    middle->addLayout(copies);
    druckerBox_ = new QComboBox(this);
    druckerBox_->setObjectName(QStringLiteral("DruckerBox"));
    middle->addWidget(druckerBox_);
    checkBox2_ = new QCheckBox(QStringLiteral("Immer diesen Drucker nehmen"), this);
    checkBox2_->setObjectName(QStringLiteral("CheckBox2"));
    middle->addWidget(checkBox2_);
    connect(checkBox2_, &QCheckBox::toggled, this, [this](bool on) {
        if (filling_)
            return;
        settings_.FesterDruckerGewaehlt = on;
        druckerBox_->setEnabled(on);
    });
    connect(druckerBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_ && index >= 0)
            settings_.FesterDruckerNummer = index;
    });
    bitBtn1_ = new QPushButton(QStringLiteral("Drucker&test"), this);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    connect(bitBtn1_, &QPushButton::clicked, this, &TFDruck::printerTest);
    middle->addWidget(bitBtn1_);
    archiveButton_ = new QPushButton(QStringLiteral("PDF-&Archiv"), this);
    archiveButton_->setObjectName(QStringLiteral("archivButton"));
    archiveButton_->setToolTip(QStringLiteral("Zeugnisse der Auswahl je Schüler als PDF/A-Datei ins Dokumentenarchiv"));
    connect(archiveButton_, &QPushButton::clicked, this, &TFDruck::archiveSelected);
    middle->addWidget(archiveButton_);
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("BitBtn3"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    middle->addWidget(close);
    middle->addStretch();

    // Students.
    auto* right = new QVBoxLayout;
    main->addLayout(right, 1);
    classBox_ = new QGroupBox(this);
    classBox_->setObjectName(QStringLiteral("GroupBox1"));
    auto* listLayout = new QVBoxLayout(classBox_);
    listBox1_ = new QListWidget(classBox_);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listBox1_->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    listBox1_->setMinimumWidth(420);
    connect(listBox1_, &QListWidget::itemPressed, this, [this] { listClicked(); });
    connect(listBox1_, &QListWidget::itemSelectionChanged, this, [this] {
        if (!filling_)
            listClicked();
    });
    listLayout->addWidget(listBox1_);
    right->addWidget(classBox_);
    hilfe_ = new QLabel(this);
    hilfe_->setObjectName(QStringLiteral("hilfe"));
    hilfe_->setWordWrap(true);
    right->addWidget(hilfe_);
}

void TFDruck::prepare(PrintCentreSources sources)
{
    sources_ = std::move(sources);
    filling_ = true;
    if (firstShowing_) {
        druckerBox_->addItems(printerNames());
        firstShowing_ = false;
    }
    bereich_->button(0)->setChecked(true);
    formArt_->button(0)->setChecked(true);
    anzeige_->button(0)->setChecked(true);
    anzahlspin_->setValue(1);
    const QString printer = jobPrinter(settings_);
    const int fixed = druckerBox_->findText(printer);
    druckerBox_->setCurrentIndex(fixed);
    checkBox2_->setChecked(settings_.FesterDruckerGewaehlt);
    druckerBox_->setEnabled(checkBox2_->isChecked());
    abBox_->clear();
    abBox_->addItem(QStringLiteral("Alle"));
    for (const QString& code : sources_.graduationCodes.mid(0, 10))
        if (!code.trimmed().isEmpty())
            abBox_->addItem(code.trimmed());
    abBox_->setCurrentIndex(0);

    listBox1_->clear();
    if (sources_.records) {
        const PrintCentre::StudentList list = PrintCentre::studentList(*sources_.records);
        listBox1_->addItems(list.lines);
        if (list.current >= 0) {
            listBox1_->item(list.current)->setSelected(true);
            listBox1_->setCurrentRow(list.current, QItemSelectionModel::Current);
        }
    }
    classBox_->setTitle(QStringLiteral("Klasse ") + sources_.klasse);
    hilfe_->setVisible(settings_.MitHilfe);
    fillLayoutBox();
    filling_ = false;
    rangeChanged();
    refreshCaptions();
}

void TFDruck::fillLayoutBox()
{
    layoutbox_->clear();
    const QString folder = folderOf(sources_.currentLayout);
    QStringList names = QDir(folder.isEmpty() ? sources_.workspace + QStringLiteral("LAYOUT") : folder)
                            .entryList({QStringLiteral("*.lay"), QStringLiteral("*.LAY"), QStringLiteral("*.Lay")},
                                       QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeDuplicates();
    for (const QString& n : names)
        layoutbox_->addItem(n.toUpper(), n);
    layoutbox_->setCurrentIndex(layoutbox_->count() > 0 ? 0 : -1);
}

QString TFDruck::pathOfSlot(int slot) const
{
    if (slot == 17) {
        if (layoutbox_->currentIndex() < 0)
            return QString();
        QString folder = folderOf(sources_.currentLayout);
        if (folder.isEmpty())
            folder = sources_.workspace + QStringLiteral("LAYOUT");
        return folder + u'/' + layoutbox_->currentData().toString();
    }
    return PrintCentre::slotPath(settings_, slot, sources_.currentLayout);
}

void TFDruck::refreshCaptions()
{
    for (int s = 1; s <= 16; ++s)
        if (slotButtons_[size_t(s)])
            slotButtons_[size_t(s)]->setText(PrintCentre::slotCaption(pathOfSlot(s)));
}

void TFDruck::rangeChanged()
{
    filling_ = true;
    if (bereich_->checkedId() == 0) {
        abBox_->setCurrentIndex(0);
        abBox_->setEnabled(true);
        if (sources_.records) {
            const int current = PrintCentre::studentList(*sources_.records).current;
            if (current >= 0 && current < listBox1_->count())
                listBox1_->item(current)->setSelected(true);
        }
    } else {
        abBox_->setEnabled(false);
        listBox1_->selectAll();
    }
    bereich_->button(0)->setText(QStringLiteral("Auswahl"));
    filling_ = false;
}

void TFDruck::listClicked()
{
    bereich_->button(0)->setChecked(true);
    abBox_->setEnabled(true);
    bereich_->button(0)->setText(QStringLiteral("Auswahl (gewählt: ") +
                                 QString::number(listBox1_->selectedItems().size()) + u')');
}

QStringList TFDruck::selectedIds() const
{
    QStringList ids;
    for (int i = 0; i < listBox1_->count(); ++i)
        if (listBox1_->item(i)->isSelected())
            ids << PrintCentre::idOfLine(listBox1_->item(i)->text());
    return ids;
}

PrintCentre::Choice TFDruck::choice() const
{
    PrintCentre::Choice c;
    c.formMode = FormMode(std::max(0, formArt_->checkedId()));
    c.gradeFormat = std::max(0, anzeige_->checkedId());
    c.wholeClass = bereich_->checkedId() == 1;
    c.code = abBox_->currentText();
    c.selectedIds = selectedIds();
    c.copies = anzahlspin_->value();
    return c;
}

bool TFDruck::loadLayout(const QString& path, TDruckLayout& layout, QStringList& lines)
{
    const std::optional<QStringList> text = readLayoutText(path);
    if (!text) {
        ui_.info(QStringLiteral("Layoutdatei ") + path + QStringLiteral(" nicht gefunden!"));
        return false;
    }
    lines = *text;
    if (sources_.layoutLoaded)
        sources_.layoutLoaded(lines);
    return parseLayoutForPrinting(path, lines, layout, &ui_, sources_.workspace);
}

void TFDruck::layoutButtonClicked(int slot)
{
    if (preview_)
        preview_->close();
    const std::optional<QString> path = PrintCentre::checkSlot(pathOfSlot(slot), ui_);
    if (!path || !sources_.records)
        return;
    auto layout = std::make_unique<TDruckLayout>();
    QStringList lines;
    if (!loadLayout(*path, *layout, lines))
        return;
    const std::optional<PrintRun> run = PrintCentre::prepareRun(*layout, choice(), *sources_.records, ui_);
    if (run) {
        // The preview refers to the layout; the old one goes after it closed.
        layout_ = std::move(layout);
        if (run->selection == RecordSelection::WholeClass)
            sources_.records->first();
        PreviewJob job = reportCardJob(*layout_, metrics_, RenderOptions::fromSettings(settings_, sources_.workspace),
                                       sources_.context, *sources_.records, *run, sources_.klasse,
                                       settings_.Schuljahr);
        openPreview(std::move(job));
    }
    if (sources_.refreshStatus)
        sources_.refreshStatus();
}

void TFDruck::slotMenuChosen(int slot, const QString& action)
{
    if (action == QStringLiteral("Abbruch") || !PrintCentre::isSlot(slot))
        return;
    if (!sources_.administrator || !sources_.administrator()) {
        ui_.info(QStringLiteral("Diese Funktion ist im Systembetreuermodus möglich!"));
        return;
    }
    if (action == QStringLiteral("Löschen")) {
        if (slot == PrintCentre::kCurrentLayoutSlot) {
            sources_.currentLayout.clear();
            if (sources_.currentLayoutChanged)
                sources_.currentLayoutChanged(QString());
        } else {
            PrintCentre::setSlotPath(settings_, slot, QString());
        }
    } else if (action == QStringLiteral("Ändern")) {
        QString folder = folderOf(sources_.currentLayout);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = sources_.workspace + QStringLiteral("LAYOUT");
        const std::optional<QString> chosen =
            ui_.openFile(QStringLiteral("Layoutdateien"), QStringLiteral("Layoutdateien (*.lay *.LAY)"), folder, QString());
        if (!chosen || chosen->isEmpty())
            return;
        if (PrintCentre::isTemplatePath(*chosen)) {
            ui_.info(QString::fromUtf8(PrintCentre::kTemplateRefused));
            return;
        }
        if (slot == PrintCentre::kCurrentLayoutSlot) {
            sources_.currentLayout = *chosen;
            if (sources_.currentLayoutChanged)
                sources_.currentLayoutChanged(*chosen);
            if (sources_.refreshStatus)
                sources_.refreshStatus();
        } else {
            PrintCentre::setSlotPath(settings_, slot, *chosen);
        }
    }
    refreshCaptions();
}

void TFDruck::archiveSelected()
{
    if (!sources_.records)
        return;
    const std::optional<QString> path = PrintCentre::checkSlot(pathOfSlot(PrintCentre::kCurrentLayoutSlot), ui_);
    if (!path)
        return;
    auto layout = std::make_unique<TDruckLayout>();
    QStringList lines;
    if (!loadLayout(*path, *layout, lines))
        return;
    if (layout->Bereich == 1 || layout->Tabellenmodus) {
        ui_.info(QStringLiteral("Ein Tabellenformular kann nicht je Schüler archiviert werden."));
        return;
    }
    const QStringList ids = bereich_->checkedId() == 1 ? QStringList() : selectedIds();
    if (ids.isEmpty() && bereich_->checkedId() == 0) {
        ui_.info(QStringLiteral("Es ist kein Schüler ausgewählt."));
        return;
    }
    const QString halfYear = documentArchiveFolderFor(sources_.studentFile, files_);
    QString klasse = sources_.klasse.trimmed();
    klasse = pdfFileNameFor(klasse.isEmpty() ? QStringLiteral("Klasse") : klasse);
    klasse.chop(4);
    const QString folder = halfYear.isEmpty() ? QString() : halfYear + u'/' + klasse;
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        if (files_)
            files_->createDirectory(folder);
        else
            QDir().mkpath(folder);
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable()) {
        ui_.error(QStringLiteral("Der Ordner des Dokumentenarchivs ") + (folder.isEmpty() ? halfYear : folder) +
                  QStringLiteral(" kann nicht beschrieben werden!"));
        return;
    }
    ArchiveRequest request;
    request.folder = folder;
    request.ids = ids;
    request.formMode = FormMode(std::max(0, formArt_->checkedId()));
    request.gradeFormat = layout->Bedeutung >= 0 ? layout->Bedeutung : std::max(0, anzeige_->checkedId());
    request.school = (settings_.SchulName1 + u' ' + settings_.SchulName2).trimmed();
    request.schuljahr = settings_.Schuljahr;
    request.mayReplace = [this](const QString& file) {
        return ui_.ask(QStringLiteral("Die Datei ") + file + QStringLiteral(" gibt es schon.\nÜberschreiben?"),
                       Buttons::YesNo) == Answer::Yes;
    };
    ProgressScope progress(ui_, QStringLiteral("PDF-Archiv"), int(ids.size()));
    request.progress = [&progress](int done, int) { progress.step(done); };
    BusyScope busy(ui_);
    const ArchiveOutcome outcome = writeArchivePdfs(request, *layout, metrics_,
                                                    RenderOptions::fromSettings(settings_, sources_.workspace),
                                                    sources_.context, *sources_.records);
    if (!outcome.ok()) {
        ui_.error(QStringLiteral("Die Datei ") + outcome.failed + QStringLiteral(" konnte nicht geschrieben werden!\n") +
                  QString::number(outcome.written.size()) + QStringLiteral(" Dateien wurden vorher geschrieben."));
        return;
    }
    ui_.info(QString::number(outcome.written.size()) + QStringLiteral(" PDF-Dateien nach ") + folder +
             QStringLiteral(" geschrieben.") +
             (outcome.kept.isEmpty() ? QString()
                                     : QStringLiteral("\n") + QString::number(outcome.kept.size()) +
                                           QStringLiteral(" vorhandene Dateien blieben unverändert.")));
}

void TFDruck::printerTest()
{
    if (preview_)
        preview_->close();
    openPreview(previewJobOf(printerTestFor(settings_, sources_.workspace)));
}

bool TFDruck::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        for (int s = 1; s <= 17; ++s) {
            if (slotButtons_[size_t(s)] == watched) {
                if (preview_ && preview_->isVisible())
                    preview_->hide();
                hilfe_->setText(QString::fromUtf8(PrintCentre::kSlotHint) + QStringLiteral(": ") + pathOfSlot(s));
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zedora
