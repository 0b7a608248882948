#include "textblocks/text_block_table_model.h"

namespace zedora {

void TextBlockTableModel::setBlocks(QVector<TextBlock> blocks)
{
    beginResetModel();
    blocks_ = std::move(blocks);
    endResetModel();
}

int TextBlockTableModel::rowOf(std::uint32_t mark) const
{
    for (int i = 0; i < blocks_.size(); ++i)
        if (blocks_[i].mark == mark)
            return i;
    return -1;
}

int TextBlockTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(blocks_.size());
}

int TextBlockTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TextBlockTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= blocks_.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const TextBlock& b = blocks_[index.row()];
        return index.column() == 0 ? b.id : b.text;
    }
    return {};
}

QVariant TextBlockTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("ID") : QStringLiteral("Textbausteine");
}

} // namespace zedora
