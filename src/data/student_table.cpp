#include "data/student_table.h"

#include "base/ansi_text.h"
#include "data/record_filter.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QFileInfo>

#include <thread>

namespace zedora {
namespace {

const char* const kAverageNames[3] = {"D1", "D2", "D3"};

// A record read longer ago than this is read again, so that the grid, the
// preview and a print run show what another computer saved meanwhile.
constexpr auto kFreshFor = std::chrono::milliseconds(250);

// The engine's refusal while another process holds the record in edit.
bool heldElsewhere(const std::exception& e)
{
    return dynamic_cast<const dbase::RecordHeldElsewhere*>(&e) != nullptr;
}

class Flag {
public:
    explicit Flag(bool& f) : f_(f) { f_ = true; }
    ~Flag() { f_ = false; }

private:
    bool& f_;
};

} // namespace

StudentTable::StudentTable(QObject* parent) : QObject(parent) {}

StudentTable::~StudentTable() = default;

void StudentTable::open(const QString& path, const QString& tag)
{
    close();
    adopt(zedora::openToEdit(path), path, tag);
}

bool StudentTable::openToRead(const QString& path, const QString& tag)
{
    close();
    OpenedTable opened = zedora::openToRead(path);
    adopt(std::move(opened.table), path, opened.withoutIndex ? QString() : tag);
    return !opened.withoutIndex;
}

void StudentTable::adopt(std::unique_ptr<dbase::Table> table, const QString& path, const QString& tag)
{
    table->setWriteThrough(true);
    table_ = std::move(table);
    path_ = path;
    storedCount_ = table_->fieldCount();
    readOnly_.assign(size_t(fieldCount()), false);
    for (int i = 0; i < 3; ++i)
        readOnly_[size_t(storedCount_ + i)] = true;
    tag_.clear();
    if (!tag.isEmpty()) {
        for (const auto& t : table_->tags()) {
            if (QString::fromStdString(t.name).compare(tag, Qt::CaseInsensitive) == 0)
                tag_ = tag;
        }
    }
    setState(State::Browse);
    rebuildRows(0);
    row_ = rows_.empty() ? -1 : 0;
    resetAndAnnounce();
}

bool StudentTable::stillAtItsPath() const
{
    return table_ && table_->stillAtPath();
}

void StudentTable::close()
{
    if (!table_)
        return;
    if (isEditing())
        cancel();
    table_.reset();
    rows_.clear();
    row_ = -1;
    path_.clear();
    filterField_ = -1;
    restrictName_.clear();
    restrictVorname_.clear();
    setState(State::Closed);
    emitReset();
}

int StudentTable::fieldCount() const
{
    return table_ ? storedCount_ + 3 : 0;
}

QString StudentTable::fieldName(int field) const
{
    if (!table_ || field < 0 || field >= fieldCount())
        return {};
    if (field >= storedCount_)
        return QLatin1String(kAverageNames[field - storedCount_]);
    return QString::fromStdString(table_->field(field).name);
}

QStringList StudentTable::fieldNames() const
{
    QStringList out;
    for (int i = 0; i < fieldCount(); ++i)
        out << fieldName(i);
    return out;
}

int StudentTable::findField(const QString& name) const
{
    if (!table_)
        return -1;
    const QString upper = upperAscii(name.trimmed());
    for (int i = 0; i < 3; ++i) {
        if (upper == QLatin1String(kAverageNames[i]))
            return storedCount_ + i;
    }
    return table_->findField(toAnsiStd(upper));
}

bool StudentTable::isCalculated(int field) const
{
    return field >= storedCount_ && field < fieldCount();
}

bool StudentTable::isMemo(int field) const
{
    return table_ && field >= 0 && field < storedCount_ && table_->field(field).type == 'M';
}

int StudentTable::fieldWidth(int field) const
{
    if (!table_ || field < 0 || field >= fieldCount())
        return 0;
    if (isCalculated(field))
        return 4;
    return table_->field(field).length;
}

void StudentTable::rebuildRows(uint32_t keepRecno)
{
    rows_.clear();
    loadedRecno_ = 0;
    if (!table_)
        return;
    table_->selectTag(toAnsiStd(tag_));
    table_->refresh();
    for (table_->first(); !table_->eof() && !table_->isEmpty(); table_->next()) {
        if ((!filtered() || visible()) && (!restricted() || ofRestrictedStudent()))
            rows_.push_back(table_->recno());
    }
    row_ = -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] == keepRecno) {
            row_ = int(i);
            break;
        }
    }
    if (row_ < 0 && !rows_.empty())
        row_ = 0;
}

