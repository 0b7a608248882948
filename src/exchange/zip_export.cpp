#include "exchange/zip_export.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "base/safe_file.h"
#include "base/workspace_relative.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace zedora {

namespace {

QString existing(const QString& folder, const QString& name)
{
    const QString p = resolveIn(folder, name);
    return QFileInfo(p).isFile() ? p : QString();
}

QString withoutExtension(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace

QString exportDataDirectory(const QString& studentFile, const QString& workspace)
{
    QString folder = QFileInfo(toSlashes(studentFile)).path();
    QString searched = folder;
    if (!workspace.isEmpty()) {
        const QString ws = QDir::cleanPath(toSlashes(workspace)) + QLatin1Char('/');
        if (folder.startsWith(ws))
            searched = folder.mid(ws.size());
    }
    const int at = upperAscii(searched).indexOf(QLatin1String("ZE-"));
    if (at < 0)
        return folder.left(9).trimmed();
    return searched.mid(at, 9).trimmed();
}

ExportList buildExportList(const ExportSelection& s)
{
    ExportList list;
    const QString dir = exportDataDirectory(s.studentFile, s.workspace);
    const QString studentFolder = QFileInfo(resolvePath(s.studentFile)).path();
    auto add = [&](const QString& line, const QString& source) {
        list.lines << line;
        list.entries.push_back({lastComponent(line).trimmed(), source});
    };

    for (const QString& dbf : s.studentFiles) {
        const QString base = withoutExtension(dbf);
        const QString dbfPath = existing(studentFolder, dbf);
        if (dbfPath.isEmpty()) {
            list.problem = QStringLiteral("Die Schülerdatei ") + dbf + QStringLiteral(" wurde nicht gefunden!");
            return list;
        }
        // A move another process left half done would export a mixed pair.
        const PendingMove pending = finishPendingMove(dbfPath);
        if (pending == PendingMove::Busy || pending == PendingMove::Failed) {
            list.problem = pendingMoveMessage(dbfPath, pending).trimmed();
            return list;
        }
        add(dir + QLatin1Char('\\') + base + QStringLiteral(".DBF"), dbfPath);
        const QString dbt = existing(studentFolder, base + QStringLiteral(".DBT"));
        if (!dbt.isEmpty())
            add(dir + QLatin1Char('\\') + base + QStringLiteral(".DBT"), dbt);
        const QString ini = existing(studentFolder, base + QStringLiteral(".INI"));
        if (!ini.isEmpty())
            add(dir + QLatin1Char('\\') + base + QStringLiteral(".INI"), ini);
    }
    list.lines << QString();

    if (s.textBlocksShown) {
        const QString defini = resolveIn(s.workspace, QStringLiteral("DEFINI"));
        for (const QString& name : s.textBlockFiles) {
            const QString p = existing(defini, name);
            if (!p.isEmpty())
                add(QStringLiteral("DEFINI\\") + lastComponent(p), p);
        }
        list.lines << QString();
    }
    if (s.layoutsShown) {
        for (const QString& name : s.layoutFiles) {
            const QString p = existing(s.layoutFolder, name);
            if (!p.isEmpty())
                add(workspaceShortForm(p, RelativeKind::Layout, s.workspace).trimmed(), p);
        }
        list.lines << QString();
    }
    if (s.abbreviations) {
        for (const char* name : {"kuerzel.txt", "abschl.txt"}) {
            const QString p = existing(s.workspace, QString::fromLatin1(name));
            if (!p.isEmpty())
                add(QString::fromLatin1(name), p);
        }
        const QStringList nkd = QDir(s.workspace).entryList({QStringLiteral("*.nkd"), QStringLiteral("*.NKD")},
                                                            QDir::Files, QDir::Name);
        QSet<QString> seen;
        for (const QString& name : nkd) {
            if (!seen.contains(name)) {
                seen.insert(name);
                add(name, QDir(s.workspace).filePath(name));
            }
        }
        list.lines << QString();
    }
    if (s.settings) {
        const QString p = existing(s.workspace, QStringLiteral("zedora.ini"));
        if (!p.isEmpty())
            add(QStringLiteral("zedora.ini"), p);
    }

    // The import finds files by name alone: two files of one name would
    // overwrite each other there.
    QSet<QString> names{QStringLiteral("EXPORT.LOG")};
    for (const PackEntry& e : list.entries) {
        const QString key = upperAscii(e.name);
        if (names.contains(key)) {
            list.problem = QStringLiteral("Export nicht möglich: Mehrere Dateien heißen \"") + e.name
                         + QStringLiteral("\"!\nIn einer Exportdatei muss jeder Dateiname einmalig sein.");
            return list;
        }
        names.insert(key);
    }
    return list;
}

QString defaultZipName(ExportMode mode, const QString& lastStudentFile, const QString& dataDirectory,
                       const QDate& day)
{
    const QString date = QString::number(day.day()) + QLatin1Char('-') + QString::number(day.month())
                       + QLatin1Char('-') + QString::number(day.year());
    if (mode == ExportMode::Backup)
        return dataDirectory + QStringLiteral("-vom-") + date + QStringLiteral(".zip");
    const QString start = lastStudentFile.isEmpty()
                              ? dataDirectory
                              : withoutExtension(lastComponent(lastStudentFile)) + QStringLiteral("_in_") + dataDirectory;
    return start + QStringLiteral("_vom_") + date + QStringLiteral(".zip");
}

QString numberedZipPath(const QString& zipPath)
{
    const QFileInfo fi(zipPath);
    for (int n = 1;; ++n) {
        const QString candidate = fi.absolutePath() + QLatin1Char('/') + QString::number(n) + QLatin1Char('_') + fi.fileName();
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool writeExportLog(const QString& path, const QStringList& lines)
{
    QByteArray content;
    for (const QString& line : lines)
        content += toAnsi(line) + "\r\n";
    return writeFileSafely(path, content);
}

ExportOutcome runExport(const ExportSelection& selection, ExportMode mode, Interaction& ui, QString& imex1,
                        const PackProgress& progress, TNeueDateien* createdFiles, const QDate& day)
{
    ExportOutcome outcome;
    ExportList list = buildExportList(selection);
    if (!list.problem.isEmpty()) {
        ui.error(list.problem);
        return outcome;
    }
    const QString log = resolveIn(selection.workspace, QStringLiteral("export.log"));
    if (!writeExportLog(log, list.lines)) {
        ui.error(QStringLiteral("Die Datei export.log konnte nicht geschrieben werden!"));
        return outcome;
    }
    if (createdFiles)
        createdFiles->registerFile(log);
    list.entries.push_back({QStringLiteral("export.log"), log});

    const QString dir = exportDataDirectory(selection.studentFile, selection.workspace);
    const QString last = selection.studentFiles.isEmpty() ? QString() : selection.studentFiles.last();
    const auto chosen = ui.saveFile(QString::fromUtf8(export_texts::kSaveTitle), QString::fromUtf8(export_texts::kFilter),
                                    imex1, defaultZipName(mode, last, dir, day));
    if (!chosen || chosen->trimmed().isEmpty())
        return outcome;
    QString zipPath = QFileInfo(*chosen).absoluteFilePath();
    if (QFileInfo::exists(zipPath)
        && ui.ask(QString::fromUtf8(export_texts::kExists), Buttons::YesNo) != Answer::Yes)
        zipPath = numberedZipPath(zipPath);
    // On Yes the old file is replaced only once the new one is complete.

    outcome.packed = true;
    outcome.zipPath = zipPath;
    outcome.result = packFiles(zipPath, list.entries, progress);
    switch (outcome.result) {
    case PackResult::Cancelled:
        ui.info(QString::fromUtf8(export_texts::kCancelled));
        break;
    case PackResult::Ok:
        ui.info(QString::fromUtf8(export_texts::kSuccess));
        break;
    case PackResult::Failed:
        ui.error(QString::fromUtf8(export_texts::kFailed));
        break;
    }
    imex1 = QFileInfo(zipPath).absolutePath();
    return outcome;
}

} // namespace zedora
