// Keeping the work of a file that lost its name: the open handle still
// reads the old records, deleted or replaced on disk or not.
#include "data/student_table.h"

#include "base/ansi_text.h"
#include "dbase/table.h"

namespace zedora {

int StudentTable::copyAllInto(dbase::Table& into)
{
    if (!table_)
        return 0;
    std::vector<int> target(size_t(storedCount_), -1);
    for (int i = 0; i < storedCount_; ++i)
        target[size_t(i)] = into.findField(table_->field(i).name);
    const auto put = [&](int i, const std::string& value) {
        const int t = target[size_t(i)];
        if (t < 0)
            return;
        if (into.field(t).type == 'M')
            into.setMemo(t, value);
        else
            into.setText(t, value);
    };
    const uint32_t editing = state_ == State::Edit && row_ >= 0 ? rows_[size_t(row_)] : 0;
    int written = 0;
    loadedRecno_ = 0;
    const uint32_t count = table_->recordCount();
    for (uint32_t r = 1; r <= count; ++r) {
        table_->gotoRecord(r);
        if (table_->deleted())
            continue;
        into.append();
        for (int i = 0; i < storedCount_; ++i) {
            if (r == editing && changed_[size_t(i)])
                put(i, toAnsiStd(pending_[i]));
            else
                put(i, isMemo(i) ? table_->memo(i) : table_->text(i));
        }
        into.post();
        ++written;
    }
    if (state_ == State::Insert) {
        into.append();
        for (int i = 0; i < storedCount_; ++i) {
            if (changed_[size_t(i)])
                put(i, toAnsiStd(pending_[i]));
        }
        into.post();
        ++written;
    }
    loadedRecno_ = 0;
    return written;
}

} // namespace zedora
