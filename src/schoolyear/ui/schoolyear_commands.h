#pragma once
// Hangs the rollover into the main window's file menu.
namespace zedora {

class MainFrame;

void installSchoolYear(MainFrame& frame);

} // namespace zedora
