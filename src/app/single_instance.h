#pragma once
// One running program per user and display. A lock file in the user's
// runtime folder plays the part of a named semaphore; the lock of a
// program that died is taken over.
#include <QLockFile>
#include <QString>
#include <memory>

namespace zedora {

class SingleInstance {
public:
    // name: e.g. "Tolvo-Zedora"; the display is added to it.
    explicit SingleInstance(const QString& name);
    // False when another instance holds the lock.
    bool acquire();
    QString lockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace zedora