bool StudentTable::visible() const
{
    if (filterField_ < 0)
        return true;
    if (isCalculated(filterField_)) {
        // An average is compared as the grid shows it.
        const auto stored = [this](const QString& name) {
            try {
                const int f = table_->findField(toAnsiStd(name));
                return f < 0 ? QString() : fromAnsi(table_->text(f));
            } catch (const std::exception&) {
                return QString();
            }
        };
        const QString shown = formatAverage(
            computeAverage(averages_.lists[size_t(filterField_ - storedCount_)], averages_, stored));
        return recordFilterAccepts(filterText_, shown.isEmpty() ? std::nullopt : std::optional<QString>(shown));
    }
    try {
        const std::string raw = isMemo(filterField_) ? table_->memo(filterField_)
                                                     : table_->text(filterField_);
        const std::optional<QString> value =
            raw.empty() ? std::nullopt : std::optional<QString>(fromAnsi(raw));
        return recordFilterAccepts(filterText_, value);
    } catch (const std::exception&) {
        return recordFilterAccepts(filterText_, std::nullopt, false);
    }
}

bool StudentTable::ofRestrictedStudent() const
{
    const int name = table_->findField("NAME");
    const int vorname = table_->findField("VORNAME");
    return name >= 0 && vorname >= 0 && fromAnsi(table_->textView(name)).trimmed() == restrictName_
        && fromAnsi(table_->textView(vorname)).trimmed() == restrictVorname_;
}

void StudentTable::restrictToStudent(const QString& name, const QString& vorname)
{
    if (!table_ || !savePending())
        return;
    const uint32_t keep = bookmark();
    restrictName_ = name.trimmed();
    restrictVorname_ = restrictName_.isEmpty() ? QString() : vorname.trimmed();
    rebuildRows(keep);
    resetAndAnnounce();
}

bool StudentTable::moveToRow(int row)
{
    if (rows_.empty() || row < 0 || row >= rowCount())
        return false;
    if (row == row_ && !isEditing())
        return true;
    if (!savePending())
        return false;
    row_ = std::clamp(row, 0, rowCount() - 1);
    loadedRecno_ = 0;  // the record arrived at is read as stored now
    announceCurrent();
    return true;
}

bool StudentTable::next()
{
    return row_ + 1 < rowCount() && moveToRow(row_ + 1);
}

bool StudentTable::prior()
{
    return row_ > 0 && moveToRow(row_ - 1);
}

StudentTable::Bookmark StudentTable::bookmark() const
{
    if (state_ == State::Insert || row_ < 0 || row_ >= rowCount())
        return 0;
    return rows_[size_t(row_)];
}

bool StudentTable::gotoBookmark(Bookmark mark)
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] == mark)
            return moveToRow(int(i));
    }
    return false;
}

QString StudentTable::storedValue(int field) const
{
    if (isMemo(field))
        return fromAnsi(table_->memo(field));
    return fromAnsi(table_->textView(field));
}

QString StudentTable::averageValue(int which) const
{
    const auto lookup = [this](const QString& name) { return value(name); };
    return formatAverage(computeAverage(averages_.lists[size_t(which)], averages_, lookup));
}

QString StudentTable::value(int field) const
{
    if (!table_ || field < 0 || field >= fieldCount())
        return {};
    if (isCalculated(field))
        return averageValue(field - storedCount_);
    if (isEditing())
        return pending_.value(field);
    if (row_ < 0)
        return {};
    return valueAt(row_, field);
}

QString StudentTable::value(const QString& name) const
{
    return value(findField(name));
}

