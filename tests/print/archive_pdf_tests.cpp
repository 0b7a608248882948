// Report cards archived per student as PDF/A: file names, the metadata as
// other tools read it, one student per file, existing files kept, and a
// target that cannot be written leaving nothing behind.
#include "print/archive_pdf.h"
#include "print_centre_support.h"

#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct ArchiveFixture {
    DemoWorkspace ws;
    Settings settings;
    ScriptedInteraction ui;
    PrintMetrics metrics;
    TDruckLayout layout = ws.parsed();
    ListRecords records = demoClass(3);
    QTemporaryDir out;

    ArchiveOutcome write(ArchiveRequest request)
    {
        if (request.folder.isEmpty())
            request.folder = out.path();
        request.school = QStringLiteral("Demo-Schule Testhausen");
        request.schuljahr = QStringLiteral("2013/2014");
        PlaceholderContext context;
        context.settings = &settings;
        context.ui = &ui;
        RenderOptions options;
        options.musterDir = ws.root() + QStringLiteral("MUSTER/");
        return writeArchivePdfs(request, layout, metrics, options, context, records);
    }
};

} // namespace

TEST(ArchivePdf, NamesAreClassSurnameFirstNameWithUnsafeCharactersReplaced)
{
    EXPECT_EQ(archivePdfName(QStringLiteral("10b "), QStringLiteral(" Müller"), QStringLiteral("Jörg")),
              QStringLiteral("10b_Müller_Jörg.pdf"));
    EXPECT_EQ(archivePdfName(QStringLiteral("5/1"), QStringLiteral("Ko:ch*"), QStringLiteral("A?\"<>|\\")),
              QStringLiteral("5-1_Ko-ch-_A------.pdf"));
}

TEST(ArchivePdf, EachStudentGetsAPdfAFileWithTitleSchoolAndNameInItsMetadata)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdfinfo fehlt";
    ArchiveFixture f;
    int progressCalls = 0;
    ArchiveRequest r;
    r.progress = [&](int done, int total) {
        ++progressCalls;
        EXPECT_EQ(total, 3);
        EXPECT_EQ(done, progressCalls);
    };
    f.records.current = 2;
    const ArchiveOutcome outcome = f.write(r);
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.written.size(), 3);
    EXPECT_EQ(progressCalls, 3);
    EXPECT_EQ(f.records.current, 2) << "the cursor is put back";
    EXPECT_TRUE(QDir(f.out.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());

    const QString second = f.out.filePath(QStringLiteral("10b_Schüler2_") +
                                          f.records.rows[1].value(QStringLiteral("VORNAME")) + QStringLiteral(".pdf"));
    ASSERT_TRUE(outcome.written.contains(second)) << outcome.written.join(u' ').toStdString();
    const QString info = runTool(QStringLiteral("pdfinfo"), {second});
    EXPECT_TRUE(info.simplified().contains(QStringLiteral("Pages: 1"))) << info.toStdString();
    EXPECT_TRUE(info.simplified().contains(QStringLiteral("Title: Zeugnis ") +
                              f.records.rows[1].value(QStringLiteral("VORNAME")) + QStringLiteral(" Schüler2 10b 2013/2014")))
        << info.toStdString();
    const QString meta = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), second});
    EXPECT_TRUE(meta.contains(QStringLiteral("<pdfaid:part>1</pdfaid:part>"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QStringLiteral("<pdfaid:conformance>B</pdfaid:conformance>")));
    EXPECT_TRUE(meta.contains(QStringLiteral("<rdf:li>Demo-Schule Testhausen</rdf:li>")));
    EXPECT_TRUE(meta.contains(f.records.rows[1].value(QStringLiteral("VORNAME")) + QStringLiteral(" Schüler2</rdf:li>")));
    // The file holds that student's report card and no other's.
    const QStringList pages = pdfPages(second);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Schüler2")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Schüler1")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Schüler3")));
}

