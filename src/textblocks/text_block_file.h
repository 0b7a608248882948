#pragma once
// The current text-block file: a dBase table of ID and INHALT in DEFINI with
// the index tag ID. Blocks are read in index order, afresh on every call, so
// what another computer changed shows up. Every message goes through the
// interaction seam.
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace zedora {

class Interaction;
class WorkspaceFiles;
namespace dbase { class Table; }

inline constexpr int kBlockIdCapacity = 4;
inline constexpr int kBlockTextCapacity = 230;

struct TextBlock {
    QString id;
    QString text;
    std::uint32_t mark = 0; // record number
    // The file the mark counts in: a new one whenever another file was put
    // in place of the open one.
    std::uint32_t generation = 0;
    bool isTopic() const { return text.startsWith(u'='); }
};

class TextBlockFile {
public:
    TextBlockFile(const QString& workspace, WorkspaceFiles& files, Interaction& ui);
    ~TextBlockFile();
    TextBlockFile(const TextBlockFile&) = delete;
    TextBlockFile& operator=(const TextBlockFile&) = delete;

    // Opens DEFINI\<name> (any folder in name is ignored). A missing file
    // gives the demo file, an "&" file is converted, a file without index
    // is rebuilt first; false when the rebuild failed (nothing is open then).
    bool open(const QString& name);
    void close();
    // A zip import, a rebuild or another computer's all-blocks editor may
    // put a new file in place of the open one, which this process would go
    // on reading and writing as a deleted file. Opens the file now under
    // the name again when that happened; true when it did.
    bool reopenIfReplaced();
    // Closes the table while an import may replace the file; takeBack()
    // opens it again under its name and counts it as replaced, so a block
    // read before is never written over another one.
    void letGo();
    bool takeBack();
    bool isOpen() const { return table_ != nullptr; }
    QString fileName() const { return name_; }
    QString path() const;
    QString definiDir() const;

    QVector<TextBlock> blocks();
    // Texts of the "=" blocks without the "=", in index order.
    static QStringList topics(const QVector<TextBlock>& blocks);
    // Exact match of the (upper-cased) ID.
    std::optional<TextBlock> find(const QString& id);
    // The first block whose ID is at or after id; nothing past the end.
    std::optional<TextBlock> nearest(const QString& id);

    // Single blocks through the shared table. IDs are stored upper case and
    // cut to 4 characters, texts cut to 230.
    bool update(std::uint32_t mark, const QString& id, const QString& text);
    std::optional<std::uint32_t> addEmpty();
    bool remove(std::uint32_t mark);
    // The same for a block as it was read: refused with a message when the
    // file was replaced since, as its mark would hit another block.
    bool update(const TextBlock& block, const QString& id, const QString& text);
    bool remove(const TextBlock& block);

    // The commands of the file menu, with their dialogs and messages.
    bool createNewFile();
    bool openWithDialog(const QString& currentName);
    bool saveUnderNewName();

    // Rebuilds the file's index and compacts it, with a backup first.
    bool rebuild(const QString& dbfPath);

    // Whether this computer could have the file alone now; the table is
    // open shared again afterwards.
    bool exclusiveUseTest();
    // One line per block, "ID;INHALT".
    QString editorText();
    // Replaces all blocks by the editor's lines, with a backup first.
    bool replaceAll(const QString& editorText);

private:
    bool openTable(const QString& dbfPath);
    // Opens dbfPath and checks its index against the records; an index
    // left from a file that was replaced is built anew.
    bool openChecked(const QString& dbfPath);
    bool replacedOnDisk() const;
    bool reportFailure(const std::exception& e);
    QString backupDir() const;
    void deleteScratchFiles();
    TextBlock handOut(const TextBlock& block);
    bool withBlock(std::uint32_t mark, const std::function<void(dbase::Table&)>& change);
    bool stillCurrent(const TextBlock& block);
    void tellReplaced();
    void noteOpened();

    QString workspace_;
    WorkspaceFiles& files_;
    Interaction& ui_;
    std::unique_ptr<dbase::Table> table_;
    QString name_;
    QString heldName_;  // let go of for an import
    // Taken back replaced: marks handed out before count in the old file;
    // those handed out since (fresh) are good.
    bool marksStale_ = false;
    QSet<std::uint32_t> freshMarks_;
    QString path_;
    // Device and inode of the .DBF and the .MDX as they were opened.
    std::array<std::uint64_t, 4> onDisk_{};
    QString openedPath_;
    std::uint32_t generation_ = 1;
};

// A block's text from the single-block dialog: the trimmed lines joined
// with single blanks, trimmed, one blank at the end, at most 230 characters.
QString joinBlockLines(const QString& memoText);

// One line of the all-blocks editor as a block: without ";" in its first six
// characters the ID is "??" and the trimmed line the text.
TextBlock parseEditorLine(const QString& line);

} // namespace zedora
