#pragma once
// Hangs the mail-merge export (both grade meanings) and the transfer of the
// open student file to a storage medium into the main window's menu.
namespace zedora {

class MainFrame;

void installExports(MainFrame& frame);

} // namespace zedora
