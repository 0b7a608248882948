#pragma once
// Small rules every entry field of the main window shares.
class QEvent;
class QPlainTextEdit;

namespace zedora {

// A focus change that ends (or begins) the entry in a field. A message box or
// a menu taking the focus for a moment does not.
bool endsOrBeginsEntry(const QEvent& focusEvent);

// Enter in an assessment text: the line mark "#" goes before the line break
// the key then inserts. Returns whether the key was such an Enter.
bool insertLineMark(QPlainTextEdit& text, const QEvent& keyEvent);

} // namespace zedora
