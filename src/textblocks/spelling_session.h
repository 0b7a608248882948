#pragma once
// One interactive spelling check of one text: walks the unknown words in
// order and applies replace, replace all, ignore, ignore all and add.
// Placeholders (%NAME%), "#" marks, numbers, words with digits and block
// IDs are never reported.
#include <QSet>
#include <QString>
#include <QStringList>

namespace zedora {

class SpellChecker;

struct WordSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The words of text that are checked, in order.
QList<WordSpan> checkableWords(const QString& text, const QSet<QString>& blockIds = {});

class SpellingSession {
public:
    SpellingSession(QString text, SpellChecker& checker, QSet<QString> blockIds = {});

    // Moves to the next unknown word; false (finished) when there is none.
    bool next();
    bool finished() const { return finished_; }
    QString word() const;
    WordSpan span() const { return current_; }
    QStringList suggestions();

    void replace(const QString& with);
    // Also every later occurrence of the same whole word.
    void replaceAll(const QString& with);
    void ignore();
    void ignoreAll();
    // False when the personal list could not be written (the word is then
    // still skipped in this check).
    bool addToDictionary();

    const QString& text() const { return text_; }
    bool changed() const { return changed_; }

private:
    QString text_;
    SpellChecker& checker_;
    QSet<QString> blockIds_;
    QSet<QString> ignored_;
    QHash<QString, QString> replaceAlways_;
    WordSpan current_;
    qsizetype from_ = 0;
    bool finished_ = false;
    bool changed_ = false;
};

} // namespace zedora
