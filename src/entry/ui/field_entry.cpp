#include "entry/ui/field_entry.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace zedora {

bool endsOrBeginsEntry(const QEvent& focusEvent)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(focusEvent).reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

bool insertLineMark(QPlainTextEdit& text, const QEvent& keyEvent)
{
    const auto& key = static_cast<const QKeyEvent&>(keyEvent);
    if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) || (key.modifiers() & ~Qt::KeypadModifier)
        || text.isReadOnly())
        return false;
    // Through the system clipboard, as block texts come in too.
    QApplication::clipboard()->setText(QStringLiteral("#"));
    text.paste();
    return true;
}

} // namespace zedora
