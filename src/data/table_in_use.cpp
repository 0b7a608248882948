#include "data/table_in_use.h"

#include "base/path_resolver.h"
#include "data/student_files.h"
#include "dbase/raw_file.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zedora {
namespace {

std::string native(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toStdString();
}

} // namespace

bool tableInUse(const QString& dbfPath)
{
    const QString path = resolvePath(dbfPath);
    if (!QFileInfo(path).isFile())
        return false;
    return dbase::Table::inUse(native(path));
}

TableUse tableUse(const QString& dbfPath)
{
    const QString path = resolvePath(dbfPath);
    if (!QFileInfo(path).isFile())
        return TableUse::Missing;
    try {
        auto table = dbase::Table::open(native(path), dbase::OpenMode::ExclusiveWithoutIndex);
        std::vector<std::string> names;
        for (int i = 0; i < table->fieldCount(); ++i)
            names.push_back(table->field(i).name);
        return hasStudentFileFields(names) ? TableUse::Free : TableUse::Unreadable;
    } catch (const std::exception&) {
    }
    return tableInUse(path) ? TableUse::InUse : TableUse::Unreadable;
}

void deleteIndexesOfFreeTables(const QString& dir)
{
    const QString d = resolvePath(dir);
    if (!QFileInfo(d).isDir())
        return;
    const QStringList indexes =
        QDir(d).entryList({QStringLiteral("*.mdx")}, QDir::Files | QDir::Hidden | QDir::System,
                          QDir::Name | QDir::IgnoreCase);
    for (const QString& name : indexes) {
        const QString mdx = QDir(d).filePath(name);
        bool hasTable = false;
        const QString dbf = QString::fromStdString(dbase::companionPath(native(mdx), ".DBF", &hasTable));
        if (hasTable && tableInUse(dbf))
            continue;
        QFile f(mdx);
        f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
        f.remove();
    }
}

} // namespace zedora
