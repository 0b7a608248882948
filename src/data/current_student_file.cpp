#include "data/current_student_file.h"

#include "core/app_context.h"
#include "data/demo_directory.h"
#include "base/directory_conventions.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "data/student_file_access.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "data/table_in_use.h"
#include "dbase/raw_file.h"
#include "dbase/table.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace zedora {
namespace {

const char* const kReorganisationQuestion =
    "Hinweis: Wenn Zedora im Netzwerkbetrieb läuft,\ndarf eine Reorganisation nur dann durchgeführt werden,\n"
    "wenn sonst kein Anwender mit Zedora arbeitet.\n\n Wollen Sie jetzt eine Reorganisation durchführen?";

bool sameFile(const QString& a, const QString& b)
{
    return QFileInfo(resolvePath(a)).absoluteFilePath() == QFileInfo(resolvePath(b)).absoluteFilePath();
}

} // namespace

CurrentStudentFile::CurrentStudentFile(AppContext& context, QObject* parent)
    : QObject(parent), ctx_(context)
{
    assignments_.Layoutdatei = context.settings.LetztesLayout;
    assignments_.TBSdatei = context.settings.FloskelDatei;
    table_.setConflictResolver([this](const StudentTable::FieldConflict& c) { return askConflict(c); });
    table_.setGoneReport([this] { fileGone(); });
    // Other computers' saves show up within a few seconds. A timer and not a
    // file-system watcher: watchers do not see writes made by other
    // computers on network shares, and the engine's look costs a few bytes.
    lookTimer_.setInterval(2000);
    connect(&lookTimer_, &QTimer::timeout, this, [this] {
        // Not from inside a dialog: the command that opened it may be
        // walking through the rows.
        if (!table_.isOpen() || QThread::currentThread()->loopLevel() > 1)
            return;
        if (!table_.stillAtItsPath()) {
            if (!goneAsked_)
                fileGone();
            return;
        }
        table_.takeOverOutsideChanges(typing_ && typing_());
    });
    lookTimer_.start();
}

StudentTable::ConflictChoice CurrentStudentFile::askConflict(const StudentTable::FieldConflict& c)
{
    const auto shown = [](const QString& v) {
        const QString t = v.trimmed();
        if (t.isEmpty())
            return QStringLiteral("(leer)");
        return t.size() > 600 ? t.left(600) + QStringLiteral(" ...") : t;
    };
    const Answer a = ctx_.ui.ask(
        QStringLiteral("Das Feld ") + c.field + QStringLiteral(" bei ") + c.student
            + QStringLiteral(" wurde inzwischen an einem anderen Computer geändert.\n\n")
            + QStringLiteral("Ihre Eingabe:\n") + shown(c.mine) + QStringLiteral("\n\n")
            + QStringLiteral("Am anderen Computer gespeichert:\n") + shown(c.theirs) + QStringLiteral("\n\n")
            + QStringLiteral("Ja: Ihre Eingabe speichern\n")
            + QStringLiteral("Nein: den Wert des anderen Computers behalten\n")
            + QStringLiteral("Abbrechen: noch nicht speichern"),
        Buttons::YesNoCancel);
    if (a == Answer::Yes)
        return StudentTable::ConflictChoice::KeepMine;
    if (a == Answer::No)
        return StudentTable::ConflictChoice::KeepTheirs;
    return StudentTable::ConflictChoice::Cancel;
}

void CurrentStudentFile::refuseReorganisationInUse(const QString& path)
{
    ctx_.ui.error(QStringLiteral("Die Datei ") + QFileInfo(path).fileName()
                  + QStringLiteral(" wird an einem anderen Computer benutzt.\n")
                  + QStringLiteral("Reorganisation kann nicht durchgeführt werden!\n"));
}

