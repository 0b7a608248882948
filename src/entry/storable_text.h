#pragma once
// The program's files hold Windows-1252 text. Characters outside it (Cyrillic,
// emoji, ...) would silently turn into '?', so input is refused instead.
#include <QString>

namespace zedora {

// Whether every character of text can be written to the program's files.
bool isStorable(const QString& text);
// The text without the characters that cannot be written.
QString storablePart(const QString& text);
// The warning shown when characters were refused.
QString unstorableCharactersText();

} // namespace zedora
