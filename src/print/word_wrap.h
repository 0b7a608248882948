#pragma once
// The word wrap of text blocks. A line is tested against its width only at
// the end of a word, so a word wider than the line stays whole on a line of
// its own; "#" forces a line break and "$" prints as "§".
#include <QString>
#include <QStringList>
#include <functional>

namespace zedora {

using WidthOf = std::function<double(const QString&)>;

// The lines in order, each trimmed (empty lines included). The first line
// is firstIndent narrower than lineWidth.
QStringList wrapText(const QString& content, int lineWidth, int firstIndent, const WidthOf& width);

// The preview's imitation of the printer's line length: blanks are added
// (the preview draws narrower) or removed (wider) until the difference
// is used up. Texts within 1 mm stay as they are.
QString stretchText(const QString& text, double printerWidth, double previewWidth,
                    const WidthOf& previewWidthOf);

} // namespace zedora
