#pragma once
// The print centre "Druckzentrum": layouts as buttons, form mode, grade
// format, range, copies and printer, and the class's students; a layout
// button starts a run that opens in the preview, from which it is printed.
// It also archives the selected students' report cards as PDF/A files.
#include "print/archive_pdf.h"
#include "print/layout_model.h"
#include "print/print_centre.h"
#include "print/ui/TFVorschau.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace zedora {

// What the print centre works with while it is open; the caller (the main
// window's installer, or a test) provides it.
struct PrintCentreSources {
    PrintRecords* records = nullptr;     // the open student file, in the list's order
    PlaceholderContext context;          // settings, code meanings, seam, epochal subjects
    QString workspace;                   // with a trailing '/'
    QString studentFile;                 // for the document archive's folder
    QString currentLayout;               // slot 12
    QString klasse;                      // class of the current student
    QStringList graduationCodes;         // up to ten
    std::function<bool()> administrator; // slot changes only then
    // A layout was loaded for printing (its abbreviation file becomes active).
    std::function<void(const QStringList& layoutLines)> layoutLoaded;
    // Slot 12 was changed or emptied while the dialog is open.
    std::function<void(const QString& path)> currentLayoutChanged;
    // After each run: the main window's status buttons.
    std::function<void()> refreshStatus;
};

class TFDruck : public QDialog {
    Q_OBJECT
public:
    TFDruck(Settings& settings, Interaction& ui, PrintMetrics& metrics, QWidget* parent = nullptr);
    ~TFDruck() override;

    // Fills the dialog for the sources (every showing); then exec() it.
    void prepare(PrintCentreSources sources);

    // Opens the preview of a job modally; tests replace it.
    std::function<void(PreviewJob job)> openPreview;
    // The created-files register for folders made in the document archive.
    void setWorkspaceFiles(WorkspaceFiles* files) { files_ = files; }

    // A layout button (slot 1-16, 17 the chosen file of layoutbox).
    void layoutButtonClicked(int slot);
    // The slot menu's choices: "Löschen", "Ändern", "Abbruch".
    void slotMenuChosen(int slot, const QString& action);
    // Archives the selected students (or the whole class) as PDF/A files in
    // the half-year's document archive folder.
    void archiveSelected();
    // The preview of the printer test page.
    void printerTest();

    // The layout of the last run and its records; the preview refers to them.
    const TDruckLayout& runLayout() const { return *layout_; }

private:
    void buildControls();
    void refreshCaptions();
    void rangeChanged();
    void listClicked();
    void fillLayoutBox();
    QString pathOfSlot(int slot) const;
    QStringList selectedIds() const;
    PrintCentre::Choice choice() const;
    bool loadLayout(const QString& path, TDruckLayout& layout, QStringList& lines);
    bool eventFilter(QObject* watched, QEvent* event) override;

    Settings& settings_;
    Interaction& ui_;
    PrintMetrics& metrics_;
    WorkspaceFiles* files_ = nullptr;
    PrintCentreSources sources_;
    std::unique_ptr<TDruckLayout> layout_;
    std::unique_ptr<TFVorschau> preview_;
    bool firstShowing_ = true;

    std::array<QPushButton*, 18> slotButtons_{};   // index = slot, 17 = l17
    QComboBox* layoutbox_ = nullptr;
    QButtonGroup* formArt_ = nullptr;
    QButtonGroup* anzeige_ = nullptr;
    QButtonGroup* bereich_ = nullptr;
    QComboBox* abBox_ = nullptr;
    QSpinBox* anzahlspin_ = nullptr;
    QComboBox* druckerBox_ = nullptr;
    QCheckBox* checkBox2_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* archiveButton_ = nullptr;
    QGroupBox* classBox_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QLabel* hilfe_ = nullptr;
    bool filling_ = false;
};

} // namespace zedora
