#pragma once
// The online update's steps: read the server's version description, fetch
// the files of the new version into the update folder, and hand over to
// the updater program once everything has arrived intact. The window shows
// the lines this produces and offers the buttons.
#include "periphery/update_description.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace zedora {

class Interaction;
class UpdateDownloader;
class WorkspaceFiles;

struct MessageLine {
    QString text;  // empty: an empty line
    QColor colour = Qt::black;
    bool bold = false;
    int points = 10;
};

class OnlineUpdate {
public:
    OnlineUpdate(Interaction& ui, WorkspaceFiles& files, UpdateDownloader& downloader, QString programDir,
                 QString serverBase);

    std::function<void(const MessageLine&)> addLine;
    std::function<void()> clearLines;
    // A file's download begins (its name as the server lists it).
    std::function<void(const QString& name)> fileStarted;
    // Starts the updater detached; false when it could not be started.
    std::function<bool(const QString& program, const QStringList& arguments, const QString& workingDir)> start;

    QString updateFolder() const { return programDir_ + QStringLiteral("Update/"); }
    QString serverFolder() const { return serverFolder_; }
    QUrl historyAddress() const;

    // Creates the update folder (registered as created).
    void prepareFolder();
    // "&Prüfung auf neue Version"; true when a usable description was read.
    bool check();
    // "&DownLoad"; true when every file arrived intact.
    bool download();
    // "&Installation": asks, starts the updater; true when the program is
    // to close now.
    bool install(const QString& updaterPath, const QString& workspace);

    bool downloadAllowed() const { return downloadAllowed_; }
    bool installAllowed() const { return installAllowed_; }
    QString downloadCaption() const { return downloadCaption_; }
    const UpdateDescription& description() const { return description_; }

    static QStringList updaterArguments(const QString& programDir, const QString& workspace);

private:
    void line(const QString& text, QColor colour = Qt::black, bool bold = false, int points = 10);
    QUrl addressOf(const QString& name) const;
    QString localPathOf(const QString& name) const;
    bool fetch(const UpdateFile& file);
    bool downloadsIntact() const;

    Interaction& ui_;
    WorkspaceFiles& files_;
    UpdateDownloader& downloader_;
    QString programDir_;
    QString serverFolder_;
    UpdateDescription description_;
    bool downloadAllowed_ = false;
    bool installAllowed_ = false;
    QString downloadCaption_ = QStringLiteral("&DownLoad");
};

} // namespace zedora
