#pragma once
// The single-student preview of the main window: the icon-bar buttons
// (large and small window), a double click on the name grid, and the page
// following the current student while it is open.
#include <QObject>
#include <QPointer>
#include <memory>

namespace zedora {

class AbbreviationMeanings;
class MainFrame;
class PrintMetrics;
class StudentPrintRecords;
class TFVorschau;
struct TDruckLayout;

class PreviewCommands : public QObject {
    Q_OBJECT
public:
    explicit PreviewCommands(MainFrame& frame);
    ~PreviewCommands() override;

    // Saves the pending edit and shows the current student's report card
    // with the layout of the student file.
    void show(bool smallWindow);
    // The page again for the student now current, while the preview is open.
    void refresh();
    bool visible() const;
    void close();
    // Before the preview draws a page anew or prints: what is still being
    // typed goes to the record and is saved, as for the main window's own
    // print commands, and the page is drawn again when the record changed
    // since it was drawn. False when the save was refused.
    bool takeOverInput();
    void markStale() { stale_ = true; }

private:
    MainFrame& frame_;
    // What the preview's job refers to; the preview goes first.
    std::unique_ptr<PrintMetrics> metrics_;
    std::unique_ptr<TDruckLayout> printLayout_;
    std::unique_ptr<StudentPrintRecords> printRecords_;
    std::unique_ptr<AbbreviationMeanings> meanings_;
    QPointer<TFVorschau> preview_;
    // The shown student's record changed since the page was drawn.
    bool stale_ = false;
};

// Connects the preview commands; the window owns what is made here.
void installPreviewCommands(MainFrame& frame);

} // namespace zedora
