#include "app/single_instance.h"

#include <QDir>
#include <QGuiApplication>
#include <unistd.h>

namespace zedora {

SingleInstance::SingleInstance(const QString& name)
{
    // The runtime folder is per user; without one the lock goes to the
    // temporary folder under the user's id.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    const QString user = QString::number(::getuid());
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = QGuiApplication::platformName();
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    display.replace(QLatin1Char(':'), QLatin1Char('_'));
    path_ = QDir(dir).filePath(name + QLatin1Char('-') + user + QLatin1Char('-') + display
                               + QStringLiteral(".lock"));
}

bool SingleInstance::acquire()
{
    lock_ = std::make_unique<QLockFile>(path_);
    lock_->setStaleLockTime(0);  // only a dead owner's lock is stale
    return lock_->tryLock(0);
}

} // namespace zedora
