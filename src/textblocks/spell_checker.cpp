#include "textblocks/spell_checker.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"

#include <hunspell.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zedora {

std::unique_ptr<SpellChecker> SpellChecker::openGerman(const QString& personalList, const QStringList& dirsIn)
{
    const QStringList dirs = dirsIn.isEmpty()
        ? QStringList{QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/local/share/hunspell"),
                      QStringLiteral("/usr/share/myspell/dicts")}
        : dirsIn;
    for (const QString& dir : dirs) {
        for (const char* name : {"de_DE", "de_DE_frami", "de_AT", "de_CH"}) {
            const QString aff = QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".aff"));
            const QString dic = QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".dic"));
            if (QFileInfo(aff).isFile() && QFileInfo(dic).isFile())
                return std::unique_ptr<SpellChecker>(new SpellChecker(aff, dic, personalList));
        }
    }
    return nullptr;
}

SpellChecker::SpellChecker(const QString& aff, const QString& dic, const QString& personalList)
    : hunspell_(std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData())),
      personalList_(personalList)
{
    const char* encoding = hunspell_->get_dic_encoding();
    const QByteArray name = QByteArray(encoding ? encoding : "").toUpper().replace('-', "");
    utf8_ = name == "UTF8";
    reloadPersonalList();
}

SpellChecker::~SpellChecker() = default;

QString SpellChecker::personalListPath(const QString& workspace)
{
    return resolveIn(workspace, QStringLiteral("DEFINI\\WORTLISTE.TXT"));
}

// Dictionaries come in UTF-8 or in ISO 8859-1; other single-byte ones
// share the German letters with ISO 8859-1.
std::string SpellChecker::encode(const QString& word)
{
    return utf8_ ? word.toStdString() : word.toLatin1().toStdString();
}

QString SpellChecker::decode(const std::string& bytes)
{
    return utf8_ ? QString::fromStdString(bytes) : QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

bool SpellChecker::isCorrect(const QString& word)
{
    if (word.size() > kLongestCheckedWord)
        return false;
    return hunspell_->spell(encode(word));
}

QStringList SpellChecker::suggestions(const QString& word)
{
    QStringList out;
    if (word.size() > kLongestCheckedWord)
        return out;
    for (const std::string& s : hunspell_->suggest(encode(word)))
        out.append(decode(s));
    return out;
}

void SpellChecker::reloadPersonalList()
{
    QFile f(resolvePath(personalList_));
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = fromAnsi(f.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const QString word = line.trimmed();
        if (!word.isEmpty() && !personalWords_.contains(word)) {
            personalWords_.append(word);
            hunspell_->add(encode(word));
        }
    }
}

void SpellChecker::setTextWords(const QStringList& words)
{
    for (const QString& w : std::as_const(textWords_))
        if (!personalWords_.contains(w))
            hunspell_->remove(encode(w));
    textWords_.clear();
    for (const QString& w : words) {
        // Only what the dictionary lacks: removing a word it knows would
        // make it wrong afterwards.
        if (w.isEmpty() || w.size() > kLongestCheckedWord || textWords_.contains(w) || isCorrect(w))
            continue;
        hunspell_->add(encode(w));
        textWords_.append(w);
    }
}

bool SpellChecker::addToPersonalList(const QString& wordIn)
{
    const QString word = wordIn.trimmed();
    if (word.isEmpty())
        return false;
    reloadPersonalList();
    if (!personalWords_.contains(word)) {
        // Appending one line keeps the words other computers added meanwhile.
        QDir().mkpath(QFileInfo(resolvePath(personalList_)).absolutePath());
        QFile f(resolvePath(personalList_));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        if (f.write(toAnsi(word) + "\r\n") < 0 || !f.flush())
            return false;
        personalWords_.append(word);
    }
    hunspell_->add(encode(word));
    return true;
}

} // namespace zedora
