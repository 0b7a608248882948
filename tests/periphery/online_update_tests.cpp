// The online update against a real HTTP server on 127.0.0.1: the version
// check with its lines, downloads that arrive whole, downloads cut off,
// refused by the server, corrupted or cancelled (none of which replaces
// anything), and the hand-over to the updater.
#include "periphery/online_update.h"
#include "periphery/update_download.h"
#include "periphery_test_support.h"
#include "update_test_support.h"

#include <QProcess>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

const QByteArray kPackage = "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/gestartet.txt\"\n";
const QByteArray kHistory = "%PDF-1.4 neue Historie\n";
const QByteArray kHelp = "Hilfetexte der neuen Version\r\n";

struct UpdateFixture : PeripheryWorkspace {
    QString serverRoot = mkdir(QStringLiteral("server/zedora7"));
    QString programDir = mkdir(QStringLiteral("programm")) + QLatin1Char('/');
    QString workspace = mkdir(QStringLiteral("arbeit")) + QLatin1Char('/');
    UpdateServer server{tmp.filePath(QStringLiteral("server"))};
    UpdateDownloader downloader;
    std::unique_ptr<OnlineUpdate> update;
    QList<MessageLine> lines;
    struct Start {
        QString program;
        QStringList arguments;
        QString dir;
    };
    QList<Start> starts;

    UpdateFixture()
    {
        update = std::make_unique<OnlineUpdate>(ui, files, downloader, programDir, server.base());
        update->addLine = [this](const MessageLine& l) { lines << l; };
        update->clearLines = [this] { lines.clear(); };
        update->start = [this](const QString& p, const QStringList& a, const QString& d) {
            starts << Start{p, a, d};
            return true;
        };
        update->prepareFolder();
    }

    void serve(const QString& name, const QByteArray& bytes)
    {
        const QString path = serverRoot + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeBytes(path, bytes);
    }

    // A description of version 7400: the package and two further files.
    void serveGoodVersion(int version = 7400)
    {
        serve(QStringLiteral("zedora"), kPackage);
        serve(QStringLiteral("PDF/ZDR_HISTORY_7.PDF"), kHistory);
        serve(QStringLiteral("HELPTEXT.TXT"), kHelp);
        serve(QStringLiteral("update.cfg"),
              (QStringLiteral("[VERSION]\r\nV=%1\r\nHinweis=Neue Zeugnisvorlagen für die Grundschule\r\n"
                              "[EXE]\r\nProgramm=zedora\r\nGroesse=1 KB\r\nPruefsumme=%2\r\n"
                              "[DATEI]\r\nQuelle01=PDF\\ZDR_HISTORY_7.PDF\r\nGroesse01=20 KB\r\nPruefsumme01=%3\r\n"
                              "Quelle02=\r\nQuelle03=HELPTEXT.TXT\r\nGroesse03=3 KB\r\n")
                   .arg(version)
                   .arg(sha256Hex(kPackage), sha256Hex(kHistory)))
                  .toLatin1());
    }

    QStringList texts() const
    {
        QStringList out;
        for (const MessageLine& l : lines)
            out << l.text;
        return out;
    }
    QString updatePath(const QString& name) const { return programDir + QStringLiteral("Update/") + name; }
};

} // namespace

TEST(OnlineUpdate, CheckListsTheNewVersionAndItsFiles)
{
    UpdateFixture f;
    ASSERT_TRUE(f.server.running());
    f.serveGoodVersion();
    EXPECT_TRUE(QFileInfo(f.programDir + QStringLiteral("Update")).isDir());
    ASSERT_TRUE(f.update->check());
    EXPECT_TRUE(f.update->downloadAllowed());
    EXPECT_FALSE(f.update->installAllowed());
    EXPECT_EQ(f.update->downloadCaption(), QStringLiteral("&DownLoad"));
    const QString address = f.server.base() + QStringLiteral("zedora7/update.cfg");
    EXPECT_EQ(f.texts(), (QStringList{QStringLiteral("Es steht eine neue Version bereit!"), QString(),
                                      QStringLiteral("Auf diesem Computer installierte Version: 7306"),
                                      QStringLiteral("Version im Internet: 7400"), QStringLiteral("(") + address + ")",
                                      QString(), QStringLiteral("Hinweistext"),
                                      QStringLiteral("Neue Zeugnisvorlagen für die Grundschule"), QString(),
                                      QStringLiteral("Dateien zum Download"), QStringLiteral("zedora     (Größe: 1 KB)"),
                                      QStringLiteral("PDF\\ZDR_HISTORY_7.PDF     (Größe: 20 KB)"),
                                      QStringLiteral("HELPTEXT.TXT     (Größe: 3 KB)")}));
    EXPECT_EQ(f.lines.at(0).colour, QColor(Qt::darkGreen));
    EXPECT_TRUE(f.lines.at(0).bold);
    EXPECT_EQ(f.lines.at(4).points, 8);
    EXPECT_TRUE(f.ui.messages().isEmpty());
}

