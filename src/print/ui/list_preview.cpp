#include "print/ui/list_preview.h"

#include "core/settings.h"
#include "print/printer_output.h"
#include "print/printer_test_page.h"

namespace zedora {

void showListPrintout(const ListJob& job, Settings& settings, Interaction& ui, WorkspaceFiles* files,
                      QWidget* parent)
{
    // Calibrated once: the printer's font does not change during a run.
    static PrintMetrics metrics = [] {
        PrintMetrics m;
        m.calibrate();
        return m;
    }();
    TFVorschau preview(settings, ui, metrics, parent);
    preview.setWorkspaceFiles(files);
    preview.showJob(previewJobOf(job), true);
}

ListJob printerTestFor(const Settings& settings, const QString& workspace)
{
    Settings copy = settings;
    PrinterTestInput input;
    input.printerName = jobPrinter(copy);
    if (input.printerName.isEmpty())
        input.printerName = QStringLiteral("PDF");
    input.musterDir = workspace + QStringLiteral("MUSTER");
    input.patternColour = QColor(settings.Musterfarbe & 0xFF, (settings.Musterfarbe >> 8) & 0xFF,
                                 (settings.Musterfarbe >> 16) & 0xFF);
    return printerTestJob(input);
}

} // namespace zedora
