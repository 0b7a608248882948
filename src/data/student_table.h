#pragma once
// The open student file as the windows see it: a dataset over the engine's
// table with browse / edit / insert states and the pending edit, per-field
// checks that run on every change, the calculated averages D1 to D3, the
// record filter, bookmarks and the index order. Rows are the visible
// records in the order of the current tag, so an item model can address
// them by number.
#include "data/averages.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zedora {
namespace dbase {
class Table;
}

class StudentTable : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };

    // Runs for every change of a field's value, whatever caused it. Returns
    // the value to store (a check may replace it), or nothing to refuse the
    // change; the check shows its own messages.
    using ChangeCheck = std::function<std::optional<QString>(const QString& field, const QString& value)>;

    // A field changed here whose stored value another computer changed too
    // since this edit began.
    struct FieldConflict {
        QString field;
        QString student;  // "NAME, VORNAME" as stored
        QString mine;
        QString theirs;
    };
    enum class ConflictChoice { KeepMine, KeepTheirs, Cancel };
    using ConflictResolver = std::function<ConflictChoice(const FieldConflict&)>;

    explicit StudentTable(QObject* parent = nullptr);
    ~StudentTable() override;

    // Opens path (throws dbase::DbfError); orders by tag (empty: physical).
    void open(const QString& path, const QString& tag = QString());
    // Only to be read (a transfer source): a missing index that cannot be
    // rebuilt here gives the stored order. False in that case.
    bool openToRead(const QString& path, const QString& tag = QString());
    void close();
    bool isOpen() const { return bool(table_); }
    QString path() const { return path_; }
    dbase::Table* engineTable() { return table_.get(); }

    // Fields: the stored ones in file order, then D1, D2, D3.
    int fieldCount() const;
    QString fieldName(int field) const;
    int findField(const QString& name) const;  // -1 when the file lacks it
    bool isCalculated(int field) const;
    bool isMemo(int field) const;
    int fieldWidth(int field) const;
    QStringList fieldNames() const;

    // Rows.
    int rowCount() const { return int(rows_.size()); }
    int currentRow() const { return row_; }
    bool isEmpty() const { return rows_.empty(); }
    // Moving posts the pending edit first. Returns false when the move
    // could not be made (no rows, or the post was refused).
    bool moveToRow(int row);
    bool first() { return moveToRow(0); }
    bool last() { return moveToRow(rowCount() - 1); }
    bool next();
    bool prior();
    bool atFirst() const { return row_ <= 0; }
    bool atLast() const { return row_ >= rowCount() - 1; }
    using Bookmark = uint32_t;
    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark mark);

    // Values of the current row (the pending values while editing).
    QString value(int field) const;
    QString value(const QString& name) const;
    // The value of any row without moving the cursor.
    QString valueAt(int row, int field) const;

    // Editing.
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }
    void edit();
    // A new record at the end of the file; it becomes a row when posted.
    void append();
    // Runs the change check; false when refused or the field is read-only.
    bool setValue(int field, const QString& value);
    bool setValue(const QString& name, const QString& value);
    // Writes the fields changed here through to disk, on the record as it
    // is stored now. A field another computer changed meanwhile goes to the
    // conflict resolver first. Returns false when the engine refused the
    // save or the user cancelled it (the edit stays pending).
    bool post();
    void cancel();
    void deleteCurrent();
    // Posts when editing; the common first step of every command. Input
    // still held by an open editor is taken over first.
    bool savePending()
    {
        if (takeOverInput_)
            takeOverInput_();
        return !isEditing() || post();
    }
    // Hands a value still being typed (a cell editor) to the record.
    void setInputTakeOver(std::function<void()> takeOver) { takeOverInput_ = std::move(takeOver); }

    // Whether the open file still has its name: false once it was deleted,
    // moved or replaced under this window. Nothing is written then.
    bool stillAtItsPath() const;
    // Runs instead of a save or delete that finds the file gone; the edit
    // stays pending.
    void setGoneReport(std::function<void()> report) { gone_ = std::move(report); }
    // Appends every live record of the open file, the pending edit
    // included, to into (fields matched by name), so work in a file that
    // lost its name can be kept in a new one. Returns the records written.
    int copyAllInto(dbase::Table& into);

    void setChangeCheck(ChangeCheck check) { check_ = std::move(check); }
    // Where a refused save or delete is reported (another computer holds
    // the record, the disk is full); without it the engine's error is thrown.
    using ErrorReport = std::function<void(const QString& text)>;
    void setErrorReport(ErrorReport report) { report_ = std::move(report); }
    // Without a resolver a conflicting save is refused and reported.
    void setConflictResolver(ConflictResolver resolver) { resolver_ = std::move(resolver); }
    void setReadOnly(int field, bool readOnly);
    bool isReadOnly(int field) const;
    void setAverageDefinitions(const AverageDefinitions& defs) { averages_ = defs; }

    // Order and filter.
    void setTag(const QString& tag);
    QString tag() const { return tag_; }
    void setFilter(const QString& field, const QString& text);
    void clearFilter();
    bool filtered() const { return filterField_ >= 0; }
    QString filterFieldName() const { return filtered() ? fieldName(filterField_) : QString(); }
    QString filterText() const { return filterText_; }
    // Only the records of one student (NAME and VORNAME equal, trimmed);
    // an empty name lifts the restriction.
    void restrictToStudent(const QString& name, const QString& vorname);
    bool restricted() const { return !restrictName_.isEmpty(); }

    // Reads the file again (others may have changed it); keeps the record.
    void refresh();
    // Asks the engine whether anyone changed the file since the last look
    // and, if so, shows the changes: all rows when browsing; while the
    // current record is edited, or the user is typing into a view, only the
    // other rows (rows added or removed elsewhere appear once the edit
    // ends). Returns whether it looked new.
    bool takeOverOutsideChanges(bool userTyping = false);

    // Bulk work: while suspended no row signals are sent; resume sends one
    // rowsReset().
    void suspendViews();
    void resumeViews();

