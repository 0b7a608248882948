#pragma once
// The text-block window: topics, ID search, the blocks of the current file
// and the commands that create, open, save, edit and insert blocks. It
// stays on top of the other windows.
#include "textblocks/text_block_file.h"

#include <QMainWindow>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTableView;
class QToolButton;
class QFrame;

namespace zedora {

class Interaction;
class TextBlockTableModel;
class UserMode;
struct Settings;

class TFTBS : public QMainWindow {
    Q_OBJECT
public:
    // spelling runs the spelling check on a memo; empty without a German
    // dictionary (the single-block dialog then hides its button).
    TFTBS(TextBlockFile& blocks, Settings& settings, UserMode& mode, Interaction& ui,
          std::function<void(QPlainTextEdit&)> spelling = {}, QWidget* parent = nullptr);
    ~TFTBS() override;

    // Opens the block file by name (the current one of the student file).
    bool openFile(const QString& name);
    // F3 of the main window: show, focus, empty the ID search and focus it.
    void showForSearch();
    // Re-reads the blocks, keeping the current one.
    void reload();
    // Opens the file again and shows it when it was replaced on disk.
    void refreshIfReplaced();
    // Shows the block file again after it was let go of and taken back.
    void showFileAgain() { afterOpen(); }

    std::optional<TextBlock> currentBlock() const;
    bool selectBlock(std::uint32_t mark);

    // The commands of the menus, keys and buttons.
    void NeuClick();
    void OeffnenClick();
    void SpeichernUnterClick();
    void EditCurrentBlock();
    void EditAllBlocks();
    void AddBlock();
    void DeleteBlock();
    void TakeOverBlock();
    void ChangeTopicWidth();
    void chooseTopic(const QString& topic);

    QTableView* grid() const { return grid_; }
    TextBlockTableModel* model() const { return model_; }

signals:
    // Insert the block into the student file.
    void insertRequested(const zedora::TextBlock& block);
    void printRequested();
    // The user made another file current (status buttons of the main window).
    void fileOpened(const QString& name);
    // The window was closed or hidden.
    void hidden();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildMenus();
    // chosen: the user picked the file (New, Open, Save as), which makes it current.
    void afterOpen(bool chosen = false);
    void buildTopics();
    void currentChanged();
    void searchEdited(const QString& text);
    void fitColumns();
    void storeGeometry();

    TextBlockFile& blocks_;
    Settings& settings_;
    UserMode& mode_;
    Interaction& ui_;
    std::function<void(QPlainTextEdit&)> spelling_;
    TextBlockTableModel* model_ = nullptr;
    QFrame* left_ = nullptr;
    QLabel* topicsLabel_ = nullptr;
    QListWidget* topics_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTableView* grid_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    bool activated_ = false;
};

} // namespace zedora
