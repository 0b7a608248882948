// Builds a manual PDF from its Markdown source at build time:
//   zedora-manual-tool SOURCE.md OUT.PDF "Title"
// Pictures named in the source are found relative to it and scaled to the
// text width. No outside converter is needed: Qt lays the text out and
// writes the PDF.
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>

namespace {

// Pictures wider than the text are shrunk to it, keeping proportions.
void fitImages(QTextDocument& doc, const QString& baseDir, double maxWidth)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString path = QDir(baseDir).filePath(format.name());
            const QSize size = QImageReader(path).size();
            if (!size.isValid())
                continue;
            const double width = qMin(maxWidth, double(size.width()));
            format.setWidth(width);
            format.setHeight(width * size.height() / size.width());
            format.setName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "Aufruf: zedora-manual-tool QUELLE.md ZIEL.PDF \"Titel\"\n");
        return 2;
    }
    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Quelle nicht lesbar: %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QString baseDir = QFileInfo(args.at(1)).absolutePath();

    QTextDocument doc;
    QFont font(QStringLiteral("Liberation Sans"), 10);
    doc.setDefaultFont(font);
    doc.setBaseUrl(QUrl::fromLocalFile(baseDir + QLatin1Char('/')));
    doc.setDefaultStyleSheet(QStringLiteral("h1 { color: #1f4e79; } h2 { color: #1f4e79; } code { font-family: 'Liberation Mono'; }"));
    doc.setMarkdown(QString::fromUtf8(source.readAll()));

    QDir().mkpath(QFileInfo(args.at(2)).absolutePath());
    // Written beside the target and renamed into place, so an interrupted
    // build leaves no half PDF behind.
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "Ziel nicht beschreibbar: %s\n", qPrintable(args.at(2)));
        return 1;
    }
    {
        QPdfWriter pdf(&out);
        pdf.setTitle(args.at(3));
        pdf.setCreator(QStringLiteral("Zedora"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 18),
                                      QPageLayout::Millimeter));
        pdf.setResolution(300);
        // The document is laid out in points; the text is 170 mm wide.
        fitImages(doc, baseDir, 170.0 / 25.4 * 72.0);
        doc.print(&pdf);
    }
    if (!out.commit()) {
        std::fprintf(stderr, "PDF nicht geschrieben: %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
