#pragma once
// The export window "Exportfenster": the student files, text-block (and
// column-layout) files and layout files to pack, the three include boxes,
// and the packing with a progress dialog that can be cancelled.
#include "exchange/zip_export.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressDialog;

namespace zedora {

class Interaction;
class TNeueDateien;
struct Settings;

// What the window starts from: the open student file and its assignments.
struct ExportStart {
    QString workspace;
    QString studentFile;     // path of the open student file
    QString textBlockFile;   // current text-block file name in DEFINI
    QString columnFile;      // current column-layout file name in DEFINI
    QString layoutFile;      // path of the current layout
};

class TfExport : public QDialog {
    Q_OBJECT
public:
    TfExport(ExportMode mode, ExportStart start, Settings& settings, Interaction& ui,
             TNeueDateien* createdFiles, QWidget* parent = nullptr);

    // What the lists and boxes say now.
    ExportSelection selection() const;
    // Builds the list, asks for the zip and packs it ("&Export starten ").
    ExportOutcome startExport();
    const ExportOutcome& outcome() const { return outcome_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void preselect();
    void showOptionalBoxes();
    bool progress(double fraction);

    ExportMode mode_;
    ExportStart start_;
    Settings& settings_;
    Interaction& ui_;
    TNeueDateien* createdFiles_;
    QString layoutFolder_;
    QListWidget* boxDbf_;
    QListWidget* boxTbs_;
    QListWidget* boxLay_;
    QLabel* labelTbs_;
    QLabel* labelLay_;
    QCheckBox* cb1_;
    QCheckBox* cb2_;
    QCheckBox* cb3_;
    QProgressDialog* progress_ = nullptr;
    ExportOutcome outcome_;
    bool preselected_ = false;
};

} // namespace zedora
