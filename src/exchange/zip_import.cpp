#include "exchange/zip_import.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
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

    // 4. Everything is prepared: move into place. Replaced files are kept
    // aside until all are in, so a failure half-way puts the old ones back.
    auto renameFile = [](const QString& from, const QString& to) {
        return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    };
    std::vector<const Planned*> placed;
    std::vector<std::pair<QString, QString>> keptAside; // original, aside
    bool ok = true;
    QString failedTarget;
    for (const Planned& p : plan) {
        if (QFileInfo::exists(p.target)) {
            const QString aside = p.scratch + QStringLiteral("-old");
            QFile::remove(aside);
            if (!renameFile(p.target, aside)) {
                ok = false;
                failedTarget = p.target;
                break;
            }
            keptAside.emplace_back(p.target, aside);
        }
        if (!renameFile(p.scratch, p.target)) {
            ok = false;
            failedTarget = p.target;
            break;
        }
        placed.push_back(&p);
    }
    if (!ok) {
        for (const Planned* p : placed)
            QFile::remove(p->target);
        for (auto it = keptAside.crbegin(); it != keptAside.crend(); ++it)
            renameFile(it->second, it->first);
        for (const Planned& p : plan)
            QFile::remove(p.scratch);
        removeMadeFolders(made);
        refuse(arg(import_texts::kCopyFailed, failedTarget));
        return result;
    }
    for (const auto& kept : keptAside)
        QFile::remove(kept.second);
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

    // Imported student files are indexed again when opened.
    const QDir indexDir(resolveIn(workspace_, dataDirectory));
    for (const QString& f : indexDir.entryList(QDir::Files)) {
        if (f.endsWith(QLatin1String(".mdx"), Qt::CaseInsensitive)) {
            QFile::remove(indexDir.filePath(f));
            if (createdFiles_)
                createdFiles_->unregisterFile(indexDir.filePath(f));
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
