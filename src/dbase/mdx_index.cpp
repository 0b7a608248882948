// The production index: tag table and tags of one .MDX file.
#include "dbase/collation.h"
#include "dbase/index.h"
#include "dbase/mdx_file.h"
#include "dbase/mdx_format.h"
#include "dbase/mdx_key_types.h"
#include "dbase/mdx_tree.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <numeric>

namespace zedora::dbase {

using namespace mdx;

namespace {

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

// Key expressions are written in upper case, which every reader parses;
// quoted literals keep their letters.
std::string upperExpression(std::string_view text) {
    std::string out(text);
    char quote = 0;
    for (char& c : out) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return out;
}

bool knownType(char type) { return type == 'C' || type == 'N' || type == 'D'; }

bool isPlainField(const std::string& expression) {
    size_t begin = expression.find_first_not_of(' ');
    size_t end = expression.find_last_not_of(' ');
    if (begin == std::string::npos) return false;
    for (size_t i = begin; i <= end; ++i) {
        const unsigned char c = static_cast<unsigned char>(expression[i]);
        if (!std::isalnum(c) && c != '_') return false;
    }
    return true;
}

struct Tag {
    TagInfo info;
    MdxTagLayout layout;
    std::shared_ptr<const KeyExpression> key;
    std::shared_ptr<const KeyExpression> condition;  // null: every record
    std::string keyError;
    // A condition we cannot evaluate: the tag is read, but not maintained.
    std::string conditionError;
};

class MdxIndexImpl final : public MdxIndex {
public:
    MdxIndexImpl(std::unique_ptr<MdxFile> file, const std::vector<FieldDesc>* fields)
        : file_(std::move(file)) {
        if (fields) { fields_ = *fields; haveFields_ = true; }
        loadTags();
    }

    // Pending changes are written when the caller forgot flush(); a
    // destructor cannot report a failure, flush() can.
    ~MdxIndexImpl() override {
        try {
            if (file_->dirty() || file_->writing()) file_->flush();
        } catch (const DbfError&) {
        }
    }

    bool writable() const override { return file_->writable(); }
    bool isAt(const std::string& path) const override { return file_->isAt(path); }

    std::vector<TagInfo> tags() const override {
        std::vector<TagInfo> out;
        for (const Tag& t : tags_) out.push_back(t.info);
        return out;
    }

    int tagIndex(std::string_view name) const override {
        const std::string wanted = upperAscii(name);
        for (size_t i = 0; i < tags_.size(); ++i)
            if (upperAscii(tags_[i].info.name) == wanted) return int(i);
        return -1;
    }

    using MdxIndex::addTag;
    void addTag(const std::string& name, const KeyExpression& key, bool unique, const KeyExpression* condition,
                const std::function<void(const RecordVisitor&)>& forEachRecord) override;

    const KeyExpression& keyExpression(int tag) const override {
        const Tag& t = tagAt(tag);
        if (!t.key) throw DbfError(t.keyError);
        return *t.key;
    }

    const KeyExpression* condition(int tag) const override {
        const Tag& t = tagAt(tag);
        if (!t.key) throw DbfError(t.keyError);
        if (!t.conditionError.empty()) throw DbfError(t.conditionError);
        return t.condition.get();
    }

    void insert(int tag, std::string_view key, uint32_t recno) override;
    void remove(int tag, std::string_view key, uint32_t recno) override;

    std::optional<IndexEntry> first(int tag) override { return tree(tag).first(); }
    std::optional<IndexEntry> last(int tag) override { return tree(tag).last(); }
    std::optional<IndexEntry> next(int tag, const IndexEntry& after) override {
        MdxTree t = tree(tag);
        return t.after(padded(tag, after.key, true), after.recno);
    }
    std::optional<IndexEntry> prior(int tag, const IndexEntry& before) override {
        MdxTree t = tree(tag);
        return t.before(padded(tag, before.key, true), before.recno);
    }
    std::optional<IndexEntry> seek(int tag, std::string_view key) override {
        MdxTree t = tree(tag);
        return t.lowerBound(padded(tag, key, true), 0);
    }

    void refresh() override {
        if (file_->dirty() || file_->writing()) return;  // our own changes, made under the caller's lock
        if (file_->changedOnDisk()) {
            file_->reload();
            loadTags();
        }
    }

