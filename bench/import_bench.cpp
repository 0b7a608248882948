// Master-data import: the fixture school from its server into one file per
// class, and a 2,000-student Sibank file into one file per class.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "core/settings.h"
#include "data/student_files.h"
#include "exchange/dbase_import.h"
#include "exchange/server_import.h"
#include "exchange/sibank_format.h"
#include "exchange/student_file_import.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

using namespace zedora;

namespace {

struct BenchWorkspace {
    QTemporaryDir dir;
    QString root = dir.path() + QLatin1Char('/');
    TNeueDateien reg{root + QStringLiteral("angelegteDateien.txt"), root + QStringLiteral("angelegteVerzeichnisse.txt")};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;
    StudentFileContext context{root, QStringLiteral("BENCH"), files, ui};
    Settings settings;
    BenchWorkspace()
    {
        reg.endDefer();
        QDir().mkpath(root + QStringLiteral("MUSTER"));
        QDirIterator it(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER"), QDir::Files);
        while (it.hasNext()) {
            const QFileInfo fi(it.next());
            QFile::copy(fi.absoluteFilePath(), root + QStringLiteral("MUSTER/") + fi.fileName());
        }
    }
    // A fresh data directory per run, so every run creates its files anew.
    QString freshDataDirectory(int run)
    {
        const QString name = QStringLiteral("ZE-%1-1").arg(1000 + run % 9000, 4, 10, QLatin1Char('0'));
        QDir(root + name).removeRecursively();
        QDir().mkpath(root + name);
        return name;
    }
    int createPerClass(ImportTable& table, int run)
    {
        CreateRequest r;
        r.dataDirectory = freshDataDirectory(run);
        r.fileName = proposedFileName(r.dataDirectory, true);
        r.selected = {QStringLiteral("ALLE")};
        r.confirmEach = false;
        return static_cast<int>(createStudentFiles(table, r, context).size());
    }
};

int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

int serverPort = 0;

void BM_ServerSchoolIntoClassFiles(benchmark::State& state)
{
    if (serverPort == 0) {
        state.SkipWithError("Der TOLVO-Testserver ließ sich nicht starten");
        return;
    }
    BenchWorkspace ws;
    ws.settings.TolvoHost = QStringLiteral("127.0.0.1");
    ws.settings.TolvoPort = serverPort;
    const ServerLogin login = serverLogin(ws.settings, QStringLiteral("tolvo"), QStringLiteral("tolvo"));
    int run = 0, files = 0;
    for (auto _ : state) {
        ImportTable table;
        if (!readServerSource(login, ws.settings, table, ws.ui)) {
            state.SkipWithError("Lesen vom Server fehlgeschlagen");
            return;
        }
        files = ws.createPerClass(table, run++);
    }
    state.counters["files"] = files;
}

void BM_SibankFileIntoClassFiles(benchmark::State& state)
{
    BenchWorkspace ws;
    // 2,000 students in 20 classes, written by our own Sibank-format writer.
    ImportTable source;
    for (int i = 0; i < 2000; ++i) {
        ImportRow r;
        r[ImportColumn::Name] = QStringLiteral("Müller%1").arg(i);
        r[ImportColumn::Vorname] = QStringLiteral("Anna-Lena");
        r[ImportColumn::Klasse] = QStringLiteral("%1%2").arg(5 + i % 5).arg(QChar('a' + (i / 5) % 4));
        r[ImportColumn::Geboren] = QStringLiteral("%1.03.2012").arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        r[ImportColumn::MW] = i % 2 ? QStringLiteral("W") : QStringLiteral("M");
        r[ImportColumn::KM] = QStringLiteral("-MA-EG");
        r[ImportColumn::AG1] = QStringLiteral("Chor");
        r[ImportColumn::Strasse] = QStringLiteral("Schulstraße %1").arg(i);
        r[ImportColumn::Ort] = QStringLiteral("Oldenburg (Oldb)");
        source.append(r);
    }
    source.number();
    const QString file = ws.root + QStringLiteral("import/S_2000.DBF");
    if (!writeSibankFile(source, file, ws.root, ws.ui, ws.files)) {
        state.SkipWithError("Sibank-Datei nicht erstellt");
        return;
    }
    int run = 0, files = 0;
    for (auto _ : state) {
        ImportTable table;
        readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui);
        files = ws.createPerClass(table, run++);
    }
    state.counters["files"] = files;
}

BENCHMARK(BM_ServerSchoolIntoClassFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SibankFileIntoClassFiles)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int port = freePort();
    const std::string script = std::string(ZEDORA_FIXTURES_DIR "/tolvo/");
    if (std::system((script + "start-server.sh " + std::to_string(port) + " >/dev/null").c_str()) == 0)
        serverPort = port;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (serverPort)
        std::system((script + "stop-server.sh " + std::to_string(port) + " >/dev/null").c_str());
    return 0;
}
