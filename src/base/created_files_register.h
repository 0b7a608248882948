#pragma once
// The created-files register: a log of every file and directory the program
// created in the workspace, kept in two list files there.
#include <QString>
#include <QStringList>

namespace zedora {

class TNeueDateien {
public:
    // Loads both lists from their files when they exist. Starts deferred:
    // the start-up ends the defer state once the workspace is in place.
    TNeueDateien(const QString& filesListPath, const QString& directoriesListPath);
    ~TNeueDateien();
    TNeueDateien(const TNeueDateien&) = delete;
    TNeueDateien& operator=(const TNeueDateien&) = delete;

    // Only existing, not yet listed paths are added; the list is saved.
    void registerFile(const QString& path);
    void registerDirectory(const QString& path);
    // Removes a listed path; written at the next save.
    void unregisterFile(const QString& path);
    void unregisterDirectory(const QString& path);

    void beginDefer();
    void endDefer();
    bool deferred() const { return defer_; }

    // Writes each changed list (one path per line). Errors are ignored: the
    // register is a log, and a full disk must not stop the program.
    void save();

    const QStringList& files() const { return files_; }
    const QStringList& directories() const { return directories_; }

private:
    struct List {
        QString path;
        QStringList* entries;
        bool* dirty;
    };
    void add(QStringList& list, bool& dirty, const QString& path);
    void remove(QStringList& list, bool& dirty, const QString& path);

    QString filesListPath_;
    QString directoriesListPath_;
    QStringList files_;
    QStringList directories_;
    bool filesDirty_ = false;
    bool directoriesDirty_ = false;
    bool defer_ = true;
};

} // namespace zedora
