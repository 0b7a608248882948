#include "print/printer_output.h"

#include "core/settings.h"
#include "print/painter_surface.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace zedora {

QStringList printerNames()
{
    return QPrinterInfo::availablePrinterNames();
}

bool hasPrinters()
{
    return !printerNames().isEmpty();
}

QString jobPrinter(Settings& settings)
{
    const QStringList names = printerNames();
    if (settings.FesterDruckerGewaehlt) {
        if (settings.FesterDruckerNummer >= 0 && settings.FesterDruckerNummer < names.size())
            return names[settings.FesterDruckerNummer];
        settings.FesterDruckerNummer = -1;
    }
    const QString def = QPrinterInfo::defaultPrinterName();
    if (!def.isEmpty())
        return def;
    return names.value(0);
}

bool jobLandscape(int kind, const TDruckLayout& layout, bool tableLandscape)
{
    switch (kind) {
    case JobKind::ReportCards: return layout.Querformat;
    case JobKind::TableWithData:
    case JobKind::TableEmpty: return tableLandscape;
    case JobKind::DataSheet:
    case JobKind::History: return true;
    default: return false;
    }
}

void setUpPrinter(QPrinter& printer, const TDruckLayout& layout, bool landscape,
                  const QString& printerName, const QString& pdfPath)
{
    if (pdfPath.isEmpty()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        if (!printerName.isEmpty())
            printer.setPrinterName(printerName);
        printer.setFullPage(false);
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setFullPage(true);
    }
    const QPageSize size(layout.PapierA4 ? QPageSize::A4 : QPageSize::A3);
    printer.setPageSize(size);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!pdfPath.isEmpty())
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setCreator(QStringLiteral("Zedora"));
}

QString singlePagePdfName(const QString& pdfPath, int page)
{
    const QFileInfo fi(pdfPath);
    const QString suffix = fi.suffix().isEmpty() ? QString() : u'.' + fi.suffix();
    const QString base = suffix.isEmpty() ? pdfPath : pdfPath.left(pdfPath.size() - suffix.size());
    return base + u'-' + QString::number(page) + suffix;
}

PrintOutcome printRun(QPrinter& printer, PageRenderer& renderer, PrintRecords& records,
                      const PrintRun& run, const PrintMetrics& metrics, bool singlePageJobs,
                      const std::function<QString(int page)>& pageTitle)
{
    PrintOutcome outcome;
    const bool single = singlePageJobs && run.kind == JobKind::ReportCards;
    const QString pdfPath = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    int page = 1;
    auto beginDocument = [&] {
        if (single) {
            if (pageTitle)
                printer.setDocName(pageTitle(page));
            if (!pdfPath.isEmpty())
                printer.setOutputFileName(singlePagePdfName(pdfPath, page));
        }
    };
    beginDocument();
    QPainter painter;
    if (!painter.begin(&printer))
        return outcome;
    const double scale = printer.resolution() / 254.0;
    PainterSurface surface(painter, metrics, scale);
    bool failed = false;
    surface.setNewPageHandler([&] {
        ++page;
        if (single) {
            painter.end();
            beginDocument();
            if (!painter.begin(&printer))
                failed = true;
        } else if (!printer.newPage()) {
            failed = true;
        }
    });
    RenderOptions& options = renderer.options();
    const RenderOptions saved = options;
    options.preview = false;
    options.pageToShow = 0;
    options.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    outcome.pages = renderer.render(surface, records, run);
    options = saved;
    if (painter.isActive())
        painter.end();
    if (!pdfPath.isEmpty())
        printer.setOutputFileName(pdfPath);
    outcome.ok = !failed && printer.printerState() != QPrinter::Error;
    return outcome;
}

} // namespace zedora
