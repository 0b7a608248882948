#include "periphery/update_download.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace zedora {

UpdateDownloader::UpdateDownloader(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this))
{
}

UpdateDownloader::~UpdateDownloader() = default;

void UpdateDownloader::cancel()
{
    cancelled_ = true;
    if (reply_)
        reply_->abort();
}

QString fileSha256(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

DownloadResult UpdateDownloader::fetch(const QUrl& address, const QString& target, const QString& sha256)
{
    lastError_.clear();
    if (cancelled_)
        return DownloadResult::Cancelled;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = file.errorString();
        return DownloadResult::NotWritten;
    }
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // Always the server's copy, never one kept by a cache on the way.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setTransferTimeout(stallTimeout_);
    reply_ = network_->get(request);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 received = 0;
    bool writeFailed = false;
    QEventLoop loop;
    connect(reply_, &QNetworkReply::readyRead, &loop, [&] {
        const QByteArray chunk = reply_->readAll();
        received += chunk.size();
        hash.addData(chunk);
        if (file.write(chunk) != chunk.size() && !writeFailed) {
            writeFailed = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::downloadProgress, this, &UpdateDownloader::progress);
    connect(reply_, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply_->isFinished())
        loop.exec();
    const QByteArray rest = reply_->isOpen() ? reply_->readAll() : QByteArray();
    received += rest.size();
    hash.addData(rest);
    if (!rest.isEmpty() && file.write(rest) != rest.size())
        writeFailed = true;

    const QNetworkReply::NetworkError error = reply_->error();
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant announced = reply_->header(QNetworkRequest::ContentLengthHeader);
    lastError_ = reply_->errorString();
    reply_->deleteLater();
    reply_ = nullptr;

    DownloadResult result = DownloadResult::Ok;
    if (cancelled_)
        result = DownloadResult::Cancelled;
    else if (writeFailed)
        result = DownloadResult::NotWritten;
    else if (status >= 400)
        result = DownloadResult::ServerError;
    else if (announced.isValid() && announced.toLongLong() != received)
        result = DownloadResult::Truncated;
    else if (error == QNetworkReply::RemoteHostClosedError && received > 0)
        result = DownloadResult::Truncated;
    else if (error != QNetworkReply::NoError)
        result = DownloadResult::Failed;
    else if (!sha256.isEmpty() && QString::fromLatin1(hash.result().toHex()) != sha256.toLower()) {
        result = DownloadResult::WrongChecksum;
        lastError_ = QStringLiteral("Prüfsumme stimmt nicht");
    }
    if (result != DownloadResult::Ok) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        lastError_ = file.errorString();
        return DownloadResult::NotWritten;
    }
    return DownloadResult::Ok;
}

} // namespace zedora
