#pragma once
// The interaction seam for batch commands: messages go to standard error,
// questions get the answer given on the command line (default: No), and
// dialogs are not available.
#include "base/interaction.h"

#include <QString>
#include <iosfwd>
#include <optional>

namespace zedora {
struct ProgramPaths;
}

namespace zedora::cli {

// The workspace a command works in: the one given, else the default one,
// with a trailing '/'; nothing (and a message) when the folder does not exist.
std::optional<QString> existingWorkspace(const QString& given, const ProgramPaths& paths, std::ostream& err);

// A student file given absolute or relative to the workspace, found in any
// letter case; nothing (and a message) when there is no such file.
std::optional<QString> existingStudentFile(const QString& workspace, const QString& file, std::ostream& err);

class ConsoleInteraction : public Interaction {
public:
    ConsoleInteraction(std::ostream& err, Answer answer = Answer::No) : err_(err), answer_(answer) {}

    void info(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    Answer ask(const QString& text, Buttons buttons) override;
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> password(const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<QString> chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColour(const QColor&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&) override { return {}; }
    void beep() override {}
    void busy(bool) override {}

    int errors() const { return errors_; }

private:
    void print(const char* prefix, const QString& text);
    std::ostream& err_;
    Answer answer_;
    int errors_ = 0;
};

} // namespace zedora::cli
