#include "exchange/zip_import.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "data/table_in_use.h"
#include "dbase/raw_file.h"
#include "exchange/zip_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>
#include <utility>
#include <vector>

namespace zedora {

namespace {

const quint64 kMaxLogSize = 1 << 20;

QString arg(const char* text, const QString& a) { return QString::fromUtf8(text).arg(a); }
QString arg(const char* text, const QString& a, const QString& b) { return QString::fromUtf8(text).arg(a, b); }

QString folderOf(const QString& line)
{
    const int at = std::max(line.lastIndexOf(QLatin1Char('\\')), line.lastIndexOf(QLatin1Char('/')));
    return at < 0 ? QString() : line.left(at);
}

bool isAbbreviationLine(const QString& line)
{
    const QString u = upperAscii(line);
    return u.left(7) == QLatin1String("KUERZEL") || u == QLatin1String("ABSCHL.TXT") || u.endsWith(QLatin1String(".NKD"));
}

// Only what an export writes: student files in a data directory, files in
// DEFINI, layout files, the abbreviation files and ZEDORA.INI. Anything else
// (passwords, this computer's settings, the register lists) is never taken
// from another computer.
bool belongsToExport(const QString& line)
{
    const QString u = upperAscii(toSlashes(line));
    if (!u.contains(QLatin1Char('/')))
        return isAbbreviationLine(line) || u == QLatin1String("ZEDORA.INI");
    return u.startsWith(QLatin1String("ZE-")) || u.startsWith(QLatin1String("DEFINI/")) || u.contains(QLatin1String("LAYOUT/"));
}

// Removes the folders made for an import that did not finish, deepest first.
void removeMadeFolders(const QStringList& made)
{
    for (auto it = made.crbegin(); it != made.crend(); ++it)
        QDir().rmdir(*it);
}

// Creates folder and its missing parents, remembering each one made.
bool makeFolder(const QString& folder, QStringList& made)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makeFolder(parent, made))
        return false;
    if (!QDir().mkdir(folder))
        return QFileInfo(folder).isDir();
    made << folder;
    return true;
}

QString companionIn(const QString& dbf, const char* ext)
{
    return QString::fromStdString(dbase::companionPath(QFileInfo(dbf).absoluteFilePath().toStdString(), ext));
}

// What was imported before a move stopped, for the message.
QString placedSoFar(const QStringList& placed)
{
    if (placed.isEmpty())
        return QStringLiteral("\nEs wurde nichts importiert.");
    return QStringLiteral("\nBereits importiert (vollständig):\n") + placed.join(QLatin1Char('\n'));
}

} // namespace

QString unsafePathReason(const QString& path)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("leerer Name");
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("Steuerzeichen im Namen");
    }
    if (path.startsWith(QLatin1String("\\\\")) || path.startsWith(QLatin1String("//")))
        return QStringLiteral("Netzwerkpfad");
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(path).hasMatch())
        return QStringLiteral("Laufwerksangabe");
    if (path.contains(QLatin1Char(':')))
        return QStringLiteral("unzulässiges Zeichen \":\"");
    if (path.startsWith(QLatin1Char('\\')) || path.startsWith(QLatin1Char('/')))
        return QStringLiteral("absoluter Pfad");
    const QStringList parts = toSlashes(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList above;
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        if (part == QLatin1String(".."))
            return QStringLiteral("der Pfad führt aus dem Arbeitsverzeichnis heraus");
        for (const QString& a : above) {
            if (a != part && a.compare(part, Qt::CaseInsensitive) == 0)
                return QStringLiteral("\"") + part
                     + QStringLiteral("\" unterscheidet sich nur in der Schreibweise von einem übergeordneten Ordner");
        }
        above << part;
    }
    return {};
}

ZipImport::ZipImport(QString workspace, bool administrator, Interaction& ui, TNeueDateien* createdFiles)
    : workspace_(QDir::cleanPath(toSlashes(workspace))), administrator_(administrator), ui_(ui),
      createdFiles_(createdFiles)
{
}

bool ZipImport::refuse(const QString& text)
{
    ui_.error(QString::fromUtf8(import_texts::kRefused) + text);
    return false;
}

