#pragma once
// The interaction seam as modal Qt dialogs with German captions and buttons.
#include "base/interaction.h"

class QCoreApplication;
class QFileDialog;
class QWidget;

namespace zedora {

// Installs Qt's German translation (qtbase_de) on the application, so the
// standard dialogs and Qt's own messages speak German. False when it is not
// installed on this computer; the program then runs with English ones.
bool installQtTranslations(QCoreApplication& app);

// Qt's own file dialog, large enough that its file names are not cut off.
void sizeFileDialog(QFileDialog& dlg);

// File filters may come written as "Beschreibung|*.ext|…" (as the stored
// texts have them) or as Qt's "Beschreibung (*.ext);;…"; the dialog gets the latter.
QString qtFileFilter(const QString& filter);

class QtInteraction : public Interaction {
public:
    // parent: the window the dialogs are centred on; may change over time.
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void info(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    void refusal(const QString& text) override;
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

private:
    QWidget* parent_;
};

} // namespace zedora
