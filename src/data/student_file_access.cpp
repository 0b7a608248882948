#include "data/student_file_access.h"

#include "base/path_resolver.h"
#include "base/created_files_register.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "dbase/table.h"

#include <QFileInfo>

#include <algorithm>

namespace zedora {
namespace {

std::string native(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toStdString();
}

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

bool isTextBlockTable(const std::vector<std::string>& names)
{
    return std::find(names.begin(), names.end(), "ID") != names.end()
        && std::find(names.begin(), names.end(), "INHALT") != names.end();
}

// Rebuilds the index of a table whose index is missing or damaged, when
// nobody else has it open and this computer may write it. Only the kinds
// of table whose tags the program knows.
bool rebuildIndexOf(const QString& dbf)
{
    try {
        auto table = dbase::Table::open(native(dbf), dbase::OpenMode::ExclusiveWithoutIndex);
        std::vector<std::string> names;
        for (int i = 0; i < table->fieldCount(); ++i)
            names.push_back(table->field(i).name);
        if (hasStudentFileFields(names))
            table->rebuildIndex(studentIndexTagSpecs());
        else if (isTextBlockTable(names))
            table->rebuildIndex(textBlockIndexTagSpecs());
        else
            return false;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString existingTable(const QString& path)
{
    const QString dbf = resolvePath(path.trimmed());
    if (!QFileInfo(dbf).isFile())
        throw dbase::DbfError(("Die Datei " + nameOf(path) + " ist nicht vorhanden.").toStdString());
    const PendingMove pending = finishPendingMove(dbf);
    if (pending == PendingMove::Busy)
        throw dbase::HeldElsewhere(pendingMoveMessage(dbf, pending).trimmed().toStdString());
    if (pending == PendingMove::Failed)
        throw dbase::DbfError(pendingMoveMessage(dbf, pending).trimmed().toStdString());
    return dbf;
}

// The table held alone for a replacement or deletion; null when it cannot be
// read as a table at all (nothing to keep then) and nobody holds it.
std::unique_ptr<dbase::Table> holdAlone(const QString& dbf, bool* inUse)
{
    *inUse = false;
    if (!QFileInfo(dbf).isFile())
        return nullptr;
    const PendingMove pending = finishPendingMove(dbf);
    if (pending == PendingMove::Busy) {
        *inUse = true;
        return nullptr;
    }
    try {
        return dbase::Table::open(native(dbf), dbase::OpenMode::ExclusiveWithoutIndex);
    } catch (const dbase::HeldElsewhere&) {
        *inUse = true;
    } catch (const std::exception&) {
        *inUse = dbase::Table::inUse(native(dbf));
    }
    return nullptr;
}

} // namespace

OpenedTable openToRead(const QString& path)
{
    const QString dbf = existingTable(path);
    try {
        return {dbase::Table::open(native(dbf), dbase::OpenMode::Shared), false};
    } catch (const dbase::IndexDamaged&) {
    }
    if (rebuildIndexOf(dbf)) {
        try {
            return {dbase::Table::open(native(dbf), dbase::OpenMode::Shared), false};
        } catch (const dbase::IndexDamaged&) {
        }
    }
    return {dbase::Table::open(native(dbf), dbase::OpenMode::SharedWithoutIndex), true};
}

std::unique_ptr<dbase::Table> openToEdit(const QString& path)
{
    const QString dbf = existingTable(path);
    try {
        return dbase::Table::open(native(dbf), dbase::OpenMode::Shared);
    } catch (const dbase::IndexDamaged&) {
        if (!rebuildIndexOf(dbf))
            throw;
    }
    return dbase::Table::open(native(dbf), dbase::OpenMode::Shared);
}

QString inUseMessage(const QString& path, const QString& action)
{
    return QStringLiteral("Die Datei ") + nameOf(path) + QStringLiteral(" wird an einem anderen Computer benutzt.\n")
         + QStringLiteral("Sie kann nicht ") + action + QStringLiteral(" werden!\n");
}

QString pendingMoveMessage(const QString& path, PendingMove state)
{
    if (state == PendingMove::Busy)
        return QStringLiteral("Die Datei ") + nameOf(path)
             + QStringLiteral(" wird gerade an einem anderen Computer ersetzt.\n")
             + QStringLiteral("Bitte versuchen Sie es gleich noch einmal.\n");
    return QStringLiteral("Die Datei ") + nameOf(path)
         + QStringLiteral(" wurde beim Ersetzen unterbrochen, und das Ersetzen lässt sich hier nicht abschließen.\n")
         + QStringLiteral("Sie wird erst wieder gelesen, wenn ein Computer mit Schreibrecht sie geöffnet hat.\n");
}

ReplaceOutcome replaceTable(const QString& target, const std::vector<MovePart>& parts, const MoveHook& hook)
{
    const QString dbf = resolvePath(target);
    bool inUse = false;
    std::unique_ptr<dbase::Table> held = holdAlone(dbf, &inUse);
    if (inUse)
        return ReplaceOutcome::InUse;
    std::vector<MovePart> all = parts;
    for (const char* ext : {".DBT", ".MDX"}) {
        const bool named = std::any_of(parts.begin(), parts.end(), [&](const MovePart& p) {
            return p.ext.compare(QLatin1String(ext), Qt::CaseInsensitive) == 0;
        });
        bool exists = false;
        dbase::companionPath(native(dbf), ext, &exists);
        if (!named && exists)
            all.push_back({QString::fromLatin1(ext), QString()});
    }
    const bool ok = moveTableIntoPlace(dbf, all, hook);
    held.reset();
    if (!ok && finishPendingMove(dbf) != PendingMove::Finished)
        return ReplaceOutcome::Failed;
    return ReplaceOutcome::Done;
}

std::vector<MovePart> stagedTableFor(const QString& target, const QString& stagingDbf)
{
    std::vector<MovePart> parts;
    for (const char* ext : {".DBF", ".DBT", ".MDX"}) {
        bool exists = false;
        const QString part = QString::fromStdString(dbase::companionPath(native(stagingDbf), ext, &exists));
        if (!exists)
            continue;
        // An index names its table; it must carry the name it will have.
        if (QLatin1String(ext) == QLatin1String(".MDX"))
            dbase::MdxIndex::renameTable(native(part), QFileInfo(target).completeBaseName().toStdString());
        parts.push_back({QString::fromLatin1(ext), part});
    }
    return parts;
}

ReplaceOutcome deleteTable(const QString& dbfPath, WorkspaceFiles& files)
{
    const QString dbf = resolvePath(dbfPath);
    bool inUse = false;
    std::unique_ptr<dbase::Table> held = holdAlone(dbf, &inUse);
    if (inUse)
        return ReplaceOutcome::InUse;
    TNeueDateien& reg = files.createdFiles();
    reg.beginDefer();
    files.deleteFile(dbf);
    for (const char* ext : {".DBT", ".MDX", ".INI", ".REO"}) {
        bool exists = false;
        const QString c = QString::fromStdString(dbase::companionPath(native(dbf), ext, &exists));
        if (exists)
            files.deleteFile(c);
    }
    reg.endDefer();
    held.reset();
    return QFileInfo::exists(dbf) ? ReplaceOutcome::Failed : ReplaceOutcome::Done;
}

} // namespace zedora
