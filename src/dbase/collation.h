#pragma once
// Key collation and the engine's UPPER for Windows-1252 keys.
#include <string>
#include <string_view>

namespace zedora::dbase {

// UPPER of a key expression: a-z and the Windows-1252 lower-case letters
// (ä ö ü à é ... š œ ž ÿ) to their capitals; ß has none and stays.
unsigned char upperWin1252(unsigned char c);
void upperInPlace(std::string& text, size_t from = 0);

// A byte string whose plain byte order equals compareKeys() order for keys
// blank-padded to `length`. Used to sort many keys at once.
std::string collationSortKey(std::string_view key, size_t length);

} // namespace zedora::dbase
