#pragma once
// The page "Eingabelayout" of the layout editor: the fields the student
// file offers (faAllx), the columns the entry table shows (FaIstx) and the
// buttons between them that add, remove and move columns.
#include "print/layout_editor_columns.h"

#include <QWidget>
#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace zedora {

class Interaction;

class LayoutColumnPage : public QWidget {
public:
    LayoutColumnPage(std::vector<AvailableField> fields, Interaction& ui, QWidget* parent = nullptr);

    void setColumns(std::vector<EditorColumn> columns);
    // The fields on offer (read from the workspace when a layout opens).
    void setFields(std::vector<AvailableField> fields);
    const std::vector<EditorColumn>& columns() const { return columns_; }

    // Called after every change of the visible columns.
    std::function<void()> onChanged;
    // "Aussehen der Eingabetabelle ...".
    std::function<void()> onAppearance;

    // The buttons, public so tests drive them without mouse clicks.
    void addSelected();
    void removeSelected();
    void moveSelected(int delta);

    QTableWidget* faAllx = nullptr;
    QTableWidget* FaIstx = nullptr;
    QPushButton* appearance = nullptr;

private:
    void refill(int selectRow);
    void cellEdited(QTableWidgetItem* item);
    void changed(int selectRow);

    std::vector<AvailableField> fields_;
    std::vector<EditorColumn> columns_;
    Interaction& ui_;
    bool filling_ = false;
};

} // namespace zedora