QString StudentTable::valueAt(int row, int field) const
{
    if (!table_ || row < 0 || row >= rowCount() || field < 0 || field >= fieldCount())
        return {};
    if (row == row_ && (isEditing() || isCalculated(field)))
        return value(field);
    if (isCalculated(field)) {
        const auto lookup = [this, row](const QString& name) { return valueAt(row, findField(name)); };
        const int which = field - storedCount_;
        return formatAverage(computeAverage(averages_.lists[size_t(which)], averages_, lookup));
    }
    try {
        const auto now = std::chrono::steady_clock::now();
        if (loadedRecno_ != rows_[size_t(row)] || now - loadedAt_ > kFreshFor) {
            loadedRecno_ = 0;
            table_->gotoRecord(rows_[size_t(row)]);
            loadedRecno_ = rows_[size_t(row)];
            loadedAt_ = now;
        }
        return storedValue(field);
    } catch (const std::exception&) {
        return {};
    }
}

void StudentTable::loadPending()
{
    pending_.clear();
    // What is stored now: another computer may have saved since the
    // record was shown.
    loadedRecno_ = 0;
    for (int i = 0; i < storedCount_; ++i)
        pending_ << (state_ == State::Insert ? QString() : valueAt(row_, i));
    base_ = pending_;
    changed_.assign(size_t(storedCount_), false);
}

void StudentTable::edit()
{
    if (!table_ || isEditing() || row_ < 0)
        return;
    const bool seen = row_ < rowCount() && seenRecno_ == rows_[size_t(row_)] && seen_.size() == storedCount_;
    loadPending();
    // Changes are made to what the user saw; what another computer stored
    // since then counts as its change.
    if (seen)
        base_ = seen_;
    setState(State::Edit);
}

void StudentTable::append()
{
    if (!table_ || !savePending())
        return;
    setState(State::Insert);
    loadPending();
    emit currentRowChanged(row_);
}

bool StudentTable::setValue(int field, const QString& value)
{
    if (!table_ || field < 0 || field >= storedCount_ || isReadOnly(field))
        return false;
    // Leaving a value as it is changes nothing: no check, no edit state.
    if (value == this->value(field))
        return true;
    if (!isEditing())
        edit();
    if (!isEditing())
        return false;
    QString stored = value;
    if (check_) {
        const std::optional<QString> checked = check_(fieldName(field), value);
        if (!checked)
            return false;
        stored = *checked;
    }
    if (!isMemo(field))
        stored = stored.left(table_->field(field).length);
    if (pending_[field] != stored) {
        pending_[field] = stored;
        changed_[size_t(field)] = true;
        emit rowChanged(row_);
    }
    return true;
}

bool StudentTable::setValue(const QString& name, const QString& value)
{
    return setValue(findField(name), value);
}

QString StudentTable::studentName() const
{
    const int name = findField(QStringLiteral("NAME"));
    const int vorname = findField(QStringLiteral("VORNAME"));
    const QString n = name >= 0 ? value(name).trimmed() : QString();
    const QString v = vorname >= 0 ? value(vorname).trimmed() : QString();
    return v.isEmpty() ? n : n + QStringLiteral(", ") + v;
}

void StudentTable::reportFailure(const QString& what, const std::exception& e)
{
    if (!report_)
        throw;
    if (heldElsewhere(e)) {
        report_(QStringLiteral("Der Datensatz ") + studentName()
                + QStringLiteral(" wird gerade an einem anderen Computer bearbeitet.\n")
                + QStringLiteral("Ihre Eingaben bleiben erhalten; bitte versuchen Sie es gleich noch einmal."));
        return;
    }
    report_(what + QString::fromLocal8Bit(e.what()));
}

