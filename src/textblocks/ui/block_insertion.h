#pragma once
// Putting block text into the student's texts: Ctrl+T in a memo, and the
// paste at the caret that the block window's insertion uses. Block text
// goes through the system clipboard, which keeps the last inserted text.
#include "textblocks/block_expansion.h"

#include <QObject>
#include <functional>

class QPlainTextEdit;
class QWidget;

namespace zedora {

class Interaction;
class TextBlockFile;

// The memos Ctrl+T works in: the memo under the table (DBMemo1) and the
// twelve memos of the mask page (t1 ... t12).
bool isBlockMemo(const QWidget* widget);
// The course-name fields of the mask page (wpf11 ... wpf81).
bool isCourseNameField(const QWidget* widget);

// Expands the block ID before the caret of memo; false when nothing was inserted.
bool expandInMemo(QPlainTextEdit& memo, TextBlockFile& blocks, const FillPlaceholders& fill, Interaction& ui);

// Puts text on the clipboard and pastes it at the caret of a memo or a
// line edit; false for any other widget or a read-only one.
bool pasteAtCaret(QWidget* target, const QString& text);

// Ctrl+T on window: acts when the focused widget is one of the block memos.
// blocks is asked for each time (the file is opened on first use).
void installBlockExpansionKey(QWidget& window, std::function<TextBlockFile*()> blocks,
                              FillPlaceholders fill, Interaction& ui);

} // namespace zedora
