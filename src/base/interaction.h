#pragma once
// Every message box, question, input box, file/folder/colour/font dialog,
// beep and wait cursor goes through this interface, so the algorithms run
// headless in tests and the texts can be checked exactly.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

enum class Answer { Yes, No, Cancel, Ok };

// Which buttons a question offers.
enum class Buttons { YesNo, YesNoCancel, OkCancel };

// Where the progress of long work is shown (the main window's progress panel).
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void showProgress(const QString& text, int done, int total) = 0;
    virtual void hideProgress() = 0;
};

class Interaction {
public:
    virtual ~Interaction() = default;

    // The program's own boxes: warning and error boxes get a line break
    // appended to the text, the information box shows the text as given.
    virtual void info(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // An error box whose one button says "Abbrechen": a refused entry.
    virtual void refusal(const QString& text) { error(text); }
    // Caption "Bestätigen".
    virtual Answer ask(const QString& text, Buttons buttons) = 0;
    // Returns nothing when the user cancels.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& preset) = 0;
    virtual std::optional<QString> password(const QString& title, const QString& prompt) = 0;
    // filter in Qt form, e.g. "Dateien (*.dbf *.fdf)"; dir is the start folder.
    virtual std::optional<QString> openFile(const QString& title, const QString& filter,
                                            const QString& dir, const QString& preset) = 0;
    virtual std::optional<QString> saveFile(const QString& title, const QString& filter,
                                            const QString& dir, const QString& preset) = 0;
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& dir) = 0;
    virtual std::optional<QColor> chooseColour(const QColor& preset) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& preset) = 0;
    // The system's exclamation sound.
    virtual void beep() = 0;
    // Wait cursor on (true) / off (false); nests.
    virtual void busy(bool on) = 0;
    // Long work: how far it got (done of total); finished ends the display.
    virtual void progress(const QString& text, int done, int total)
    {
        if (display_)
            display_->showProgress(text, done, total);
    }
    virtual void progressFinished()
    {
        if (display_)
            display_->hideProgress();
    }
    // nullptr: progress is not shown.
    void setProgressDisplay(ProgressDisplay* display) { display_ = display; }

private:
    ProgressDisplay* display_ = nullptr;
};

// Shows the wait cursor for the lifetime of the object.
class BusyScope {
public:
    explicit BusyScope(Interaction& ui) : ui_(ui) { ui_.busy(true); }
    ~BusyScope() { ui_.busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
private:
    Interaction& ui_;
};

// Ends the progress display when the work is left, however it ends.
class ProgressScope {
public:
    ProgressScope(Interaction& ui, QString text, int total) : ui_(ui), text_(std::move(text)), total_(total)
    {
        ui_.progress(text_, 0, total_);
    }
    ~ProgressScope() { ui_.progressFinished(); }
    void step(int done) { ui_.progress(text_, done, total_); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
private:
    Interaction& ui_;
    QString text_;
    int total_;
};

} // namespace zedora
