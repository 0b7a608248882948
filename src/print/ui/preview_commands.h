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

private:
    MainFrame& frame_;
    // What the preview's job refers to; the preview goes first.
    std::unique_ptr<PrintMetrics> metrics_;
    std::unique_ptr<TDruckLayout> printLayout_;
    std::unique_ptr<StudentPrintRecords> printRecords_;
    std::unique_ptr<AbbreviationMeanings> meanings_;
    QPointer<TFVorschau> preview_;
};

// Connects the preview commands; the window owns what is made here.
void installPreviewCommands(MainFrame& frame);

} // namespace zedora
