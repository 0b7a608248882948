#include "textblocks/text_block_file.h"

#include "textblocks/text_block_names.h"
#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/directory_conventions.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"
#include "base/workspace_files.h"
#include "data/student_file_access.h"
#include "data/student_files.h"
#include "data/table_in_use.h"
#include "dbase/table.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace zedora {

namespace {

const char* const kScratchNames[] = {"FLOSTMP", "TMP", "tbstmp"};

std::string native(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toStdString();
}

QString withoutExtension(const QString& path)
{
    const QFileInfo info(path);
    return info.path() + u'/' + info.completeBaseName();
}

QString companion(const QString& dbfPath, const char* ext)
{
    return resolvePath(withoutExtension(dbfPath) + QLatin1String(ext));
}

QString text(const dbase::Table& t, const char* field)
{
    return fromAnsi(t.text(field));
}

void store(dbase::Table& t, const QString& id, const QString& text)
{
    t.setText("ID", toAnsiStd(upperAscii(id.trimmed()).left(kBlockIdCapacity)));
    t.setText("INHALT", toAnsiStd(text.left(kBlockTextCapacity)));
}

// Which files the path and its index name now; zeros for a missing one.
std::array<std::uint64_t, 4> identityOf(const QString& dbf)
{
    std::array<std::uint64_t, 4> id{};
    struct stat st {};
    if (::stat(native(dbf).c_str(), &st) == 0) {
        id[0] = st.st_dev;
        id[1] = st.st_ino;
    }
    if (::stat(native(companion(dbf, ".MDX")).c_str(), &st) == 0) {
        id[2] = st.st_dev;
        id[3] = st.st_ino;
    }
    return id;
}

const QString kFilter = QStringLiteral("Textbausteindateien (#*.dbf &*.dbf #*.DBF &*.DBF)");

// The new file replaces the old one as a whole: a crash on the way leaves
// the old blocks or the new ones, never no file. Throws with the reason.
void replaceWithScratch(const QString& dbf, const QString& scratch)
{
    const ReplaceOutcome outcome = replaceTable(dbf, stagedTableFor(dbf, scratch));
    if (outcome == ReplaceOutcome::InUse)
        throw std::runtime_error(inUseMessage(dbf, QStringLiteral("ersetzt")).trimmed().toStdString());
    if (outcome != ReplaceOutcome::Done)
        throw std::runtime_error(("Die Datei " + QFileInfo(dbf).fileName() + " konnte nicht ersetzt werden.").toStdString());
}

} // namespace

TextBlockFile::TextBlockFile(const QString& workspace, WorkspaceFiles& files, Interaction& ui)
    : workspace_(workspace), files_(files), ui_(ui)
{
}

TextBlockFile::~TextBlockFile() = default;

QString TextBlockFile::definiDir() const
{
    return resolveIn(workspace_, QStringLiteral("DEFINI"));
}

QString TextBlockFile::path() const
{
    return path_;
}

QString TextBlockFile::backupDir() const
{
    return resolveIn(workspace_, QStringLiteral("DEFINI\\Sicherung"));
}

void TextBlockFile::deleteScratchFiles()
{
    for (const char* name : kScratchNames)
        for (const char* ext : {".DBF", ".MDX"})
            files_.deleteFile(resolveIn(workspace_, QStringLiteral("DEFINI\\") + QLatin1String(name) + QLatin1String(ext)));
}

bool TextBlockFile::reportFailure(const std::exception& e)
{
    ui_.error(QString::fromUtf8(e.what()));
    return false;
}

