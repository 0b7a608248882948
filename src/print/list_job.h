#pragma once
// A list printout as a job: its kind, title, orientation and the drawing of
// all its pages. The preview records it, the printer and zedora-cli list
// draw it; all three through the same surface.
#include "print/print_metrics.h"
#include "print/printer_output.h"
#include "print/surface.h"

#include <QString>
#include <functional>

class QPrinter;

namespace zedora {

struct ListJob {
    int kind = 0;
    QString title;
    bool landscape = false;
    // Draws every page (the first page is begun by the caller) and returns
    // the number of pages.
    std::function<int(DrawSurface& surface, const PrintMetrics& metrics)> draw;
};

// Draws the job onto a set-up printer as one document.
PrintOutcome printListJob(QPrinter& printer, const ListJob& job, const PrintMetrics& metrics);

// The job into a PDF file (A4, from the sheet corner), written beside the
// target and renamed into place when complete.
PrintOutcome writeListPdf(const QString& pdfPath, const ListJob& job, const PrintMetrics& metrics);

} // namespace zedora