void CurrentStudentFile::fileGone()
{
    if (handlingGone_ || !table_.isOpen())
        return;
    handlingGone_ = true;
    goneAsked_ = true;
    const QString name = QFileInfo(path_).fileName();
    const bool replaced = QFileInfo(resolvePath(path_)).isFile();
    const bool editing = table_.isEditing() || (typing_ && typing_());
    QString text = QStringLiteral("Die Schülerdatei ") + name;
    text += replaced ? QStringLiteral(" wurde durch eine andere Datei ersetzt\n(z. B. durch einen Datenimport), ")
                     : QStringLiteral(" ist nicht mehr vorhanden:\nsie wurde gelöscht oder verschoben, ");
    text += QStringLiteral("während sie hier geöffnet war.\nIn sie wird nichts mehr gespeichert.\n");
    if (editing)
        text += QStringLiteral("Ihre letzte Eingabe ist noch nicht gespeichert.\n");
    text += QStringLiteral("\nJa: alles, was hier geöffnet ist, als neue Datei speichern\n")
          + QStringLiteral("Nein: ") + (replaced ? QStringLiteral("die neue Datei öffnen") : QStringLiteral("eine andere Datei öffnen"))
          + (editing ? QStringLiteral(" (Ihre Eingabe wird verworfen)") : QString()) + QStringLiteral("\n")
          + QStringLiteral("Abbrechen: jetzt nichts tun (beim nächsten Speichern wird wieder gefragt)");
    const Answer a = ctx_.ui.ask(text, Buttons::YesNoCancel);
    if (a == Answer::Yes) {
        // Hands over what a cell editor still holds; the save itself is
        // refused while this runs.
        table_.savePending();
        if (!saveAsNewFile())
            goneAsked_ = false;
    } else if (a == Answer::No) {
        table_.cancel();
        open(path_);
    }
    handlingGone_ = false;
}

bool CurrentStudentFile::saveAsNewFile()
{
    const QFileInfo old(path_);
    const std::optional<QString> chosen =
        ctx_.ui.saveFile(QStringLiteral("Als neue Datei speichern"), QStringLiteral("Schülerdateien (*.dbf *.DBF)"),
                         old.absolutePath(), old.completeBaseName() + QStringLiteral("_NEU.DBF"));
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    const QFileInfo fi(chosen->trimmed());
    const QString path = joinPath(fi.path(), fi.completeBaseName() + QStringLiteral(".DBF"));
    if (!checkDirectoryConvention(toWindowsSeparators(path), FileKind::StudentFile, ctx_.ui))
        return false;
    const StudentFileContext fc{ctx_.workspace, ctx_.paths.computerName, *ctx_.files, ctx_.ui};
    if (!createEmptyStudentFile(path, fc))
        return false;
    const QString created = resolvePath(path);
    int written = 0;
    try {
        auto into = openToEdit(created);
        written = table_.copyAllInto(*into);
        into->flush();
    } catch (const std::exception& e) {
        ctx_.ui.error(QStringLiteral("Die Daten konnten nicht in ") + QFileInfo(created).fileName()
                      + QStringLiteral(" gespeichert werden:\n") + QString::fromLocal8Bit(e.what()));
        return false;
    }
    zedora::writeAssignments(created, ctx_.workspace, assignments_, ctx_.ui,
                             [this](const QString& p) { ctx_.createdFiles->registerFile(p); });
    table_.cancel();
    open(created);
    ctx_.ui.info(QString::number(written) + QStringLiteral(" Datensätze wurden in ") + QDir::toNativeSeparators(created)
                 + QStringLiteral(" gespeichert."));
    return true;
}

QString CurrentStudentFile::fileName() const
{
    return QFileInfo(path_).fileName();
}

QString CurrentStudentFile::dataDirectoryName() const
{
    return QFileInfo(QFileInfo(path_).absolutePath()).fileName();
}

bool CurrentStudentFile::indexMissing(const QString& path) const
{
    bool exists = false;
    dbase::companionPath(QFileInfo(path).absoluteFilePath().toStdString(), ".MDX", &exists);
    return !exists;
}

bool CurrentStudentFile::reorganise(const QString& path)
{
    const StudentFileContext fc{ctx_.workspace, ctx_.paths.computerName, *ctx_.files, ctx_.ui};
    return reorganiseStudentFile(path, fc);
}

