#pragma once
// The text field under the entry table belongs to the current text-block
// column: it shows when such a column is entered, saves when it is left,
// and takes the clipboard items of the table menu while it has the focus.
#include <QObject>

namespace zedora {

class MainFrame;

class MemoPanelCommands : public QObject {
    Q_OBJECT
public:
    explicit MemoPanelCommands(MainFrame& frame);

    // The entry grid entered a column (-1: none).
    void columnEntered(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectPanel();
    void connectClipboardItems();

    MainFrame& frame_;
};

// Connects the text field; the window owns what is made here.
void installMemoPanelCommands(MainFrame& frame);

} // namespace zedora
