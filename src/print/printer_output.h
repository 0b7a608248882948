#pragma once
// Printers and PDF files as targets of a print job: the printer list, the
// fixed printer of the settings, the page set-up of a job, and running the
// renderer onto a QPrinter (a CUPS printer or a PDF file).
#include "print/layout_model.h"
#include "print/page_renderer.h"

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;

namespace zedora {

class Interaction;
struct Settings;

// The installed printers (CUPS), in the order the print centre lists them.
QStringList printerNames();
bool hasPrinters();

// The printer a job uses: the fixed printer when FesterDruckerGewaehlt is on
// and FesterDruckerNummer names an installed printer, else the default
// printer. A number that names no printer becomes -1. Empty without any
// printer installed.
QString jobPrinter(Settings& settings);

// Orientation of a job: report cards follow the layout, the data sheet and
// the history are landscape, the table lists as chosen, all else portrait.
bool jobLandscape(int kind, const TDruckLayout& layout, bool tableLandscape = false);

// Paper and orientation of the job. pdfPath empty: the named printer (its
// printable area is the layout's origin); else a PDF file whose sheet
// corner is the origin.
void setUpPrinter(QPrinter& printer, const TDruckLayout& layout, bool landscape,
                  const QString& printerName, const QString& pdfPath);

struct PrintOutcome {
    bool ok = false;
    int pages = 0;
};

// Renders the run onto the printer as one document, or, with single-page
// jobs, one document per page titled by pageTitle(page) (PDF files then get
// "-<page>" before their extension). The printer must be set up.
PrintOutcome printRun(QPrinter& printer, PageRenderer& renderer, PrintRecords& records,
                      const PrintRun& run, const PrintMetrics& metrics, bool singlePageJobs,
                      const std::function<QString(int page)>& pageTitle);

// The PDF name of page n of a single-page job: "zeugnis.pdf" -> "zeugnis-3.pdf".
QString singlePagePdfName(const QString& pdfPath, int page);

// What the program says when no printer is installed.
inline constexpr const char* kNoPrinterMessage =
    "Es ist kein Drucker eingerichtet.\nDer Druck kann als PDF-Datei gespeichert werden.";

} // namespace zedora
