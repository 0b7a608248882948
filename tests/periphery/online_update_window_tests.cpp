// The update window against the local server: the buttons follow the
// steps, the lines appear in the message box, progress is shown.
#include "core/settings.h"
#include "periphery/ui/TFOnlineUpdate.h"
#include "periphery_test_support.h"
#include "update_test_support.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

TEST(OnlineUpdateWindow, ButtonsFollowTheCheckAndTheDownload)
{
    PeripheryWorkspace ws;
    const QString serverRoot = ws.mkdir(QStringLiteral("server/zedora7"));
    UpdateServer server(ws.path(QStringLiteral("server")));
    ASSERT_TRUE(server.running());
    const QByteArray package(300000, 'p');
    writeBytes(serverRoot + QStringLiteral("/zedora"), package);
    writeBytes(serverRoot + QStringLiteral("/update.cfg"),
               (QStringLiteral("[VERSION]\r\nV=7400\r\nHinweis=Fehlerbehebungen beim Zeugnisdruck\r\n"
                               "[EXE]\r\nProgramm=zedora\r\nGroesse=293 KB\r\nPruefsumme=%1\r\n")
                    .arg(sha256Hex(package)))
                   .toLatin1());
    Settings settings;
    settings.WebServerKVB = server.base();
    TFOnlineUpdate window(ws.ui, ws.files, settings, ws.mkdir(QStringLiteral("programm")), ws.tmp.path());
    QList<QUrl> opened;
    window.setUrlOpener([&opened](const QUrl& u) { opened << u; });
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Online - Update"));
    auto* download = window.findChild<QPushButton*>(QStringLiteral("btnDownLoad"));
    auto* install = window.findChild<QPushButton*>(QStringLiteral("btnInstallation"));
    ASSERT_NE(download, nullptr);
    ASSERT_NE(install, nullptr);
    EXPECT_FALSE(download->isEnabled());
    EXPECT_FALSE(install->isEnabled());
    window.show();

    window.findChild<QPushButton*>(QStringLiteral("btnPruefung"))->click();
    EXPECT_TRUE(download->isEnabled());
    EXPECT_FALSE(install->isEnabled());
    EXPECT_TRUE(window.messageText().startsWith(QStringLiteral("Es steht eine neue Version bereit!")));
    EXPECT_TRUE(window.messageText().contains(QStringLiteral("zedora     (Größe: 293 KB)")));

    download->click();
    EXPECT_TRUE(install->isEnabled());
    EXPECT_TRUE(window.messageText().contains(QStringLiteral("zedora ...  Download erfolgreich!")));
    EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->value(), 100);
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("btnAbbrechen"))->isEnabled());

    window.findChild<QPushButton*>(QStringLiteral("btnNeuerungen"))->click();
    EXPECT_EQ(opened, QList<QUrl>{QUrl(server.base() + QStringLiteral("zedora7/zdr_history_7.pdf"))});
    window.resize(640, 480);
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        window.grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + QStringLiteral("/online-update.png"));
}

TEST(OnlineUpdateWindow, TheCancelButtonEndsARunningDownload)
{
    PeripheryWorkspace ws;
    const QString serverRoot = ws.mkdir(QStringLiteral("server/zedora7"));
    UpdateServer server(ws.path(QStringLiteral("server")));
    ASSERT_TRUE(server.running());
    // Trickles out in about five seconds.
    writeBytes(serverRoot + QStringLiteral("/slow-zedora"), QByteArray(100 * 1024, 's'));
    writeBytes(serverRoot + QStringLiteral("/update.cfg"),
               "[VERSION]\r\nV=7400\r\n[EXE]\r\nProgramm=slow-zedora\r\nGroesse=100 KB\r\n");
    Settings settings;
    settings.WebServerKVB = server.base();
    const QString programDir = ws.mkdir(QStringLiteral("programm"));
    TFOnlineUpdate window(ws.ui, ws.files, settings, programDir, ws.tmp.path());
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("btnPruefung"))->click();
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("btnAbbrechen"));
    auto* progress = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    bool cancelEnabled = false;
    QString progressText;
    QTimer::singleShot(700, &window, [&] {
        cancelEnabled = cancel->isEnabled();
        progressText = progress->text();
        cancel->click();
    });
    window.findChild<QPushButton*>(QStringLiteral("btnDownLoad"))->click();
    EXPECT_TRUE(cancelEnabled);
    EXPECT_TRUE(progressText.startsWith(QStringLiteral("slow-zedora: "))) << progressText.toStdString();
    EXPECT_TRUE(window.messageText().contains(QStringLiteral("slow-zedora ...  Download misslungen!")));
    EXPECT_TRUE(window.messageText().contains(QStringLiteral("Download abgebrochen.")));
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("btnInstallation"))->isEnabled());
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(programDir + QStringLiteral("/Update/slow-zedora")));
}
