#include "data/student_files.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"
#include "base/workspace_files.h"
#include "data/student_identity.h"
#include "data/student_schema.h"
#include "data/student_file_access.h"
#include "data/table_in_use.h"
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

QString companion(const QString& dbfPath, const char* ext, bool* exists = nullptr)
{
    return QString::fromStdString(dbase::companionPath(native(dbfPath), ext, exists));
}

// path without extension, the file name upper-cased as the program names
// its student files; the folder keeps its spelling.
QString upperBase(const QString& path)
{
    const QFileInfo fi(resolvePath(path.trimmed()));
    QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return joinPath(fi.path(), upperAscii(name));
}

void removeQuietly(const QString& path)
{
    QFile::remove(path);
}

void copyRecord(const dbase::Table& from, dbase::Table& to)
{
    const int n = std::min(from.fieldCount(), to.fieldCount());
    for (int i = 0; i < n; ++i) {
        const bool fromMemo = from.field(i).type == 'M';
        const std::string value = fromMemo ? from.memo(i) : from.text(i);
        if (to.field(i).type == 'M')
            to.setMemo(i, value);
        else
            to.setText(i, value);
    }
}

} // namespace

bool hasStudentFileFields(const std::vector<std::string>& names)
{
    // An older file has at least the master data that every version had.
    constexpr size_t kOldestFieldCount = 13;
    if (names.size() < kOldestFieldCount)
        return false;
    for (size_t i = 0; i < names.size() && i < kStoredFields.size(); ++i) {
        if (names[i] != kStoredFields[i].name)
            return false;
    }
    return true;
}

QString scratchPrefix(const StudentFileContext& context)
{
    QDir().mkpath(resolveIn(context.workspace, QStringLiteral("TMP")));
    return resolveIn(context.workspace, QStringLiteral("TMP")) + QLatin1Char('/')
         + upperAscii(context.computerName.left(36)) + QLatin1Char('-');
}

