// Memo fields of the current record.
#include "dbase/table.h"

#include "dbase/table_locks.h"
#include "dbase/table_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <iterator>
#include <mutex>
#include <ostream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace zedora::dbase {

uint32_t Table::memoBlock(int index, const std::string& record) const
{
    const FieldDesc& f = header_.fields[static_cast<size_t>(index)];
    std::string_view raw = trimBoth(std::string_view(record.data() + f.offset, static_cast<size_t>(f.length)));
    if (raw.empty())
        return 0;
    uint64_t block = 0;
    if (!allDigits(raw) || raw.size() > 10 || (block = std::stoull(std::string(raw))) > 0xFFFFFFFFull)
        throw DbfError("Die Tabelle " + path_ + " ist beschädigt: ungültiger Memoverweis im Feld " + f.name + ".");
    return static_cast<uint32_t>(block);
}

std::string Table::memo(int index) const
{
    const FieldDesc& f = field(index);
    if (f.type != 'M')
        throw DbfError("Das Feld " + f.name + " der Tabelle " + path_ + " ist kein Memofeld.");
    if (auto it = pendingMemos_.find(index); it != pendingMemos_.end())
        return it->second;
    const uint32_t block = memoBlock(index, buffer_);
    if (block == 0)
        return {};
    if (!memo_)
        throw DbfError("Die Memodatei zur Tabelle " + path_ + " fehlt.");
    // Under the read lock, so that a memo another process is writing is
    // never read half done and one it wrote is not taken from the cache.
    ReadScope scope(*this);
    const_cast<Table*>(this)->needReadLock();
    return const_cast<MemoFile&>(*memo_).read(block);
}

void Table::readMemo(int index, std::ostream& out) const
{
    const std::string m = memo(index);
    out.write(m.data(), static_cast<std::streamsize>(m.size()));
}

void Table::setMemo(int index, std::string_view text)
{
    checkEditing("Memo setzen");
    const FieldDesc& f = field(index);
    if (f.type != 'M')
        throw DbfError("Das Feld " + f.name + " der Tabelle " + path_ + " ist kein Memofeld.");
    if (!memo_ || !header_.dbase4Memo())
        throw DbfError("Die Memodatei zur Tabelle " + path_ + " kann nicht beschrieben werden.");
    pendingMemos_[index] = std::string(text);
}

void Table::writeMemo(int index, std::istream& in)
{
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    setMemo(index, text);
}

} // namespace zedora::dbase
