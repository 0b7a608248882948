#pragma once
// The blocks of the open file for the block window's grid: ID and INHALT
// (titled "Textbausteine"), read-only, in index order.
#include "textblocks/text_block_file.h"

#include <QAbstractTableModel>

namespace zedora {

class TextBlockTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setBlocks(QVector<TextBlock> blocks);
    const QVector<TextBlock>& blocks() const { return blocks_; }
    // Row of the block with that record number; -1 when it is gone.
    int rowOf(std::uint32_t mark) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<TextBlock> blocks_;
};

} // namespace zedora
