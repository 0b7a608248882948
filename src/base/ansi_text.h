#pragma once
// Windows-1252 ("ANSI") is the encoding of every file the program reads and
// writes; inside the program text is QString. These convert at the file edge.
#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace zedora {

QString fromAnsi(std::string_view bytes);
QString fromAnsi(const QByteArray& bytes);
// Characters outside Windows-1252 become '?'.
QByteArray toAnsi(const QString& text);
std::string toAnsiStd(const QString& text);

// Upper-casing by the program: only a-z change, umlauts stay as they are.
QString upperAscii(const QString& text);

} // namespace zedora
