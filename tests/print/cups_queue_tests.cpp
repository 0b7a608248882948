// A real print queue: the test starts a private cupsd (its own folders and
// port) with a CUPS-PDF queue, prints a report card from the preview to it
// and checks that the words of the PDF that arrives stand where the direct
// PDF output puts them. Where cupsd cannot run here the test is skipped with
// the reason, never passed.
#include "print/printer_output.h"
#include "print/report_pdf.h"
#include "print/ui/TFVorschau.h"
#include "renderer_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct Word {
    double xMin, yMin, xMax, yMax; // millimetres from the sheet's top left corner
};

QVector<QVector<Word>> wordBoxes(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"));
    QVector<QVector<Word>> pages;
    const QStringList parts = html.split(QStringLiteral("<page "));
    const double mm = 25.4 / 72.0;
    for (int i = 1; i < parts.size(); ++i) {
        QVector<Word> words;
        auto it = word.globalMatch(parts[i]);
        while (it.hasNext()) {
            const auto m = it.next();
            words.append({m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm, m.captured(3).toDouble() * mm,
                          m.captured(4).toDouble() * mm});
        }
        std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
            return std::tie(a.yMax, a.xMax) < std::tie(b.yMax, b.xMax);
        });
        pages.append(words);
    }
    return pages;
}

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = loopback(port);
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// A cupsd of our own; stopped (and its queue's configuration removed) when
// the object goes.
class PrivateCups {
public:
    QString failure;   // why it does not run
    QString queue;
    QString outDir;
    int port = 0;

