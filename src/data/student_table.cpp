#include "data/student_table.h"

#include "base/ansi_text.h"
#include "data/record_filter.h"
#include "dbase/table.h"

#include <QFileInfo>

namespace zedora {
namespace {

const char* const kAverageNames[3] = {"D1", "D2", "D3"};

} // namespace

StudentTable::StudentTable(QObject* parent) : QObject(parent) {}

StudentTable::~StudentTable() = default;

void StudentTable::open(const QString& path, const QString& tag)
{
    close();
    auto table = dbase::Table::open(QFileInfo(path).absoluteFilePath().toStdString());
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
    emitReset();
    emit currentRowChanged(row_);
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
    emitReset();
    emit currentRowChanged(row_);
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
    emit currentRowChanged(row_);
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
        if (loadedRecno_ != rows_[size_t(row)]) {
            loadedRecno_ = 0;
            table_->gotoRecord(rows_[size_t(row)]);
            loadedRecno_ = rows_[size_t(row)];
        }
        return storedValue(field);
    } catch (const std::exception&) {
        return {};
    }
}

void StudentTable::loadPending()
{
    pending_.clear();
    for (int i = 0; i < storedCount_; ++i)
        pending_ << (state_ == State::Insert ? QString() : valueAt(row_, i));
    changed_.assign(size_t(storedCount_), false);
}

void StudentTable::edit()
{
    if (!table_ || isEditing() || row_ < 0)
        return;
    loadPending();
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

bool StudentTable::post()
{
    if (!isEditing())
        return true;
    const bool inserting = state_ == State::Insert;
    uint32_t recno = 0;
    try {
        // Only the fields changed here are written, on a fresh copy of the
        // record, so that another computer's changes to other fields of the
        // same student survive.
        loadedRecno_ = 0;
        if (inserting) {
            table_->append();
        } else {
            table_->gotoRecord(rows_[size_t(row_)]);
            table_->edit();
        }
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
    } catch (const std::exception& e) {
        try {
            table_->cancel();
        } catch (const std::exception&) {
        }
        if (!report_)
            throw;
        // The edit stays pending, so nothing typed is lost.
        report_(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:\n") + QString::fromLocal8Bit(e.what()));
        return false;
    }
    setState(State::Browse);
    pending_.clear();
    rebuildRows(recno);
    emitReset();
    emit currentRowChanged(row_);
    return true;
}

void StudentTable::cancel()
{
    if (!isEditing())
        return;
    pending_.clear();
    setState(State::Browse);
    emit rowChanged(row_);
    emit currentRowChanged(row_);
}

void StudentTable::deleteCurrent()
{
    if (!table_ || row_ < 0)
        return;
    if (state_ == State::Insert) {
        cancel();
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
    emitReset();
    emit currentRowChanged(row_);
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
    emitReset();
    emit currentRowChanged(row_);
}

void StudentTable::setFilter(const QString& field, const QString& text)
{
    if (!table_ || !savePending())
        return;
    const uint32_t keep = bookmark();
    filterField_ = findField(field);
    if (isCalculated(filterField_))
        filterField_ = -1;
    filterText_ = text;
    rebuildRows(keep);
    emitReset();
    emit currentRowChanged(row_);
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
    emitReset();
    emit currentRowChanged(row_);
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