    void flush() override { file_->flush(); }
    uint32_t changeCounterOnDisk() override { return file_->counterOnDisk(); }
    void beginWrite(bool durable) override { file_->beginWrite(durable); }
    void abandonWrite(bool keepMark) override {
        file_->abandonWrite(keepMark);
        loadTags();
    }
    bool lockFile(bool exclusive, int timeoutMs) override { return file_->lock(exclusive, timeoutMs); }
    void unlockFile() override { file_->unlock(); }

    void setRecordSource(const std::function<void(const RecordVisitor&)>& forEachRecord) override {
        recordSource_ = forEachRecord;
    }

    void verify(int tag) override { tree(tag).verify(); }

private:
    const Tag& tagAt(int tag) const {
        if (tag < 0 || size_t(tag) >= tags_.size())
            throw DbfError("Die Indexdatei " + file_->path() + " hat kein Tag Nummer " + std::to_string(tag));
        return tags_[size_t(tag)];
    }

    MdxTree tree(int tag) {
        const Tag& t = tagAt(tag);
        if (!knownType(t.info.keyType))
            throw DbfError("Tag " + t.info.name + " der Indexdatei " + file_->path() +
                           ": Schlüssel vom Typ " + t.info.keyType + " werden nicht unterstützt.");
        return MdxTree(*file_, t.layout);
    }

    // The key blank-padded to the tag's length; longer keys are cut when
    // searching and refused when storing.
    std::string padded(int tag, std::string_view key, bool search) const {
        const Tag& t = tagAt(tag);
        const size_t length = size_t(t.layout.keyLength);
        if (key.size() > length && !search)
            throw DbfError("Schlüssel für Tag " + t.info.name + " ist länger als " + std::to_string(length) +
                           " Zeichen (" + file_->path() + ")");
        std::string out(key.substr(0, length));
        out.resize(length, t.info.keyType == 'C' ? ' ' : '\0');
        return out;
    }

    // Character keys match byte for byte; numbers and dates by value.
    bool sameKey(int tag, std::string_view a, std::string_view b) const {
        const char type = tagAt(tag).info.keyType;
        return type == 'C' ? a == b : compareTypedKeys(type, a, b) == 0;
    }

    void requireMaintainable(int tag) const {
        file_->requireWritable();
        const Tag& t = tagAt(tag);
        if (!t.key && haveFields_) throw DbfError(t.keyError);
        if (!t.conditionError.empty() && haveFields_) throw DbfError(t.conditionError);
    }

    void loadTags();
    void writeTagTable();

