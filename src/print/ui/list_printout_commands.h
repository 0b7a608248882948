#pragma once
// The table printouts of the main window: "Tabellendruck ..." with its
// dialog and "&Aktuelle Textblockspalte drucken ...", each in the preview.
namespace zedora {

class MainFrame;

void installListPrintouts(MainFrame& frame);

} // namespace zedora