TEST(ArchivePdf, ExistingFilesAreKeptUnlessReplacingIsConfirmed)
{
    ArchiveFixture f;
    ArchiveRequest r;
    r.ids = {QStringLiteral("ID001")};
    ASSERT_EQ(f.write(r).written.size(), 1);
    const QString path = f.out.filePath(QDir(f.out.path()).entryList(QDir::Files).value(0));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("von Hand abgelegt");
    file.close();

    ArchiveOutcome again = f.write(r);
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.written.isEmpty());
    EXPECT_EQ(again.kept, QStringList{path});
    EXPECT_EQ(QFileInfo(path).size(), 17);

    QStringList asked;
    r.mayReplace = [&](const QString& p) { asked << p; return true; };
    again = f.write(r);
    EXPECT_EQ(asked, QStringList{path});
    EXPECT_EQ(again.written, QStringList{path});
    EXPECT_GT(QFileInfo(path).size(), 1000);
}

TEST(ArchivePdf, AFolderThatCannotBeWrittenStopsTheRunAndLeavesNoHalfFile)
{
    ArchiveFixture f;
    // A plain file where the folder should be: no user can write into it.
    const QString blocked = f.out.filePath(QStringLiteral("blockiert"));
    QFile(blocked).open(QIODevice::WriteOnly);
    ArchiveRequest r;
    r.folder = blocked;
    const ArchiveOutcome outcome = f.write(r);
    EXPECT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.written.isEmpty());
    EXPECT_TRUE(outcome.failed.startsWith(blocked + u'/'));
    EXPECT_EQ(QDir(f.out.path()).entryList(QDir::Files), QStringList{QStringLiteral("blockiert")});
}

TEST(ArchivePdf, CommandLineWritesOneFilePerStudentAndKeepsExistingFilesUnlessTold)
{
    const QString cli = QStringLiteral(ZEDORA_BINARY_DIR "/bin/zedora-cli");
    if (!QFileInfo(cli).isExecutable())
        GTEST_SKIP() << "zedora-cli ist nicht gebaut";
    QTemporaryDir ws;
    QTemporaryDir out;
    const auto run = [&](QStringList args, int* code) {
        QProcess p;
        p.start(cli, args);
        p.waitForFinished(120000);
        *code = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    };
    int code = -1;
    run({QStringLiteral("setup"), QStringLiteral("--workspace"), ws.path()}, &code);
    ASSERT_EQ(code, 0);
    const QStringList pdf = {QStringLiteral("pdf"), QStringLiteral("--workspace"), ws.path(), QStringLiteral("--file"),
                             QStringLiteral("ZE-0000-0/demo.dbf"), QStringLiteral("--per-student"), out.path()};
    QString said = run(pdf, &code);
    EXPECT_EQ(code, 0) << said.toStdString();
    const QStringList files = QDir(out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_GT(files.size(), 1);
    EXPECT_TRUE(said.startsWith(QString::number(files.size()) + QStringLiteral(" PDF-Dateien nach "))) << said.toStdString();
    for (const QString& f : files)
        EXPECT_TRUE(f.startsWith(QStringLiteral("10b_"))) << f.toStdString();

    const QString first = out.filePath(files.first());
    const QDateTime before = QFileInfo(first).lastModified();
    said = run(pdf, &code);
    EXPECT_EQ(code, 1) << "not everything written is no success";
    EXPECT_TRUE(said.contains(QStringLiteral("Datei ") + first + QStringLiteral(" besteht bereits und bleibt unverändert.")))
        << said.toStdString();
    EXPECT_EQ(QFileInfo(first).lastModified(), before);

    said = run(pdf + QStringList{QStringLiteral("--overwrite")}, &code);
    EXPECT_EQ(code, 0) << said.toStdString();

    // --out and --per-student exclude each other; a missing folder is named.
    run(pdf + QStringList{QStringLiteral("--out"), out.filePath(QStringLiteral("x.pdf"))}, &code);
    EXPECT_EQ(code, 2);
    QStringList missing = pdf;
    missing.last() = out.filePath(QStringLiteral("fehlt"));
    said = run(missing, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(said.contains(QStringLiteral("Ausgabeordner ") + out.filePath(QStringLiteral("fehlt")) +
                              QStringLiteral(" nicht gefunden!")));
}