    std::unique_ptr<MdxFile> file_;
    std::vector<FieldDesc> fields_;
    bool haveFields_ = false;
    std::vector<Tag> tags_;
    std::function<void(const RecordVisitor&)> recordSource_;
};

void MdxIndexImpl::loadTags() {
    const uint8_t* h = file_->header();
    const int count = get16(h + header::tagsUsed);
    const int blockSize = file_->blockSize();
    std::vector<Tag> loaded;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = h + kTagTableOffset + i * kTagEntryLength;
        Tag t;
        const char* nameBytes = reinterpret_cast<const char*>(e + entry::name);
        std::string name(nameBytes, strnlen(nameBytes, entry::nameLength));
        while (!name.empty() && name.back() == ' ') name.pop_back();
        if (name.empty()) file_->damaged("Tag " + std::to_string(i + 1) + " ohne Namen");
        t.info.name = name;
        t.layout.headerPage = get32(e + entry::headerPage);
        const uint8_t* th = file_->block(t.layout.headerPage);
        t.info.keyType = static_cast<char>(th[tag::keyType]);
        t.layout.keyType = t.info.keyType;
        t.layout.keyLength = get16(th + tag::keyLength);
        t.layout.maxKeys = get16(th + tag::maxKeys);
        t.layout.itemLength = get16(th + tag::itemLength);
        t.layout.descending = (th[tag::keyFormat] & tag::fmtDescending) != 0;
        if (t.layout.keyLength < 1 || t.layout.itemLength < t.layout.keyLength + 4 ||
            t.layout.itemLength > blockSize - 12 || t.layout.maxKeys < 2 ||
            t.layout.maxKeys > (blockSize - 12) / t.layout.itemLength)
            file_->damaged("ungültiger Kopf des Tags " + name);
        const char* expr = reinterpret_cast<const char*>(th + tag::expression);
        t.info.expression.assign(expr, strnlen(expr, kMaxExpressionLength + 1));
        t.info.unique = th[tag::unique] != 0 || (th[tag::keyFormat] & tag::fmtUnique) != 0;
        t.info.descending = t.layout.descending;
        t.info.keyLength = t.layout.keyLength;
        const bool hasCondition = th[tag::hasCondition] != 0;
        bool conditionReadable = true;
        if (hasCondition && blockSize >= tag::conditionBlockSize) {
            const char* text = reinterpret_cast<const char*>(th + tag::condition);
            t.info.condition.assign(text, strnlen(text, kMaxExpressionLength + 1));
            while (!t.info.condition.empty() && t.info.condition.back() == ' ') t.info.condition.pop_back();
        } else if (hasCondition) {
            conditionReadable = false;  // it would lie in the next block
            t.info.condition = "?";
        }
        for (const Tag& old : tags_)
            if (old.info.name == t.info.name && old.info.expression == t.info.expression &&
                old.info.condition == t.info.condition && old.info.keyLength == t.info.keyLength && old.key) {
                t.key = old.key;
                t.condition = old.condition;
                t.conditionError = old.conditionError;
            }
        if (!t.key) {
            const std::string prefix = "Tag " + name + " der Indexdatei " + file_->path() + ": ";
            if (!knownType(t.info.keyType)) {
                t.keyError = prefix + "Schlüssel vom Typ " + t.info.keyType + " werden nicht unterstützt.";
            } else if (!haveFields_) {
                t.keyError = prefix + "Schlüsselausdruck ohne Felder der Tabelle nicht übersetzt.";
            } else {
                try {
                    auto compiled = std::make_shared<KeyExpression>(KeyExpression::compile(t.info.expression, fields_));
                    if (compiled->length() != t.layout.keyLength)
                        t.keyError = prefix + "Schlüssellänge passt nicht zum Ausdruck.";
                    else if (compiled->type() != t.info.keyType)
                        t.keyError = prefix + "Schlüsseltyp passt nicht zum Ausdruck.";
                    else
                        t.key = std::move(compiled);
                } catch (const DbfError& error) {
                    t.keyError = prefix + error.what();
                }
                if (t.key && !conditionReadable) {
                    t.conditionError = prefix + "die FOR-Bedingung ist bei Blöcken unter 1024 Bytes nicht lesbar.";
                } else if (t.key && !t.info.condition.empty()) {
                    try {
                        t.condition = std::make_shared<KeyExpression>(
                            KeyExpression::compileCondition(t.info.condition, fields_));
                    } catch (const DbfError& error) {
                        t.conditionError = prefix + error.what();
                    }
                }
            }
        }
        loaded.push_back(std::move(t));
    }
    tags_ = std::move(loaded);
}

// Entries, name tree and counters of the tag table in the file header.
void MdxIndexImpl::writeTagTable() {
    uint8_t* h = file_->mutableHeader();
    const int n = int(tags_.size());
    std::vector<int> left(size_t(n), 0), right(size_t(n), 0), parent(size_t(n), 0);
    for (int i = 1; i < n; ++i) {
        int at = 0;
        for (;;) {
            std::vector<int>& side = tags_[size_t(i)].info.name < tags_[size_t(at)].info.name ? left : right;
            if (side[size_t(at)] == 0) { side[size_t(at)] = i + 1; parent[size_t(i)] = at + 1; break; }
            at = side[size_t(at)] - 1;
        }
    }
    for (int i = 0; i < n; ++i) {
        uint8_t* e = h + kTagTableOffset + i * kTagEntryLength;
        e[entry::leftTag] = static_cast<uint8_t>(left[size_t(i)]);
        e[entry::rightTag] = static_cast<uint8_t>(right[size_t(i)]);
        e[entry::parentTag] = static_cast<uint8_t>(parent[size_t(i)]);
    }
    put16(h + header::tagsUsed, static_cast<uint16_t>(n));
    h[header::nextTag] = static_cast<uint8_t>(n + 1);
    h[header::anchorRoot] = n > 0 ? 1 : 0;
}

void MdxIndexImpl::addTag(const std::string& rawName, const KeyExpression& key, bool unique,
                          const KeyExpression* condition,
                          const std::function<void(const RecordVisitor&)>& forEachRecord) {
    file_->requireWritable();
    const std::string name = upperAscii(rawName);
    const std::string where = " (" + file_->path() + ")";
    bool validName = !name.empty() && name.size() <= 10 && name[0] >= 'A' && name[0] <= 'Z';
    for (char c : name) validName = validName && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
    if (!validName) throw DbfError("Ungültiger Tag-Name \"" + rawName + "\"" + where);
    if (tagIndex(name) >= 0) throw DbfError("Das Tag " + name + " gibt es schon" + where);
    if (tags_.size() >= size_t(kMaxTags)) throw DbfError("Kein Platz für ein weiteres Tag" + where);
    if (!knownType(key.type()) || key.length() < 1 || key.length() > kMaxKeyLength)
        throw DbfError("Schlüsselausdruck \"" + key.text() + "\" ist für ein Tag ungeeignet" + where);
    if (key.text().size() > size_t(kMaxExpressionLength))
        throw DbfError("Schlüsselausdruck ist länger als 220 Zeichen" + where);
    if (condition) {
        if (condition->type() != 'L' || condition->text().find_first_not_of(' ') == std::string::npos)
            throw DbfError("\"" + condition->text() + "\" ist keine Bedingung für ein Tag" + where);
        if (condition->text().size() > size_t(kMaxExpressionLength))
            throw DbfError("Die Bedingung ist länger als 220 Zeichen" + where);
        if (file_->blockSize() < tag::conditionBlockSize)
            throw DbfError("Ein Tag mit Bedingung braucht Blöcke von mindestens 1024 Bytes" + where);
    }

    // Collect and sort in collation order, equal keys by record number.
    struct Item { std::string sortKey; uint32_t recno; std::string key; };
    std::vector<Item> items;
    const size_t keyLength = size_t(key.length());
    forEachRecord([&](uint32_t recno, const char* record) {
        if (condition && !condition->matches(record)) return;
        std::string k = key.evaluate(record);
        std::string s = key.type() == 'C' ? collationSortKey(k, keyLength) : std::string();
        items.push_back({std::move(s), recno, std::move(k)});
    });
    std::vector<uint32_t> order(items.size());
    std::iota(order.begin(), order.end(), 0u);
    const char type = key.type();
    auto compareItems = [&](const Item& a, const Item& b) {
        return type == 'C' ? a.sortKey.compare(b.sortKey) : compareTypedKeys(type, a.key, b.key);
    };
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        if (const int c = compareItems(items[a], items[b])) return c < 0;
        return items[a].recno < items[b].recno;
    });
    std::vector<IndexEntry> sorted;
    sorted.reserve(items.size());
    for (size_t i = 0; i < order.size(); ++i) {
        Item& it = items[order[i]];
        if (unique && i > 0 && compareItems(items[order[i - 1]], it) == 0) continue;
        sorted.push_back({it.key, it.recno});  // a copy: the next item compares with this one
    }

    try {
        MdxTagLayout layout = MdxTree::newLayout(file_->blockSize(), key.length());
        layout.keyType = type;
        layout.headerPage = file_->allocate();
        const uint32_t rootPage = file_->allocate();
        uint8_t* th = file_->mutableBlock(layout.headerPage);
        put32(th + tag::rootPage, rootPage);
        put32(th + tag::sizePages, file_->pagesPerBlock());
        th[tag::keyFormat] = static_cast<uint8_t>(tag::fmtField | (unique ? tag::fmtUnique : 0));
        th[tag::keyType] = static_cast<uint8_t>(type);
        th[tag::marker] = 0x1B;
        put16(th + tag::keyLength, static_cast<uint16_t>(layout.keyLength));
        put16(th + tag::maxKeys, static_cast<uint16_t>(layout.maxKeys));
        put16(th + tag::itemLength, static_cast<uint16_t>(layout.itemLength));
        th[tag::serial] = 1;
        th[tag::unique] = unique ? 1 : 0;
        const std::string expression = upperExpression(key.text());
        std::memcpy(th + tag::expression, expression.data(), expression.size());
        MdxFile::writeToday(th + tag::created);
        th[tag::plainField] = isPlainField(expression) ? 1 : 0;
        std::string conditionText;
        if (condition) {
            conditionText = upperExpression(condition->text());
            conditionText.erase(0, conditionText.find_first_not_of(' '));
            conditionText.erase(conditionText.find_last_not_of(' ') + 1);
            th[tag::hasCondition] = 1;
            std::memcpy(th + tag::condition, conditionText.data(), conditionText.size());
        }
        MdxTree(*file_, layout).build(sorted);

        uint8_t* h = file_->mutableHeader();
        uint8_t* e = h + kTagTableOffset + int(tags_.size()) * kTagEntryLength;
        std::memset(e, 0, kTagEntryLength);
        put32(e + entry::headerPage, layout.headerPage);
        std::memcpy(e + entry::name, name.data(), name.size());
        e[entry::keyFormat] = tag::fmtField;
        e[entry::reserved2] = 0x02;
        e[entry::keyType] = static_cast<uint8_t>(type);

        Tag t;
        t.info = TagInfo{name, expression, unique, false, type, key.length(), conditionText};
        t.layout = layout;
        t.key = std::make_shared<KeyExpression>(key);
        if (condition) t.condition = std::make_shared<KeyExpression>(*condition);
        tags_.push_back(std::move(t));
        writeTagTable();
        file_->flush();
    } catch (...) {
        file_->reload();
        loadTags();
        throw;
    }
}

