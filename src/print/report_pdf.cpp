#include "print/report_pdf.h"

#include "base/ansi_text.h"

#include <QFile>
#include <QPrinter>

namespace zedora {

std::optional<QStringList> readLayoutText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Layouts are small; a file far beyond any layout is no layout.
    const QByteArray bytes = f.read(8 * 1024 * 1024);
    QString text = fromAnsi(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

PrintOutcome writeReportPdf(const QString& pdfPath, const TDruckLayout& layout,
                            const PrintMetrics& metrics, const RenderOptions& options,
                            const PlaceholderContext& context, PrintRecords& records,
                            const PrintRun& run, const QString& title)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, layout, jobLandscape(run.kind, layout), QString(), pdfPath);
    printer.setDocName(title);
    PageRenderer renderer(layout, metrics, options, context);
    return printRun(printer, renderer, records, run, metrics, false, {});
}

} // namespace zedora
