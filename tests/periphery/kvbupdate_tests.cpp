// The updater program kvbupdate, run as the online update starts it: it
// waits for the program to end, installs everything or nothing, leaves the
// post-update marker and starts the program again on the same workspace.
#include "app/single_instance.h"
#include "periphery/update_install.h"
#include "periphery_test_support.h"
#include "update_test_support.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QThread>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

const QByteArray kPackage = "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/gestartet.txt\"\n";
const QByteArray kHistory = "%PDF-1.4 neue Historie\n";

struct UpdaterFixture : PeripheryWorkspace {
    QString bin = mkdir(QStringLiteral("bin"));
    QString programDir = mkdir(QStringLiteral("programm")) + QLatin1Char('/');
    QString workspace = mkdir(QStringLiteral("arbeit")) + QLatin1Char('/');
    QString runtime = mkdir(QStringLiteral("laufzeit"));
    QString updater = bin + QStringLiteral("/kvbupdate");

    UpdaterFixture()
    {
        QFile::copy(QStringLiteral(ZEDORA_BINARY_DIR "/bin/kvbupdate"), updater);
        writeBytes(bin + QStringLiteral("/zedora"), "#!/bin/sh\necho alt\n");
        QFile::setPermissions(bin + QStringLiteral("/zedora"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(programDir + QStringLiteral("PDF"));
        writeBytes(programDir + QStringLiteral("PDF/ZDR_HISTORY_7.PDF"), "%PDF-1.4 alte Historie\n");
        QDir().mkpath(programDir + QStringLiteral("Update/PDF"));
        writeBytes(programDir + QStringLiteral("Update/zedora"), kPackage);
        writeBytes(programDir + QStringLiteral("Update/PDF/ZDR_HISTORY_7.PDF"), kHistory);
    }

    void describe(const QString& historySum)
    {
        writeBytes(programDir + QStringLiteral("Update/update.cfg"),
                   (QStringLiteral("[VERSION]\r\nV=7400\r\n[EXE]\r\nProgramm=zedora\r\nPruefsumme=%1\r\n"
                                   "[DATEI]\r\nQuelle01=PDF\\ZDR_HISTORY_7.PDF\r\nPruefsumme01=%2\r\n")
                        .arg(sha256Hex(kPackage), historySum))
                       .toLatin1());
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":47"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("KVBUPDATE_WAIT_SECONDS"), QStringLiteral("20"));
        return env;
    }

    void start(QProcess& p) const
    {
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(programDir);
        p.start(updater, {QStringLiteral("KVB"), QStringLiteral("Zedora"), programDir, workspace});
    }

    QByteArray startedWith() const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            const QByteArray got = readBytes(bin + QStringLiteral("/gestartet.txt"));
            if (!got.isEmpty())
                return got;
            QThread::msleep(50);
        }
        return {};
    }
};

// Holds the program's single-instance lock as a running program does.
struct RunningProgram {
    explicit RunningProgram(const UpdaterFixture& f)
    {
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray oldDisplay = qgetenv("DISPLAY");
        const QByteArray oldWayland = qgetenv("WAYLAND_DISPLAY");
        qputenv("XDG_RUNTIME_DIR", f.runtime.toUtf8());
        qputenv("DISPLAY", ":47");
        qunsetenv("WAYLAND_DISPLAY");
        instance = std::make_unique<SingleInstance>(QStringLiteral("Tolvo-Zedora"));
        held = instance->acquire();
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("DISPLAY", oldDisplay);
        if (!oldWayland.isEmpty())
            qputenv("WAYLAND_DISPLAY", oldWayland);
    }
    std::unique_ptr<SingleInstance> instance;
    bool held = false;
};

} // namespace