signals:
    void rowsReset();              // rows or their order changed
    void rowChanged(int row);      // values of one row changed
    void currentRowChanged(int row);
    void stateChanged(StudentTable::State state);

private:
    void adopt(std::unique_ptr<dbase::Table> table, const QString& path, const QString& tag);
    void rebuildRows(uint32_t keepRecno);
    bool visible() const;
    bool ofRestrictedStudent() const;
    void loadPending();
    void rememberShown();
    void announceCurrent();
    void resetAndAnnounce();
    void editStoredRecord();
    std::vector<int> fieldsChangedElsewhere(QStringList& theirs) const;
    bool resolveConflicts(const std::vector<int>& fields, const QStringList& theirs);
    QString studentName() const;
    void reportFailure(const QString& what, const std::exception& e);
    bool rebuildKeeping(uint32_t keepRecno);
    QString storedValue(int field) const;
    QString averageValue(int which) const;
    void emitReset();
    void setState(State s);

    std::unique_ptr<dbase::Table> table_;
    QString path_;
    QString tag_;
    std::vector<uint32_t> rows_;  // record numbers in tag order
    mutable uint32_t loadedRecno_ = 0;  // the record the engine's buffer holds
    mutable std::chrono::steady_clock::time_point loadedAt_;
    int row_ = -1;
    State state_ = State::Closed;
    QStringList pending_;          // stored field values while editing
    QStringList base_;             // the stored values the edit started from
    QStringList seen_;             // the current record as the views were last told
    uint32_t seenRecno_ = 0;
    std::vector<bool> changed_;
    std::vector<bool> readOnly_;
    ChangeCheck check_;
    ErrorReport report_;
    std::function<void()> gone_;
    ConflictResolver resolver_;
    bool posting_ = false;         // a save is asking the user; no outside refresh
    bool outsideChanged_ = false;  // others changed rows while this record was edited
    std::function<void()> takeOverInput_;
    AverageDefinitions averages_;
    int filterField_ = -1;
    QString filterText_;
    QString restrictName_;
    QString restrictVorname_;
    int suspended_ = 0;
    bool resetWhileSuspended_ = false;
    int storedCount_ = 0;
};

} // namespace zedora
