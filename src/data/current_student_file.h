#pragma once
// The one open student file of the program: opening it with every fallback,
// its per-file assignments and layout, and the file commands of the main
// window (create, delete, reorganise, switch data directory).
#include "data/file_assignments.h"
#include "data/layout_loading.h"
#include "data/student_schema.h"
#include "data/student_table.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace zedora {

class AppContext;

class CurrentStudentFile : public QObject {
    Q_OBJECT
public:
    explicit CurrentStudentFile(AppContext& context, QObject* parent = nullptr);

    StudentTable& table() { return table_; }
    const StudentTable& table() const { return table_; }
    QString path() const { return path_; }
    QString fileName() const;
    QString dataDirectoryName() const;
    QString fallbackPath() const { return fallback_; }
    const FileAssignments& assignments() const { return assignments_; }
    FileAssignments& assignments() { return assignments_; }
    QString previousArchive() const { return previousArchive_; }
    const LoadedLayout& layout() const { return layout_; }

    // The window that asks for a column layout when a layout has none.
    void setChooseBlock(std::function<bool(LoadedLayout&)> choose) { chooseBlock_ = std::move(choose); }
    const std::function<bool(LoadedLayout&)>& chooseBlock() const { return chooseBlock_; }

    // Opens path with every fallback. False only when no student file at
    // all could be opened (the program cannot go on).
    bool open(const QString& path);
    // Opens the file again, keeping the current record.
    bool reopen();
    // Writes <name>.INI of the current file.
    bool writeAssignments();
    // How often the file is checked for changes made by other computers.
    void setLookInterval(int milliseconds) { lookTimer_.setInterval(milliseconds); }
    // Tells the look whether the user is typing a value not yet handed to
    // the record (a cell editor, a field with the focus).
    void setTypingProbe(std::function<bool()> typing) { typing_ = std::move(typing); }
    // The sort order of the setting Sortierung (1, 2, 3).
    void applySortOrder();
    // Makes every field read-only or editable by its kind: master data only
    // while master-data editing is on, everything but master data, texts
    // and averages locked while the table lock is on.
    void applyEditState(const EditState& state);
    const EditState& editState() const { return editState_; }
    // Text blocks are written in the text field, not in the entry table:
    // read-only while the table has the focus. Touches no other field, so a
    // column released from the table lock stays released.
    void setEntryTableFocus(bool focused);

    // Menu commands.
    bool reorganiseCurrent();            // asks first; reports the outcome
    bool createEmpty();                  // file dialog, convention check, create, open
    void deleteFiles();                  // file dialog, question, delete
    // Asks, plants the post-update marker and returns true when the program
    // is to close for the complete reorganisation.
    bool scheduleCompleteReorganisation();
    // A directory of the workspace was chosen in the data-directory list.
    void switchDataDirectory(const QString& name);
    // The *.DBF files of the current file's directory, sorted.
    QStringList studentFilesOfDirectory() const;

signals:
    // A file was opened (also the fallback): the windows update their lists.
    void opened();
    void closed();
    // Files of the current directory were deleted.
    void filesChanged();
    // No student file could be opened at all (the last box said the program
    // ends): the main window closes, whichever command opened.
    void cannotGoOn();

private:
    bool openTable(const QString& path);
    bool reorganise(const QString& path);
    QString prepareFallback();
    bool indexMissing(const QString& path) const;
    static bool askReorganisation(Interaction& ui);
    StudentTable::ConflictChoice askConflict(const StudentTable::FieldConflict& conflict);
    void refuseReorganisationInUse(const QString& path);
    // The open file was deleted, moved or replaced under this window.
    void fileGone();
    bool saveAsNewFile();

    AppContext& ctx_;
    StudentTable table_;
    QString path_;
    QString fallback_;
    FileAssignments assignments_;
    QString previousArchive_;
    LoadedLayout layout_;
    std::function<bool(LoadedLayout&)> chooseBlock_;
    EditState editState_;
    QTimer lookTimer_;
    std::function<bool()> typing_;
    bool goneAsked_ = false;   // the look does not ask again until the next save
    bool handlingGone_ = false;
};

} // namespace zedora
