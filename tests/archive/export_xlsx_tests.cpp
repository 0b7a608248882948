// The .xlsx export read back by another reader (openpyxl), and the stats
// command of zedora-cli end to end.
#include "archive/statistics_fixture.h"
#include "exchange/export_xlsx.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace zedora {
namespace {

using test::TempDir;
using test::writeStudents;

QString q(const std::string& s) { return QString::fromStdString(s); }
const QString kCli = QStringLiteral(ZEDORA_BINARY_DIR "/bin/zedora-cli");

// Every cell as "coordinate=type:value", the sheet names first.
QString readBack(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys, openpyxl\n"
                            "wb = openpyxl.load_workbook(sys.argv[1])\n"
                            "print('|'.join(wb.sheetnames))\n"
                            "for row in wb.active.iter_rows():\n"
                            "    for c in row:\n"
                            "        if c.value is not None:\n"
                            "            print(f'{c.coordinate}={type(c.value).__name__}:{c.value}')\n"),
             path});
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(XlsxExport, SheetTitleAndTableReadBackWithNumbersAsNumbers)
{
    TempDir dir;
    const QString path = q(dir.file("notenstatistik.xlsx"));
    XlsxTable t;
    t.sheetName = QStringLiteral("Statistik - ZE-2324-1/[Übung]");
    t.title = QStringLiteral("Notenstatistik Schülerinnen");
    t.rows = {{QStringLiteral("Klasse"), QStringLiteral("Fach"), QStringLiteral("Durchschnitt")},
              {QStringLiteral("5ä.DBF"), QStringLiteral("DE"), QStringLiteral("2,35")},
              {QStringLiteral("SUMMEN:"), QStringLiteral("12"), QString()},
              {QStringLiteral("=SUM(A1:A2)"), QStringLiteral("  =5 "), QString(300, u'x')}};
    ASSERT_EQ(writeXlsx(path, t), QString());
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
    const QStringList lines = readBack(path).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Statistik - ZE-2324-1__Übung_"),
                                  QStringLiteral("A1=str:Notenstatistik Schülerinnen"),
                                  QStringLiteral("A3=str:Klasse"), QStringLiteral("B3=str:Fach"),
                                  QStringLiteral("C3=str:Durchschnitt"), QStringLiteral("A4=str:5ä.DBF"),
                                  QStringLiteral("B4=str:DE"), QStringLiteral("C4=float:2.35"),
                                  QStringLiteral("A5=str:SUMMEN:"), QStringLiteral("B5=int:12"),
                                  QStringLiteral("A6=str:SUM(A1:A2)"), QStringLiteral("B6=int:5"),
                                  QStringLiteral("C6=str:") + QString(250, u'x')}));
}

TEST(XlsxExport, AnUnwritableTargetIsReportedAndLeavesNothingBehind)
{
    TempDir dir;
    const QString path = q(dir.file("fehlt/statistik.xlsx"));
    XlsxTable t;
    t.rows = {{QStringLiteral("A")}};
    const QString message = writeXlsx(path, t);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Die Datei "))) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(xlsxSheetName(QStringLiteral("  ")), QStringLiteral("Tabelle"));
    EXPECT_EQ(xlsxSheetName(QString(40, u'x')).size(), 31);
}

struct CliRun {
    int code;
    QString out, err;
};

CliRun runCli(const QStringList& args)
{
    QProcess p;
    p.start(kCli, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(StatsCommand, DirectoryWithADamagedFileNamesItAndComputesTheRest)
{
    TempDir ws;
    const QString dir = q(ws.file("ZE-2324-1"));
    writeStudents(dir + QStringLiteral("/5A.DBF"), {{{"VS1", "3"}, {"UE1", "2"}, {"DE", "1"}}});
    writeStudents(dir + QStringLiteral("/6B.DBF"), {{{"VS1", "4"}, {"DE", "4"}}});
    test::writeBytes((dir + QStringLiteral("/ALT.DBF")).toStdString(), "kein dBase");

    const CliRun r = runCli({QStringLiteral("stats"), QStringLiteral("absences"), QStringLiteral("--workspace"),
                             q(ws.path().string()), QStringLiteral("--dir"), QStringLiteral("ze-2324-1")});
    EXPECT_EQ(r.code, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Die Datei ALT.DBF konnte nicht gelesen werden")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("5A\t3\t2\t0\t0\t1\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("SUMMEN:\t7\t2\t0\t0\t1\n"))) << r.out.toStdString();

    const QString xlsx = q(ws.file("noten.xlsx"));
    const CliRun g = runCli({QStringLiteral("stats"), QStringLiteral("grades"), QStringLiteral("--workspace"),
                             q(ws.path().string()), QStringLiteral("--file"), QStringLiteral("ZE-2324-1/6B.DBF"),
                             QStringLiteral("--fields"), QStringLiteral("DE"), QStringLiteral("--xlsx"), xlsx});
    EXPECT_EQ(g.code, 0) << g.err.toStdString();
    const QString cells = readBack(xlsx);
    EXPECT_TRUE(cells.startsWith(QStringLiteral("Statistik - ZE-2324-1\n"))) << cells.toStdString();
    EXPECT_TRUE(cells.contains(QStringLiteral("A4=str:6B.DBF\nB4=str:DE\nC4=int:0\nD4=int:0\n"
                                              "E4=int:0\nF4=int:1\n")))
        << cells.toStdString();
    EXPECT_TRUE(cells.contains(QStringLiteral("I4=int:4"))) << cells.toStdString();
}

TEST(StatsCommand, BadArgumentsAreRefusedWithoutOutput)
{
    TempDir ws;
    const QString out = q(ws.file("x.xlsx"));
    const CliRun both = runCli({QStringLiteral("stats"), QStringLiteral("grades"), QStringLiteral("--workspace"),
                                q(ws.path().string()), QStringLiteral("--file"), QStringLiteral("A.DBF"),
                                QStringLiteral("--dir"), QStringLiteral("ZE-2324-1"), QStringLiteral("--xlsx"), out});
    EXPECT_EQ(both.code, 2);
    EXPECT_TRUE(both.err.contains(QStringLiteral("Genau eines von --file und --dir ist nötig.")));
    const CliRun missing = runCli({QStringLiteral("stats"), QStringLiteral("graduation"), QStringLiteral("--workspace"),
                                   q(ws.path().string()), QStringLiteral("--dir"), QStringLiteral("ZE-9999-1"),
                                   QStringLiteral("--xlsx"), out});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Datenverzeichnis nicht gefunden: ZE-9999-1")));
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
} // namespace zedora
