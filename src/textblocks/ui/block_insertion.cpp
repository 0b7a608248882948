#include "textblocks/ui/block_insertion.h"

#include "textblocks/text_block_file.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>

namespace zedora {

bool isBlockMemo(const QWidget* widget)
{
    static const QRegularExpression maskMemo(QStringLiteral("^t([1-9]|1[0-2])$"));
    if (!qobject_cast<const QPlainTextEdit*>(widget))
        return false;
    const QString name = widget->objectName();
    return name == QLatin1String("DBMemo1") || maskMemo.match(name).hasMatch();
}

bool isCourseNameField(const QWidget* widget)
{
    static const QRegularExpression course(QStringLiteral("^wpf[1-8]1$"));
    return widget && course.match(widget->objectName()).hasMatch();
}

bool expandInMemo(QPlainTextEdit& memo, TextBlockFile& blocks, const FillPlaceholders& fill, Interaction& ui)
{
    if (memo.isReadOnly())
        return false;
    QTextCursor cursor = memo.textCursor();
    cursor.clearSelection();
    const QString before = cursor.block().text().left(cursor.positionInBlock());
    const std::optional<Expansion> e = expandBlockId(before, blocks, fill, ui);
    if (!e)
        return false;
    QGuiApplication::clipboard()->setText(e->text);
    // The ID's characters before the caret give way to the block.
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, e->idLength);
    cursor.insertText(e->text);
    memo.setTextCursor(cursor);
    return true;
}

bool pasteAtCaret(QWidget* target, const QString& text)
{
    if (auto* memo = qobject_cast<QPlainTextEdit*>(target); memo && !memo->isReadOnly()) {
        QGuiApplication::clipboard()->setText(text);
        memo->textCursor().insertText(text);
        return true;
    }
    if (auto* line = qobject_cast<QLineEdit*>(target); line && !line->isReadOnly()) {
        QGuiApplication::clipboard()->setText(text);
        line->insert(text);
        // The mask stores its fields when editing ends.
        emit line->editingFinished();
        return true;
    }
    return false;
}

void installBlockExpansionKey(QWidget& window, std::function<TextBlockFile*()> blocks, FillPlaceholders fill,
                              Interaction& ui)
{
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), &window);
    key->setObjectName(QStringLiteral("blockExpansionKey"));
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, &window, [&window, blocks, fill, &ui] {
        auto* memo = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
        if (!isBlockMemo(memo) || memo->window() != window.window())
            return;
        if (TextBlockFile* file = blocks())
            expandInMemo(*memo, *file, fill, ui);
    });
}

} // namespace zedora
