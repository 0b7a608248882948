#include "core/help_texts.h"

#include "base/ansi_text.h"

#include <QFile>

namespace zedora {
namespace {

// A help file is a few kilobytes; anything far larger is not one, and
// reading it whole would only waste memory.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

QString unescape(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw.at(i + 1);
            if (next == u'n') {
                out += u'\n';
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QString HelpTexts::missingText()
{
    return QStringLiteral("HELPTEXT.TXT fehlt!");
}

HelpTexts HelpTexts::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        HelpTexts missing;
        missing.missing_ = true;
        return missing;
    }
    return fromText(fromAnsi(file.read(kMaxFileBytes)));
}

HelpTexts HelpTexts::fromText(const QString& text)
{
    HelpTexts result;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        qsizetype start = 0;
        while (start < line.size() && isBlank(line.at(start)))
            ++start;
        if (start == line.size() || line.at(start) == u';')
            continue;
        qsizetype end = start;
        while (end < line.size() && !isBlank(line.at(end)))
            ++end;
        const QString code = upperAscii(line.mid(start, end - start));
        if (result.texts_.contains(code))
            continue;
        qsizetype textStart = end;
        while (textStart < line.size() && isBlank(line.at(textStart)))
            ++textStart;
        result.texts_.insert(code, unescape(line.mid(textStart).trimmed()));
        result.order_.append(code);
    }
    return result;
}

QString HelpTexts::text(const QString& code) const
{
    if (missing_)
        return missingText();
    return texts_.value(upperAscii(code.trimmed()));
}

} // namespace zedora