bool TextBlockFile::open(const QString& nameIn)
{
    if (replacedOnDisk())
        ++generation_;
    QString name = lastComponent(nameIn).trimmed();
    QString dbf = resolvePath(joinPath(definiDir(), name));
    if (name.isEmpty() || !QFileInfo(dbf).isFile()) {
        const QString demo = resolveIn(workspace_, QStringLiteral("DEFINI\\#DEMO.DBF"));
        if (!QFileInfo(demo).isFile()) {
            files_.createDirectory(definiDir());
            files_.copyFile(resolveIn(workspace_, QStringLiteral("MUSTER\\#DEMO.DBF")),
                            joinPath(definiDir(), QStringLiteral("#DEMO.DBF")));
        }
        close();
        // An index taken away under another computer would stop it; its
        // index is left alone then.
        if (!tableInUse(resolveIn(workspace_, QStringLiteral("DEFINI\\#DEMO.DBF"))))
            files_.deleteFile(companion(resolveIn(workspace_, QStringLiteral("DEFINI\\#DEMO.DBF")), ".MDX"));
        dbf = resolveIn(workspace_, QStringLiteral("DEFINI\\#DEMO.DBF"));
        name = lastComponent(dbf);
    }
    if (name.startsWith(u'&')) {
        const QString target = joinPath(definiDir(), convertedAmpersandName(name));
        // An existing "#" file of that name is never overwritten by the conversion.
        if (!pathExists(target)) {
            if (!copyFileSafely(dbf, target)) {
                ui_.error(QStringLiteral("Die Datei ") + name + QStringLiteral(" kann nicht nach ")
                          + lastComponent(target) + QStringLiteral(" kopiert werden!\n"));
                return false;
            }
            files_.createdFiles().registerFile(target);
            files_.deleteFile(companion(dbf, ".MDX"));
            files_.deleteFile(dbf);
        }
        dbf = resolvePath(target);
        name = lastComponent(dbf);
    }
    close();
    if (!QFileInfo(companion(dbf, ".MDX")).isFile() && !rebuild(dbf))
        return false;
    if (!openChecked(dbf))
        return false;
    name_ = lastComponent(dbf);
    return true;
}

bool TextBlockFile::openChecked(const QString& dbf)
{
    bool sound = false;
    try {
        table_ = openToEdit(dbf);
        table_->selectTag("ID");
        sound = table_->findProblems().empty();
    } catch (const std::exception&) {
        sound = false;
    }
    if (sound) {
        path_ = resolvePath(dbf);
        noteOpened();
        return true;
    }
    // An index that does not fit the records (a zip import brings the
    // .DBF without its .MDX) would find the wrong blocks or none. While
    // another computer has the file open it cannot be rebuilt; it is used
    // as it is then.
    close();
    if (!tableInUse(dbf) && !rebuild(dbf))
        return false;
    return openTable(dbf);
}

void TextBlockFile::noteOpened()
{
    // Opening the same file again keeps the marks read from it valid; a
    // replacement is counted where it is noticed (the old inode is free
    // again once closed, so the new file may well get its number).
    if (path_ != openedPath_)
        ++generation_;
    onDisk_ = identityOf(path_);
    openedPath_ = path_;
}

bool TextBlockFile::replacedOnDisk() const
{
    return table_ && identityOf(path_) != onDisk_;
}

bool TextBlockFile::reopenIfReplaced()
{
    if (!replacedOnDisk())
        return false;
    const QString name = name_;
    ++generation_;
    close();
    open(name);
    return true;
}

bool TextBlockFile::openTable(const QString& dbf)
{
    try {
        table_ = openToEdit(dbf);
        table_->selectTag("ID");
        path_ = resolvePath(dbf);
        noteOpened();
        return true;
    } catch (const std::exception& e) {
        table_.reset();
        return reportFailure(e);
    }
}

void TextBlockFile::close()
{
    table_.reset();
}

void TextBlockFile::letGo()
{
    if (table_)
        heldName_ = name_;
    close();
}

bool TextBlockFile::takeBack()
{
    if (heldName_.isEmpty() || table_)
        return false;
    const QString name = heldName_;
    heldName_.clear();
    // The replacement was made beside the old file while it was still
    // there, so its files cannot carry the old ones' numbers: a changed
    // identity is a replaced file. Marks handed out before then count in
    // the old one.
    if (identityOf(path_) != onDisk_) {
        ++generation_;
        marksStale_ = true;
    }
    return open(name);
}

QVector<TextBlock> TextBlockFile::blocks()
{
    QVector<TextBlock> out;
    reopenIfReplaced();
    if (!table_)
        return out;
    table_->refresh();
    for (table_->first(); !table_->eof(); table_->next())
        out.append({text(*table_, "ID"), text(*table_, "INHALT"), table_->recno(), generation_});
    // Every mark is handed out afresh.
    marksStale_ = false;
    freshMarks_.clear();
    return out;
}

