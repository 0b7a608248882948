#include "print/ui/TFLay.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/column_block.h"
#include "data/text_lines.h"
#include "print/layout_editor_edits.h"
#include "print/ui/Tfverschiebung.h"
#include "print/ui/layout_column_page.h"
#include "print/ui/layout_element_grid.h"
#include "print/ui/layout_general_page.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zedora {

namespace {

QPushButton* button(QWidget* parent, QLayout* layout, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    layout->addWidget(b);
    return b;
}

} // namespace

TFLay::TFLay(LayoutFiles& files, Interaction& ui, QString activeAbbreviationFile, QStringList abbreviationFiles,
             QWidget* parent)
    : QDialog(parent), files_(files), ui_(ui), abbreviationFile_(std::move(activeAbbreviationFile)),
      abbreviationFiles_(std::move(abbreviationFiles)), columnFiles_(files.workspaceDir(), files.workspaceFiles(), ui)
{
    setObjectName(QStringLiteral("FLay"));
    setWindowTitle(QStringLiteral("Layout bearbeiten"));
    setGeometry(50, 100, 700, 560);
    buildWindow();
}

void TFLay::buildWindow()
{
    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto* top = new QHBoxLayout(panel1);
    connect(button(panel1, top, "SpeedButton6", QStringLiteral("&Laden")), &QPushButton::clicked, this, [this] { load(); });
    connect(button(panel1, top, "SpeedButton7", QStringLiteral("Speichern")), &QPushButton::clicked, this, [this] { save(); });
    connect(button(panel1, top, "SpeedButton8", QStringLiteral("Speichern unter")), &QPushButton::clicked, this,
            [this] { saveAs(); });
    connect(button(panel1, top, "BitBtn6", QStringLiteral("Drucken")), &QPushButton::clicked, this, [this] { print(); });
    connect(button(panel1, top, "BitBtn2", QStringLiteral("Vorschau 1")), &QPushButton::clicked, this,
            [this] { runPreview(FormMode::AllData); });
    top->addStretch();
    connect(button(panel1, top, "Verlasse", QStringLiteral("Beenden")), &QPushButton::clicked, this, [this] { close(); });

    auto* panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    auto* rows = new QHBoxLayout(panel2);
    auto* insert = button(panel2, rows, "BitBtn3", QStringLiteral("Zeile einfügen"));
    auto* duplicate = button(panel2, rows, "BitBtn4", QStringLiteral("Zeile duplizieren"));
    auto* remove = button(panel2, rows, "BitBtn5", QStringLiteral("Zeile löschen"));
    auto* global = button(panel2, rows, "BitBtn7", QStringLiteral("Global ändern"));
    rowButtons_ = {insert, duplicate, remove, global};
    rows->addStretch();
    connect(button(panel2, rows, "BitBtn9", QStringLiteral("Vorschau 2")), &QPushButton::clicked, this,
            [this] { runPreview(FormMode::VariableNames); });
    connect(insert, &QPushButton::clicked, this, [this] { insertRow(); });
    connect(duplicate, &QPushButton::clicked, this, [this] { duplicateRow(); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteRow(); });
    connect(global, &QPushButton::clicked, this, [this] { globalChange(); });

    layreg123 = new QTabWidget(this);
    layreg123->setObjectName(QStringLiteral("layreg123"));
    layreg123->setTabPosition(QTabWidget::South);

    columnPage_ = new LayoutColumnPage({}, ui_, this);
    columnPage_->onChanged = [this] { columnsEdited(); };
    columnPage_->onAppearance = [this] { runAppearanceDialog(); };
    layreg123->addTab(columnPage_, QStringLiteral("Eingabelayout"));

    layreg = new QTabWidget(this);
    layreg->setObjectName(QStringLiteral("layreg"));
    layreg->setToolTip(QStringLiteral("Doppelklick zeigt Position im Druckbild"));
    general_ = new LayoutGeneralPage(layout_.data.general, ui_, layreg);
    general_->onChanged = [this] { markChanged(); };
    layreg->addTab(general_, QStringLiteral("  [Allgemeines]  "));
    static const char* titles[kElementKinds] = {"  [Eintrag]  ", "  [Linie]  ", "  [Notenfeld]  ",
                                                 "  [Textblock]  ", "  [Bild]  "};
    for (int k = 0; k < kElementKinds; ++k) {
        auto* grid = new LayoutElementGrid(layout_.data, ElementKind(k), ui_, layreg);
        grid->onChanged = [this] { markChanged(); };
        grid->onShowPosition = [this](QPoint p) {
            // An element's position: the variable names with the red arrow.
            if (preview)
                preview(layout_.path, currentText(), FormMode::VariableNames, p);
        };
        grid->layoutFolder = [this] {
            const QString folder = QFileInfo(layout_.path).absolutePath();
            return layout_.path.isEmpty() ? files_.layoutFolder() : folder;
        };
        grids_[k] = grid;
        layreg->addTab(grid, QLatin1String(titles[k]));
    }
    layreg123->addTab(layreg, QStringLiteral("Drucklayout"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    layreg123->addTab(Memo1, QStringLiteral("Quelltext"));

    hilfe = new QLabel(this);
    hilfe->setObjectName(QStringLiteral("hilfe"));
    auto* pgb = new QProgressBar(this);
    pgb->setObjectName(QStringLiteral("pgb"));
    pgb->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel1);
    layout->addWidget(panel2);
    layout->addWidget(layreg123, 1);
    layout->addWidget(hilfe);
    layout->addWidget(pgb);

    connect(layreg123, &QTabWidget::currentChanged, this, [this] { pageChanged(); });
    connect(layreg, &QTabWidget::currentChanged, this, [this] { pageChanged(); });
    pageChanged();
}

void TFLay::refill()
{
    general_->refill(layout_.path, abbreviationFiles_);
    for (LayoutElementGrid* grid : grids_)
        grid->refill();
    const QStringList allFields =
        readTextLines(resolveIn(files_.workspaceDir(), QStringLiteral("MUSTER\\FACH-ALL.MST"))).value_or(QStringList());
    columnPage_->setFields(availableFields(allFields));
    columnPage_->setColumns(columnFileMode_ ? fileColumns_ : readEditorColumns(layout_.data.columnLines));
    updateCaption();
}

void TFLay::updateCaption()
{
    const QString name = layout_.data.general.FormularName.trimmed();
    setWindowTitle(name.isEmpty() ? QStringLiteral("Layout bearbeiten") : QStringLiteral("Formular: ") + name);
}

bool TFLay::openPath(const QString& path)
{
    if (!files_.openPath(layout_, path, abbreviationFile_))
        return false;
    refill();
    return true;
}

void TFLay::useColumnFile(const QString& path)
{
    columnFileMode_ = true;
    columnFileChanged_ = false;
    columnFilePath_.clear();
    fileColumns_ = readEditorColumns(layout_.data.columnLines);
    if (!path.trimmed().isEmpty() && QFileInfo(resolvePath(path.trimmed())).isFile()) {
        if (auto read = columnFiles_.read(path)) {
            columnFilePath_ = resolvePath(path.trimmed());
            fileColumns_ = std::move(*read);
        }
    }
    columnPage_->setColumns(fileColumns_);
}

bool TFLay::onColumnFile() const
{
    return columnFileMode_ && layreg123->currentIndex() == InputLayout;
}

void TFLay::columnsEdited()
{
    if (columnFileMode_) {
        fileColumns_ = columnPage_->columns();
        columnFileChanged_ = true;
        return;
    }
    layout_.data.columnLines = editorColumnLines(columnPage_->columns());
    markChanged();
}

void TFLay::runAppearanceDialog()
{
    if (!appearanceDialog)
        return;
    QStringList lines = currentText();
    if (!columnFileMode_)
        replaceBlock(lines, editorColumnLines(columnPage_->columns()));
    if (!appearanceDialog(lines))
        return;
    columnPage_->setColumns(readEditorColumns(blockColumnLines(lines)));
    columnsEdited();
}

bool TFLay::saveColumnFile()
{
    const bool ok = columnFilePath_.isEmpty() ? columnFiles_.saveAs(columnFilePath_, fileColumns_)
                                              : columnFiles_.save(columnFilePath_, fileColumns_);
    if (ok)
        columnFileChanged_ = false;
    return ok;
}

void TFLay::showHelpLine(bool on)
{
    hilfe->setText(on ? QStringLiteral("Layoutbearbeitung") : QString());
    hilfe->setVisible(on);
}

void TFLay::showPage(Page page)
{
    layreg123->setCurrentIndex(int(page));
}

void TFLay::markChanged()
{
    layout_.changed = true;
}

QStringList TFLay::currentText()
{
    layout_.text = buildLayoutText(layout_.data, ui_);
    return layout_.text;
}

LayoutElementGrid* TFLay::currentGrid() const
{
    if (layreg123->currentIndex() != PrintLayout || layreg->currentIndex() < 1)
        return nullptr;
    return grids_[layreg->currentIndex() - 1];
}

void TFLay::pageChanged()
{
    const bool onGrid = currentGrid() != nullptr;
    for (QPushButton* b : rowButtons_)
        b->setEnabled(onGrid);
    if (layreg123->currentIndex() == SourceText)
        Memo1->setPlainText(currentText().join(QLatin1Char('\n')));
}

void TFLay::load()
{
    if (onColumnFile()) {
        if (columnFileChanged_
            && ui_.ask(QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n"), Buttons::YesNo)
                   == Answer::Yes)
            saveColumnFile();
        QString path = columnFilePath_;
        if (auto read = columnFiles_.open(path)) {
            columnFilePath_ = path;
            fileColumns_ = std::move(*read);
            columnFileChanged_ = false;
            columnPage_->setColumns(fileColumns_);
        }
        return;
    }
    if (files_.open(layout_, abbreviationFile_))
        refill();
}

bool TFLay::save()
{
    if (onColumnFile())
        return saveColumnFile();
    const bool ok = files_.save(layout_);
    refill();
    return ok;
}

bool TFLay::saveAs()
{
    if (onColumnFile()) {
        const bool ok = columnFiles_.saveAs(columnFilePath_, fileColumns_);
        if (ok)
            columnFileChanged_ = false;
        return ok;
    }
    const bool ok = files_.saveAs(layout_);
    refill();
    return ok;
}

void TFLay::print()
{
    QStringList text = currentText();
    // The columns printed are the ones the page edits.
    if (onColumnFile())
        replaceBlock(text, editorColumnLines(fileColumns_));
    if (printContents)
        printContents(layreg123->currentIndex() == InputLayout, layout_.path, text);
}

void TFLay::runPreview(FormMode mode)
{
    if (preview)
        preview(layout_.path, currentText(), mode, std::nullopt);
}

void TFLay::insertRow()
{
    if (LayoutElementGrid* g = currentGrid(); g && zedora::insertRow(g->grid(), std::max(0, g->currentRow()), ui_)) {
        g->refill();
        markChanged();
    }
}

void TFLay::duplicateRow()
{
    if (LayoutElementGrid* g = currentGrid(); g && zedora::duplicateRow(g->grid(), std::max(0, g->currentRow()), ui_)) {
        g->refill();
        markChanged();
    }
}

void TFLay::deleteRow()
{
    if (LayoutElementGrid* g = currentGrid(); g && zedora::deleteRow(g->grid(), std::max(0, g->currentRow()), ui_)) {
        g->refill();
        markChanged();
    }
}

void TFLay::globalChange()
{
    LayoutElementGrid* g = currentGrid();
    if (!g)
        return;
    const auto start = globalChangeStart(g->grid(), g->currentRow(), g->currentColumn(), ui_);
    if (!start)
        return;
    Tfverschiebung dialog(layout_.data, g->kind(), g->currentColumn(), *start, ui_, this);
    if (dialog.exec() == QDialog::Accepted && dialog.changes() > 0) {
        for (LayoutElementGrid* grid : grids_)
            grid->refill();
        markChanged();
    }
}

bool TFLay::mayClose()
{
    const QString error = textBlockInEntryError(layout_.data);
    if (!error.isEmpty()) {
        ui_.error(error);
        return false;
    }
    if (!changed())
        return true;
    switch (ui_.ask(QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n"), Buttons::YesNoCancel)) {
    case Answer::Yes:
        // A save that fails keeps the editor open with the edits.
        if (columnFileChanged_ && !saveColumnFile())
            return false;
        return !layout_.changed || files_.save(layout_);
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void TFLay::closeEvent(QCloseEvent* event)
{
    if (closingChecked_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    reject();
}

void TFLay::reject()
{
    // Escape, "Beenden" and the window's close box all pass the checks.
    if (!closingChecked_ && !mayClose())
        return;
    closingChecked_ = true;
    QDialog::reject();
}

} // namespace zedora
