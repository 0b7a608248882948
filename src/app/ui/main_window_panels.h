#pragma once
// The fixed panels of the main window around the entry pages: the
// navigation bar above them, the student file list beside them and the
// status line below them.
class QFrame;
class QLabel;
class QListWidget;
class QWidget;

namespace zedora {

class ProgressPanel;

// A panel that fills its background, named for the colour scheme.
QFrame* makePanel(const char* name, QWidget* parent);

struct NavigationPanel {
    QFrame* panel = nullptr;       // Panel5
    QLabel* student = nullptr;     // L_name
    QLabel* className = nullptr;   // klassenbez
    QLabel* studentCount = nullptr; // L_Klasse
};
// The navigation buttons, the column information, cancel and save, the
// table refresh and the student line; the buttons start disabled.
NavigationPanel buildNavigationPanel(QWidget* parent);

struct FilePanel {
    QFrame* panel = nullptr;       // Panel7
    QListWidget* files = nullptr;  // dateienbox
};
FilePanel buildFilePanel(QWidget* parent);

struct StatusPanel {
    QFrame* panel = nullptr;              // Panel2
    QLabel* abbreviationFile = nullptr;   // Label5
    ProgressPanel* progress = nullptr;    // gaugepanel
    QLabel* help = nullptr;               // hilfe, the help line
};
// The status buttons of the file's assignments, the entry-direction
// buttons, the abbreviation file, the progress panel and the help line.
StatusPanel buildStatusPanel(QWidget* parent);

} // namespace zedora
