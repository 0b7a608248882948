#pragma once
// "Online - Update": checks the update server for a newer version, fetches
// its files with progress shown (and cancellable), and hands over to the
// updater program.
#include "periphery/online_update.h"
#include "periphery/update_download.h"

#include <QDialog>
#include <QUrl>
#include <functional>

class QProgressBar;
class QPushButton;
class QTextEdit;

namespace zedora {

class Interaction;
class WorkspaceFiles;
struct Settings;

class TFOnlineUpdate : public QDialog {
    Q_OBJECT
public:
    TFOnlineUpdate(Interaction& ui, WorkspaceFiles& files, const Settings& settings, const QString& programDir,
                   QString workspace, QWidget* parent = nullptr);

    // Where the updater program lies (beside the program's binaries).
    void setUpdaterPath(const QString& path) { updaterPath_ = path; }
    // How web addresses are opened (the desktop's browser by default).
    void setUrlOpener(std::function<void(const QUrl&)> open) { openUrl_ = std::move(open); }
    OnlineUpdate& update() { return update_; }
    UpdateDownloader& downloader() { return downloader_; }
    QString messageText() const;

    // Closing during a download cancels the download first.
    void reject() override;

signals:
    // The updater was handed the work: the program is to close now.
    void closeProgramRequested();

private:
    void addLine(const MessageLine& line);
    void setWorking(bool working);
    void refreshButtons();

    UpdateDownloader downloader_;
    OnlineUpdate update_;
    QString workspace_;
    QString updaterPath_;
    std::function<void(const QUrl&)> openUrl_;
    QTextEdit* text_;
    QProgressBar* progress_;
    QPushButton* check_;
    QPushButton* news_;
    QPushButton* download_;
    QPushButton* install_;
    QPushButton* cancel_;
    QPushButton* close_;
    bool working_ = false;
};

} // namespace zedora
