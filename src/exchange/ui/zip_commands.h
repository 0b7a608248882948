#pragma once
// Hangs the zip export, import and backup and the transfers between student
// files into the main window: the menu items, the icon-bar buttons
// "Datenexport" and "Datenimport", and the follow-up of an import.
namespace zedora {

class MainFrame;

void installZipExchange(MainFrame& frame);

} // namespace zedora
