#include "print/word_wrap.h"

#include <cmath>

namespace zedora {

QStringList wrapText(const QString& contentIn, int lineWidth, int firstIndent, const WidthOf& width)
{
    QString content = contentIn;
    QStringList lines;
    QString buffer;
    int brk = 0;
    auto emitLine = [&](const QString& line) { lines.append(line.trimmed()); };

    if (content.startsWith(u'#')) {
        content[0] = u' ';
        emitLine(QString());
    }
    for (qsizetype k = 0; k < content.size(); ++k) {
        QChar c = content[k];
        if (c == u'$')
            c = u'§';
        const int n = int(lines.size()) + 1;
        const int available = n == 1 ? lineWidth - firstIndent : lineWidth;
        buffer.append(c);
        if (k + 1 >= content.size())
            break;
        const QChar next = content[k + 1];
        if (next == u'#') {
            content[k + 1] = u' ';
            emitLine(buffer);
            buffer.clear();
            brk = 0;
        } else if (next == u' ') {
            if (width(buffer) < available || brk == 0) {
                brk = int(buffer.size());
            } else {
                emitLine(buffer.left(brk));
                buffer = buffer.mid(brk + 1);
                brk = int(buffer.size());
            }
        }
    }
    emitLine(buffer);
    return lines;
}

QString stretchText(const QString& text, double printerWidth, double previewWidth,
                    const WidthOf& previewWidthOf)
{
    const double d = printerWidth - previewWidth;
    if (std::abs(d) <= 10)
        return text;
    int n = 1;
    for (; n <= 101; ++n) {
        if (previewWidthOf(QString(n, u' ')) >= std::abs(d))
            break;
    }
    const int k = n - 1;
    if (k <= 1)
        return text;
    QString out = text;
    if (d < -10) {
        int removed = 0;
        for (qsizetype i = 0; i < out.size() && removed < k;) {
            if (out[i] == u' ') {
                out.remove(i, 1);
                ++removed;
            } else {
                ++i;
            }
        }
    } else if (out.contains(u' ')) {
        int added = 0;
        while (added < k) {
            for (qsizetype i = 0; i < out.size() && added < k; ++i) {
                if (out[i] == u' ') {
                    out.insert(i, u' ');
                    ++added;
                    ++i; // past the blank just doubled
                }
            }
        }
    }
    return out;
}

} // namespace zedora
