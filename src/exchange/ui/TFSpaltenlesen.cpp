#include "exchange/ui/TFSpaltenlesen.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/settings.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "exchange/transfer_columns.h"
#include "exchange/zip_archive.h"
#include "exchange/zip_import.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {

namespace {

const QStringList kHidden = {"GEBORT", "GEBOREN", "KLASSE", "MW", "PLZ", "ORT", "STRASSE", "STAATS", "TELEFON",
                             "STAMMF1", "STAMMF2", "KONF", "ANR1", "ANR2", "SIB3", "SIB4", "ID", "D1", "D2", "D3"};
const QColor kMarked(0x80, 0xFF, 0x80); // 8454016

QString memoShown(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString s = text.left(15);
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s + QStringLiteral("...");
}

} // namespace

TFSpaltenlesen::TFSpaltenlesen(TransferMode mode, CurrentStudentFile& file, Settings& settings, Interaction& ui,
                               QString workspace, QTableView* mainGrid, StudentTableModel* mainModel, QWidget* parent)
    : QDialog(parent), mode_(mode), file_(file), settings_(settings), ui_(ui), workspace_(std::move(workspace)), mainGrid_(mainGrid),
      mainModel_(mainModel)
{
    setObjectName(QStringLiteral("FSpaltenlesen"));
    setWindowTitle(mode == TransferMode::Columns ? QStringLiteral("Spalteninhalte in Hauptdatei übertragen")
                                                 : QStringLiteral("Schülerdatensatz in aktuelle Datei einlesen"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto* heading = new QLabel(QStringLiteral("      Aus welcher Schülerdatei soll übertragen werden?"));
    edit1_ = new QLineEdit;
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setReadOnly(true);
    edit1_->setToolTip(QStringLiteral("Quelldatei wählen"));
    auto* choose = new QToolButton;
    choose->setObjectName(QStringLiteral("SpeedButton1"));
    choose->setText(QStringLiteral("..."));
    choose->setToolTip(QStringLiteral("Quelldatei wählen"));
    connect(choose, &QToolButton::clicked, this, [this] { chooseSourceByDialog(); });
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(edit1_, 1);
    sourceRow->addWidget(choose);

    grid_ = new QTableWidget;
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(mode == TransferMode::Record ? QAbstractItemView::SelectRows
                                                             : QAbstractItemView::SelectItems);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    connect(grid_, &QTableWidget::currentCellChanged, this, [this] { updateStatus(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(sourceRow);
    if (mode == TransferMode::Columns) {
        connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { toggleMark(c); });
        auto* marks = new QHBoxLayout;
        marks->addWidget(new QLabel(QStringLiteral("Spalten wählen:    ")));
        auto* all = new QPushButton(QStringLiteral("Alle markieren"));
        all->setObjectName(QStringLiteral("BitBtn3"));
        auto* none = new QPushButton(QStringLiteral("Alle entmarkieren"));
        none->setObjectName(QStringLiteral("BitBtn4"));
        connect(all, &QPushButton::clicked, this, [this] { markAll(true); });
        connect(none, &QPushButton::clicked, this, [this] { markAll(false); });
        marks->addWidget(all);
        marks->addWidget(none);
        freeTarget_ = new QCheckBox(QStringLiteral("Zielspalte frei wählbar"));
        freeTarget_->setObjectName(QStringLiteral("CheckBox1"));
        connect(freeTarget_, &QCheckBox::toggled, this, [this] { updateStatus(); });
        marks->addWidget(freeTarget_);
        marks->addStretch();
        auto* idLabel = new QLabel(QStringLiteral("Identifikationsfelder: NAME, VORNAME"));
        layout->addWidget(idLabel);
        layout->addLayout(marks);
    }
    layout->addWidget(grid_, 1);
    label2_ = new QLabel;
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setWordWrap(true);
    layout->addWidget(label2_);
    start_ = new QPushButton(QStringLiteral("S T A R T "));
    start_->setObjectName(QStringLiteral("BitBtn1"));
    start_->setEnabled(false);
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    auto* close = new QPushButton(QStringLiteral("&Schließen"));
    close->setObjectName(QStringLiteral("BitBtn2"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(760, 480);

    // At first the open file itself is the source; START waits for another.
    startDir_ = QFileInfo(file_.path()).path();
    if (!file_.path().isEmpty())
        openSource(file_.path());
    start_->setEnabled(false);
    updateStatus();
}

QString TFSpaltenlesen::fieldOfColumn(int column) const
{
    return column >= 0 && column < fields_.size() ? fields_[column] : QString();
}

bool TFSpaltenlesen::openSource(const QString& dbf)
{
    source_.close();
    try {
        source_.openToRead(dbf, QStringLiteral("KLASSE"));
    } catch (const std::exception&) {
        ui_.warning(QStringLiteral("Die Datei kann nicht gelesen werden!"));
        fillGrid();
        return false;
    }
    edit1_->setText(dbf);
    startDir_ = QFileInfo(dbf).path();
    fillGrid();
    const bool same = QFileInfo(dbf).absoluteFilePath().trimmed().toUpper()
                      == QFileInfo(file_.path()).absoluteFilePath().trimmed().toUpper();
    start_->setEnabled(!same);
    updateStatus();
    return true;
}

void TFSpaltenlesen::fillGrid()
{
    fields_.clear();
    captions_.clear();
    if (source_.isOpen()) {
        auto add = [&](const QString& field, const QString& caption) {
            if (source_.findField(field) >= 0 && !fields_.contains(field) && !kHidden.contains(field)) {
                fields_ << field;
                captions_ << caption;
            }
        };
        add(QStringLiteral("NAME"), QStringLiteral("NAME"));
        add(QStringLiteral("VORNAME"), QStringLiteral("VORNAME"));
        if (mainModel_) {
            for (int c = 0; c < mainModel_->columnCount(); ++c) {
                const int f = mainModel_->fieldOfColumn(c);
                if (f >= 0)
                    add(file_.table().fieldName(f).toUpper(),
                        mainModel_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
            }
        } else {
            for (const QString& f : source_.fieldNames())
                add(f.toUpper(), f.toUpper());
        }
    }
    marks_.assign(size_t(fields_.size()), false);
    grid_->clear();
    grid_->setColumnCount(int(fields_.size()));
    grid_->setRowCount(source_.isOpen() ? source_.rowCount() : 0);
    grid_->setHorizontalHeaderLabels(captions_);
    for (int c = 0; c < fields_.size(); ++c) {
        const int f = source_.findField(fields_[c]);
        const bool memo = source_.isMemo(f);
        for (int r = 0; r < grid_->rowCount(); ++r) {
            const QString v = source_.valueAt(r, f);
            grid_->setItem(r, c, new QTableWidgetItem(memo ? memoShown(v) : v.trimmed()));
        }
        const int chars = fields_[c] == QLatin1String("NAME") ? 15 : fields_[c] == QLatin1String("VORNAME") ? 10 : 6;
        grid_->setColumnWidth(c, chars * grid_->fontMetrics().averageCharWidth() + 12);
    }
}

void TFSpaltenlesen::toggleMark(int column)
{
    const QString field = fieldOfColumn(column);
    if (field.isEmpty())
        return;
    if (!isTransferableField(field)) {
        ui_.info(QString::fromUtf8(transfer_texts::kNotMarkable));
        return;
    }
    marks_[size_t(column)] = !marks_[size_t(column)];
    auto* header = grid_->horizontalHeaderItem(column);
    header->setText((marks_[size_t(column)] ? QStringLiteral(">") : QString()) + captions_[column]);
    for (int r = 0; r < grid_->rowCount(); ++r) {
        if (auto* item = grid_->item(r, column))
            item->setBackground(marks_[size_t(column)] ? QBrush(kMarked) : QBrush());
    }
    updateStatus();
}

void TFSpaltenlesen::markAll(bool on)
{
    for (int c = 0; c < fields_.size(); ++c) {
        if (isTransferableField(fields_[c]) && marks_[size_t(c)] != on)
            toggleMark(c);
    }
    updateStatus();
}

QStringList TFSpaltenlesen::markedFields() const
{
    QStringList out;
    for (int c = 0; c < fields_.size(); ++c) {
        if (marks_[size_t(c)])
            out << fields_[c];
    }
    return out;
}

void TFSpaltenlesen::updateStatus()
{
    const QString fileName = QFileInfo(file_.path()).fileName();
    if (mode_ == TransferMode::Record) {
        const int r = grid_->currentRow();
        if (r < 0 || !source_.isOpen()) {
            label2_->clear();
            return;
        }
        label2_->setText(QStringLiteral("Die Daten der Schülerin/des Schülers \"")
                         + source_.valueAt(r, source_.findField(QStringLiteral("VORNAME"))).trimmed()
                         + QLatin1Char(' ') + source_.valueAt(r, source_.findField(QStringLiteral("NAME"))).trimmed()
                         + QStringLiteral("\" werden in die aktuelle Datei (") + fileName
                         + QStringLiteral(") eingelesen!"));
        return;
    }
    const QStringList marked = markedFields();
    freeTarget_->setVisible(marked.size() == 1);
    if (marked.isEmpty()) {
        label2_->setText(QStringLiteral("Spalte wählen durch Klick auf Spaltenkopf!"));
    } else if (marked.size() == 1 && freeTarget_->isChecked() && mainGrid_ && mainModel_) {
        const int c = mainGrid_->currentIndex().column();
        const int f = mainModel_->fieldOfColumn(c);
        label2_->setText(QStringLiteral("Spalte \"") + fieldOfColumn(grid_->currentColumn()) + QStringLiteral("\" nach \"")
                         + mainModel_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()
                         + QStringLiteral("\" (") + (f >= 0 ? file_.table().fieldName(f) : QString())
                         + QStringLiteral(") übertragen!"));
    } else {
        label2_->setText(QStringLiteral("Die gewählten Spalten werden in die aktuelle Datei (") + fileName
                         + QStringLiteral(") eingelesen!"));
    }
}

QString TFSpaltenlesen::unpackZip(const QString& zip)
{
    const QString zipTmp = resolveIn(workspace_, QStringLiteral("ZipTmp"));
    QDir().mkpath(zipTmp);
    for (const QString& f : QDir(zipTmp).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(QDir(zipTmp).filePath(f));
    ZipReader reader;
    if (!reader.open(zip)) {
        ui_.warning(QStringLiteral("Die Datei kann nicht gelesen werden!"));
        return {};
    }
    const ZipImportLimits limits;
    for (const ZipEntryInfo& e : reader.entries()) {
        // Only plain files of sane size, each under its bare name.
        if (e.directory || e.symlink || e.encrypted || !unsafePathReason(e.name).isEmpty()
            || e.size > limits.maxEntrySize)
            continue;
        const QString dest = QDir(zipTmp).filePath(lastComponent(e.name).trimmed());
        QFile::remove(dest);
        reader.extract(e.index, dest);
    }
    return zipTmp;
}

void TFSpaltenlesen::chooseSourceByDialog()
{
    auto chosen = ui_.openFile(QStringLiteral("Notendatei"), QStringLiteral("Schülerdateien (*.DBF *.dbf *.ZIP *.zip)"),
                               startDir_, QString());
    if (!chosen || chosen->isEmpty())
        return;
    if (chosen->endsWith(QLatin1String(".ZIP"), Qt::CaseInsensitive)) {
        const QString folder = unpackZip(*chosen);
        if (folder.isEmpty())
            return;
        chosen = ui_.openFile(QStringLiteral("Notendatei"), QStringLiteral("Schülerdateien (*.DBF *.dbf)"), folder,
                              QString());
        if (!chosen || chosen->isEmpty())
            return;
    }
    chooseSource(*chosen);
}

bool TFSpaltenlesen::chooseSource(const QString& path)
{
    if (path.endsWith(QLatin1String(".ZIP"), Qt::CaseInsensitive)) {
        const QString folder = unpackZip(path);
        if (folder.isEmpty())
            return false;
        const QStringList dbfs = QDir(folder).entryList({QStringLiteral("*.dbf")}, QDir::Files);
        if (dbfs.isEmpty())
            return false;
        return openSource(QDir(folder).filePath(dbfs.first()));
    }
    return openSource(resolvePath(path));
}

void TFSpaltenlesen::start()
{
    StudentTable& target = file_.table();
    if (mode_ == TransferMode::Record) {
        if (runRecordTransfer(target, source_, grid_->currentRow(), ui_))
            updateStatus();
        return;
    }
    ColumnChoice c;
    c.marked = markedFields();
    c.selectedSource = fieldOfColumn(grid_->currentColumn());
    if (c.marked.size() == 1 && !c.marked.contains(c.selectedSource))
        c.selectedSource = c.marked.first();
    c.freeTarget = freeTarget_->isChecked() && c.marked.size() == 1;
    if (mainGrid_ && mainModel_) {
        const int col = mainGrid_->currentIndex().column();
        const int f = mainModel_->fieldOfColumn(col);
        c.selectedTarget = f >= 0 ? target.fieldName(f) : QString();
        c.selectedTargetCaption = mainModel_->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    c.tableLocked = settings_.SperreOption;
    runColumnTransfer(target, source_, c, ui_, [this](int percent) { ui_.progress(QString(), percent, 100); });
    ui_.progressFinished();
}

} // namespace zedora
