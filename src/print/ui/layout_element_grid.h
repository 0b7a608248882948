#pragma once
// One element grid of the layout editor ("giteintrag", "gitlinie", ...): a
// table over a LayoutGrid of the edited layout. Every edit goes straight into
// the grid model; row operations change the model and refill the table.
#include "print/layout_editor_io.h"

#include <QPoint>
#include <QTableWidget>
#include <functional>
#include <optional>

namespace zedora {

class Interaction;

class LayoutElementGrid : public QTableWidget {
public:
    LayoutElementGrid(LayoutEditorData& data, ElementKind kind, Interaction& ui, QWidget* parent = nullptr);

    ElementKind kind() const { return kind_; }
    LayoutGrid& grid() { return data_.grid(kind_); }
    // Fills the table from the model (after loading or a row operation).
    void refill();
    int selectedColumn() const { return selectedColumn_; }

    // Called on every edit, so the editor can set its changed mark.
    std::function<void()> onChanged;
    // Double-click on an active row: its position for the preview's marker.
    std::function<void(QPoint)> onShowPosition;
    // The layout file's folder, for picture paths stored by name only.
    std::function<QString()> layoutFolder;

    // Cell actions, public so tests drive them without mouse events.
    void cellDoubleClicked(int row, int column);
    void sortByColumn(int column);
    void moveToNextCell();
    // A row dragged from one place to another; "Nr." stays 100, 101, ...
    void dropRow(int from, int to);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void dropEvent(QDropEvent* event) override;

private:
    void cellEdited(QTableWidgetItem* item);
    void paintRow(int row);
    void setCellText(int row, int column, const QString& text);

    LayoutEditorData& data_;
    ElementKind kind_;
    Interaction& ui_;
    int selectedColumn_ = -1;
    bool filling_ = false;
};

// The cell widths of a grid's columns in pixels.
int elementColumnWidth(ElementKind kind, const QString& caption);

} // namespace zedora
