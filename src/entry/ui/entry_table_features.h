#pragma once
// The entry table's search, filter, table lock and cell drawing, wired into
// the main window's menu, icon bar and DBGrid1.
namespace zedora {

class MainFrame;

void installEntryTableFeatures(MainFrame& frame);

// FilterButton: asks for the filter value of the current column of
// DBGrid1 and sets or resets the filter.
void runFilterCommand(MainFrame& frame);

} // namespace zedora
