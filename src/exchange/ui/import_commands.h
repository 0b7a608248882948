#pragma once
// Hangs the master-data import into the main window's menu.
namespace zedora {

class MainFrame;

void installImport(MainFrame& frame);

} // namespace zedora
