#include "data/student_table_model.h"

#include "data/student_table.h"

namespace zedora {

StudentTableModel::StudentTableModel(StudentTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table)
{
    connect(&table_, &StudentTable::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&table_, &StudentTable::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void StudentTableModel::setColumns(const std::vector<ColumnSpec>& columns)
{
    beginResetModel();
    columns_.clear();
    fields_.clear();
    for (const ColumnSpec& c : columns) {
        const int field = table_.findField(c.field);
        if (field < 0)
            continue;
        columns_.push_back(c);
        fields_.push_back(field);
    }
    endResetModel();
}

const ColumnSpec* StudentTableModel::column(int index) const
{
    return index >= 0 && index < int(columns_.size()) ? &columns_[size_t(index)] : nullptr;
}

int StudentTableModel::fieldOfColumn(int index) const
{
    return index >= 0 && index < int(fields_.size()) ? fields_[size_t(index)] : -1;
}

int StudentTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.rowCount();
}

int StudentTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant StudentTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int field = fieldOfColumn(index.column());
    QString value = table_.valueAt(index.row(), field);
    // A memo cell shows its beginning on one line.
    if (role == Qt::DisplayRole && table_.isMemo(field)) {
        value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return value;
}

QVariant StudentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const ColumnSpec* c = column(section);
    return c ? QVariant(c->title.trimmed().isEmpty() ? c->field : c->title.trimmed()) : QVariant();
}

Qt::ItemFlags StudentTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const int field = fieldOfColumn(index.column());
    if (field >= 0 && !table_.isReadOnly(field) && !table_.isMemo(field))
        f |= Qt::ItemIsEditable;
    return f;
}

bool StudentTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    if (index.row() != table_.currentRow() && !table_.moveToRow(index.row()))
        return false;
    return table_.setValue(fieldOfColumn(index.column()), value.toString());
}

} // namespace zedora
