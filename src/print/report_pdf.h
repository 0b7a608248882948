#pragma once
// Report cards straight into a PDF file, without a window: what zedora-cli
// pdf and the benchmarks run, with the same renderer as the preview.
#include "print/layout_model.h"
#include "print/page_renderer.h"
#include "print/printer_output.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

// The lines of a layout file (Windows-1252, CR LF or LF); nothing when it
// cannot be read.
std::optional<QStringList> readLayoutText(const QString& path);

// Renders the run into one PDF file; single-page jobs are not used here.
PrintOutcome writeReportPdf(const QString& pdfPath, const TDruckLayout& layout,
                            const PrintMetrics& metrics, const RenderOptions& options,
                            const PlaceholderContext& context, PrintRecords& records,
                            const PrintRun& run, const QString& title);

} // namespace zedora
