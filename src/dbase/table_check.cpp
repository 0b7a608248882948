// Checking a table against its index and memos, and mending its memo references.
#include "dbase/table.h"

#include "dbase/mdx_key_types.h"
#include "dbase/table_locks.h"

#include <algorithm>
#include <map>
#include <set>

namespace zedora::dbase {

namespace {

// Keys are Windows-1252, messages UTF-8: letters from 0xA0 on (umlauts, ß)
// are the same code points, the rare rest shows as '?'.
std::string printable(std::string_view key)
{
    while (!key.empty() && key.back() == ' ')
        key.remove_suffix(1);
    std::string out;
    for (char ch : key) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F) {
            out += ch;
        } else if (c >= 0xA0) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += '?';
        }
    }
    return out;
}

struct MemoUse {
    uint32_t first = 0;
    uint32_t blocks = 0;
    uint32_t recno = 0;
    int field = 0;
};

} // namespace

std::vector<std::string> Table::findProblems()
{
    checkEditing(nullptr);
    ReadScope scope(*this);
    needReadLock();
    readHeaderCount();
    std::vector<std::string> problems;
    const uint32_t count = header_.recordCount;
    const std::string where = " (" + path_ + ")";
    std::string record;

    for (size_t t = 0; mdx_ && t < tagInfos_.size(); ++t) {
        const int tag = static_cast<int>(t);
        const std::string name = "Index " + tagInfos_[t].name;
        if (!keys_[t] || !conditionErrors_[t].empty())
            continue; // a foreign key or condition we cannot evaluate
        try {
            mdx_->verify(tag);
        } catch (const DbfError& e) {
            problems.push_back(name + ": " + e.what());
            continue;
        }
        // What the tag must hold: per live record its key; a unique tag
        // only the lowest record of each key.
        std::map<uint32_t, std::string> expected;
        std::set<std::string> uniqueKeys;
        for (uint32_t r = 1; r <= count; ++r) {
            loadRecord(r, record, true);
            if (record[0] == '*' || !meetsCondition(t, record))
                continue;
            std::string key = keys_[t]->evaluate(record.data());
            if (tagInfos_[t].unique && !uniqueKeys.insert(key).second)
                continue;
            expected.emplace(r, std::move(key));
        }
        std::set<uint32_t> seen;
        uint64_t steps = 0;
        for (std::optional<IndexEntry> e = mdx_->first(tag); e; e = mdx_->next(tag, *e)) {
            if (++steps > static_cast<uint64_t>(count) + 1000) {
                problems.push_back(name + ": mehr Einträge als Datensätze" + where);
                break;
            }
            const std::string rec = "Datensatz " + std::to_string(e->recno);
            if (e->recno == 0 || e->recno > count) {
                problems.push_back(name + ": Eintrag \"" + printable(e->key) + "\" verweist auf " + rec +
                                   ", den es nicht gibt" + where);
                continue;
            }
            if (!seen.insert(e->recno).second) {
                problems.push_back(name + ": " + rec + " steht mehrfach im Index" + where);
                continue;
            }
            auto it = expected.find(e->recno);
            if (it == expected.end()) {
                loadRecord(e->recno, record, true);
                problems.push_back(name + ": " + rec + (record[0] == '*' ? " ist gelöscht" : " gehört nicht hinein") +
                                   ", steht aber im Index" + where);
            } else if (tagInfos_[t].keyType == 'C' ? it->second != e->key
                                                   : compareTypedKeys(tagInfos_[t].keyType, it->second, e->key) != 0) {
                problems.push_back(name + ": " + rec + " steht unter \"" + printable(e->key) + "\" statt unter \"" +
                                   printable(it->second) + "\"" + where);
            }
        }
        for (const auto& [r, key] : expected)
            if (!seen.count(r))
                problems.push_back(name + ": Datensatz " + std::to_string(r) + " (\"" + printable(key) +
                                   "\") fehlt im Index" + where);
    }

    if (memo_) {
        std::vector<MemoUse> uses;
        memo_->dropCache();
        for (uint32_t r = 1; r <= count; ++r) {
            loadRecord(r, record, true);
            for (int f = 0; f < fieldCount(); ++f) {
                if (header_.fields[static_cast<size_t>(f)].type != 'M')
                    continue;
                const std::string what = "Datensatz " + std::to_string(r) + ", Feld " + header_.fields[static_cast<size_t>(f)].name;
                try {
                    const uint32_t block = memoBlock(f, record);
                    if (block == 0)
                        continue;
                    uses.push_back({block, memo_->blocksUsed(block), r, f});
                } catch (const DbfError& e) {
                    problems.push_back(what + ": " + e.what());
                }
            }
        }
        std::sort(uses.begin(), uses.end(), [](const MemoUse& a, const MemoUse& b) { return a.first < b.first; });
        for (size_t i = 1; i < uses.size(); ++i) {
            const MemoUse& a = uses[i - 1];
            const MemoUse& b = uses[i];
            if (static_cast<uint64_t>(a.first) + a.blocks > b.first)
                problems.push_back("Datensatz " + std::to_string(b.recno) + ", Feld " +
                                   header_.fields[static_cast<size_t>(b.field)].name + ": Memoblock " +
                                   std::to_string(b.first) + " gehört auch zu Datensatz " + std::to_string(a.recno) +
                                   ", Feld " + header_.fields[static_cast<size_t>(a.field)].name + where);
        }
    }
    return problems;
}