QStringList TextBlockFile::topics(const QVector<TextBlock>& blocks)
{
    QStringList out;
    for (const TextBlock& b : blocks)
        if (b.isTopic())
            out.append(b.text.mid(1));
    return out;
}

std::optional<TextBlock> TextBlockFile::find(const QString& id)
{
    reopenIfReplaced();
    if (!table_ || id.isEmpty())
        return std::nullopt;
    if (!table_->findKey(toAnsiStd(upperAscii(id))))
        return std::nullopt;
    return handOut(TextBlock{text(*table_, "ID"), text(*table_, "INHALT"), table_->recno(), generation_});
}

std::optional<TextBlock> TextBlockFile::nearest(const QString& id)
{
    reopenIfReplaced();
    if (!table_)
        return std::nullopt;
    if (!table_->findNearest(toAnsiStd(upperAscii(id))) || table_->eof())
        return std::nullopt;
    return handOut(TextBlock{text(*table_, "ID"), text(*table_, "INHALT"), table_->recno(), generation_});
}

TextBlock TextBlockFile::handOut(const TextBlock& block)
{
    if (marksStale_)
        freshMarks_.insert(block.mark);
    return block;
}

bool TextBlockFile::stillCurrent(const TextBlock& block)
{
    reopenIfReplaced();
    if (block.generation == generation_)
        return true;
    tellReplaced();
    return false;
}

void TextBlockFile::tellReplaced()
{
    ui_.info(QStringLiteral("Die Textbausteindatei ") + name_
             + QStringLiteral(" wurde inzwischen ersetzt (Datenimport oder Bearbeitung an einem anderen "
                              "Arbeitsplatz).\nSie wird neu eingelesen, bitte wiederholen Sie die Änderung.\n"));
}

bool TextBlockFile::update(const TextBlock& block, const QString& id, const QString& newText)
{
    return stillCurrent(block) && update(block.mark, id, newText);
}

bool TextBlockFile::remove(const TextBlock& block)
{
    return stillCurrent(block) && remove(block.mark);
}

bool TextBlockFile::withBlock(std::uint32_t mark, const std::function<void(dbase::Table&)>& change)
{
    if (reopenIfReplaced() || (marksStale_ && !freshMarks_.contains(mark))) {
        // The mark counted in the old file; in the new one it is another block.
        marksStale_ = false;
        freshMarks_.clear();
        tellReplaced();
        return false;
    }
    if (!table_)
        return false;
    try {
        table_->gotoBookmark(mark);
        change(*table_);
        return true;
    } catch (const std::exception& e) {
        if (table_->state() != dbase::Table::State::Browse)
            table_->cancel();
        return reportFailure(e);
    }
}

bool TextBlockFile::update(std::uint32_t mark, const QString& id, const QString& newText)
{
    return withBlock(mark, [&](dbase::Table& t) {
        t.edit();
        store(t, id, newText);
        t.post();
    });
}

std::optional<std::uint32_t> TextBlockFile::addEmpty()
{
    reopenIfReplaced();
    if (!table_)
        return std::nullopt;
    try {
        table_->append();
        table_->post();
        if (marksStale_)
            freshMarks_.insert(table_->recno());
        return table_->recno();
    } catch (const std::exception& e) {
        if (table_->state() != dbase::Table::State::Browse)
            table_->cancel();
        reportFailure(e);
        return std::nullopt;
    }
}

bool TextBlockFile::remove(std::uint32_t mark)
{
    return withBlock(mark, [](dbase::Table& t) { t.deleteRecord(); });
}