void MdxIndexImpl::insert(int tag, std::string_view rawKey, uint32_t recno) {
    requireMaintainable(tag);
    if (recno == 0) throw DbfError("Satznummer 0 im Index " + file_->path());
    const std::string key = padded(tag, rawKey, false);
    MdxTree t = tree(tag);
    if (tags_[size_t(tag)].info.unique) {
        const auto existing = t.lowerBound(key, 0);
        if (existing && sameKey(tag, existing->key, key)) {
            if (existing->recno <= recno) return;
            t.remove(existing->key, existing->recno);
        }
    }
    t.insert(key, recno);
}

void MdxIndexImpl::remove(int tag, std::string_view rawKey, uint32_t recno) {
    requireMaintainable(tag);
    const std::string key = padded(tag, rawKey, false);
    MdxTree t = tree(tag);
    if (!t.remove(key, recno)) return;
    const Tag& info = tags_[size_t(tag)];
    if (!info.info.unique || !recordSource_ || !info.key) return;
    uint32_t replacement = 0;
    recordSource_([&](uint32_t r, const char* record) {
        if (r != recno && (replacement == 0 || r < replacement) &&
            (!info.condition || info.condition->matches(record)) && sameKey(tag, info.key->evaluate(record), key))
            replacement = r;
    });
    if (replacement != 0) t.insert(key, replacement);
}

} // namespace

