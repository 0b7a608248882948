#pragma once
// The update server of the tests: a small HTTP server on 127.0.0.1 (the
// Python standard library's) serving a folder, started per test.
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

namespace zedora::testing {

inline QString testSourceDir()
{
    // The compiler cache may name this file relative to the build folder.
    const QString file = QString::fromUtf8(__FILE__);
    return QFileInfo(QFileInfo(file).isAbsolute() ? file : QDir(QStringLiteral(ZEDORA_BINARY_DIR)).filePath(file))
        .absolutePath();
}

class UpdateServer {
public:
    explicit UpdateServer(const QString& root)
    {
        process_.start(QStringLiteral("/usr/bin/python3"),
                       {testSourceDir() + QStringLiteral("/update_server.py"), root});
        if (process_.waitForReadyRead(10000))
            port_ = process_.readLine().trimmed().toInt();
    }
    ~UpdateServer()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    bool running() const { return port_ > 0; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }

private:
    QProcess process_;
    int port_ = 0;
};

inline QString sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace zedora::testing
