#pragma once
// Hangs the bulk edits into the main window: global change (F5), column
// clearing (Alt+F8), emptying a record, the cell and column swaps and the
// epochal subjects.
namespace zedora {

class MainFrame;

void installBulkEdits(MainFrame& frame);

} // namespace zedora
