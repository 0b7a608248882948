#include "print/ui/layout_element_grid.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "print/layout_editor_edits.h"

#include <QColor>
#include <QDropEvent>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>

namespace zedora {

namespace {

const QColor kInactive(0xAD, 0xD8, 0xE6);    // light blue
const QColor kFiltered(Qt::yellow);
const QColor kSelectedCaption(0x90, 0xEE, 0x90);  // light green

QColor colourOf(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }
int valueOf(const QColor& c) { return c.red() + 256 * c.green() + 65536 * c.blue(); }

bool opensDialog(ElementKind kind, const QString& caption)
{
    if (caption == QLatin1String("Farbe"))
        return true;
    if (kind == ElementKind::Bild)
        return caption == QLatin1String("Bilddatei");
    return (kind == ElementKind::Eintrag || kind == ElementKind::Textblock)
           && (caption == QLatin1String("Schriftart") || caption == QLatin1String("Grad"));
}

} // namespace

int elementColumnWidth(ElementKind kind, const QString& caption)
{
    static const QHash<QString, int> widths = {
        {"Nr.", 40}, {"GR", 30}, {"Aktiv", 35}, {"x", 50}, {"y", 50}, {"LaengeMitFuell", 80}, {"Inhalt", 300},
        {"Ausrichtung", 50}, {"Fett", 50}, {"Kursiv", 50}, {"Schriftart", 100}, {"Grad", 50}, {"Winkel", 50},
        {"Kopf", 50}, {"Breite", 50}, {"Farbe", 70}, {"xe", 30}, {"Filter", 100}, {"x1", 50}, {"y1", 50},
        {"Laenge", 60}, {"x2", 40}, {"y2", 40}, {"Dicke", 60}, {"Kommentar", 200}, {"Hoehe", 60},
        {"Vorschub", 50}, {"Maxbreite", 80}, {"Maxzeilen", 80}, {"EinzugZeile1", 100}, {"Bilddatei", 450}};
    if (kind == ElementKind::Textblock) {
        if (caption == QLatin1String("GR"))
            return 35;
        if (caption == QLatin1String("Aktiv"))
            return 30;
        if (caption == QLatin1String("Inhalt"))
            return 200;
    }
    if (kind == ElementKind::Bild && caption == QLatin1String("x2"))
        return 60;
    return widths.value(caption, 50);
}

LayoutElementGrid::LayoutElementGrid(LayoutEditorData& data, ElementKind kind, Interaction& ui, QWidget* parent)
    : QTableWidget(parent), data_(data), kind_(kind), ui_(ui)
{
    static const char* names[kElementKinds] = {"giteintrag", "gitlinie", "GitNoten", "GitBlock", "GitBild"};
    setObjectName(QLatin1String(names[int(kind)]));
    const QStringList& captions = grid().captions;
    setColumnCount(int(captions.size()));
    setHorizontalHeaderLabels(captions);
    for (int c = 0; c < captions.size(); ++c)
        setColumnWidth(c, elementColumnWidth(kind, captions[c]));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionsClickable(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDropIndicatorShown(true);
    setToolTip(QStringLiteral("Doppelklick zeigt Position im Druckbild"));
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { sortByColumn(c); });
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { cellEdited(item); });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int r, int c) { cellDoubleClicked(r, c); });
    connect(this, &QTableWidget::cellClicked, this, [this](int, int) {
        if (onChanged)
            onChanged();
    });
    refill();
}

void LayoutElementGrid::refill()
{
    filling_ = true;
    const LayoutGrid& g = grid();
    setRowCount(int(g.rows.size()));
    const bool picture = kind_ == ElementKind::Bild;
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem(g.rows[std::size_t(r)][c]);
            if (c == 0)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (opensDialog(kind_, g.captions[c]))
                item->setToolTip(picture ? QStringLiteral("Auswahl der JPG- oder WMF-Grafik mit Doppelklick")
                                         : QStringLiteral("Auswahl des Zelleninhaltes mit Doppelklick"));
            setItem(r, c, item);
        }
        paintRow(r);
    }
    filling_ = false;
}

void LayoutElementGrid::paintRow(int row)
{
    const LayoutGrid& g = grid();
    const QStringList& cells = g.rows[std::size_t(row)];
    const bool inactive = !cells[2].trimmed().startsWith(QLatin1Char('1'));
    const int colour = g.columnOf(QStringLiteral("Farbe"));
    const int filter = g.columnOf(QStringLiteral("Filter"));
    const bool wasFilling = filling_;
    filling_ = true;
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* it = item(row, c);
        if (!it)
            continue;
        QBrush background = inactive ? QBrush(kInactive) : QBrush();
        bool ok = false;
        const int value = cells[c].trimmed().toInt(&ok);
        if (c == colour && ok && !cells[c].trimmed().isEmpty())
            background = QBrush(colourOf(value));
        if (c == 0 && filter >= 0 && !cells[filter].trimmed().isEmpty())
            background = QBrush(kFiltered);
        it->setBackground(background);
    }
    filling_ = wasFilling;
}

