#include "base/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zedora {

bool writeFileSafely(const QString& path, const QByteArray& content)
{
    QSaveFile f(path);
    // Some shares refuse the rename trick; better a direct write than none.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // A full disk shows only when the buffer goes out; commit() would not tell.
    if (f.write(content) != content.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool copyFileSafely(const QString& source, const QString& destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destination);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.flush()) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    QFile::setPermissions(destination, in.permissions() | QFileDevice::WriteOwner);
    return true;
}

} // namespace zedora
