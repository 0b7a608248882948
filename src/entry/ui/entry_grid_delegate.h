#pragma once
// How a cell of the entry table DBGrid1 is drawn: the focused cell, text
// blocks, master data grey, the grade colours and the released column of
// the table lock, each rule over the one before.
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QTableView;

namespace zedora {

struct Settings;
class StudentTable;
class StudentTableModel;
class TableLock;
class DeferringInteraction;

class EntryGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    EntryGridDelegate(QTableView& grid, StudentTableModel& model, StudentTable& table,
                      const Settings& settings, const TableLock& lock, DeferringInteraction& messages);

    // Public so the look of a cell can be checked without painting.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    // The checks of a typed value show their boxes after the editor is gone;
    // an unchanged text is not written back.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    // A value typed into a cell belongs to the record even before the
    // editor is left: every save takes it over first.
    void takeOverInput();
    // Closes the open editor without handing over its text.
    void discardInput();
    // Whether an open editor holds a text other than the cell's value.
    bool hasTypedInput() const;

    // The light green of the released column while the table is locked.
    static QColor releasedColour() { return QColor(128, 255, 128); }
    // A text-block cell: its first 15 characters on one line.
    static QString textBlockPreview(const QString& memo);

signals:
    // The open editor's text changed, or the editor closed.
    void inputChanged();

private:
    QTableView& grid_;
    StudentTableModel& model_;
    StudentTable& table_;
    const Settings& settings_;
    const TableLock& lock_;
    DeferringInteraction& messages_;
    mutable QPointer<QWidget> editor_;
    mutable QPersistentModelIndex editorIndex_;
    mutable bool handingOver_ = false;
};

} // namespace zedora
