#pragma once
// The print preview: shows a print job page by page as the printer will
// put it on paper, and prints it. The job is rendered once into a recording;
// page changes, zoom and scrolling only play the recorded page.
#include "print/page_renderer.h"
#include "print/print_job.h"
#include "print/print_metrics.h"
#include "print/recording_surface.h"

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QPrinter;
class QPushButton;
class QToolButton;

namespace zedora {

class Interaction;
class WorkspaceFiles;
struct Settings;

struct PreviewJob {
    int kind = JobKind::ReportCards;
    QString title;          // job title, shown after "Druckvorschau - "
    QString klasse;         // class of the current record, for single-page job titles
    QString schuljahr;
    bool landscape = false;
    bool paperA4 = true;
    std::shared_ptr<PageRenderer> renderer;
    PrintRecords* records = nullptr;
    PrintRun run;
    // A list printout draws itself instead of the renderer's report cards.
    std::function<int(DrawSurface&, const PrintMetrics&)> draw;
};

// The job of a report-card run for the preview. layout and records must
// outlive the job.
PreviewJob reportCardJob(const TDruckLayout& layout, const PrintMetrics& metrics, RenderOptions options,
                         PlaceholderContext context, PrintRecords& records, const PrintRun& run,
                         const QString& klasse, const QString& schuljahr);

class PreviewPage;

class TFVorschau : public QDialog {
    Q_OBJECT
public:
    // mainWindow places the large and small layouts; may be null.
    TFVorschau(Settings& settings, Interaction& ui, PrintMetrics& metrics, QWidget* mainWindow = nullptr);
    ~TFVorschau() override;

    // Opens the preview for the job: non-modal (the single-student preview)
    // or modal (the print centre); smallWindow: the page in the small window.
    void showJob(PreviewJob job, bool modal = false, bool smallWindow = false);
    // The same job rendered again (the current student changed).
    void rebuild();

    int pageShown() const { return page_; }
    int pageTotal() const { return total_; }
    int zoom() const { return zoom_; }
    int scroll() const { return scroll_; }
    bool rasterOn() const { return raster_; }
    // The page image as drawn now (drawing area only).
    QImage pageImage();
    const RecordingSurface* recording() const { return recording_.get(); }

    // Creates the document folder that a PDF print proposes, keeping the
    // created-files register current; without it the folder is made bare.
    void setWorkspaceFiles(WorkspaceFiles* files) { workspaceFiles_ = files; }

    // The print dialog; replaceable so that tests can print without one.
    std::function<bool(QPrinter&)> printDialog;
    // Hands what is still being typed in the main window to the record
    // before a page is drawn anew or printed; false (the record could not be
    // saved) stops that action. Unset for jobs that do not show the open file.
    std::function<bool()> takeOverInput;

    void showPage(int page);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    friend class PreviewPage;
    void buildControls();
    void record();
    bool inputTakenOver();
    void setScroll(int v, bool limited);
    void setZoom(int z);
    void largeLayout();
    void smallLayout();
    void updateLabel();
    void print();
    void closing();
    QRect mainGeometry() const;

    // Page image set-up.
    struct Geometry {
        QRect paper;        // white sheet, widget pixels
        QRect drawingArea;  // the printable area
        double pixelsPerUnit = 0.1; // per tenth of a millimetre
    };
    Geometry pageGeometry() const;

    Settings& settings_;
    Interaction& ui_;
    PrintMetrics& metrics_;
    QWidget* mainWindow_;
    WorkspaceFiles* workspaceFiles_ = nullptr;
    PreviewJob job_;
    std::unique_ptr<RecordingSurface> recording_;
    int page_ = 1;
    int total_ = 0;
    int zoom_ = 0;
    int scroll_ = 0;
    bool raster_ = false;
    bool smallMode_ = false;
    bool printing_ = false;
    bool rememberedContidruck_ = false;
    bool closed_ = true;
    QSizeF paperMm_{210, 297};
    QPointF offsetMm_{0, 0};
    QSizeF printableMm_{210, 297};

    QImage cache_;
    int cachePage_ = 0;
    QSize cacheSize_;

    QFrame* panel_ = nullptr;
    PreviewPage* view_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* factorLabel_ = nullptr;
    QCheckBox* coDrBox_ = nullptr;
    QLabel* label3_ = nullptr;
    QPushButton* druckbutton_ = nullptr;
};

} // namespace zedora
