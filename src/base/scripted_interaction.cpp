#include "base/scripted_interaction.h"

namespace zedora {

void ScriptedInteraction::info(const QString& text) { shown.append({Kind::Info, text, {}}); }
void ScriptedInteraction::warning(const QString& text) { shown.append({Kind::Warning, text, {}}); }
void ScriptedInteraction::error(const QString& text) { shown.append({Kind::Error, text, {}}); }

Answer ScriptedInteraction::ask(const QString& text, Buttons)
{
    shown.append({Kind::Ask, text, {}});
    return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
}

std::optional<QString> ScriptedInteraction::nextText()
{
    return texts.isEmpty() ? std::nullopt : texts.dequeue();
}

std::optional<QString> ScriptedInteraction::input(const QString& title, const QString& prompt,
                                                  const QString&)
{
    shown.append({Kind::Input, title, prompt});
    return nextText();
}

std::optional<QString> ScriptedInteraction::password(const QString& title, const QString& prompt)
{
    shown.append({Kind::Password, title, prompt});
    return nextText();
}

std::optional<QString> ScriptedInteraction::openFile(const QString& title, const QString&,
                                                     const QString&, const QString&)
{
    shown.append({Kind::OpenFile, title, {}});
    return nextText();
}

std::optional<QString> ScriptedInteraction::saveFile(const QString& title, const QString&,
                                                     const QString&, const QString&)
{
    shown.append({Kind::SaveFile, title, {}});
    return nextText();
}

std::optional<QString> ScriptedInteraction::chooseFolder(const QString& title, const QString&)
{
    shown.append({Kind::ChooseFolder, title, {}});
    return nextText();
}

std::optional<QColor> ScriptedInteraction::chooseColour(const QColor&)
{
    shown.append({Kind::ChooseColour, {}, {}});
    return colours.isEmpty() ? std::nullopt : colours.dequeue();
}

std::optional<QFont> ScriptedInteraction::chooseFont(const QFont&)
{
    shown.append({Kind::ChooseFont, {}, {}});
    return fonts.isEmpty() ? std::nullopt : fonts.dequeue();
}

void ScriptedInteraction::beep() { shown.append({Kind::Beep, {}, {}}); }

void ScriptedInteraction::busy(bool on) { busyDepth += on ? 1 : -1; }

QStringList ScriptedInteraction::messages() const
{
    QStringList out;
    for (const Shown& s : shown) {
        if (s.kind == Kind::Info || s.kind == Kind::Warning || s.kind == Kind::Error
            || s.kind == Kind::Ask)
            out << s.text;
    }
    return out;
}

int ScriptedInteraction::beeps() const
{
    int n = 0;
    for (const Shown& s : shown)
        n += s.kind == Kind::Beep;
    return n;
}

} // namespace zedora
