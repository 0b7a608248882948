#include "entry/ui/entry_grid_delegate.h"

#include "core/settings.h"
#include "entry/ui/table_lock.h"
#include "base/deferring_interaction.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "data/student_table_model.h"
#include "entry/colour_chains.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>

namespace zedora {

EntryGridDelegate::EntryGridDelegate(QTableView& grid, StudentTableModel& model, StudentTable& table,
                                     const Settings& settings, const TableLock& lock,
                                     DeferringInteraction& messages)
    : QStyledItemDelegate(&grid), grid_(grid), model_(model), table_(table), settings_(settings), lock_(lock),
      messages_(messages)
{
}

namespace {
QString editorText(const QWidget* editor)
{
    const auto* line = qobject_cast<const QLineEdit*>(editor);
    return line ? line->text() : QString();
}
} // namespace

void EntryGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    // Opening a cell and leaving it must not run the checks: a stored code
    // the active abbreviation file lacks would be emptied.
    if (qobject_cast<QLineEdit*>(editor) && editorText(editor) == index.data(Qt::EditRole).toString())
        return;
    messages_.hold(true);
    const bool nested = handingOver_;
    handingOver_ = true;
    QStyledItemDelegate::setModelData(editor, model, index);
    handingOver_ = nested;
    messages_.hold(false);
}

QWidget* EntryGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor_ = editor;
    editorIndex_ = index;
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        connect(line, &QLineEdit::textChanged, this, &EntryGridDelegate::inputChanged);
    return editor;
}

void EntryGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == editor_) {
        editor_ = nullptr;
        editorIndex_ = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
    emit const_cast<EntryGridDelegate*>(this)->inputChanged();
}

void EntryGridDelegate::takeOverInput()
{
    // While the view hands the text over itself, a save it causes must not
    // hand it over a second time.
    if (!editor_ || handingOver_)
        return;
    const QPointer<QWidget> editor = editor_;
    emit commitData(editor);
    if (editor)
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void EntryGridDelegate::discardInput()
{
    if (editor_ && !handingOver_)
        emit closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
}

bool EntryGridDelegate::hasTypedInput() const
{
    return editor_ && editorIndex_.isValid()
           && editorText(editor_) != editorIndex_.data(Qt::EditRole).toString();
}

QString EntryGridDelegate::textBlockPreview(const QString& memo)
{
    QString shown = memo.left(15);
    shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!memo.trimmed().isEmpty())
        shown += QStringLiteral("...");
    return shown;
}

void EntryGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const ColumnSpec* column = model_.column(index.column());
    const int field = model_.fieldOfColumn(index.column());
    if (!column || field < 0)
        return;
    const auto fill = [option](const QColor& colour) {
        option->backgroundBrush = colour;
        // The style would paint its own highlight over the brush.
        option->state &= ~QStyle::State_Selected;
    };
    const int kind = column->kind;

    if (index == grid_.currentIndex()) {
        fill(colourScheme(settings_.FARBSCHEMA).second);
        option->palette.setColor(QPalette::Text, Qt::black);
        option->palette.setColor(QPalette::HighlightedText, Qt::black);
    }
    if (kind == FieldKind::AssessmentText) {
        option->text = textBlockPreview(table_.valueAt(index.row(), field));
    } else if (settings_.Stammdatengrau && kind == FieldKind::MasterData) {
        fill(QApplication::palette().color(QPalette::Button));
    }
    if (kind == FieldKind::Grade || kind == FieldKind::CourseLevel) {
        const auto colour = ColourChains::fromSettings(settings_).colourFor(table_.valueAt(index.row(), field));
        if (colour)
            fill(*colour);
    }
    if (lock_.locked() && kind != FieldKind::MasterData && kind != FieldKind::AssessmentText
        && kind != FieldKind::Average && !table_.isReadOnly(field))
        fill(releasedColour());
}

} // namespace zedora
