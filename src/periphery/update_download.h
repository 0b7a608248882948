#pragma once
// Fetches one file over HTTP(S) into a target path. The file arrives beside
// the target and replaces it only when it is complete: the server said it
// succeeded, the byte count matches what the server announced and, when
// one is known, the SHA-256 checksum matches. A cut-off, failed, cancelled
// or corrupted download leaves the target as it was.
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace zedora {

enum class DownloadResult { Ok, Failed, ServerError, Truncated, WrongChecksum, Cancelled, NotWritten };

class UpdateDownloader : public QObject {
    Q_OBJECT
public:
    explicit UpdateDownloader(QObject* parent = nullptr);
    ~UpdateDownloader() override;

    // Runs an event loop until the file is there or has failed, so the
    // window stays responsive. sha256: lower-case hex or empty.
    DownloadResult fetch(const QUrl& address, const QString& target, const QString& sha256 = {});
    // Ends the running download (and the ones that follow, until reset).
    void cancel();
    bool cancelled() const { return cancelled_; }
    void reset() { cancelled_ = false; }
    // Gives up when nothing arrives for this long.
    void setStallTimeout(int milliseconds) { stallTimeout_ = milliseconds; }
    // A line for the user about the last failure (may be empty).
    QString lastError() const { return lastError_; }

signals:
    // total is -1 when the server did not announce the size.
    void progress(qint64 received, qint64 total);

private:
    QNetworkAccessManager* network_;
    QNetworkReply* reply_ = nullptr;
    bool cancelled_ = false;
    int stallTimeout_ = 30000;
    QString lastError_;
};

// SHA-256 of a file as lower-case hex; empty when it cannot be read.
QString fileSha256(const QString& path);

} // namespace zedora
