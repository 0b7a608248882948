#include "print/list_job.h"

#include "print/layout_model.h"
#include "print/painter_surface.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace zedora {

PrintOutcome printListJob(QPrinter& printer, const ListJob& job, const PrintMetrics& metrics)
{
    PrintOutcome outcome;
    if (!job.draw)
        return outcome;
    printer.setDocName(job.title);
    QPainter painter;
    if (!painter.begin(&printer))
        return outcome;
    PainterSurface surface(painter, metrics, printer.resolution() / 254.0);
    bool failed = false;
    surface.setNewPageHandler([&] { failed = !printer.newPage() || failed; });
    outcome.pages = job.draw(surface, metrics);
    painter.end();
    outcome.ok = !failed && printer.printerState() != QPrinter::Error;
    return outcome;
}

PrintOutcome writeListPdf(const QString& pdfPath, const ListJob& job, const PrintMetrics& metrics)
{
    const QString temp = pdfPath + QStringLiteral(".tmp");
    QFile::remove(temp);
    PrintOutcome outcome;
    {
        QPrinter printer(QPrinter::HighResolution);
        TDruckLayout paper;
        setUpPrinter(printer, paper, job.landscape, QString(), temp);
        outcome = printListJob(printer, job, metrics);
    }
    if (outcome.ok && QFileInfo(temp).size() > 0) {
        QFile::remove(pdfPath);
        outcome.ok = QFile::rename(temp, pdfPath);
    } else {
        outcome.ok = false;
    }
    QFile::remove(temp);
    return outcome;
}

} // namespace zedora