bool CurrentStudentFile::openTable(const QString& path)
{
    try {
        const SortOrder* order = sortOrder(ctx_.settings.Sortierung);
        table_.setAverageDefinitions(AverageDefinitions::fromSettings(ctx_.settings));
        table_.open(path, QString::fromUtf8(order ? order->tag : "KLASSE"));
        std::vector<std::string> names;
        for (int i = 0; i < table_.engineTable()->fieldCount(); ++i)
            names.push_back(table_.engineTable()->field(i).name);
        if (!hasStudentFileFields(names)) {
            table_.close();
            return false;
        }
        return true;
    } catch (const std::exception&) {
        table_.close();
        return false;
    }
}

// The file to fall back on: the last one opened successfully, else the
// demo class, rebuilt from the templates when it has gone.
QString CurrentStudentFile::prepareFallback()
{
    QString path = fallback_;
    const bool demo = path.isEmpty() || !QFileInfo(resolvePath(path)).isFile();
    if (demo) {
        path = rebuildDemoDirectory(ctx_.workspace, *ctx_.files);
        ctx_.files->deleteFile(joinPath(ctx_.workspace, QStringLiteral("DEFINI\\#DEMO.MDX")));
        assignments_.TBSdatei = QStringLiteral("#DEMO.DBF");
        assignments_.Faecherdatei = QStringLiteral("DEMO.FDF");
        assignments_.Layoutdatei = resolveIn(ctx_.workspace, QStringLiteral("LAYOUT\\DEMO.LAY"));
    }
    path = resolvePath(path);
    reorganise(path);
    return path;
}

bool CurrentStudentFile::open(const QString& requested)
{
    table_.close();
    emit closed();
    QString path = resolvePath(requested.trimmed());
    if (requested.trimmed().isEmpty() || !QFileInfo(path).isFile()) {
        if (!requested.trimmed().isEmpty())
            ctx_.ui.error(requested + QStringLiteral(" nicht vorhanden!") + QStringLiteral("\n"));
        path = prepareFallback();
    }
    const PendingMove pending = finishPendingMove(path);
    if (pending == PendingMove::Busy || pending == PendingMove::Failed) {
        // Never read around a move that is not finished: the table could be
        // paired with another one's memos.
        ctx_.ui.error(pendingMoveMessage(path, pending));
        path = prepareFallback();
    }
    if (indexMissing(path) && !reorganise(path)) {
        // The file itself is sound when others merely have it open.
        if (tableInUse(path))
            refuseReorganisationInUse(path);
        else
            ctx_.ui.error(QStringLiteral("Datei ist fehlerhaft!\nReorganisation kann nicht durchgeführt werden!\n\n")
                          + QStringLiteral("\n"));
        path = prepareFallback();
    }
    if (!openTable(path)) {
        reorganise(path);
        if (!openTable(path)) {
            const QString substitute = prepareFallback();
            ctx_.ui.error(QStringLiteral("Kann ") + path + QStringLiteral(" nicht laden!\n\n") + substitute
                          + QStringLiteral(" wird stattdessen geladen!") + QStringLiteral("\n"));
            path = substitute;
            if (!openTable(path)) {
                ctx_.ui.error(QStringLiteral(
                    "Zedora kann nicht ordnungsgemäß ausgeführt werden!\nWurde die BDE (siehe Installationshinweise) korrekt installiert?\n"
                    "Kommt es weiterhin zu Problemen, wenden Sie sich bitte\nan den Programmautor.\n"
                    "Die Programmausführung bricht jetzt ab!"));
                path_.clear();
                emit cannotGoOn();
                return false;
            }
        }
    }
    fallback_ = path;
    path_ = path;
    goneAsked_ = false;
    ctx_.settings.NotenDatei = path;
    editState_.tableLock = ctx_.settings.SperreOption;
    applyEditState(editState_);

    assignments_ = readAssignments(path, ctx_.workspace, assignments_);
    previousArchive_ = previousArchiveName(path);
    LayoutLoadContext lc =
        LayoutLoadContext::fromSettings(ctx_.settings, ctx_.workspace, assignments_.Faecherdatei);
    lc.fileFields = table_.fieldNames().mid(0, table_.fieldCount() - 3);
    lc.written = [this](const QString& p) { ctx_.createdFiles->registerFile(p); };
    lc.chooseBlock = chooseBlock_;
    layout_ = loadLayout(assignments_.Layoutdatei, lc, ctx_.ui);
    assignments_.Layoutdatei = layout_.path;
    ctx_.settings.LetztesLayout = layout_.path;
    emit opened();
    return true;
}