TEST(Kvbupdate, InstallsAfterTheProgramHasEndedAndStartsItAgain)
{
    UpdaterFixture f;
    f.describe(sha256Hex(kHistory));
    auto running = std::make_unique<RunningProgram>(f);
    ASSERT_TRUE(running->held);
    QProcess updater;
    f.start(updater);
    ASSERT_TRUE(updater.waitForStarted());
    // While the program still runs, nothing is touched.
    QThread::msleep(1200);
    EXPECT_EQ(updater.state(), QProcess::Running);
    EXPECT_EQ(readBytes(f.bin + QStringLiteral("/zedora")), QByteArray("#!/bin/sh\necho alt\n"));
    running.reset();

    ASSERT_TRUE(updater.waitForFinished(20000));
    EXPECT_EQ(updater.exitCode(), 0) << updater.readAllStandardError().toStdString();
    EXPECT_EQ(readBytes(f.bin + QStringLiteral("/zedora")), kPackage);
    EXPECT_TRUE(QFileInfo(f.bin + QStringLiteral("/zedora")).isExecutable());
    EXPECT_EQ(readBytes(f.programDir + QStringLiteral("PDF/ZDR_HISTORY_7.PDF")), kHistory);
    EXPECT_TRUE(QFileInfo::exists(f.programDir + QStringLiteral("nachsetup.txt")));
    // The new program was started on the same workspace.
    EXPECT_EQ(f.startedWith(), QStringLiteral("/P:%1\n").arg(f.workspace).toUtf8());
}

TEST(Kvbupdate, OneDamagedFileMeansNothingIsInstalled)
{
    UpdaterFixture f;
    f.describe(sha256Hex("etwas anderes"));
    QProcess updater;
    f.start(updater);
    ASSERT_TRUE(updater.waitForFinished(20000));
    EXPECT_EQ(updater.exitCode(), 1);
    EXPECT_EQ(readBytes(f.bin + QStringLiteral("/zedora")), QByteArray("#!/bin/sh\necho alt\n"));
    EXPECT_EQ(readBytes(f.programDir + QStringLiteral("PDF/ZDR_HISTORY_7.PDF")), QByteArray("%PDF-1.4 alte Historie\n"));
    EXPECT_FALSE(QFileInfo::exists(f.programDir + QStringLiteral("nachsetup.txt")));
    EXPECT_TRUE(QString::fromUtf8(readBytes(f.programDir + QStringLiteral("Update/kvbupdate.log")))
                    .contains(QStringLiteral("Die Datei PDF\\ZDR_HISTORY_7.PDF ist beschädigt (Prüfsumme falsch).")));
}

TEST(Kvbupdate, ATargetThatCannotBeWrittenReplacesNothing)
{
    UpdaterFixture f;
    f.describe(sha256Hex(kHistory));
    // Where the manual folder should be lies a file: the history cannot go there.
    QDir(f.programDir + QStringLiteral("PDF")).removeRecursively();
    writeBytes(f.programDir + QStringLiteral("PDF"), "im Weg");
    const UpdateInstallation done = installUpdate(f.programDir + QStringLiteral("Update"), f.programDir, f.bin);
    EXPECT_FALSE(done.ok);
    EXPECT_EQ(done.error, QStringLiteral("Die Datei ") + f.programDir
                              + QStringLiteral("PDF/ZDR_HISTORY_7.PDF konnte nicht ersetzt werden."));
    // The program package, which came first, is still the old one, and no
    // half-installed file is left beside it.
    EXPECT_EQ(readBytes(f.bin + QStringLiteral("/zedora")), QByteArray("#!/bin/sh\necho alt\n"));
    EXPECT_FALSE(QFileInfo::exists(f.bin + QStringLiteral("/zedora.kvbneu")));
    EXPECT_FALSE(QFileInfo::exists(f.programDir + QStringLiteral("nachsetup.txt")));
}

TEST(Kvbupdate, WrongParametersAndMissingFilesAreRefused)
{
    UpdaterFixture f;
    QProcess wrong;
    wrong.start(f.updater, {QStringLiteral("XYZ"), QStringLiteral("Zedora"), f.programDir});
    ASSERT_TRUE(wrong.waitForFinished(10000));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_EQ(readBytes(f.bin + QStringLiteral("/zedora")), QByteArray("#!/bin/sh\necho alt\n"));

    // A file named in update.cfg that never arrived.
    f.describe(sha256Hex(kHistory));
    QFile::remove(f.programDir + QStringLiteral("Update/PDF/ZDR_HISTORY_7.PDF"));
    const UpdateInstallation done = installUpdate(f.programDir + QStringLiteral("Update"), f.programDir, f.bin);
    EXPECT_FALSE(done.ok);
    EXPECT_EQ(done.error, QStringLiteral("Die Datei PDF\\ZDR_HISTORY_7.PDF fehlt im Update-Ordner."));
    EXPECT_TRUE(done.installed.isEmpty());
    EXPECT_EQ(readBytes(f.bin + QStringLiteral("/zedora")), QByteArray("#!/bin/sh\necho alt\n"));
}
