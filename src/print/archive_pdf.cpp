#include "print/archive_pdf.h"

#include "print/painter_surface.h"
#include "print/pdf_file_name.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

namespace zedora {

namespace {

QString xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// One report card into one PDF/A file at path (written under a temporary
// name, then renamed).
bool writeOne(const QString& path, const ArchiveMetadata& meta, const TDruckLayout& layout,
              PageRenderer& renderer, const PrintMetrics& metrics, PrintRecords& records, const PrintRun& run)
{
    const QString temp = path + QStringLiteral(".tmp");
    QFile::remove(temp);
    {
        QPdfWriter writer(temp);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setTitle(meta.title);
        writer.setCreator(QStringLiteral("Zedora"));
        writer.setDocumentXmpMetadata(archiveXmp(meta));
        writer.setResolution(600);
        QPageLayout page(QPageSize(layout.PapierA4 ? QPageSize::A4 : QPageSize::A3),
                         layout.Querformat ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
        page.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(page);
        QPainter painter;
        if (!painter.begin(&writer)) {
            QFile::remove(temp);
            return false;
        }
        PainterSurface surface(painter, metrics, writer.resolution() / 254.0);
        surface.setNewPageHandler([&] { writer.newPage(); });
        renderer.options().landscape = layout.Querformat;
        renderer.render(surface, records, run);
        painter.end();
    }
    if (QFileInfo(temp).size() == 0) {
        QFile::remove(temp);
        return false;
    }
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        QFile::remove(temp);
        return false;
    }
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

} // namespace

QString archivePdfName(const QString& klasse, const QString& surname, const QString& firstName)
{
    const QString title = klasse.trimmed() + u'_' + surname.trimmed() + u'_' + firstName.trimmed();
    return pdfFileNameFor(title);
}

QByteArray archiveXmp(const ArchiveMetadata& meta)
{
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    const QString xmp =
        QStringLiteral("<?xpacket begin='\xef\xbb\xbf' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
                       "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
                       "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
                       "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>\n"
                       "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>%1</rdf:li></rdf:Alt></dc:title>\n"
                       "<dc:creator><rdf:Seq><rdf:li>%2</rdf:li></rdf:Seq></dc:creator>\n"
                       "<dc:description><rdf:Alt><rdf:li xml:lang='x-default'>%3</rdf:li></rdf:Alt></dc:description>\n"
                       "<dc:subject><rdf:Bag><rdf:li>%3</rdf:li></rdf:Bag></dc:subject>\n"
                       "</rdf:Description>\n"
                       "<rdf:Description rdf:about='' xmlns:pdf='http://ns.adobe.com/pdf/1.3/'>\n"
                       "<pdf:Producer>Zedora</pdf:Producer>\n"
                       "<pdf:Keywords>%3</pdf:Keywords>\n"
                       "</rdf:Description>\n"
                       "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/'>\n"
                       "<xmp:CreatorTool>Zedora</xmp:CreatorTool>\n"
                       "<xmp:CreateDate>%4</xmp:CreateDate>\n"
                       "<xmp:ModifyDate>%4</xmp:ModifyDate>\n"
                       "</rdf:Description>\n"
                       "<rdf:Description rdf:about='' xmlns:pdfaid='http://www.aiim.org/pdfa/ns/id/'>\n"
                       "<pdfaid:part>1</pdfaid:part>\n"
                       "<pdfaid:conformance>B</pdfaid:conformance>\n"
                       "</rdf:Description>\n"
                       "</rdf:RDF>\n"
                       "</x:xmpmeta>\n"
                       "<?xpacket end='w'?>")
            .arg(xmlEscaped(meta.title), xmlEscaped(meta.author), xmlEscaped(meta.student), now);
    return xmp.toUtf8();
}

ArchiveOutcome writeArchivePdfs(const ArchiveRequest& request, const TDruckLayout& layout,
                                const PrintMetrics& metrics, const RenderOptions& options,
                                const PlaceholderContext& context, PrintRecords& records)
{
    ArchiveOutcome outcome;
    QStringList ids = request.ids;
    const std::uint64_t here = records.position();
    if (ids.isEmpty() && records.first()) {
        do
            ids << records.value(QStringLiteral("ID"));
        while (records.next());
    }
    RenderOptions opts = options;
    opts.preview = false;
    opts.pageToShow = 0;
    PageRenderer renderer(layout, metrics, opts, context);
    const QDir folder(request.folder);
    int done = 0;
    for (const QString& id : ids) {
        if (!records.findId(id))
            continue;
        const QString klasse = records.value(QStringLiteral("KLASSE")).trimmed();
        const QString surname = records.value(QStringLiteral("NAME")).trimmed();
        const QString firstName = records.value(QStringLiteral("VORNAME")).trimmed();
        const QString path = folder.absoluteFilePath(archivePdfName(klasse, surname, firstName));
        if (QFileInfo::exists(path) && !(request.mayReplace && request.mayReplace(path))) {
            outcome.kept << path;
        } else {
            ArchiveMetadata meta;
            meta.student = firstName + u' ' + surname;
            meta.title = QStringLiteral("Zeugnis ") + meta.student + u' ' + klasse + u' ' + request.schuljahr;
            meta.author = request.school;
            PrintRun run;
            run.selection = RecordSelection::Selection;
            run.ids = {id};
            run.formMode = request.formMode;
            run.gradeFormat = request.gradeFormat;
            if (!writeOne(path, meta, layout, renderer, metrics, records, run)) {
                outcome.failed = path;
                break;
            }
            outcome.written << path;
        }
        ++done;
        if (request.progress)
            request.progress(done, int(ids.size()));
    }
    records.restore(here);
    return outcome;
}

} // namespace zedora
