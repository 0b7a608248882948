// The PDF file proposed when the preview prints without a printer.
#include "print/pdf_file_name.h"

#include "base/created_files_register.h"
#include "base/workspace_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

TEST(PdfFileName, TitleBecomesAValidFileName)
{
    EXPECT_EQ(pdfFileNameFor(QStringLiteral("10b-2013/2014")), QStringLiteral("10b-2013-2014.pdf"));
    EXPECT_EQ(pdfFileNameFor(QStringLiteral("Tabelle-a:b*c?d\"e<f>g|h\\i")),
              QStringLiteral("Tabelle-a-b-c-d-e-f-g-h-i.pdf"));
    EXPECT_EQ(pdfFileNameFor(QStringLiteral("Notenkürzel-KUERZEL.TXT")), QStringLiteral("Notenkürzel-KUERZEL.TXT.pdf"));
    EXPECT_EQ(pdfFileNameFor(QStringLiteral("Zeile\nzwei\t")), QStringLiteral("Zeile-zwei-.pdf"));
    // Nothing left that names a file: a plain default, never ".pdf" or "..pdf".
    EXPECT_EQ(pdfFileNameFor(QString()), QStringLiteral("Druck.pdf"));
    EXPECT_EQ(pdfFileNameFor(QStringLiteral(" .. ")), QStringLiteral("Druck.pdf"));
    EXPECT_EQ(pdfFileNameFor(QStringLiteral("..versteckt.")), QStringLiteral("versteckt.pdf"));
}

TEST(PdfFileName, ProposedInTheHalfYearsDocumentFolderWhichIsCreatedWhenMissing)
{
    QTemporaryDir ws;
    ASSERT_TRUE(QDir(ws.path()).mkpath(QStringLiteral("ZE-1314-1")));
    ASSERT_TRUE(QDir(ws.path()).mkpath(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1314-1")));
    const QString file = ws.filePath(QStringLiteral("ZE-1314-1/10b.dbf"));
    EXPECT_EQ(proposedPdfPath(file, QStringLiteral("10b-2013/2014")),
              ws.filePath(QStringLiteral("DOKU-PDF-ARCHIV/ZE-1314-1/10b-2013-2014.pdf")));

    // A half-year without its folder (the demo's ZE-0000-0) gets one; the
    // existing archive folder is found whatever its letter case.
    QDir(ws.path()).rename(QStringLiteral("DOKU-PDF-ARCHIV"), QStringLiteral("doku-pdf-archiv"));
    const QString demo = ws.filePath(QStringLiteral("ZE-0000-0/demo.dbf"));
    EXPECT_EQ(proposedPdfPath(demo, QStringLiteral("10b-2013/2014")),
              ws.filePath(QStringLiteral("doku-pdf-archiv/ZE-0000-0/10b-2013-2014.pdf")));
    EXPECT_TRUE(QFileInfo(ws.filePath(QStringLiteral("doku-pdf-archiv/ZE-0000-0"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(ws.filePath(QStringLiteral("DOKU-PDF-ARCHIV"))));

    // Made through the workspace's file helpers, the register records it.
    TNeueDateien reg{ws.filePath(QStringLiteral("neu.txt")), ws.filePath(QStringLiteral("neuverz.txt"))};
    WorkspaceFiles files{reg};
    const QString folder = documentArchiveFolderFor(ws.filePath(QStringLiteral("ZE-1415-2/5a.dbf")), &files);
    EXPECT_EQ(folder, ws.filePath(QStringLiteral("doku-pdf-archiv/ZE-1415-2")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(reg.directories().contains(folder)) << reg.directories().join(u'|').toStdString();
    // An existing folder is not registered again.
    documentArchiveFolderFor(ws.filePath(QStringLiteral("ZE-1415-2/5b.dbf")), &files);
    EXPECT_EQ(reg.directories().count(folder), 1);
}

TEST(PdfFileName, OutsideAHalfYearOrWhenTheFolderCannotBeMadeTheDocumentsFolder)
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        documents = QDir::homePath();
    const QString expected = QDir(documents).filePath(QStringLiteral("Datenblatt.pdf"));

    QTemporaryDir ws;
    EXPECT_EQ(documentArchiveFolderFor(ws.filePath(QStringLiteral("ARCHIV/A13-14-1.DBF"))), QString());
    EXPECT_EQ(proposedPdfPath(ws.filePath(QStringLiteral("ARCHIV/A13-14-1.DBF")), QStringLiteral("Datenblatt")),
              expected);
    EXPECT_EQ(proposedPdfPath(QString(), QStringLiteral("Datenblatt")), expected);

    // A file where the archive folder should be: no folder, no guess inside it.
    QFile blocker(ws.filePath(QStringLiteral("DOKU-PDF-ARCHIV")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = ws.filePath(QStringLiteral("ZE-1314-2/10b.dbf"));
    EXPECT_EQ(documentArchiveFolderFor(file), QString());
    EXPECT_EQ(proposedPdfPath(file, QStringLiteral("Datenblatt")), expected);
}
