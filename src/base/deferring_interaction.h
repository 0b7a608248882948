#pragma once
// Passes everything on to another interaction; while held, message boxes and
// beeps wait until control is back in the event loop. A box must not open
// while a table cell editor is handing over its value: its own event loop
// would close and delete the editor under the view's feet.
#include "base/interaction.h"

#include <QObject>
#include <functional>
#include <vector>

namespace zedora {

class DeferringInteraction : public Interaction {
public:
    explicit DeferringInteraction(Interaction& target) : target_(target) {}

    // Nests; what was held is shown once the event loop runs again.
    void hold(bool on) { held_ += on ? 1 : -1; }
    bool holding() const { return held_ > 0; }
    // Shows what waits now (also called from the event loop).
    void flush();

    void info(const QString& text) override { later([this, text] { target_.info(text); }); }
    void warning(const QString& text) override { later([this, text] { target_.warning(text); }); }
    void error(const QString& text) override { later([this, text] { target_.error(text); }); }
    void refusal(const QString& text) override { later([this, text] { target_.refusal(text); }); }
    void beep() override { later([this] { target_.beep(); }); }

    Answer ask(const QString& text, Buttons buttons) override { return target_.ask(text, buttons); }
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& preset) override
    {
        return target_.input(title, prompt, preset);
    }
    std::optional<QString> password(const QString& title, const QString& prompt) override
    {
        return target_.password(title, prompt);
    }
    std::optional<QString> openFile(const QString& title, const QString& filter, const QString& dir,
                                    const QString& preset) override
    {
        return target_.openFile(title, filter, dir, preset);
    }
    std::optional<QString> saveFile(const QString& title, const QString& filter, const QString& dir,
                                    const QString& preset) override
    {
        return target_.saveFile(title, filter, dir, preset);
    }
    std::optional<QString> chooseFolder(const QString& title, const QString& dir) override
    {
        return target_.chooseFolder(title, dir);
    }
    std::optional<QColor> chooseColour(const QColor& preset) override { return target_.chooseColour(preset); }
    std::optional<QFont> chooseFont(const QFont& preset) override { return target_.chooseFont(preset); }
    void busy(bool on) override { target_.busy(on); }
    void progress(const QString& text, int done, int total) override { target_.progress(text, done, total); }
    void progressFinished() override { target_.progressFinished(); }

private:
    void later(std::function<void()> show);

    Interaction& target_;
    int held_ = 0;
    std::vector<std::function<void()>> waiting_;
    QObject guard_;  // ends a pending flush with the object
};

} // namespace zedora