void LayoutElementGrid::setCellText(int row, int column, const QString& text)
{
    grid().rows[std::size_t(row)][column] = text;
    if (QTableWidgetItem* it = item(row, column)) {
        filling_ = true;
        it->setText(text);
        filling_ = false;
    }
    paintRow(row);
    if (onChanged)
        onChanged();
}

void LayoutElementGrid::cellEdited(QTableWidgetItem* item)
{
    if (filling_ || item->column() == 0)
        return;
    grid().rows[std::size_t(item->row())][item->column()] = item->text();
    paintRow(item->row());
    if (onChanged)
        onChanged();
}

void LayoutElementGrid::cellDoubleClicked(int row, int column)
{
    LayoutGrid& g = grid();
    if (row < 0 || row >= int(g.rows.size()) || column < 0 || column >= g.captions.size())
        return;
    const QString caption = g.captions[column];
    const QString cell = g.rows[std::size_t(row)][column].trimmed();
    if (caption == QLatin1String("Farbe")) {
        if (const auto c = ui_.chooseColour(colourOf(cell.toInt())))
            setCellText(row, column, QString::number(valueOf(*c)));
        return;
    }
    if (opensDialog(kind_, caption) && caption != QLatin1String("Bilddatei")) {
        const QString family = g.cell(row, QStringLiteral("Schriftart")).trimmed();
        const int size = g.cell(row, QStringLiteral("Grad")).trimmed().toInt();
        QFont preset(family.isEmpty() ? data_.general.GlobaleSchrift : family);
        preset.setPointSize(size > 0 ? size : (caption == QLatin1String("Grad") ? 10 : data_.general.GlobalerSchriftGrad));
        if (const auto f = ui_.chooseFont(preset)) {
            if (caption == QLatin1String("Schriftart"))
                setCellText(row, column, f->family());
            else
                setCellText(row, column, QString::number(f->pointSize()));
        }
        return;
    }
    if (caption == QLatin1String("Bilddatei")) {
        const QString folder = layoutFolder ? layoutFolder() : QString();
        const auto chosen = ui_.openFile(QStringLiteral("Grafikdatei (JPG/WMF) zuordnen"),
                                         QStringLiteral("Grafikdateien (*.jpg *.wmf)"), folder, QString());
        if (!chosen || chosen->trimmed().isEmpty())
            return;
        const QFileInfo info(*chosen);
        const bool inFolder = !folder.isEmpty()
                              && upperAscii(toSlashes(info.absolutePath())) == upperAscii(toSlashes(QFileInfo(folder).absoluteFilePath()));
        setCellText(row, column, upperAscii(inFolder ? info.fileName() : toWindowsSeparators(*chosen)).left(200));
        return;
    }
    if (g.rows[std::size_t(row)][2].trimmed() == QLatin1String("0")) {
        ui_.info(QStringLiteral("Zeile ist nicht aktiv!"));
        return;
    }
    if (onShowPosition)
        onShowPosition(QPoint(g.rows[std::size_t(row)][3].trimmed().toInt(), g.rows[std::size_t(row)][4].trimmed().toInt()));
}

void LayoutElementGrid::sortByColumn(int column)
{
    if (column < 1)
        return;
    if (selectedColumn_ >= 0)
        if (QTableWidgetItem* h = horizontalHeaderItem(selectedColumn_))
            h->setBackground(QBrush());
    selectedColumn_ = column;
    if (QTableWidgetItem* h = horizontalHeaderItem(column))
        h->setBackground(kSelectedCaption);
    sortRows(grid(), column);
    refill();
    if (onChanged)
        onChanged();
}

void LayoutElementGrid::moveToNextCell()
{
    int row = std::max(0, currentRow()), column = currentColumn() + 1;
    if (column >= columnCount()) {
        column = 1;
        row = row + 1 >= rowCount() ? 0 : row + 1;
    }
    setCurrentCell(row, column);
    // Wide grids: keep the caption of the long text in sight.
    if (column == 7 || column == 12)
        scrollToItem(item(row, column - 1), QAbstractItemView::PositionAtTop);
}

void LayoutElementGrid::dropRow(int from, int to)
{
    const int rows = int(grid().rows.size());
    if (from < 0 || from >= rows || to < 0 || to >= rows || from == to)
        return;
    moveRow(grid(), from, to);
    const int column = std::max(1, currentColumn());
    refill();
    setCurrentCell(to, column);
    if (onChanged)
        onChanged();
}

void LayoutElementGrid::dropEvent(QDropEvent* event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int target = rowAt(event->position().toPoint().y());
    dropRow(currentRow(), target < 0 ? rowCount() - 1 : target);
    // The rows are moved here; the view must not remove the dragged cells.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void LayoutElementGrid::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        moveToNextCell();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// Enter in a cell being typed into ends in the editor, not in keyPressEvent:
// it too moves on, so a row can be typed in one go.
void LayoutElementGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableWidget::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        moveToNextCell();
}

} // namespace zedora
