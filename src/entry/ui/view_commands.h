#pragma once
// The view commands of the entry pages: switching pages from the menu, the
// cell clipboard, and the fixed name grid with its own menu.
namespace zedora {

class MainFrame;

void installViewCommands(MainFrame& frame);

} // namespace zedora