// Takes the engine's record lock, waiting a moment for another computer's
// save to end (a save holds it only for its own few writes).
void StudentTable::editStoredRecord()
{
    for (int attempt = 0;; ++attempt) {
        try {
            table_->gotoRecord(rows_[size_t(row_)]);
            table_->edit();
            return;
        } catch (const std::exception& e) {
            if (!heldElsewhere(e) || attempt >= 20)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// Fields changed here that the engine's fresh copy shows changed by
// someone else since the edit started, to a value other than ours.
std::vector<int> StudentTable::fieldsChangedElsewhere(QStringList& theirs) const
{
    std::vector<int> out;
    theirs.clear();
    for (int i = 0; i < storedCount_; ++i) {
        const QString stored = changed_[size_t(i)] ? storedValue(i) : QString();
        theirs << stored;
        if (changed_[size_t(i)] && stored != base_.value(i) && stored != pending_.value(i))
            out.push_back(i);
    }
    return out;
}

bool StudentTable::resolveConflicts(const std::vector<int>& fields, const QStringList& theirs)
{
    if (!resolver_) {
        const QString text = QStringLiteral("Der Datensatz ") + studentName()
                           + QStringLiteral(" wurde inzwischen an einem anderen Computer geändert.\n")
                           + QStringLiteral("Ihre Eingaben wurden nicht gespeichert.");
        if (!report_)
            throw dbase::DbfError(text.toStdString());
        report_(text);
        return false;
    }
    for (int i : fields) {
        const ConflictChoice choice =
            resolver_(FieldConflict{fieldName(i), studentName(), pending_[i], theirs[i]});
        if (choice == ConflictChoice::Cancel)
            return false;
        // From now on the other computer's value is the one this edit
        // knows; a further change made there is asked about again.
        base_[i] = theirs[i];
        if (choice == ConflictChoice::KeepTheirs) {
            pending_[i] = theirs[i];
            changed_[size_t(i)] = false;
            emit rowChanged(row_);
        }
    }
    return true;
}

bool StudentTable::post()
{
    if (!isEditing())
        return true;
    if (posting_)
        return false;
    if (!stillAtItsPath()) {
        if (gone_)
            gone_();
        else if (report_)
            report_(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:\nDie Datei ") + QFileInfo(path_).fileName()
                    + QStringLiteral(" wurde gelöscht, verschoben oder ersetzt."));
        return false;
    }
    const bool inserting = state_ == State::Insert;
    uint32_t recno = 0;
    // Only while writing and asking: the views told afterwards may save again.
    for (Flag posting(posting_);;) {
        std::vector<int> conflicts;
        QStringList theirs;
        try {
            // Only the fields changed here are written, on the record as it
            // is stored now, so that another computer's changes to other
            // fields of the same student survive.
            loadedRecno_ = 0;
            if (inserting) {
                table_->append();
            } else {
                editStoredRecord();
                conflicts = fieldsChangedElsewhere(theirs);
            }
            if (conflicts.empty()) {
                for (int i = 0; i < storedCount_; ++i) {
                    if (!changed_[size_t(i)])
                        continue;
                    if (isMemo(i))
                        table_->setMemo(i, toAnsiStd(pending_[i]));
                    else
                        table_->setText(i, toAnsiStd(pending_[i]));
                }
                table_->post();
                recno = table_->recno();
            } else {
                // Nobody waits on this record while the user decides.
                table_->cancel();
            }
        } catch (const std::exception& e) {
            try {
                table_->cancel();
            } catch (const std::exception&) {
            }
            // The edit stays pending, so nothing typed is lost.
            reportFailure(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:\n"), e);
            return false;
        }
        if (conflicts.empty())
            break;
        if (!resolveConflicts(conflicts, theirs))
            return false;
    }
    setState(State::Browse);
    pending_.clear();
    outsideChanged_ = false;
    rebuildKeeping(recno);
    resetAndAnnounce();
    return true;
}

void StudentTable::cancel()
{
    if (!isEditing())
        return;
    pending_.clear();
    setState(State::Browse);
    loadedRecno_ = 0;
    const bool rebuild = outsideChanged_;
    if (rebuild) {
        outsideChanged_ = false;
        rebuildKeeping(bookmark());
    }
    rememberShown();
    if (rebuild)
        emitReset();
    emit rowChanged(row_);
    emit currentRowChanged(row_);
}

void StudentTable::rememberShown()
{
    seenRecno_ = 0;
    seen_.clear();
    if (!table_ || isEditing() || row_ < 0 || row_ >= rowCount())
        return;
    try {
        table_->gotoRecord(rows_[size_t(row_)]);
        loadedRecno_ = rows_[size_t(row_)];
        loadedAt_ = std::chrono::steady_clock::now();
        for (int i = 0; i < storedCount_; ++i)
            seen_ << storedValue(i);
        seenRecno_ = rows_[size_t(row_)];
    } catch (const std::exception&) {
        seen_.clear();
        loadedRecno_ = 0;
    }
}

void StudentTable::announceCurrent()
{
    rememberShown();
    emit currentRowChanged(row_);
}

// What the views are told is remembered first: a view reacting to the reset
// may start an edit at once.
void StudentTable::resetAndAnnounce()
{
    rememberShown();
    emitReset();
    emit currentRowChanged(row_);
}

bool StudentTable::rebuildKeeping(uint32_t keepRecno)
{
    const std::vector<uint32_t> before = rows_;
    const int beforeRow = row_;
    try {
        rebuildRows(keepRecno);
        return true;
    } catch (const std::exception&) {
        // A read error halfway: keep the rows that were shown.
        rows_ = before;
        row_ = beforeRow;
        loadedRecno_ = 0;
        return false;
    }
}

bool StudentTable::takeOverOutsideChanges(bool userTyping)
{
    if (!table_ || posting_ || suspended_ > 0)
        return false;
    const bool held = isEditing() || userTyping;
    try {
        // A change put off while the user was typing is shown once done.
        if (!table_->changedSinceLastLook() && (held || !outsideChanged_))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    loadedRecno_ = 0;
    if (held) {
        outsideChanged_ = true;
        for (int r = 0; r < rowCount(); ++r) {
            if (r != row_)
                emit rowChanged(r);
        }
        return true;
    }
    outsideChanged_ = false;
    const std::vector<uint32_t> before = rows_;
    const uint32_t keep = bookmark();
    if (!rebuildKeeping(keep))
        return false;
    if (rows_ == before) {
        // The current record is announced only when it changed, so that a
        // view holding half-typed text is not disturbed for others' rows.
        const QStringList shown = seen_;
        rememberShown();
        for (int r = 0; r < rowCount(); ++r) {
            if (r != row_ || seen_ != shown)
                emit rowChanged(r);
        }
    } else {
        resetAndAnnounce();
    }
    return true;
}

void StudentTable::deleteCurrent()
{
    if (!table_ || row_ < 0)
        return;
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (!stillAtItsPath()) {
        if (gone_)
            gone_();
        return;
    }
    cancel();
    loadedRecno_ = 0;
    try {
        table_->gotoRecord(rows_[size_t(row_)]);
        table_->deleteRecord();
    } catch (const std::exception& e) {
        if (!report_)
            throw;
        report_(QStringLiteral("Der Datensatz konnte nicht gelöscht werden:\n") + QString::fromLocal8Bit(e.what()));
        return;
    }
    const int oldRow = row_;
    rebuildRows(0);
    row_ = rows_.empty() ? -1 : std::min(oldRow, rowCount() - 1);
    resetAndAnnounce();
}

void StudentTable::setReadOnly(int field, bool readOnly)
{
    if (field >= 0 && field < int(readOnly_.size()) && !isCalculated(field))
        readOnly_[size_t(field)] = readOnly;
}

bool StudentTable::isReadOnly(int field) const
{
    return field < 0 || field >= int(readOnly_.size()) || readOnly_[size_t(field)];
}

void StudentTable::setTag(const QString& tag)
{
    if (!table_ || !savePending())
        return;
    const uint32_t keep = bookmark();
    tag_ = tag;
    rebuildRows(keep);
    resetAndAnnounce();
}

void StudentTable::setFilter(const QString& field, const QString& text)
{
    if (!table_ || !savePending())
        return;
    const uint32_t keep = bookmark();
    filterField_ = findField(field);
    filterText_ = text;
    rebuildRows(keep);
    resetAndAnnounce();
}

void StudentTable::clearFilter()
{
    setFilter(QString(), QString());
}

void StudentTable::refresh()
{
    if (!table_ || !savePending())
        return;
    rebuildRows(bookmark());
    resetAndAnnounce();
}

void StudentTable::suspendViews()
{
    ++suspended_;
}

void StudentTable::resumeViews()
{
    if (suspended_ > 0 && --suspended_ == 0 && resetWhileSuspended_) {
        resetWhileSuspended_ = false;
        emit rowsReset();
    }
}

void StudentTable::emitReset()
{
    if (suspended_ > 0)
        resetWhileSuspended_ = true;
    else
        emit rowsReset();
}

void StudentTable::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged(s);
}

} // namespace zedora
