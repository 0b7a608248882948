#pragma once
// The interaction seam for tests: records everything shown and answers from
// queues. An empty answer queue answers Cancel / nothing.
#include "base/interaction.h"

#include <QList>
#include <QQueue>

namespace zedora {

class ScriptedInteraction : public Interaction {
public:
    enum class Kind { Info, Warning, Error, Ask, Input, Password, OpenFile, SaveFile,
                      ChooseFolder, ChooseColour, ChooseFont, Beep };
    struct Shown {
        Kind kind;
        QString text;   // message text, or the title of a dialog
        QString detail; // the prompt of an input box
    };

    void info(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    Answer ask(const QString& text, Buttons buttons) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& preset) override;
    std::optional<QString> password(const QString& title, const QString& prompt) override;
    std::optional<QString> openFile(const QString& title, const QString& filter,
                                    const QString& dir, const QString& preset) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& dir, const QString& preset) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& dir) override;
    std::optional<QColor> chooseColour(const QColor& preset) override;
    std::optional<QFont> chooseFont(const QFont& preset) override;
    void beep() override;
    void busy(bool on) override;

    // Answers, consumed in order.
    QQueue<Answer> answers;
    QQueue<std::optional<QString>> texts;   // input, password, file and folder dialogs
    QQueue<std::optional<QColor>> colours;
    QQueue<std::optional<QFont>> fonts;

    QList<Shown> shown;
    int busyDepth = 0;

    // The texts of every message box (info, warning, error, ask) in order.
    QStringList messages() const;
    int beeps() const;
    void clear() { shown.clear(); }

private:
    std::optional<QString> nextText();
};

} // namespace zedora
