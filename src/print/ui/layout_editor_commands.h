#pragma once
// Hangs the layout editor into the main window: "Druck- und Eingabe&layout
// bearbeiten ...", "&Spalteneigenschaften ändern" and the icon bar's "Layout
// bearbeiten" and "Spalten ändern".
namespace zedora {

class MainFrame;

void installLayoutEditor(MainFrame& frame);

} // namespace zedora
