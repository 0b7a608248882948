#pragma once
// The print centre from the main window: the menu item "&Druckzentrum ..."
// and the icon-bar button open it for the open student file.
namespace zedora {

class MainFrame;

// Connects the print centre; the window owns what is made here.
void installPrintCentre(MainFrame& frame);

} // namespace zedora