TEST(OnlineUpdate, SameVersionIsReportedInRedAndMayStillBeDownloaded)
{
    UpdateFixture f;
    f.serveGoodVersion(7306);
    ASSERT_TRUE(f.update->check());
    EXPECT_EQ(f.lines.at(0).text, QStringLiteral("Sie verfügen bereits über die aktuelle Version 7306"));
    EXPECT_EQ(f.lines.at(0).colour, QColor(Qt::red));
    EXPECT_EQ(f.update->downloadCaption(), QStringLiteral("Trotzdem downloaden"));
    EXPECT_TRUE(f.update->downloadAllowed());
}

TEST(OnlineUpdate, UnusableDescriptionAndServerErrorAllowNoDownload)
{
    UpdateFixture f;
    f.serve(QStringLiteral("update.cfg"), "[VERSION]\r\nHinweis=ohne Nummer\r\n");
    EXPECT_FALSE(f.update->check());
    EXPECT_EQ(f.texts(), QStringList{QStringLiteral("Versionsinformation konnte nicht ermittelt werden!")});
    EXPECT_FALSE(f.update->downloadAllowed());
    EXPECT_FALSE(f.update->download());

    // The server answers 500: the message names the whole address and an
    // update.cfg fetched earlier stays as it was.
    const QByteArray earlier = readBytes(f.updatePath(QStringLiteral("update.cfg")));
    f.ui.clear();
    auto failing = std::make_unique<OnlineUpdate>(f.ui, f.files, f.downloader, f.programDir,
                                                  f.server.base() + QStringLiteral("err-"));
    EXPECT_FALSE(failing->check());
    EXPECT_EQ(f.ui.messages(),
              QStringList{QStringLiteral("Probleme beim Download der Versionsinformation!\n\nWebserververzeichnis: ")
                          + f.server.base() + QStringLiteral("err-/zedora7/update.cfg")});
    EXPECT_FALSE(failing->downloadAllowed());
    EXPECT_EQ(readBytes(f.updatePath(QStringLiteral("update.cfg"))), earlier);
}

TEST(OnlineUpdate, UnwritableUpdateFolderIsNamed)
{
    UpdateFixture f;
    f.serveGoodVersion();
    // A file where the folder should be: nothing can be stored there.
    QDir(f.programDir + QStringLiteral("Update")).removeRecursively();
    writeBytes(f.programDir + QStringLiteral("Update"), "im Weg");
    EXPECT_FALSE(f.update->check());
    EXPECT_EQ(f.ui.messages(), QStringList{QStringLiteral("Der Update-Ordner\n") + f.programDir
                                           + QStringLiteral("Update/\nkann nicht beschrieben werden!")});
    EXPECT_FALSE(f.update->downloadAllowed());
    EXPECT_EQ(readBytes(f.programDir + QStringLiteral("Update")), QByteArray("im Weg"));
}

