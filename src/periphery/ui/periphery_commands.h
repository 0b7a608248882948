#pragma once
// Hangs the periphery into the main window: the student photo of the name
// grid's menu, the online update, the document archive and the help menu's
// manuals; and gives the photo workshop page the students of the open file.
namespace zedora {

class MainFrame;

void installPeriphery(MainFrame& frame);

} // namespace zedora
