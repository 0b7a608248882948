#pragma once
// The settings of the main window: the settings dialog from the menu and
// the icon bar, and the value checks every change of the student table runs
// against the abbreviation tables.
namespace zedora {

class MainFrame;

void installSettingsCommands(MainFrame& frame);

} // namespace zedora
