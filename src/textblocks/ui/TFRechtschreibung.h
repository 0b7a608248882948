#pragma once
// The spelling dialog: each unknown word shown in its context with
// suggestions; replace, replace all, ignore, ignore all, add to the
// personal word list.
#include <QDialog>
#include <QSet>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTextEdit;

namespace zedora {

class Interaction;
class SpellChecker;
class SpellingSession;

class TFRechtschreibung : public QDialog {
    Q_OBJECT
public:
    // The session must have found its first word (not finished).
    TFRechtschreibung(SpellingSession& session, Interaction& ui, QWidget* parent = nullptr);

    void BtnErsetzenClick();
    void BtnAlleErsetzenClick();
    void BtnIgnorierenClick();
    void BtnAlleIgnorierenClick();
    void BtnHinzufuegenClick();

private:
    void showWord();

    SpellingSession& session_;
    Interaction& ui_;
    QTextEdit* context_ = nullptr;
    QLabel* word_ = nullptr;
    QLineEdit* replacement_ = nullptr;
    QListWidget* suggestions_ = nullptr;
};

// Checks the text of memo and writes the corrected text back as one step
// the user can undo; ends with "Prüfung beendet bzw. Rechtschreibung o. k.".
// Returns whether the text changed.
bool checkSpelling(QPlainTextEdit& memo, SpellChecker& checker, Interaction& ui,
                   const QSet<QString>& blockIds = {});

inline constexpr const char* kSpellingDone = "Prüfung beendet bzw. Rechtschreibung o. k.";
inline constexpr const char* kSpellingHint = "Rechtschreibprüfung";

} // namespace zedora