    PrivateCups()
    {
        if (!QFileInfo(QStringLiteral("/usr/sbin/cupsd")).isExecutable()) {
            failure = QStringLiteral("cupsd ist nicht installiert (Paket cups)");
            return;
        }
        if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf"))) {
            failure = QStringLiteral("CUPS-PDF fehlt (Paket printer-driver-cups-pdf)");
            return;
        }
        // CUPS-PDF takes its per-queue settings from /etc/cups only.
        if (::geteuid() != 0 || !QFileInfo(QStringLiteral("/etc/cups")).isWritable()) {
            failure = QStringLiteral("die Einstellungen der CUPS-PDF-Warteschlange in /etc/cups sind nicht schreibbar");
            return;
        }
        const QString root = dir_.path();
        for (const char* d : {"etc", "spool/tmp", "cache", "state", "log", "out"})
            QDir(root).mkpath(QLatin1String(d));
        QFile::setPermissions(root, QFileDevice::Permissions(0x7777));
        for (const char* d : {"spool", "spool/tmp", "cache", "state", "log", "out"})
            QFile::setPermissions(root + u'/' + QLatin1String(d), QFileDevice::Permissions(0x7777));
        outDir = root + QStringLiteral("/out");
        port = freePort();
        write(root + QStringLiteral("/etc/cupsd.conf"),
              QStringLiteral("Listen 127.0.0.1:%1\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                  .arg(port));
        write(root + QStringLiteral("/etc/cups-files.conf"),
              QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nCacheDir %1/cache\n"
                             "StateDir %1/state\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                             "PageLog %1/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                             "User lp\nGroup lp\n")
                  .arg(root));
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"),
                     {QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/etc/cupsd.conf"),
                      QStringLiteral("-s"), root + QStringLiteral("/etc/cups-files.conf")});
        if (!cupsd_.waitForStarted(5000) || !waitForPort()) {
            failure = QStringLiteral("cupsd startet nicht: ") + QString::fromUtf8(cupsd_.readAll()) + log();
            return;
        }
        queue = QStringLiteral("zedoratest%1").arg(QCoreApplication::applicationPid());
        configFile_ = QStringLiteral("/etc/cups/cups-pdf-") + queue + QStringLiteral(".conf");
        write(configFile_, QStringLiteral("Out %1\nAnonDir %1\nLabel 0\nLog %2/log\n").arg(outDir, root));
        QProcess lpadmin;
        lpadmin.setProcessChannelMode(QProcess::MergedChannels);
        lpadmin.start(QStringLiteral("lpadmin"),
                      {QStringLiteral("-h"), server(), QStringLiteral("-p"), queue, QStringLiteral("-E"),
                       QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + queue, QStringLiteral("-P"),
                       QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")});
        if (!lpadmin.waitForFinished(20000) || lpadmin.exitCode() != 0)
            failure = QStringLiteral("Warteschlange nicht eingerichtet: ") + QString::fromUtf8(lpadmin.readAll());
    }

    ~PrivateCups()
    {
        if (!configFile_.isEmpty())
            QFile::remove(configFile_);
        if (cupsd_.state() != QProcess::NotRunning) {
            cupsd_.terminate();
            if (!cupsd_.waitForFinished(10000))
                cupsd_.kill();
            cupsd_.waitForFinished(5000);
        }
    }

    QString server() const { return QStringLiteral("127.0.0.1:%1").arg(port); }

    // The PDF that arrives in the queue's folder, complete.
    QString waitForPdf(int seconds)
    {
        QElapsedTimer t;
        t.start();
        qint64 lastSize = -1;
        while (t.elapsed() < seconds * 1000) {
            const QStringList files = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
            if (!files.isEmpty()) {
                const QString f = outDir + u'/' + files.first();
                const qint64 size = QFileInfo(f).size();
                if (size > 0 && size == lastSize)
                    return f;
                lastSize = size;
            }
            QThread::msleep(300);
        }
        return QString();
    }

    QString log() const
    {
        QFile f(dir_.path() + QStringLiteral("/log/error_log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(2000)) : QString();
    }

private:
    static void write(const QString& path, const QString& text)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(text.toUtf8());
    }

    bool waitForPort()
    {
        for (int i = 0; i < 50; ++i) {
            if (accepts(port))
                return true;
            if (cupsd_.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(100);
        }
        return false;
    }

    QTemporaryDir dir_;
    QProcess cupsd_;
    QString configFile_;
};

// The CUPS library keeps its server per thread once asked; the print
// support plugin and this test share the library, so point it at ours.
bool pointCupsAt(const QString& server)
{
    qputenv("CUPS_SERVER", server.toUtf8());
    void* lib = dlopen("libcups.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!lib)
        return false;
    using SetServer = void (*)(const char*);
    auto set = reinterpret_cast<SetServer>(dlsym(lib, "cupsSetServer"));
    if (!set)
        return false;
    set(server.toUtf8().constData());
    return true;
}

} // namespace

TEST(CupsQueue, AReportCardPrintedFromThePreviewArrivesWithItsWordsInPlace)
{
    QProcess probe;
    probe.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    if (!probe.waitForFinished(10000))
        GTEST_SKIP() << "pdftotext fehlt";
    PrivateCups cups;
    if (!cups.failure.isEmpty())
        GTEST_SKIP() << cups.failure.toStdString();
    ASSERT_TRUE(pointCupsAt(cups.server())) << "libcups nicht ladbar";
    const int index = int(printerNames().indexOf(cups.queue));
    ASSERT_GE(index, 0) << "the queue is listed: " << printerNames().join(u',').toStdString();

    RenderHarness h;
    h.layout.eintrag(100) = entry(200, 500, QStringLiteral("Links"));
    h.layout.eintrag(101) = entry(1900, 800, QStringLiteral("Rechts"), u'R');
    h.layout.eintrag(102) = entry(1050, 1200, QStringLiteral("Mitte"), u'Z');
    TLayEintrag big = entry(300, 2500, QStringLiteral("Groß und fett"));
    big.Grad = 28;
    big.Fett = true;
    h.layout.eintrag(103) = big;
    h.settings.FesterDruckerGewaehlt = true;
    h.settings.FesterDruckerNummer = index;
    h.run.selection = RecordSelection::Single;
    PlaceholderContext context;
    context.settings = &h.settings;
    context.ui = &h.ui;

    // The direct PDF output as the reference.
    QTemporaryDir dir;
    const QString direct = dir.filePath(QStringLiteral("direkt.pdf"));
    ASSERT_TRUE(writeReportPdf(direct, h.layout, h.metrics, h.options, context, h.records, h.run,
                               QStringLiteral("10b-2013/2014")).ok);

    TFVorschau preview(h.settings, h.ui, h.metrics);
    preview.showJob(reportCardJob(h.layout, h.metrics, h.options, context, h.records, h.run, QStringLiteral("10b"),
                                  QStringLiteral("2013/2014")));
    QString printedTo;
    preview.printDialog = [&](QPrinter& printer) {
        printedTo = printer.printerName();
        return true;
    };
    preview.findChild<QPushButton*>(QStringLiteral("druckbutton"))->click();
    EXPECT_EQ(printedTo, cups.queue);
    EXPECT_TRUE(h.ui.messages().isEmpty()) << h.ui.messages().join(u'|').toStdString();

    const QString arrived = cups.waitForPdf(90);
    ASSERT_FALSE(arrived.isEmpty()) << "no PDF from the queue; cupsd log:\n" << cups.log().toStdString();
    const auto want = wordBoxes(direct);
    const auto got = wordBoxes(arrived);
    ASSERT_EQ(want.size(), 1);
    ASSERT_EQ(got.size(), 1);
    // On a printer the layout's origin is the corner of the printable area,
    // so every word moves by the printer's margins.
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, h.layout, false, cups.queue, QString());
    const QPointF offset = printer.pageRect(QPrinter::Millimeter).topLeft() -
                           printer.paperRect(QPrinter::Millimeter).topLeft();
    // The queue's PostScript path keeps the glyphs but not their text, so
    // words are matched by place: each word's right end and bottom within
    // 1.5 mm of the direct output's, moved by the margins.
    ASSERT_EQ(got[0].size(), want[0].size());
    for (int i = 0; i < want[0].size(); ++i) {
        EXPECT_NEAR(got[0][i].xMax, want[0][i].xMax + offset.x(), 1.5) << i;
        EXPECT_NEAR(got[0][i].yMax, want[0][i].yMax + offset.y(), 1.5) << i;
    }
    // And where the layout says: "Rechts" ends at x 1900 of the printable area.
    EXPECT_NEAR(got[0][1].xMax, 190.0 + offset.x(), 1.5);
}