bool buildIndexes(const QString& dbfPath, IndexKind kind, WorkspaceFiles& files)
{
    try {
        const QString dbf = resolvePath(dbfPath);
        // Held alone before anything changes; the new index replaces the
        // old one only once it is complete.
        auto table = dbase::Table::open(native(dbf), dbase::OpenMode::ExclusiveWithoutIndex);
        table->rebuildIndex(kind == IndexKind::StudentFile ? studentIndexTagSpecs()
                                                           : textBlockIndexTagSpecs());
        table.reset();
        files.createdFiles().registerFile(companion(dbf, ".MDX"));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool createEmptyStudentFile(const QString& path, const StudentFileContext& ctx)
{
    return createStudentFile(path, ctx, {});
}

bool createStudentFile(const QString& path, const StudentFileContext& ctx, const StudentFileFill& fill)
{
    TNeueDateien& reg = ctx.files.createdFiles();
    reg.beginDefer();
    const QString base = upperBase(path);
    const QString dbf = base + QStringLiteral(".DBF");
    for (const char* stale : {"MUSTER.DBF", "MUSTER.DBT", "MUSTER.MDX"})
        ctx.files.deleteFile(joinPath(ctx.workspace, QLatin1String(stale)));

    const bool exists = pathExists(dbf);
    // Replacing a file another computer works in would lose its work.
    if (exists && tableInUse(dbf)) {
        ctx.ui.error(inUseMessage(dbf, QStringLiteral("überschrieben")));
        reg.endDefer();
        return false;
    }
    if (exists) {
        ctx.ui.beep();
        const Answer a = ctx.ui.ask(
            QStringLiteral("Es existiert bereits eine Datei mit demselben Namen.\nSoll sie überschrieben werden?\n"
                           "ACHTUNG: Die Daten werden unwiderruflich gelöscht!\n"),
            Buttons::YesNoCancel);
        if (a != Answer::Yes) {
            reg.endDefer();
            return false;
        }
    }

    // The new file is made complete, index included, in this computer's
    // scratch folder (two computers creating files at once do not share one
    // staging file) and then replaces the old one as a whole.
    const QString staging = scratchPrefix(ctx) + QStringLiteral("NEU");
    const auto clearStaging = [&] {
        for (const char* ext : {".DBF", ".DBT", ".MDX"})
            removeQuietly(staging + QLatin1String(ext));
    };
    clearStaging();
    bool ok = false;
    bool inUse = false;
    try {
        const QString stagingDbf = staging + QStringLiteral(".DBF");
        ok = copyFileSafely(resolveIn(ctx.workspace, QStringLiteral("MUSTER\\MUSTER.MS1")), stagingDbf)
          && copyFileSafely(resolveIn(ctx.workspace, QStringLiteral("MUSTER\\MUSTER.MS3")),
                            staging + QStringLiteral(".DBT"));
        if (ok) {
            {
                auto table = dbase::Table::open(native(stagingDbf), dbase::OpenMode::ExclusiveWithoutIndex);
                table->rebuildIndex(studentIndexTagSpecs());
            }
            if (fill) {
                try {
                    fill(stagingDbf);
                } catch (const std::exception& e) {
                    clearStaging();
                    ctx.ui.error(QStringLiteral("Die Datei ") + dbf + QStringLiteral(" wurde nicht vollständig gefüllt:\n")
                                 + QString::fromUtf8(e.what()) + QStringLiteral("\nEine vorhandene Datei bleibt unverändert."));
                    reg.endDefer();
                    return false;
                }
            }
            const ReplaceOutcome outcome = replaceTable(dbf, stagedTableFor(dbf, stagingDbf));
            inUse = outcome == ReplaceOutcome::InUse;
            ok = outcome == ReplaceOutcome::Done;
            if (ok) {
                reg.registerFile(resolvePath(dbf));
                reg.registerFile(companion(dbf, ".DBT"));
                reg.registerFile(companion(dbf, ".MDX"));
            }
        }
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        // Parts a journal still names are left for whoever finishes it.
        if (!QFileInfo::exists(journalPathOf(dbf)))
            clearStaging();
        if (inUse)
            ctx.ui.error(inUseMessage(dbf, QStringLiteral("überschrieben")));
        else
            ctx.ui.error(QStringLiteral("Neuanlegen nicht fehlerfrei gelungen!\n\nIst das Programm BDE ordnungsgemäß installiert?\n")
                         + QStringLiteral("\n"));
    }
    reg.endDefer();
    return ok;
}

bool finishInterruptedReorganisation(const QString& dbfPath)
{
    return finishPendingMove(resolvePath(dbfPath)) != PendingMove::None;
}

bool reorganiseStudentFile(const QString& path, const StudentFileContext& ctx,
                           const ReorganisationHook& hook)
{
    const QString dbf = resolvePath(path);
    finishInterruptedReorganisation(dbf);
    const QString prefix = scratchPrefix(ctx);
    const QStringList scratch = {QStringLiteral("TMP.DBF"), QStringLiteral("TMP.MDX"),
                                 QStringLiteral("TMP.DBT"), QStringLiteral("ALT.DBF"),
                                 QStringLiteral("ALT.MDX"), QStringLiteral("ALT.DBT")};
    const auto clearScratch = [&] {
        for (const QString& s : scratch)
            removeQuietly(prefix + s);
    };
    clearScratch();
    const auto step = [&](ReorganisationStep s) {
        if (hook)
            hook(s);
    };

    BusyScope busy(ctx.ui);
    if (!QFileInfo(dbf).isFile())
        return false;
    const QString tmp = prefix + QStringLiteral("TMP.DBF");
    // Old and new table stay held exclusively until the new files are in
    // place: a computer opening the file in between would edit one that is
    // then replaced, or pair the old table with the new memos.
    std::unique_ptr<dbase::Table> heldOld, heldNew;
    try {
        if (!QFileInfo(dbf).isFile())
            throw dbase::DbfError("missing");
        if (!createEmptyStudentFile(tmp, ctx))
            throw dbase::DbfError("no template");
        {
            // The old file is only read: should anything go wrong, it stays
            // as it was.
            auto oldTable = dbase::Table::open(native(dbf), dbase::OpenMode::ExclusiveWithoutIndex);
            std::vector<std::string> names;
            for (int i = 0; i < oldTable->fieldCount(); ++i)
                names.push_back(oldTable->field(i).name);
            // Copying another kind of table by position would garble it.
            if (!hasStudentFileFields(names))
                throw dbase::DbfError("no student file");
            auto newTable = dbase::Table::open(native(tmp), dbase::OpenMode::Exclusive);
            const int geborenOld = oldTable->findField("GEBOREN");
            const int nameOld = oldTable->findField("NAME");
            const int vornameOld = oldTable->findField("VORNAME");
            const int idNew = newTable->fieldIndex("ID");
            const int geborenNew = newTable->fieldIndex("GEBOREN");
            ReorganisationIdentities identities(dbf, ctx.ui);
            const auto text = [&](int field) {
                return field < 0 ? QString() : fromAnsi(oldTable->text(field));
            };
            ProgressScope progress(ctx.ui, QStringLiteral("Reorganisation ") + QFileInfo(dbf).fileName(),
                                   int(oldTable->recordCount()));
            int copied = 0;
            for (oldTable->first(); !oldTable->eof() && !oldTable->isEmpty(); oldTable->next()) {
                if (++copied % 50 == 0)
                    progress.step(copied);
                const QString geboren = text(geborenOld);
                const IdentityUpdate id = identities.next(geboren, text(nameOld), text(vornameOld));
                newTable->append();
                copyRecord(*oldTable, *newTable);
                newTable->setText(idNew, toAnsiStd(id.id));
                newTable->setText(geborenNew, toAnsiStd(id.geboren.left(10)));
                newTable->post();
            }
            newTable->flush();
            heldOld = std::move(oldTable);
            heldNew = std::move(newTable);
        }
        // The index must carry the name the file will have.
        const QString stem = QFileInfo(dbf).completeBaseName();
        dbase::MdxIndex::renameTable(native(companion(tmp, ".MDX")), stem.toStdString());
    } catch (const std::exception&) {
        clearScratch();
        return false;
    }
    step(ReorganisationStep::NewFileBuilt);

    // Memos first and the index last, so the hook's steps name the parts.
    const ReorganisationStep done[] = {ReorganisationStep::MemosReplaced, ReorganisationStep::TableReplaced,
                                       ReorganisationStep::IndexReplaced};
    std::vector<MovePart> parts;
    std::vector<ReorganisationStep> steps;
    int i = 0;
    for (const char* ext : {".DBT", ".DBF", ".MDX"}) {
        const QString source = companion(tmp, ext);
        if (QFileInfo::exists(source)) {
            parts.push_back({QString::fromLatin1(ext), source});
            steps.push_back(done[i]);
        }
        ++i;
    }
    bool ok = moveTableIntoPlace(dbf, parts, [&](int moved) {
        step(moved == 0 ? ReorganisationStep::JournalWritten : steps[size_t(moved - 1)]);
    });
    heldNew.reset();
    heldOld.reset();
    if (!ok)
        ok = finishPendingMove(dbf) == PendingMove::Finished;
    ctx.files.createdFiles().registerFile(companion(dbf, ".MDX"));
    // Parts a journal still names are left for whoever finishes it.
    if (ok || !QFileInfo::exists(journalPathOf(dbf)))
        clearScratch();
    return ok;
}

} // namespace zedora
