#pragma once
// Hangs the statistics (column, absences, graduations, grade statistics
// window) and the archive commands into the main window.
namespace zedora {

class MainFrame;

void installArchiveAndStatistics(MainFrame& frame);

} // namespace zedora
