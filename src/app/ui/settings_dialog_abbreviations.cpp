#include "app/ui/settings_dialog_abbreviations.h"

#include "core/settings_files.h"
#include "app/ui/settings_dialog_widgets.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "entry/abbreviation_tables.h"
#include "entry/storable_text.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

namespace zedora {
namespace {

// Cells of some columns take only as many characters as their file keeps.
class MaxLengthDelegate : public QStyledItemDelegate {
public:
    MaxLengthDelegate(std::map<int, int> maxLengths, QObject* parent)
        : QStyledItemDelegate(parent), maxLengths_(std::move(maxLengths))
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            if (auto it = maxLengths_.find(index.column()); it != maxLengths_.end())
                line->setMaxLength(it->second);
        }
        return editor;
    }

private:
    std::map<int, int> maxLengths_;
};

QString cellText(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void setCell(QTableWidget* grid, int row, int column, const QString& text)
{
    if (QTableWidgetItem* item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

QTableWidget* makeGrid(const char* name, int rows, const QStringList& captions)
{
    auto* grid = new QTableWidget(rows, int(captions.size()));
    grid->setObjectName(QString::fromLatin1(name));
    grid->setHorizontalHeaderLabels(captions);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                          | QAbstractItemView::AnyKeyPressed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setAlternatingRowColors(true);
    grid->setWordWrap(false);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < captions.size(); ++c)
            grid->setItem(r, c, new QTableWidgetItem);
    return grid;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

AbbreviationPage::AbbreviationPage(AbbreviationTables& tables, Interaction& ui,
                                   FileWrittenCallback written, QWidget* parent)
    : QWidget(parent), tables_(tables), ui_(ui), written_(std::move(written)),
      editedFile_(tables.grades.activeFileName())
{
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(createGradeGroup(), 3);
    layout->addWidget(createGraduationGroup(), 2);

    fillFileBox();
    loadEditedFile();
    const auto graduationLines = readLeadingLines(tables_.graduationFilePath(), 1000);
    const QStringList lines = graduationLines.value_or(QStringList());
    fillGraduationGrid(parseGraduationRows(lines));
    graduationLinesAfterRows_ = lines.mid(kGraduationRows);
    gradesChanged_ = graduationChanged_ = false;
}

QWidget* AbbreviationPage::createGradeGroup()
{
    auto* group = new QGroupBox(QString::fromUtf8("Notenkürzel definieren"));
    auto* v = new QVBoxLayout(group);

    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel(QString::fromUtf8("Kürzeldatei:"));
    defkuerzelbox_ = new QComboBox;
    defkuerzelbox_->setObjectName(QStringLiteral("defkuerzelbox"));
    defkuerzelbox_->setMinimumContentsLength(20);
    fileLabel->setBuddy(defkuerzelbox_);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(defkuerzelbox_, 1);
    v->addLayout(fileRow);

    notgitter_ = makeGrid("notgitter", kAbbreviationRows,
                          {QString::fromUtf8("Kürzel (max. 2 Z.)"),
                           QString::fromUtf8("Bedeutung -1- (max. 50 Z.)"),
                           QString::fromUtf8("Bedeutung -2- (max. 50 Z.)")});
    notgitter_->setItemDelegate(new MaxLengthDelegate({{0, 2}}, notgitter_));
    notgitter_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    notgitter_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    notgitter_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    notgitter_->verticalHeader()->setSectionsMovable(true);
    v->addWidget(notgitter_, 1);

    auto* buttons = new QHBoxLayout;
    auto* insert = button("notEinfuegen", QString::fromUtf8("&Zeile einfügen"), group);
    auto* remove = button("notLoeschen", QString::fromUtf8("Zeile l&öschen"), group);
    auto* saveNow = button("BitBtn3", QString::fromUtf8("Speichern ..."), group);
    auto* saveUnder = button("speiUnter", QString::fromUtf8("Speichern unter."), group);
    buttons->addWidget(insert);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(saveNow);
    buttons->addWidget(saveUnder);
    v->addLayout(buttons);

    connect(defkuerzelbox_, &QComboBox::activated, this, &AbbreviationPage::fileChosen);
    connect(notgitter_, &QTableWidget::cellPressed, this, [this] { gradesChanged_ = true; });
    // Typing changes the grid just as a click does, also without the mouse.
    connect(notgitter_, &QTableWidget::itemChanged, this, [this] { gradesChanged_ = true; });
    connect(notgitter_->verticalHeader(), &QHeaderView::sectionMoved, this, &AbbreviationPage::rowMoved);
    connect(insert, &QPushButton::clicked, this, [this] { insertRow(notgitter_); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteRow(notgitter_); });
    connect(saveNow, &QPushButton::clicked, this, [this] {
        gradesChanged_ = true;
        save();
    });
    connect(saveUnder, &QPushButton::clicked, this, &AbbreviationPage::saveAs);
    refuseUnstorableInput(*notgitter_, ui_, QStringLiteral("|"),
                          QString::fromUtf8("Das Zeichen \"|\" trennt die Spalten der Kürzeldatei "
                                            "und kann nicht eingegeben werden."));
    return group;
}

QWidget* AbbreviationPage::createGraduationGroup()
{
    auto* group = new QGroupBox(QString::fromUtf8("Abschlusskürzel definieren"));
    auto* v = new QVBoxLayout(group);
    abschgitter_ = makeGrid("abschgitter", kGraduationRows,
                            {QString::fromUtf8("Kürzel"), QString::fromUtf8("Langname")});
    abschgitter_->setItemDelegate(
        new MaxLengthDelegate({{0, 4}, {1, kGraduationNameLength}}, abschgitter_));
    abschgitter_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    abschgitter_->setColumnWidth(0, abschgitter_->fontMetrics().horizontalAdvance(QStringLiteral("FORQ")) + 36);
    abschgitter_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    v->addWidget(abschgitter_, 1);

    auto* buttons = new QHBoxLayout;
    auto* insert = button("abschEinfuegen", QString::fromUtf8("&Zeile einfügen"), group);
    auto* remove = button("abschLoeschen", QString::fromUtf8("Zeile l&öschen"), group);
    buttons->addWidget(insert);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    v->addLayout(buttons);

    connect(abschgitter_, &QTableWidget::cellPressed, this, [this] { graduationChanged_ = true; });
    connect(abschgitter_, &QTableWidget::itemChanged, this, [this] { graduationChanged_ = true; });
    connect(insert, &QPushButton::clicked, this, [this] { insertRow(abschgitter_); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteRow(abschgitter_); });
    refuseUnstorableInput(*abschgitter_, ui_);
    return group;
}

QString AbbreviationPage::workspaceFile(const QString& name) const
{
    return resolveIn(tables_.workspace, name);
}

std::vector<Abbreviation> AbbreviationPage::gradeRows() const
{
    std::vector<Abbreviation> rows;
    rows.reserve(kAbbreviationRows);
    for (int r = 0; r < notgitter_->rowCount(); ++r)
        rows.push_back({cellText(notgitter_, r, 0), cellText(notgitter_, r, 1), cellText(notgitter_, r, 2)});
    return rows;
}

std::vector<GraduationCode> AbbreviationPage::graduationRows() const
{
    std::vector<GraduationCode> rows;
    for (int r = 0; r < abschgitter_->rowCount(); ++r)
        rows.push_back({cellText(abschgitter_, r, 0), cellText(abschgitter_, r, 1)});
    return rows;
}

void AbbreviationPage::fillGradeGrid(const std::vector<Abbreviation>& rows)
{
    const QSignalBlocker block(notgitter_);
    for (int r = 0; r < notgitter_->rowCount(); ++r) {
        const Abbreviation row = size_t(r) < rows.size() ? rows[size_t(r)] : Abbreviation{};
        setCell(notgitter_, r, 0, row.code);
        setCell(notgitter_, r, 1, row.meaning1);
        setCell(notgitter_, r, 2, row.meaning2);
    }
    notgitter_->viewport()->update();
}

void AbbreviationPage::fillGraduationGrid(const std::vector<GraduationCode>& rows)
{
    const QSignalBlocker block(abschgitter_);
    for (int r = 0; r < abschgitter_->rowCount(); ++r) {
        const GraduationCode row = size_t(r) < rows.size() ? rows[size_t(r)] : GraduationCode{};
        setCell(abschgitter_, r, 0, row.code);
        setCell(abschgitter_, r, 1, row.longName);
    }
    abschgitter_->viewport()->update();
}

void AbbreviationPage::loadEditedFile()
{
    const auto lines = readLeadingLines(workspaceFile(editedFile_), kAbbreviationRows);
    fillGradeGrid(parseAbbreviationRows(lines.value_or(QStringList())));
}

void AbbreviationPage::fillFileBox()
{
    const QSignalBlocker block(defkuerzelbox_);
    defkuerzelbox_->clear();
    defkuerzelbox_->addItem(QString::fromLatin1(kDefaultAbbreviationFile));
    QDir dir(tables_.workspace);
    const QStringList files =
        dir.entryList({QStringLiteral("*.nkd")}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString& f : files) {
        const QString name = upperAscii(f);
        if (defkuerzelbox_->findText(name, Qt::MatchFixedString) < 0)
            defkuerzelbox_->addItem(name);
    }
    selectEditedFile();
}

void AbbreviationPage::selectEditedFile()
{
    const QSignalBlocker block(defkuerzelbox_);
    int index = defkuerzelbox_->findText(editedFile_, Qt::MatchFixedString);
    if (index < 0) {
        // A layout may name a file that is no .NKD; it is still the one edited.
        defkuerzelbox_->addItem(editedFile_);
        index = defkuerzelbox_->count() - 1;
    }
    defkuerzelbox_->setCurrentIndex(index);
}

void AbbreviationPage::fileChosen(int index)
{
    const QString name = defkuerzelbox_->itemText(index);
    if (name.compare(editedFile_, Qt::CaseInsensitive) != 0) {
        const Answer answer = ui_.ask(QString::fromUtf8("Soll Kürzeldatei ") + name
                                          + QString::fromUtf8(" geladen werden?") + QStringLiteral("\n"),
                                      Buttons::YesNoCancel);
        if (answer == Answer::Yes) {
            editedFile_ = name;
            loadEditedFile();
            gradesChanged_ = false;
        }
    }
    selectEditedFile();
    notgitter_->setFocus();
}

void AbbreviationPage::insertRow(QTableWidget* grid)
{
    const int at = qMax(0, grid->currentRow());
    if (grid == notgitter_) {
        auto rows = gradeRows();
        rows.insert(rows.begin() + at, Abbreviation{});
        rows.pop_back();
        fillGradeGrid(rows);
        gradesChanged_ = true;
    } else {
        auto rows = graduationRows();
        rows.insert(rows.begin() + at, GraduationCode{});
        rows.pop_back();
        fillGraduationGrid(rows);
        graduationChanged_ = true;
    }
    grid->setCurrentCell(at, qMax(0, grid->currentColumn()));
    grid->setFocus();
}

void AbbreviationPage::deleteRow(QTableWidget* grid)
{
    const int at = grid->currentRow();
    if (at < 0)
        return;
    if (ui_.ask(QString::fromUtf8("Soll die Zeile wirklich gelöscht werden?\n"), Buttons::YesNo) != Answer::Yes)
        return;
    if (grid == notgitter_) {
        auto rows = gradeRows();
        rows.erase(rows.begin() + at);
        rows.push_back({});
        fillGradeGrid(rows);
        gradesChanged_ = true;
    } else {
        auto rows = graduationRows();
        rows.erase(rows.begin() + at);
        rows.push_back({});
        fillGraduationGrid(rows);
        graduationChanged_ = true;
    }
    grid->setFocus();
}

void AbbreviationPage::rowMoved(int, int, int newVisual)
{
    if (reordering_)
        return;
    reordering_ = true;
    QHeaderView* header = notgitter_->verticalHeader();
    // Take the rows in the order shown, then put the header back in order
    // so that row n of the grid is line n of the file again.
    const auto rows = gradeRows();
    std::vector<Abbreviation> shown;
    shown.reserve(rows.size());
    for (int v = 0; v < header->count(); ++v)
        shown.push_back(rows[size_t(header->logicalIndex(v))]);
    {
        const QSignalBlocker block(header);
        for (int v = 0; v < header->count(); ++v)
            if (header->logicalIndex(v) != v)
                header->moveSection(header->visualIndex(v), v);
    }
    fillGradeGrid(shown);
    notgitter_->setCurrentCell(newVisual, qMax(0, notgitter_->currentColumn()));
    gradesChanged_ = true;
    reordering_ = false;
}

void AbbreviationPage::commitEdits()
{
    for (QTableWidget* grid : {notgitter_, abschgitter_}) {
        // Leaving the current cell commits an open editor.
        const QModelIndex current = grid->currentIndex();
        if (!current.isValid())
            continue;
        grid->setCurrentIndex(QModelIndex());
        grid->setCurrentIndex(current);
    }
}

void AbbreviationPage::save()
{
    commitEdits();
    if (gradesChanged_) {
        const QString path = workspaceFile(editedFile_);
        if (writeAbbreviationFile(path, gradeRows(), written_))
            gradesChanged_ = false;
        else
            ui_.error(writeFailureText(editedFile_));
    }
    if (graduationChanged_) {
        const QString path = tables_.graduationFilePath();
        if (writeGraduationFile(path, graduationRows(), graduationLinesAfterRows_, written_)) {
            graduationChanged_ = false;
            tables_.reloadGraduationCodes();
        } else {
            ui_.error(writeFailureText(QString::fromLatin1(kGraduationFile)));
        }
    }
    tables_.grades.load();
}

void AbbreviationPage::saveAs()
{
    commitEdits();
    const auto answer = ui_.input(QString::fromUtf8("Unter welchem Namen soll die Kürzeldatei ...?"),
                                  QString::fromUtf8("Dateinamen ohne Extension: "), QString());
    if (!answer || answer->trimmed().isEmpty())
        return;
    const QString base = upperAscii(answer->trimmed());
    // A dot, a path or a name no layout line could hold would put the file
    // elsewhere or make it unusable.
    static const QString kNotInNames = QStringLiteral(".\\/:*?\"<>|");
    bool valid = base.size() + 4 <= kAbbreviationFileNameLength && isStorable(base);
    for (QChar c : base)
        if (kNotInNames.contains(c) || c < QLatin1Char(' '))
            valid = false;
    const QString name = base + QStringLiteral(".NKD");
    if (!valid || !writeAbbreviationFile(workspaceFile(name), gradeRows(), written_)) {
        ui_.error(QString::fromUtf8("FEHLER: Neue Kürzeldatei wurde nicht erstellt!"));
        return;
    }
    editedFile_ = name;
    gradesChanged_ = false;
    selectEditedFile();
}

} // namespace zedora