bool TextBlockFile::rebuild(const QString& dbfIn)
{
    const QString dbf = resolvePath(dbfIn);
    const QString name = lastComponent(dbf);
    files_.createDirectory(backupDir());
    files_.copyFile(dbf, joinPath(backupDir(), rebuildBackupName(name, randomBackupDigit())));
    deleteScratchFiles();

    if (!buildIndexes(dbf, IndexKind::TextBlocks, files_)) {
        ui_.error(QStringLiteral("Indizierung mißlungen!"));
        return false;
    }
    const QString scratch = joinPath(definiDir(), QStringLiteral("FLOSTMP.DBF"));
    const QString old = joinPath(definiDir(), QStringLiteral("TMP.DBF"));
    try {
        if (!copyFileSafely(resolveIn(workspace_, QStringLiteral("MUSTER\\FLOSKEL.MST")), scratch)
            || !buildIndexes(scratch, IndexKind::TextBlocks, files_))
            throw std::runtime_error("Die Vorlage MUSTER\\FLOSKEL.MST fehlt oder ist beschädigt.");
        {
            auto from = dbase::Table::open(native(dbf), dbase::OpenMode::Exclusive);
            auto to = dbase::Table::open(native(scratch), dbase::OpenMode::Exclusive);
            for (from->first(); !from->eof(); from->next()) {
                to->append();
                to->setText("ID", from->text("ID"));
                to->setText("INHALT", from->text("INHALT"));
                to->post();
            }
        }
        replaceWithScratch(dbf, scratch);
        deleteScratchFiles();
        return true;
    } catch (const std::exception&) {
        // The file indexed in place is still whole; only the compaction failed.
        if (!QFileInfo(dbf).isFile() && QFileInfo(resolvePath(old)).isFile())
            dbase::Table::rename(native(resolvePath(old)), native(dbf));
        deleteScratchFiles();
        return QFileInfo(companion(dbf, ".MDX")).isFile();
    }
}

