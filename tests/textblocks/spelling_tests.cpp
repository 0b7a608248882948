// The German spelling check against the real de_DE dictionary: what counts
// as a word, the personal word list shared through the workspace, and the
// dialog's replace, replace all, ignore and add.
#include "textblocks/spell_checker.h"
#include "textblocks/spelling_session.h"
#include "textblocks/ui/TFRechtschreibung.h"
#include "textblocks/ui/TFeditTBS.h"
#include "base/scripted_interaction.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

struct German {
    QTemporaryDir workspace;
    std::unique_ptr<SpellChecker> checker;

    German()
    {
        QDir(workspace.path()).mkpath(QStringLiteral("DEFINI"));
        checker = SpellChecker::openGerman(SpellChecker::personalListPath(workspace.path() + u'/'));
    }
};

QStringList words(const QString& text, const QSet<QString>& ids = {})
{
    QStringList out;
    for (const WordSpan& w : checkableWords(text, ids))
        out << text.mid(w.start, w.length);
    return out;
}

void click(QWidget& dialog, const char* name)
{
    auto* b = dialog.findChild<QPushButton*>(QLatin1String(name));
    ASSERT_TRUE(b) << name;
    b->click();
}

} // namespace

TEST(SpellingWords, PlaceholdersMarksNumbersAndBlockIdsAreNeverChecked)
{
    EXPECT_EQ(words(QStringLiteral("%VORNAME% arbeitet#\n12 mal in der 5. Klasse (A12) mit; %ErSie% ist Klassen-sprecherin.")),
              QStringList({QStringLiteral("arbeitet"), QStringLiteral("mal"), QStringLiteral("in"), QStringLiteral("der"),
                           QStringLiteral("Klasse"), QStringLiteral("mit"), QStringLiteral("ist"),
                           QStringLiteral("Klassen-sprecherin")}));
    EXPECT_EQ(words(QStringLiteral("Bitte K einfügen"), {QStringLiteral("K")}),
              QStringList({QStringLiteral("Bitte"), QStringLiteral("einfügen")}));
    // A lone "%" is no placeholder: the words after it are checked.
    EXPECT_EQ(words(QStringLiteral("5 % mehr\nals sonst %")), QStringList({QStringLiteral("mehr"), QStringLiteral("als"), QStringLiteral("sonst")}));
}

TEST(SpellChecker, GermanDictionaryWithUmlautsAndSuggestions)
{
    German g;
    ASSERT_TRUE(g.checker) << "hunspell-de-de fehlt";
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Mathematik")));
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("sorgfältig")));
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Schüler")));
    EXPECT_FALSE(g.checker->isCorrect(QStringLiteral("sorgfälltig")));
    EXPECT_TRUE(g.checker->suggestions(QStringLiteral("sorgfälltig")).contains(QStringLiteral("sorgfältig")));
    EXPECT_TRUE(g.checker->suggestions(QStringLiteral("Matematik")).contains(QStringLiteral("Mathematik")));
    // Four thousand letters without a blank: unknown, and no hang in the dictionary.
    EXPECT_FALSE(g.checker->isCorrect(QString(4000, u'a')));
    EXPECT_TRUE(g.checker->suggestions(QString(4000, u'a')).isEmpty());
}

TEST(SpellChecker, TheStudentsNamesAreRightOnlyInTheirOwnText)
{
    German g;
    ASSERT_TRUE(g.checker);
    EXPECT_FALSE(g.checker->isCorrect(QStringLiteral("Ayşenur")));
    g.checker->setTextWords({QStringLiteral("Ayşenur"), QStringLiteral("Weber")});
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Ayşenur")));
    // The next student's text: the names of the one before are unknown again,
    // and a name the dictionary knows by itself stays known.
    g.checker->setTextWords({QStringLiteral("Kvbname")});
    EXPECT_FALSE(g.checker->isCorrect(QStringLiteral("Ayşenur")));
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Weber")));
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Kvbname")));
    // Added to the personal list meanwhile: it stays when the text changes.
    ASSERT_TRUE(g.checker->addToPersonalList(QStringLiteral("Kvbname")));
    g.checker->setTextWords({});
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Kvbname")));
}