bool CurrentStudentFile::reopen()
{
    if (path_.isEmpty())
        return false;
    const StudentTable::Bookmark mark = table_.bookmark();
    if (!table_.savePending())
        return false;
    // The filter stays in force until it is reset.
    const QString filterField = table_.filterFieldName();
    const QString filterText = table_.filterText();
    const bool ok = open(path_);
    if (ok && !filterField.isEmpty())
        table_.setFilter(filterField, filterText);
    if (ok)
        table_.gotoBookmark(mark);
    return ok;
}

bool CurrentStudentFile::writeAssignments()
{
    if (path_.isEmpty())
        return true;
    return zedora::writeAssignments(path_, ctx_.workspace, assignments_, ctx_.ui,
                                    [this](const QString& p) { ctx_.createdFiles->registerFile(p); });
}

void CurrentStudentFile::applySortOrder()
{
    if (const SortOrder* order = sortOrder(ctx_.settings.Sortierung))
        table_.setTag(QString::fromUtf8(order->tag));
}

void CurrentStudentFile::applyEditState(const EditState& state)
{
    editState_ = state;
    for (int i = 0; i < table_.fieldCount(); ++i)
        table_.setReadOnly(i, isReadOnly(fieldKind(table_.fieldName(i)), state));
}

void CurrentStudentFile::setEntryTableFocus(bool focused)
{
    editState_.entryTableFocus = focused;
    for (int i = 0; i < table_.fieldCount(); ++i) {
        const int kind = fieldKind(table_.fieldName(i));
        if (kind == FieldKind::AssessmentText)
            table_.setReadOnly(i, isReadOnly(kind, editState_));
    }
}

bool CurrentStudentFile::askReorganisation(Interaction& ui)
{
    return ui.ask(QString::fromUtf8(kReorganisationQuestion), Buttons::YesNoCancel) == Answer::Yes;
}

bool CurrentStudentFile::reorganiseCurrent()
{
    if (path_.isEmpty() || !askReorganisation(ctx_.ui))
        return false;
    const QString path = path_;
    const StudentTable::Bookmark mark = table_.bookmark();
    if (!table_.savePending())
        return false;
    table_.close();
    // Another computer working in the file would lose its work or stop:
    // nothing is touched then. The reorganisation replaces the index only
    // once the new one is complete, so the old one is not deleted first.
    const bool inUse = tableInUse(path);
    const bool reorganised = !inUse && reorganise(path);
    const bool stillInUse = !reorganised && (inUse || tableInUse(path));
    if (!open(path))
        return false;
    table_.gotoBookmark(mark);
    if (stillInUse) {
        refuseReorganisationInUse(path);
        return false;
    }
    if (!reorganised) {
        ctx_.ui.info(QStringLiteral("Reorganisation konnte NICHT durchgeführt werden!"));
        return false;
    }
    ctx_.ui.info(QStringLiteral("Reorganisation war erfolgreich!"));
    return true;
}

