#pragma once
// Hangs the history view into the main window: the menu items "&Historie ..."
// and "Historie anzeigen ..." and the icon-bar button "Historie".
namespace zedora {

class MainFrame;

void installHistory(MainFrame& frame);

} // namespace zedora