TEST(SpellChecker, PersonalListIsSharedThroughTheWorkspaceInWindows1252)
{
    German g;
    ASSERT_TRUE(g.checker);
    EXPECT_FALSE(g.checker->isCorrect(QStringLiteral("Zedoraschülerin")));
    ASSERT_TRUE(g.checker->addToPersonalList(QStringLiteral("Zedoraschülerin")));
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Zedoraschülerin")));
    const QString list = SpellChecker::personalListPath(g.workspace.path() + u'/');
    EXPECT_EQ(test::readBytes(list.toStdString()), std::string("Zedorasch\xFClerin\r\n"));

    // Another computer knows the word; its own additions reach this one.
    auto other = SpellChecker::openGerman(list);
    EXPECT_TRUE(other->isCorrect(QStringLiteral("Zedoraschülerin")));
    ASSERT_TRUE(other->addToPersonalList(QStringLiteral("Kvbwort")));
    g.checker->reloadPersonalList();
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Kvbwort")));
    ASSERT_TRUE(g.checker->addToPersonalList(QStringLiteral("Kvbwort")));
    EXPECT_EQ(test::readBytes(list.toStdString()), std::string("Zedorasch\xFClerin\r\nKvbwort\r\n")) << "added once";

    QTemporaryDir empty;
    EXPECT_EQ(SpellChecker::openGerman(list, {empty.path()}), nullptr);
}

TEST(SpellingDialog, ReplaceAllIgnoreAndAddWalkTheUnknownWords)
{
    German g;
    ASSERT_TRUE(g.checker);
    ScriptedInteraction ui;
    SpellingSession session(QStringLiteral("%VORNAME% arbeitet sorgfälltig.#\nSie ist sorgfälltig, "
                                           "ihre Hefte sind ordendlich und Kvbneu ist ordendlich."),
                            *g.checker);
    ASSERT_TRUE(session.next());
    TFRechtschreibung dialog(session, ui);
    dialog.show();
    auto* replacement = dialog.findChild<QLineEdit*>(QStringLiteral("EdErsetzen"));
    ASSERT_TRUE(replacement);
    EXPECT_EQ(session.word(), QStringLiteral("sorgfälltig"));
    EXPECT_EQ(replacement->text(), QStringLiteral("sorgfältig")) << "the first suggestion is preset";

    click(dialog, "BtnAlleErsetzen");
    EXPECT_EQ(session.word(), QStringLiteral("ordendlich"));
    click(dialog, "BtnIgnorieren");
    EXPECT_EQ(session.word(), QStringLiteral("Kvbneu"));
    click(dialog, "BtnHinzufuegen");
    EXPECT_EQ(session.word(), QStringLiteral("ordendlich")) << "ignoring once is not ignoring all";
    replacement->setText(QStringLiteral("ordentlich"));
    click(dialog, "BtnErsetzen");

    EXPECT_TRUE(session.finished());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(session.text(), QStringLiteral("%VORNAME% arbeitet sorgfältig.#\nSie ist sorgfältig, "
                                             "ihre Hefte sind ordendlich und Kvbneu ist ordentlich."));
    EXPECT_TRUE(g.checker->isCorrect(QStringLiteral("Kvbneu")));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST(SpellingDialog, CheckingAMemoWritesBackAsOneUndoableStepAndSaysItEnded)
{
    German g;
    ASSERT_TRUE(g.checker);
    ScriptedInteraction ui;
    QPlainTextEdit memo;
    memo.setPlainText(QStringLiteral("Er rechnet sicher und Matematik macht ihm Freude. Matematik!"));
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        d->findChild<QLineEdit*>(QStringLiteral("EdErsetzen"))->setText(QStringLiteral("Mathematik"));
        d->findChild<QPushButton*>(QStringLiteral("BtnErsetzen"))->click();
        QTimer::singleShot(0, [d] { d->findChild<QPushButton*>(QStringLiteral("BtnBeenden"))->click(); });
    });
    EXPECT_TRUE(checkSpelling(memo, *g.checker, ui));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Er rechnet sicher und Mathematik macht ihm Freude. Matematik!"));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Prüfung beendet bzw. Rechtschreibung o. k.")});
    memo.undo();
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Er rechnet sicher und Matematik macht ihm Freude. Matematik!"));

    // A correct text opens no dialog and says the same.
    ui.clear();
    memo.setPlainText(QStringLiteral("Alles richtig geschrieben."));
    EXPECT_FALSE(checkSpelling(memo, *g.checker, ui));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Prüfung beendet bzw. Rechtschreibung o. k.")});
}

TEST(SpellingDialog, TheSingleBlockDialogChecksItsTextWithTheDictionary)
{
    German g;
    ASSERT_TRUE(g.checker);
    ScriptedInteraction ui;
    TextBlock block{QStringLiteral("M9"), QStringLiteral("%ErSie% rechnet sicher und zuverläsig."), 1};
    TFeditTBS dialog(block, [&](QPlainTextEdit& memo) { checkSpelling(memo, *g.checker, ui); });
    auto* button = dialog.findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->isVisibleTo(&dialog));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Rechtschreibprüfung"));
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            d->findChild<QPushButton*>(QStringLiteral("BtnErsetzen"))->click(); // the first suggestion
    });
    button->click();
    EXPECT_EQ(dialog.content(), QStringLiteral("%ErSie% rechnet sicher und zuverlässig. "));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Prüfung beendet bzw. Rechtschreibung o. k.")});
}
