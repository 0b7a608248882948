#pragma once
// The student-file commands of the main window: open, create, delete,
// reorganise, sort order, the file list and the data-directory box, and the
// assignment of another column layout file or layout.
namespace zedora {

class MainFrame;

void installFileCommands(MainFrame& frame);

} // namespace zedora
