#include "textblocks/spelling_session.h"

#include "textblocks/spell_checker.h"
#include "base/ansi_text.h"

namespace zedora {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber();
}

} // namespace

QList<WordSpan> checkableWords(const QString& text, const QSet<QString>& blockIds)
{
    QList<WordSpan> out;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c == u'%') {
            // A placeholder runs to the next '%' on the same line.
            const qsizetype close = text.indexOf(u'%', i + 1);
            const qsizetype lineEnd = text.indexOf(u'\n', i + 1);
            if (close > 0 && (lineEnd < 0 || close < lineEnd)) {
                i = close + 1;
                continue;
            }
            ++i;
            continue;
        }
        if (!isWordChar(c)) {
            ++i;
            continue;
        }
        qsizetype end = i;
        // Hyphenated compounds are one word; a hyphen at the end is not part of it.
        while (end < n && (isWordChar(text[end])
                           || ((text[end] == u'-' || text[end] == u'\'') && end + 1 < n && isWordChar(text[end + 1]))))
            ++end;
        const QString word = text.mid(i, end - i);
        bool digits = false;
        for (QChar ch : word)
            digits = digits || ch.isDigit();
        const bool blockId = word.size() <= 4 && blockIds.contains(upperAscii(word));
        if (!digits && !blockId)
            out.append({i, end - i});
        i = end;
    }
    return out;
}

SpellingSession::SpellingSession(QString text, SpellChecker& checker, QSet<QString> blockIds)
    : text_(std::move(text)), checker_(checker), blockIds_(std::move(blockIds))
{
}

bool SpellingSession::next()
{
    for (const WordSpan& w : checkableWords(text_, blockIds_)) {
        if (w.start < from_)
            continue;
        const QString word = text_.mid(w.start, w.length);
        if (ignored_.contains(word))
            continue;
        const auto always = replaceAlways_.constFind(word);
        if (always != replaceAlways_.constEnd()) {
            current_ = w;
            replace(*always);
            return !finished_;
        }
        if (checker_.isCorrect(word))
            continue;
        current_ = w;
        return true;
    }
    finished_ = true;
    current_ = {};
    return false;
}

QString SpellingSession::word() const
{
    return finished_ ? QString() : text_.mid(current_.start, current_.length);
}

QStringList SpellingSession::suggestions()
{
    return finished_ ? QStringList() : checker_.suggestions(word());
}

void SpellingSession::replace(const QString& with)
{
    if (finished_)
        return;
    text_.replace(current_.start, current_.length, with);
    changed_ = true;
    from_ = current_.start + with.size();
    next();
}

void SpellingSession::replaceAll(const QString& with)
{
    if (finished_)
        return;
    replaceAlways_.insert(word(), with);
    replace(with);
}

void SpellingSession::ignore()
{
    if (finished_)
        return;
    from_ = current_.start + current_.length;
    next();
}

void SpellingSession::ignoreAll()
{
    if (finished_)
        return;
    ignored_.insert(word());
    ignore();
}

bool SpellingSession::addToDictionary()
{
    if (finished_)
        return false;
    const bool ok = checker_.addToPersonalList(word());
    if (!ok)
        ignored_.insert(word());
    ignore();
    return ok;
}

} // namespace zedora