bool CurrentStudentFile::createEmpty()
{
    if (!table_.savePending())
        return false;
    const std::optional<QString> chosen =
        ctx_.ui.saveFile(QStringLiteral("Leere Datei erstellen"), QStringLiteral("Schülerdateien (*.dbf *.DBF)"),
                         QFileInfo(path_).absolutePath(), QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    QString path = chosen->trimmed();
    const QFileInfo fi(path);
    path = joinPath(fi.path(), fi.completeBaseName() + QStringLiteral(".DBF"));
    if (!fi.suffix().isEmpty() && fi.suffix().compare(QLatin1String("DBF"), Qt::CaseInsensitive) != 0)
        path = joinPath(fi.path(), fi.fileName() + QStringLiteral(".DBF"));
    if (!checkDirectoryConvention(toWindowsSeparators(path), FileKind::StudentFile, ctx_.ui))
        return false;
    const StudentFileContext fc{ctx_.workspace, ctx_.paths.computerName, *ctx_.files, ctx_.ui};
    if (!createEmptyStudentFile(path, fc))
        return false;
    writeAssignments();
    return open(path);
}

void CurrentStudentFile::deleteFiles()
{
    const std::optional<QString> chosen =
        ctx_.ui.openFile(QStringLiteral("Dateien löschen"),
                         QStringLiteral("Dateien (*.dbf *.fdf *.lay *.doc *.DBF *.FDF *.LAY *.DOC)"),
                         QFileInfo(path_).absolutePath(), QString());
    if (!chosen || chosen->isEmpty())
        return;
    const QString path = resolvePath(*chosen);
    const QString textBlocks =
        assignments_.TBSdatei.isEmpty()
            ? QString()
            : resolveIn(ctx_.workspace, QStringLiteral("DEFINI\\") + assignments_.TBSdatei);
    if (sameFile(path, path_) || (!textBlocks.isEmpty() && sameFile(path, textBlocks))) {
        ctx_.ui.warning(QStringLiteral("Die gewählte Datei ist aktiv.\nSie kann nicht gelöscht werden!")
                        + QStringLiteral("\n"));
        return;
    }
    const bool table = QFileInfo(path).suffix().compare(QLatin1String("DBF"), Qt::CaseInsensitive) == 0;
    if (table && tableInUse(path)) {
        ctx_.ui.warning(inUseMessage(path, QStringLiteral("gelöscht")));
        return;
    }
    if (ctx_.ui.ask(QStringLiteral("Soll die gewählte Datei \n\n") + path
                        + QStringLiteral("\n\nwirklich unwiderruflich gelöscht werden?\n"),
                    Buttons::YesNoCancel)
        != Answer::Yes)
        return;
    if (!table) {
        ctx_.files->deleteFile(path);
    } else if (deleteTable(path, *ctx_.files) == ReplaceOutcome::InUse) {
        // Someone opened it while the question was open.
        ctx_.ui.warning(inUseMessage(path, QStringLiteral("gelöscht")));
        return;
    }
    emit filesChanged();
}

bool CurrentStudentFile::scheduleCompleteReorganisation()
{
    if (!askReorganisation(ctx_.ui))
        return false;
    const QString marker = resolveIn(ctx_.workspace, QStringLiteral("MUSTER\\FACH-ALL.MST"));
    // An installed program folder is often not writable; the marker in the
    // workspace is looked for at start just the same.
    if (!ctx_.files->copyFile(marker, joinPath(ctx_.paths.programDir, QStringLiteral("nachsetup.txt"))))
        ctx_.files->copyFile(marker, joinPath(ctx_.workspace, QStringLiteral("nachsetup.txt")));
    ctx_.files->clearCopyLists();
    ctx_.ui.info(QStringLiteral("Zedora wird jetzt beendet, starten Sie es dann neu!\n"));
    return true;
}

QStringList CurrentStudentFile::studentFilesOfDirectory() const
{
    if (path_.isEmpty())
        return {};
    QDir dir(QFileInfo(path_).absolutePath());
    return dir.entryList({QStringLiteral("*.dbf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

void CurrentStudentFile::switchDataDirectory(const QString& name)
{
    const QString target = resolveIn(ctx_.workspace, name);
    if (!QFileInfo(target).isDir())
        return;
    if (!path_.isEmpty() && sameFile(QFileInfo(path_).absolutePath(), target))
        return;
    if (!table_.savePending())
        return;
    writeAssignments();
    QDir dir(target);
    const QStringList files =
        dir.entryList({QStringLiteral("*.dbf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (files.isEmpty()) {
        ctx_.files->copyFile(resolveIn(ctx_.workspace, QStringLiteral("MUSTER\\demo.dbf")),
                             joinPath(target, QStringLiteral("demo.dbf")));
        ctx_.files->copyFile(resolveIn(ctx_.workspace, QStringLiteral("MUSTER\\demo.dbt")),
                             joinPath(target, QStringLiteral("demo.dbt")));
        ctx_.files->clearCopyLists();
        open(joinPath(target, QStringLiteral("demo.dbf")));
    } else {
        open(dir.filePath(files.first()));
    }
}

} // namespace zedora
