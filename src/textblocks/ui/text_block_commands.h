#pragma once
// Hangs the text blocks into the main window: the block window behind F3,
// its button and menu items, Ctrl+T in every memo, the insertion of a block
// into the current student's record, the length test and the spelling
// check of the memo under the table.
#include "textblocks/text_block_file.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QPlainTextEdit;

namespace zedora {

class LengthTestDisplay;
class MainFrame;
class PrintMetrics;
class SpellChecker;
class TFTBS;

class TextBlockCommands : public QObject {
    Q_OBJECT
public:
    explicit TextBlockCommands(MainFrame& frame);
    ~TextBlockCommands() override;

    // The block file, opened on first use under the current name.
    TextBlockFile* blockFile();
    // The name in use: the open student file's assignment, else FloskelDatei.
    QString currentFileName() const;
    TFTBS& blockWindow();
    // F3: show the window, empty the ID search and focus it.
    void showBlockWindow();
    // spTBS and "&Textbausteindatei zuweisen": another block file for the
    // open student file, through the window's open dialog.
    void chooseBlockFile();
    // "&Drucken ..." of the block window: the blocks of the open file in the preview.
    void printBlocks();
    // The block into the student file, as the page and the current column say.
    void insertFromWindow(const TextBlock& block);
    QString fillForCurrentStudent(const QString& text);
    // Nothing without a German dictionary.
    SpellChecker* spellChecker() { return spell_.get(); }
    void checkSpelling(QPlainTextEdit& memo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectMenu();
    void connectMemoPanel();
    void printTextBlockColumn();
    void blockFileOpened(const QString& name);
    bool blockWindowVisible() const;
    QPlainTextEdit* tableMemo() const;
    void memoEntered(QPlainTextEdit& memo);
    void focusMoved(QWidget* old, QWidget* now);

    MainFrame& frame_;
    std::unique_ptr<TextBlockFile> file_;
    int heldId_ = 0;
    QPointer<TFTBS> window_;
    std::unique_ptr<SpellChecker> spell_;
    std::unique_ptr<PrintMetrics> metrics_;
    LengthTestDisplay* length_ = nullptr;
    QPointer<QPlainTextEdit> memo_; // the text under the table, DBMemo1
    bool calibrated_ = false;
    // Set when the text under the table changes, cleared when the grid enters a column.
    bool memoChanged_ = false;
};

void installTextBlocks(MainFrame& frame);

} // namespace zedora