bool TextBlockFile::createNewFile()
{
    const std::optional<QString> chosen = ui_.saveFile(QStringLiteral("Neue Textbausteindatei erstellen"),
                                                       kFilter, definiDir(), QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    const QString name = newTextBlockFileName(*chosen);
    const QString target = joinPath(definiDir(), name);
    if (pathExists(target)) {
        ui_.info(QStringLiteral("Datei bereits vorhanden! Neuanlegen nicht möglich!\n"));
        return false;
    }
    files_.createDirectory(definiDir());
    if (!files_.copyFile(resolveIn(workspace_, QStringLiteral("MUSTER\\FLOSKEL.MST")), target)) {
        ui_.error(QStringLiteral("Die Vorlage MUSTER\\FLOSKEL.MST kann nicht kopiert werden!\n"));
        return false;
    }
    return open(name);
}

bool TextBlockFile::openWithDialog(const QString& currentName)
{
    const QString current = joinPath(definiDir(), lastComponent(currentName));
    const std::optional<QString> chosen = ui_.openFile(QStringLiteral("Textbausteindatei öffnen"), kFilter,
                                                       definiDir(), pathExists(current) ? current : QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    QString name = lastComponent(*chosen);
    if (upperAscii(toWindowsSeparators(*chosen)).contains(QStringLiteral("VORLAGEN-TBS"))) {
        const QString target = joinPath(definiDir(), name);
        if (!pathExists(target)) {
            if (!files_.copyFile(resolvePath(*chosen), target))
                return false;
            ui_.info(QStringLiteral("Textbausteindatei aus \"Vorlagenordner\" wurde gewählt\r"
                                    "Textbausteindatei wird in DEFINI-Ordner kopiert!"));
        }
    } else if (!upperAscii(toWindowsSeparators(QFileInfo(*chosen).path())).endsWith(QStringLiteral("DEFINI"))
               && pathExists(*chosen) && !pathExists(joinPath(definiDir(), name))) {
        // Only DEFINI is searched: a file from elsewhere is brought there first.
        if (!files_.copyFile(resolvePath(*chosen), joinPath(definiDir(), name)))
            return false;
    }
    return open(name);
}

bool TextBlockFile::saveUnderNewName()
{
    if (!table_)
        return false;
    const std::optional<QString> chosen = ui_.saveFile(QStringLiteral("Textbausteindatei speichern unter ..."),
                                                       QStringLiteral("Textbausteindateien (#*.dbf #*.DBF)"),
                                                       definiDir(), QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    QString base = withoutExtension(toSlashes(*chosen)).left(100);
    if (!lastComponent(base).startsWith(u'#'))
        base = joinPath(definiDir(), QStringLiteral("#") + lastComponent(base));
    const QString target = resolvePath(base + QStringLiteral(".DBF"));
    if (pathExists(target)) {
        ui_.beep();
        if (ui_.ask(QStringLiteral("Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n"),
                    Buttons::YesNoCancel) != Answer::Yes)
            return false;
        if (QFileInfo(target).absoluteFilePath() == QFileInfo(path_).absoluteFilePath())
            return true; // saved under its own name: nothing to copy
        if (tableInUse(target)) {
            ui_.error(QStringLiteral("Die Datei ") + lastComponent(target)
                      + QStringLiteral(" wird an einem anderen Computer benutzt.\nSie kann nicht überschrieben werden!\n"));
            return false;
        }
    }
    if (!checkDirectoryConvention(target, FileKind::TextBlocks, ui_))
        return false;
    const QString source = path_;
    close();
    if (!copyFileSafely(source, target)) {
        ui_.error(QStringLiteral("Die Datei ") + lastComponent(target) + QStringLiteral(" kann nicht geschrieben werden!\n"));
        openTable(source);
        return false;
    }
    files_.createdFiles().registerFile(target);
    files_.deleteFile(companion(target, ".MDX"));
    if (QFileInfo(target).absolutePath() != QFileInfo(definiDir()).absoluteFilePath()) {
        // Blocks are only ever looked for in DEFINI.
        openTable(source);
        return true;
    }
    return open(lastComponent(target));
}

bool TextBlockFile::exclusiveUseTest()
{
    if (path_.isEmpty())
        return false;
    close();
    bool alone = true;
    try {
        auto t = dbase::Table::open(native(path_), dbase::OpenMode::Exclusive);
    } catch (const std::exception&) {
        alone = false;
    }
    openTable(path_);
    if (!alone)
        ui_.info(QStringLiteral("Bearbeitung nicht möglich, weil Datei gerade \nbei einem anderen Anwender geöffnet ist!\n"));
    return alone && table_;
}

QString TextBlockFile::editorText()
{
    QStringList lines;
    for (const TextBlock& b : blocks())
        lines.append(b.id + u';' + b.text);
    return lines.join(u'\n');
}

bool TextBlockFile::replaceAll(const QString& editorText)
{
    if (path_.isEmpty())
        return false;
    const QString dbf = path_;
    const QString name = lastComponent(dbf);
    files_.createDirectory(backupDir());
    files_.copyFile(dbf, joinPath(backupDir(), editorBackupName(name, randomBackupDigit())));
    deleteScratchFiles();
    const QString scratch = joinPath(definiDir(), QStringLiteral("tbstmp.dbf"));
    const QString old = joinPath(definiDir(), QStringLiteral("TMP.DBF"));
    close();
    try {
        if (!copyFileSafely(resolveIn(workspace_, QStringLiteral("MUSTER\\FLOSKEL.MST")), scratch)
            || !buildIndexes(scratch, IndexKind::TextBlocks, files_))
            throw std::runtime_error("Die Vorlage MUSTER\\FLOSKEL.MST fehlt oder ist beschädigt.");
        {
            auto to = dbase::Table::open(native(scratch), dbase::OpenMode::Exclusive);
            for (const QString& line : editorText.split(u'\n')) {
                if (line.trimmed().isEmpty())
                    continue;
                const TextBlock b = parseEditorLine(line);
                to->append();
                store(*to, b.id, b.text);
                to->post();
            }
        }
        replaceWithScratch(dbf, scratch);
        deleteScratchFiles();
    } catch (const std::exception& e) {
        if (!QFileInfo(dbf).isFile() && QFileInfo(resolvePath(old)).isFile())
            dbase::Table::rename(native(resolvePath(old)), native(dbf));
        deleteScratchFiles();
        openTable(dbf);
        return reportFailure(e);
    }
    return openTable(dbf);
}

QString joinBlockLines(const QString& memoText)
{
    QStringList parts;
    for (const QString& line : QString(memoText).replace(u'\r', u'\n').split(u'\n')) {
        // Empty lines would otherwise leave double blanks.
        if (!line.trimmed().isEmpty())
            parts.append(line.trimmed());
    }
    return (parts.join(u' ').trimmed() + u' ').left(kBlockTextCapacity);
}

TextBlock parseEditorLine(const QString& lineIn)
{
    const QString line = lineIn.trimmed();
    const qsizetype semicolon = line.indexOf(u';');
    if (semicolon < 0 || semicolon >= 6)
        return {QStringLiteral("??"), line.left(250).left(kBlockTextCapacity), 0};
    return {upperAscii(line.left(semicolon).trimmed()).left(kBlockIdCapacity),
            line.mid(semicolon + 1).trimmed().left(250).left(kBlockTextCapacity), 0};
}

} // namespace zedora
