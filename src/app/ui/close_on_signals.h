#pragma once
// SIGTERM and SIGINT close the main window the normal way, so a logout or a
// kill from a script loses nothing; the program then ends even when windows
// of their own (a preview, the layout editor) are still open.
class QWidget;

namespace zedora {

void closeOnSignals(QWidget& mainWindow);

} // namespace zedora
