#pragma once
// The column information of the entry table: the window "Spalteninformation"
// for a column, opened from a column title, the menu, F10 or SpeedButton12,
// and the marks in the title row while it is open.
namespace zedora {

class MainFrame;

// Puts the title row with the marks on DBGrid1 and connects the commands.
void installColumnInformation(MainFrame& frame);

} // namespace zedora
