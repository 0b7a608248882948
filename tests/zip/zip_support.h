#pragma once
// Two-workspace fixtures for the zip exchange: a workspace with class files,
// text blocks, a layout, abbreviation and settings files; zip files made by
// hand (also hostile ones); a listing with hashes to prove nothing changed.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "support/temp_dir.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <map>
#include <sys/stat.h>
#include <vector>
#include <zip.h>

namespace zedora::test {

inline QString shareFile(const QString& name)
{
    return QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/") + name;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ZipWorkspace {
public:
    ZipWorkspace()
        : root(QString::fromStdString(dir.path().string()) + QLatin1Char('/')),
          reg(root + QStringLiteral("angelegteDateien.txt"), root + QStringLiteral("angelegteVerzeichnisse.txt"))
    {
        reg.endDefer();
        for (const char* d : {"ZE-2021-1", "DEFINI", "LAYOUT", "MUSTER", "TMP"})
            QDir().mkpath(root + QString::fromLatin1(d));
    }

    // A class file from the demo template (with its memo file).
    QString addClass(const QString& name, const QString& folder = QStringLiteral("ZE-2021-1"))
    {
        const QString base = root + folder + QLatin1Char('/') + name;
        QDir().mkpath(root + folder);
        QFile::copy(shareFile(QStringLiteral("demo.dbf")), base + QStringLiteral(".DBF"));
        QFile::copy(shareFile(QStringLiteral("demo.dbt")), base + QStringLiteral(".DBT"));
        QFile::setPermissions(base + QStringLiteral(".DBF"), QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(base + QStringLiteral(".DBT"), QFile::ReadOwner | QFile::WriteOwner);
        return base + QStringLiteral(".DBF");
    }

    // Everything an administrator's backup would take along.
    void addProgramFiles()
    {
        QFile::copy(shareFile(QStringLiteral("#demo.dbf")), root + QStringLiteral("DEFINI/#DEMO.DBF"));
        QFile::copy(shareFile(QStringLiteral("DEMOLAY.MST")), root + QStringLiteral("LAYOUT/DEMO.LAY"));
        QFile::copy(shareFile(QStringLiteral("RASTER1.WMF")), root + QStringLiteral("LAYOUT/RASTER1.WMF"));
        QFile::copy(shareFile(QStringLiteral("KUERZEL.MST")), root + QStringLiteral("KUERZEL.TXT"));
        QFile::copy(shareFile(QStringLiteral("ABSCHL.MST")), root + QStringLiteral("ABSCHL.TXT"));
        writeFile(root + QStringLiteral("OBERSTUFE.NKD"), "1+ sehr gut\r\n");
        writeFile(root + QStringLiteral("ZEDORA.INI"), "[Allgemein]\r\nSchule=Testschule\r\n");
        for (const QString& f : QDir(root).entryList(QDir::Files) + QStringList{})
            QFile::setPermissions(root + f, QFile::ReadOwner | QFile::WriteOwner);
    }

    // Every file and folder under the root with a hash of its content.
    std::map<QString, QByteArray> listing() const
    {
        std::map<QString, QByteArray> out;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            const QFileInfo fi(p);
            out[p.mid(root.size())] = fi.isDir() ? QByteArray("<dir>")
                                                 : QCryptographicHash::hash(readFile(p), QCryptographicHash::Sha256);
        }
        return out;
    }

    TempDir dir;
    QString root;
    TNeueDateien reg;
    ScriptedInteraction ui;
};

struct Entry {
    QByteArray name;
    QByteArray data;
    bool symlink = false;
};

// A zip written with libzip exactly as given, names and all.
inline bool makeZip(const QString& path, const std::vector<Entry>& entries)
{
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!za)
        return false;
    for (const Entry& e : entries) {
        zip_source_t* src = zip_source_buffer(za, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t index = zip_file_add(za, e.name.constData(), src, ZIP_FL_ENC_RAW);
        if (index < 0) {
            zip_source_free(src);
            zip_discard(za);
            return false;
        }
        if (e.symlink)
            zip_file_set_external_attributes(za, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
    }
    return zip_close(za) == 0;
}

// The names inside a zip, in stored order.
inline QStringList zipNames(const QString& path)
{
    QStringList names;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!za)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i)
        names << QString::fromUtf8(zip_get_name(za, zip_uint64_t(i), 0));
    zip_discard(za);
    return names;
}

} // namespace zedora::test