std::unique_ptr<MdxIndex> MdxIndex::open(const std::string& path, bool writable) {
    return std::make_unique<MdxIndexImpl>(MdxFile::open(path, writable), nullptr);
}

std::unique_ptr<MdxIndex> MdxIndex::open(const std::string& path, bool writable,
                                         const std::vector<FieldDesc>& fields) {
    return std::make_unique<MdxIndexImpl>(MdxFile::open(path, writable), &fields);
}

std::unique_ptr<MdxIndex> MdxIndex::open(const std::string& path, bool writable,
                                         const std::vector<FieldDesc>& fields, bool readIfProtected) {
    return std::make_unique<MdxIndexImpl>(MdxFile::open(path, writable, false, readIfProtected), &fields);
}

std::vector<TagInfo> MdxIndex::tagsOfIncomplete(const std::string& mdxPath) {
    return MdxIndexImpl(MdxFile::open(mdxPath, false, true), nullptr).tags();
}

bool MdxIndex::overwriteIncomplete(const std::string& mdxPath, const std::string& freshPath) {
    return MdxFile::overwriteIncomplete(mdxPath, freshPath);
}

std::unique_ptr<MdxIndex> MdxIndex::create(const std::string& path, const std::string& dbfBaseName) {
    return create(path, dbfBaseName, kDefaultBlockSize);
}

std::unique_ptr<MdxIndex> MdxIndex::create(const std::string& path, const std::string& dbfBaseName,
                                           int blockSize) {
    return std::make_unique<MdxIndexImpl>(MdxFile::create(path, dbfBaseName, blockSize), nullptr);
}

void MdxIndex::renameTable(const std::string& mdxPath, const std::string& newDbfBaseName) {
    // Header and tag table are checked before anything is written.
    { MdxIndexImpl check(MdxFile::open(mdxPath, false), nullptr); }
    auto file = MdxFile::open(mdxPath, true);
    uint8_t* h = file->mutableHeader();
    std::memset(h + header::dbfName, 0, header::dbfNameLength);
    const std::string name = upperAscii(newDbfBaseName);
    std::memcpy(h + header::dbfName, name.data(), std::min<size_t>(name.size(), header::dbfNameLength));
    file->flush();
}

} // namespace zedora::dbase