std::vector<std::string> Table::repairMemos()
{
    // Also without the index: it is rebuilt after this anyway.
    if (!dbf_.writable() || broken_)
        throw DbfError("Die Tabelle " + path_ + " ist schreibgeschützt.");
    checkEditing(nullptr);
    if (!exclusive_)
        throw DbfError("Memos können nur bei exklusiv geöffneter Tabelle repariert werden (" + path_ + ").");
    std::vector<std::string> done;
    if (!memo_)
        return done;
    readHeaderCount();
    std::vector<MemoUse> uses;
    std::map<std::pair<uint32_t, int>, bool> broken;
    std::string record;
    for (uint32_t r = 1; r <= header_.recordCount; ++r) {
        loadRecord(r, record, false);
        for (int f = 0; f < fieldCount(); ++f) {
            if (header_.fields[static_cast<size_t>(f)].type != 'M')
                continue;
            try {
                const uint32_t block = memoBlock(f, record);
                if (block != 0)
                    uses.push_back({block, memo_->blocksUsed(block), r, f});
            } catch (const DbfError&) {
                broken[{r, f}] = true;
            }
        }
    }
    std::sort(uses.begin(), uses.end(), [](const MemoUse& a, const MemoUse& b) {
        return a.first != b.first ? a.first < b.first : a.recno < b.recno;
    });
    // The first user of overlapping blocks keeps them; the others get a copy.
    std::map<std::pair<uint32_t, int>, bool> copies;
    uint64_t reach = 0;
    for (const MemoUse& u : uses) {
        if (u.first < reach)
            copies[{u.recno, u.field}] = true;
        reach = std::max<uint64_t>(reach, static_cast<uint64_t>(u.first) + u.blocks);
    }
    const auto rewrite = [&](uint32_t recno, int field, bool keepText) {
        gotoRecord(recno);
        const std::string text = keepText ? memo(field) : std::string();
        const std::string name = header_.fields[static_cast<size_t>(field)].name;
        // The record may be deleted: write it directly, the index is rebuilt after this.
        std::string bytes = buffer_;
        pendingMemos_[field] = text;
        try {
            WriteScope scope(*this);
            commitChange(recno, &buffer_, bytes, bytes[0] != '*');
        } catch (...) {
            pendingMemos_.clear();
            throw;
        }
        pendingMemos_.clear();
        buffer_ = bytes;
        done.push_back("Datensatz " + std::to_string(recno) + ", Feld " + name +
                       (keepText ? ": eigene Kopie des Memos angelegt" : ": ungültigen Memoverweis entfernt"));
    };
    for (const auto& [key, unused] : copies)
        rewrite(key.first, key.second, true);
    for (const auto& [key, unused] : broken)
        rewrite(key.first, key.second, false);
    return done;
}

} // namespace zedora::dbase
