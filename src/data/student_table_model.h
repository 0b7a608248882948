#pragma once
// The student table as an item model for the entry grids: one row per
// visible record, one column per entry of the column description.
#include "data/column_layout.h"

#include <QAbstractTableModel>
#include <vector>

namespace zedora {

class StudentTable;

class StudentTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StudentTableModel(StudentTable& table, QObject* parent = nullptr);

    // The columns to show; fields the file lacks are left out.
    void setColumns(const std::vector<ColumnSpec>& columns);
    const ColumnSpec* column(int index) const;
    int fieldOfColumn(int index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Edits go to the current record's pending edit; the table's checks run.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    StudentTable& table_;
    std::vector<ColumnSpec> columns_;
    std::vector<int> fields_;
};

} // namespace zedora