TEST(OnlineUpdate, GoodDownloadEnablesTheHandOverWithFourParameters)
{
    UpdateFixture f;
    f.serveGoodVersion();
    ASSERT_TRUE(f.update->check());
    f.lines.clear();
    QStringList started;
    f.update->fileStarted = [&started](const QString& name) { started << name; };
    ASSERT_TRUE(f.update->download());
    EXPECT_EQ(started, (QStringList{"zedora", "PDF\\ZDR_HISTORY_7.PDF", "HELPTEXT.TXT"}));
    EXPECT_EQ(f.texts(), (QStringList{QString(), QStringLiteral("Downloadinformationen"),
                                      QStringLiteral("zedora ...  Download erfolgreich!"),
                                      QStringLiteral("PDF\\ZDR_HISTORY_7.PDF ...   Download erfolgreich!"),
                                      QStringLiteral("HELPTEXT.TXT ...   Download erfolgreich!"), QString(),
                                      QStringLiteral("Weiter mit Klick auf Installation ...")}));
    EXPECT_EQ(f.lines.last().colour, QColor(Qt::blue));
    EXPECT_EQ(readBytes(f.updatePath(QStringLiteral("zedora"))), kPackage);
    EXPECT_EQ(readBytes(f.updatePath(QStringLiteral("PDF/ZDR_HISTORY_7.PDF"))), kHistory);
    EXPECT_EQ(readBytes(f.updatePath(QStringLiteral("HELPTEXT.TXT"))), kHelp);
    EXPECT_TRUE(f.reg.files().join('\n').contains(QStringLiteral("HELPTEXT.TXT")));
    ASSERT_TRUE(f.update->installAllowed());

    // "No" keeps the program running and starts nothing.
    const QString updater = f.path(QStringLiteral("kvbupdate"));
    QFile::copy(QStringLiteral(ZEDORA_BINARY_DIR "/bin/kvbupdate"), updater);
    queueAnswers(f.ui, {Answer::No, Answer::Yes});
    EXPECT_FALSE(f.update->install(updater, f.workspace));
    EXPECT_TRUE(f.starts.isEmpty());
    EXPECT_TRUE(f.update->install(updater, f.workspace));
    ASSERT_EQ(f.starts.size(), 1);
    EXPECT_EQ(f.starts.first().program, updater);
    EXPECT_EQ(f.starts.first().arguments,
              (QStringList{QStringLiteral("KVB"), QStringLiteral("Zedora"), f.programDir, f.workspace}));
    EXPECT_EQ(f.starts.first().dir, f.programDir);
    EXPECT_EQ(f.ui.messages().first(),
              QStringLiteral("Das Programm Zedora wird jetzt beendet!\n\nAutomatisch wird damit ein Programm (kvbupdate) "
                             "gestartet,\ndas die Updateinstallation abschließt und die neue Zedora-Version startet!\n\n"
                             "Fortfahren?\n"));

    // The real updater with exactly these parameters installs what came
    // from the server and starts the (new) program on the workspace.
    const QString bin = f.mkdir(QStringLiteral("bin"));
    QFile::copy(updater, bin + QStringLiteral("/kvbupdate"));
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), f.mkdir(QStringLiteral("laufzeit")));
    env.insert(QStringLiteral("KVBUPDATE_WAIT_SECONDS"), QStringLiteral("10"));
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(f.starts.first().dir);
    run.start(bin + QStringLiteral("/kvbupdate"), f.starts.first().arguments);
    ASSERT_TRUE(run.waitForFinished(20000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_EQ(readBytes(bin + QStringLiteral("/zedora")), kPackage);
    EXPECT_EQ(readBytes(f.programDir + QStringLiteral("PDF/ZDR_HISTORY_7.PDF")), kHistory);
    EXPECT_EQ(readBytes(f.programDir + QStringLiteral("HELPTEXT.TXT")), kHelp);
    QByteArray restarted;
    for (int i = 0; i < 200 && restarted.isEmpty(); ++i) {
        QThread::msleep(50);
        restarted = readBytes(bin + QStringLiteral("/gestartet.txt"));
    }
    EXPECT_EQ(restarted, (QStringLiteral("/P:") + f.workspace + QLatin1Char('\n')).toUtf8());

    // Without the updater the program still closes, after saying so.
    f.ui.clear();
    queueAnswers(f.ui, {Answer::Yes});
    EXPECT_TRUE(f.update->install(f.path(QStringLiteral("fehlt/kvbupdate")), f.workspace));
    EXPECT_EQ(f.ui.messages().last(), QStringLiteral("kvbupdate wurde nicht gefunden!"));
}

TEST(OnlineUpdate, CutOffDownloadReplacesNothingAndBlocksTheInstallation)
{
    UpdateFixture f;
    f.serveGoodVersion();
    QByteArray big(200000, 'x');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char('a' + i % 26);
    f.serve(QStringLiteral("cut-vorlagen.zip"), big);
    f.serve(QStringLiteral("update.cfg"),
            "[VERSION]\r\nV=7400\r\n[EXE]\r\nProgramm=zedora\r\nGroesse=1 KB\r\n"
            "[DATEI]\r\nQuelle01=cut-vorlagen.zip\r\nGroesse01=200 KB\r\n");
    // What an earlier, complete download left there.
    writeBytes(f.updatePath(QStringLiteral("cut-vorlagen.zip")), "alte vollständige Datei");
    ASSERT_TRUE(f.update->check());
    EXPECT_FALSE(f.update->download());
    EXPECT_TRUE(f.texts().contains(QStringLiteral("cut-vorlagen.zip ...   Download misslungen!")));
    EXPECT_TRUE(f.texts().contains(QStringLiteral("zedora ...  Download erfolgreich!")));
    EXPECT_EQ(readBytes(f.updatePath(QStringLiteral("cut-vorlagen.zip"))), QByteArray("alte vollständige Datei"));
    EXPECT_FALSE(f.update->installAllowed());
    EXPECT_FALSE(f.update->install(f.path(QStringLiteral("kvbupdate")), f.workspace));
    EXPECT_TRUE(f.ui.messages().isEmpty());
    EXPECT_TRUE(QDir(f.programDir + QStringLiteral("Update")).entryList({QStringLiteral("*.tmp")}).isEmpty());

    // Told apart by the downloader: cut off, refused by the server, missing.
    const QString probe = f.path(QStringLiteral("probe.bin"));
    EXPECT_EQ(f.downloader.fetch(QUrl(f.server.base() + QStringLiteral("zedora7/cut-vorlagen.zip")), probe),
              DownloadResult::Truncated);
    EXPECT_EQ(f.downloader.fetch(QUrl(f.server.base() + QStringLiteral("err-/x.bin")), probe),
              DownloadResult::ServerError);
    EXPECT_EQ(f.downloader.fetch(QUrl(f.server.base() + QStringLiteral("zedora7/fehlt.bin")), probe),
              DownloadResult::ServerError);
    EXPECT_FALSE(QFileInfo::exists(probe));
}

TEST(OnlineUpdate, WrongChecksumIsRefusedLikeAFailedDownload)
{
    UpdateFixture f;
    f.serveGoodVersion();
    f.serve(QStringLiteral("PDF/ZDR_HISTORY_7.PDF"), "%PDF-1.4 unterwegs verändert\n");
    ASSERT_TRUE(f.update->check());
    EXPECT_FALSE(f.update->download());
    EXPECT_TRUE(f.texts().contains(QStringLiteral("PDF\\ZDR_HISTORY_7.PDF ...   Download misslungen!")));
    EXPECT_FALSE(QFileInfo::exists(f.updatePath(QStringLiteral("PDF/ZDR_HISTORY_7.PDF"))));
    EXPECT_FALSE(f.update->installAllowed());
}

TEST(OnlineUpdate, FilesChangedAfterTheDownloadAreNotHandedOver)
{
    UpdateFixture f;
    f.serveGoodVersion();
    ASSERT_TRUE(f.update->check());
    ASSERT_TRUE(f.update->download());
    writeBytes(f.updatePath(QStringLiteral("zedora")), "#!/bin/sh\necho fremd\n");
    EXPECT_FALSE(f.update->install(f.path(QStringLiteral("kvbupdate")), f.workspace));
    EXPECT_EQ(f.ui.messages(), QStringList{QStringLiteral("Die heruntergeladenen Dateien sind unvollständig oder "
                                                          "beschädigt!\n\nBitte laden Sie das Update erneut herunter.")});
    EXPECT_TRUE(f.starts.isEmpty());
    EXPECT_FALSE(f.update->installAllowed());
}

TEST(OnlineUpdate, CancelledDownloadLeavesTheTargetAlone)
{
    UpdateFixture f;
    f.serve(QStringLiteral("slow-paket.bin"), QByteArray(64 * 1024, 'z'));
    const QString target = f.updatePath(QStringLiteral("slow-paket.bin"));
    writeBytes(target, "vorher");
    QTimer::singleShot(300, &f.downloader, [&f] { f.downloader.cancel(); });
    const DownloadResult r =
        f.downloader.fetch(QUrl(f.server.base() + QStringLiteral("zedora7/slow-paket.bin")), target);
    EXPECT_EQ(r, DownloadResult::Cancelled);
    EXPECT_EQ(readBytes(target), QByteArray("vorher"));
    // Cancelled stays cancelled for the files that follow, until reset.
    EXPECT_EQ(f.downloader.fetch(QUrl(f.server.base() + QStringLiteral("zedora7/slow-paket.bin")), target),
              DownloadResult::Cancelled);
}

TEST(OnlineUpdate, ServerFileNamesMayNotLeaveTheUpdateFolder)
{
    EXPECT_TRUE(isSafeUpdateName(QStringLiteral("PDF\\ZDR_HABU.PDF")));
    EXPECT_TRUE(isSafeUpdateName(QStringLiteral("zedora")));
    for (const char* bad : {"..\\..\\etc\\passwd", "/etc/passwd", "C:\\Windows\\x.exe", "PDF/../../x", "", "a//b"})
        EXPECT_FALSE(isSafeUpdateName(QLatin1String(bad))) << bad;

    UpdateFixture f;
    f.serve(QStringLiteral("update.cfg"), "[VERSION]\r\nV=7400\r\n[EXE]\r\nProgramm=../zedora\r\n"
                                          "[DATEI]\r\nQuelle01=..\\..\\.bashrc\r\nQuelle02=HELPTEXT.TXT\r\n");
    f.serve(QStringLiteral("HELPTEXT.TXT"), kHelp);
    ASSERT_TRUE(f.update->check());
    EXPECT_EQ(f.update->description().program.name, QString());
    ASSERT_EQ(f.update->description().further.size(), 1);
    EXPECT_EQ(f.update->description().refused, (QStringList{QStringLiteral("../zedora"), QStringLiteral("..\\..\\.bashrc")}));
}