ZipImportResult ZipImport::run(const QString& startFolder)
{
    if (ui_.ask(QString::fromUtf8(import_texts::kConfirm), Buttons::YesNoCancel) != Answer::Yes)
        return {};
    const auto chosen = ui_.openFile(QString::fromUtf8(import_texts::kOpenTitle),
                                     QString::fromUtf8(import_texts::kFilter), startFolder, QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return {};
    return importZip(*chosen);
}

struct ZipImport::Planned {
    QString source;  // in zipimport
    QString target;  // in the workspace
    QString scratch; // beside target while preparing
    bool existed = false;
};

namespace {

bool tableSuffix(const QString& path)
{
    const QString ext = upperAscii(QFileInfo(path).suffix());
    return ext == QLatin1String("DBF") || ext == QLatin1String("DBT") || ext == QLatin1String("MDX")
        || ext == QLatin1String("INI");
}

} // namespace

struct ZipImport::TableGroup {
    QString dbf;
    std::vector<const Planned*> parts;
};

// Splits the plan into tables (every file of a .DBF's name goes with it)
// and the other files.
void ZipImport::groupTables(const std::vector<Planned>& plan, std::vector<TableGroup>& tables,
                            std::vector<const Planned*>& plain)
{
    QHash<QString, size_t> byStem;
    for (const Planned& p : plan) {
        if (upperAscii(QFileInfo(p.target).suffix()) != QLatin1String("DBF"))
            continue;
        const QFileInfo fi(p.target);
        byStem.insert(upperAscii(fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName()), tables.size());
        tables.push_back({p.target, {}});
    }
    for (const Planned& p : plan) {
        const QFileInfo fi(p.target);
        const auto at = byStem.constFind(upperAscii(fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName()));
        if (tableSuffix(p.target) && at != byStem.constEnd())
            tables[*at].parts.push_back(&p);
        else
            plain.push_back(&p);
    }
}

ZipImportResult ZipImport::importZip(const QString& zipPath)
{
    ZipImportResult result;
    result.zipFolder = QFileInfo(zipPath).absolutePath();

    // 1. Everything about the zip is checked before the workspace is touched.
    ZipReader zip;
    if (!zip.open(zipPath)) {
        refuse(QString::fromUtf8(import_texts::kUnreadable));
        return result;
    }
    if (int(zip.entries().size()) > limits_.maxEntries) {
        refuse(arg(import_texts::kTooMany, QString::number(zip.entries().size())));
        return result;
    }
    QHash<QString, int> byName; // bare upper-case name -> entry
    quint64 total = 0;
    int logIndex = -1;
    for (const ZipEntryInfo& e : zip.entries()) {
        const QString reason = unsafePathReason(e.name);
        if (!reason.isEmpty()) {
            refuse(arg(import_texts::kBadName, e.name, reason));
            return result;
        }
        if (e.symlink) {
            refuse(arg(import_texts::kSymlink, e.name));
            return result;
        }
        if (e.directory)
            continue;
        if (e.encrypted) {
            refuse(arg(import_texts::kEncrypted, e.name));
            return result;
        }
        const QString bare = lastComponent(e.name).trimmed();
        if (e.size > limits_.maxEntrySize) {
            refuse(arg(import_texts::kTooLarge, bare, QString::number(e.size)));
            return result;
        }
        if (e.size >= limits_.ratioFrom
            && (e.compressedSize == 0 || e.size / e.compressedSize > limits_.maxRatio)) {
            refuse(arg(import_texts::kRatio, bare,
                       QString::number(e.compressedSize ? e.size / e.compressedSize : e.size)));
            return result;
        }
        total += e.size;
        if (total > limits_.maxTotalSize) {
            refuse(arg(import_texts::kTotal, QString::number(total)));
            return result;
        }
        const QString key = upperAscii(bare);
        if (byName.contains(key)) {
            refuse(arg(import_texts::kDuplicate, bare));
            return result;
        }
        byName.insert(key, e.index);
        if (key == QLatin1String("EXPORT.LOG"))
            logIndex = e.index;
    }
    if (logIndex < 0) {
        ui_.refusal(QString::fromUtf8(import_texts::kNoLog));
        return result;
    }
    const auto logBytes = zip.read(logIndex, kMaxLogSize);
    if (!logBytes) {
        refuse(QString::fromUtf8(import_texts::kUnreadable));
        return result;
    }
    QStringList lines;
    QSet<QString> seenLines;
    for (QString line : fromAnsi(*logBytes).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.size() > limits_.maxLineLength) {
            refuse(arg(import_texts::kBadLine, line.left(60) + QStringLiteral("..."), QStringLiteral("zu lang")));
            return result;
        }
        const QString reason = unsafePathReason(line);
        if (!reason.isEmpty()) {
            refuse(arg(import_texts::kBadLine, line, reason));
            return result;
        }
        if (!belongsToExport(line)) {
            refuse(arg(import_texts::kBadLine, line,
                       QStringLiteral("sie gehört zu keiner Dateigruppe einer Zedora-Exportdatei")));
            return result;
        }
        const QString key = upperAscii(toSlashes(line));
        if (seenLines.contains(key)) {
            refuse(arg(import_texts::kBadLine, line, QStringLiteral("sie kommt mehrfach vor")));
            return result;
        }
        seenLines.insert(key);
        if (!byName.contains(upperAscii(lastComponent(line).trimmed()))) {
            refuse(arg(import_texts::kMissing, line));
            return result;
        }
        lines << line;
    }

    // 2. Unpack into the workspace's scratch folder.
    const QString unpackDir = resolveIn(workspace_, QStringLiteral("zipimport"));
    QDir().mkpath(unpackDir);
    for (const QString& f : QDir(unpackDir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(QDir(unpackDir).filePath(f));
    QHash<QString, QString> unpacked; // bare upper-case name -> file in zipimport
    for (const ZipEntryInfo& e : zip.entries()) {
        if (e.directory)
            continue;
        const QString bare = lastComponent(e.name).trimmed();
        const QString dest = QDir(unpackDir).filePath(bare);
        if (!zip.extract(e.index, dest)) {
            for (const QString& f : unpacked)
                QFile::remove(f);
            refuse(arg(import_texts::kUnpackFailed, bare));
            return result;
        }
        unpacked.insert(upperAscii(bare), dest);
    }

    // 3. The questions, and where each file goes.
    std::vector<Planned> plan;
    QStringList made;
    enum class Decision { Open, Yes, No };
    Decision abbreviations = Decision::Open, layouts = Decision::Open;
    QString studentFile, layout, dataDirectory;
    bool abbreviationsCopied = false, settingsCopied = false;
    auto decideOnce = [&](Decision& d, const char* refused, const char* question) {
        if (d == Decision::Open) {
            if (!administrator_) {
                ui_.info(QString::fromUtf8(refused));
                d = Decision::No;
            } else {
                d = ui_.ask(QString::fromUtf8(question), Buttons::YesNo) == Answer::Yes ? Decision::Yes : Decision::No;
            }
        }
        return d == Decision::Yes;
    };
    auto fail = [&](const QString& name) {
        for (const Planned& p : plan)
            QFile::remove(p.scratch);
        removeMadeFolders(made);
        refuse(arg(import_texts::kCopyFailed, name));
    };

    for (const QString& line : lines) {
        const QString upper = upperAscii(line);
        const QString source = unpacked.value(upperAscii(lastComponent(line).trimmed()));
        QString target = resolveIn(workspace_, line);
        if (isAbbreviationLine(line)) {
            if (!decideOnce(abbreviations, import_texts::kAbbrevRefused, import_texts::kAbbrevAsk))
                continue;
            if (upper.left(7) == QLatin1String("KUERZEL"))
                abbreviationsCopied = true;
        } else if (upper == QLatin1String("ZEDORA.INI")) {
            if (!administrator_) {
                ui_.info(QString::fromUtf8(import_texts::kSettingsRefused));
                continue;
            }
            if (ui_.ask(QString::fromUtf8(import_texts::kSettingsAsk), Buttons::YesNo) != Answer::Yes)
                continue;
            settingsCopied = true;
        } else if (toSlashes(upper).contains(QLatin1String("LAYOUT/"))) {
            if (!decideOnce(layouts, import_texts::kLayoutRefused, import_texts::kLayoutAsk))
                continue;
            if (upper.endsWith(QLatin1String(".LAY")))
                layout = line;
            const QString folder = QFileInfo(target).path();
            if (!makeFolder(folder, made)) {
                ui_.warning(QStringLiteral("Layout-Unterverzeichnis \n\n") + folder + QStringLiteral("\n\n")
                            + QStringLiteral("konnte nicht angelegt werden!\n")
                            + QStringLiteral("Layout wird in Ordner ...\\LAYOUT kopiert!"));
                target = resolveIn(workspace_, QStringLiteral("LAYOUT/") + lastComponent(line).trimmed());
            }
        }
        if (upper.left(3) == QLatin1String("ZE-")) {
            dataDirectory = folderOf(line);
            if (upper.contains(QLatin1String(".DBF")))
                studentFile = line;
        }
        if (!makeFolder(QFileInfo(target).path(), made)) {
            fail(line);
            return result;
        }
        Planned p;
        p.source = source;
        p.target = target;
        p.scratch = QFileInfo(target).path() + QStringLiteral("/.") + QFileInfo(target).fileName()
                  + QStringLiteral(".zipimport");
        p.existed = QFileInfo::exists(target);
        QFile::remove(p.scratch);
        plan.push_back(p);
        if (QFileInfo(target).isDir() || !QFile::copy(source, p.scratch)) {
            fail(line);
            return result;
        }
    }

    if (replaceCheck_) {
        QStringList replaced;
        for (const Planned& p : plan) {
            if (p.existed)
                replaced << p.target;
        }
        if (!replaceCheck_(replaced)) {
            for (const Planned& p : plan)
                QFile::remove(p.scratch);
            removeMadeFolders(made);
            return result;
        }
    }

    // 4. Everything is prepared. A table (.DBF with .DBT, .MDX and its .INI)
    // moves as one through the table journal, so a kill at any moment
    // leaves the old or the new table whole; nothing moves while another
    // computer has one of the tables open.
    std::vector<TableGroup> tables;
    std::vector<const Planned*> plain;
    groupTables(plan, tables, plain);
    for (const TableGroup& t : tables) {
        if (tableInUse(t.dbf)) {
            for (const Planned& p : plan)
                QFile::remove(p.scratch);
            removeMadeFolders(made);
            refuse(inUseMessage(t.dbf, QStringLiteral("ersetzt")) + QStringLiteral("Es wurde nichts importiert."));
            return result;
        }
    }
    const auto stopHalfWay = [&](const QString& target, const QString& why) {
        // Parts a table journal still names are left for whoever finishes it.
        const bool pending = QFileInfo::exists(journalPathOf(target));
        for (const Planned& p : plan)
            if (!pending)
                QFile::remove(p.scratch);
        refuse(why);
    };
    QStringList placed;
    for (const TableGroup& t : tables) {
        std::vector<MovePart> parts;
        for (const Planned* p : t.parts)
            parts.push_back({QLatin1Char('.') + upperAscii(QFileInfo(p->target).suffix()), p->scratch});
        const bool hadIndex = pathExists(companionIn(t.dbf, ".MDX"));
        const ReplaceOutcome outcome = replaceTable(t.dbf, parts, moveHook_);
        if (outcome != ReplaceOutcome::Done) {
            stopHalfWay(t.dbf, (outcome == ReplaceOutcome::InUse ? inUseMessage(t.dbf, QStringLiteral("ersetzt")).trimmed()
                                                                 : arg(import_texts::kPlaceFailed, t.dbf))
                                   + placedSoFar(placed));
            return result;
        }
        if (hadIndex && createdFiles_)
            createdFiles_->unregisterFile(companionIn(t.dbf, ".MDX"));
        for (const Planned* p : t.parts)
            placed << p->target;
    }
    for (const Planned* p : plain) {
        if (std::rename(QFile::encodeName(p->scratch).constData(), QFile::encodeName(p->target).constData()) != 0) {
            stopHalfWay(p->target, arg(import_texts::kPlaceFailed, p->target) + placedSoFar(placed));
            return result;
        }
        placed << p->target;
    }
    for (const Planned& p : plan)
        result.copied << p.target;
    if (createdFiles_) {
        for (const QString& dir : made)
            createdFiles_->registerDirectory(dir);
        for (const Planned& p : plan) {
            if (!p.existed)
                createdFiles_->registerFile(p.target);
        }
    }

    result.imported = true;
    result.studentFile = studentFile.left(180);
    result.layout = layout.left(180);
    result.dataDirectory = dataDirectory.left(180);
    result.abbreviationsImported = abbreviationsCopied;
    result.settingsImported = settingsCopied;
    return result;
}

} // namespace zedora
