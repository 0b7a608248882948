#pragma once
// The German spelling check: the Hunspell dictionary de_DE and a personal
// word list kept in the workspace, so every computer of a school shares the
// words added on any of them.
#include <QString>
#include <QStringList>
#include <memory>

class Hunspell;

namespace zedora {

class SpellChecker {
public:
    // Nothing when no German dictionary is found in dictionaryDirs (the
    // system's folders when empty). personalList: the shared word list.
    static std::unique_ptr<SpellChecker> openGerman(const QString& personalList,
                                                    const QStringList& dictionaryDirs = {});
    ~SpellChecker();

    bool isCorrect(const QString& word);
    QStringList suggestions(const QString& word);
    // Adds the word here and to the personal list; false when the list
    // cannot be written.
    bool addToPersonalList(const QString& word);
    // Reads the personal list again (other computers may have added words).
    void reloadPersonalList();
    // Words right in the text now checked only, such as the student's own
    // names; those of the previous text are forgotten.
    void setTextWords(const QStringList& words);

    // The personal list of a workspace.
    static QString personalListPath(const QString& workspace);

private:
    SpellChecker(const QString& aff, const QString& dic, const QString& personalList);
    std::string encode(const QString& word);
    QString decode(const std::string& bytes);

    std::unique_ptr<Hunspell> hunspell_;
    QString personalList_;
    bool utf8_ = true;
    QStringList personalWords_;
    QStringList textWords_;
};

// Hunspell refuses longer words; such a run of letters is reported unknown
// without suggestions.
inline constexpr int kLongestCheckedWord = 90;

} // namespace zedora
