#include "dbase/collation.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <cstring>

using namespace dbindex_test;

namespace {

// Reference model: (collation sort key, recno) in a std::set.
class Model {
public:
    explicit Model(size_t length) : length_(length) {}
    void insert(const std::string& key, uint32_t recno) { set_.insert({sk(key), recno}); keys_[sk(key)] = key; }
    void erase(const std::string& key, uint32_t recno) { set_.erase({sk(key), recno}); }
    bool contains(const std::string& key, uint32_t recno) const { return set_.count({sk(key), recno}) > 0; }
    size_t size() const { return set_.size(); }
    std::optional<IndexEntry> lowerBound(const std::string& key, uint32_t recno) const {
        return at(set_.lower_bound({sk(key), recno}));
    }
    std::optional<IndexEntry> after(const std::string& key, uint32_t recno) const {
        return at(set_.upper_bound({sk(key), recno}));
    }
    std::optional<IndexEntry> before(const std::string& key, uint32_t recno) const {
        auto it = set_.lower_bound({sk(key), recno});
        if (it == set_.begin()) return std::nullopt;
        return at(--it);
    }
    std::vector<IndexEntry> all() const {
        std::vector<IndexEntry> out;
        for (auto it = set_.begin(); it != set_.end(); ++it) out.push_back(*at(it));
        return out;
    }
    IndexEntry nth(size_t i) const { return *at(std::next(set_.begin(), long(i))); }

private:
    using Set = std::set<std::pair<std::string, uint32_t>>;
    std::string sk(const std::string& key) const { return collationSortKey(key, length_); }
    std::optional<IndexEntry> at(Set::const_iterator it) const {
        if (it == set_.end()) return std::nullopt;
        return IndexEntry{keys_.at(it->first), it->second};
    }
    size_t length_;
    Set set_;
    std::map<std::string, std::string> keys_;
};

bool same(const std::optional<IndexEntry>& a, const std::optional<IndexEntry>& b) {
    if (!a || !b) return !a && !b;
    return a->key == b->key && a->recno == b->recno;
}

void expectSame(const std::vector<IndexEntry>& got, const std::vector<IndexEntry>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].key, want[i].key) << "at " << i;
        ASSERT_EQ(got[i].recno, want[i].recno) << "at " << i;
    }
}

std::string padded(std::string s, size_t n) { s.resize(n, ' '); return s; }

const std::vector<std::string>& namePool() {
    static const std::vector<std::string> pool = [] {
        std::vector<std::string> p;
        for (const char* n : {"MÜLLER", "MULLER", "MUELLER", "MAYER", "MEIER", "STRAßE", "STRASSE", "ÖZ",
                              "OZ", "OTTO", "ÄRGER", "ANTON", "", "ZANDER", "weiß", "weiss", "Weiß",
                              "BECKER", "BÄCKER", "SCHULZ", "SCHÜLZ", "A", "B", "C"})
            p.push_back(padded(w(n), 100));
        for (int i = 0; i < 16; ++i) p.push_back(padded("KEY" + std::to_string(i * 7919 % 1000), 100));
        return p;
    }();
    return pool;
}

struct TinyIndex {
    TempDir dir;
    FakeTable table;
    std::string path;
    std::unique_ptr<MdxIndex> index;
    TinyIndex() {
        table.field("K", 'C', 100);
        path = dir.file("TINY.MDX");
        // 512-byte blocks and 100-byte keys: four keys per node, many splits.
        index = MdxIndex::create(path, "TINY", 512);
        index->addTag("k", KeyExpression::compile("K", table.fields), false, table.visitor());
    }
};

void compareWithModel(MdxIndex& index, const Model& model, std::mt19937& rng) {
    index.verify(0);
    const auto all = model.all();
    expectSame(walkForward(index, 0), all);
    auto backward = walkBackward(index, 0);
    std::reverse(backward.begin(), backward.end());
    expectSame(backward, all);
    const auto& pool = namePool();
    for (int i = 0; i < 60; ++i) {
        const std::string key = pool[rng() % pool.size()];
        const uint32_t recno = rng() % 6000;
        const IndexEntry at{key, recno};
        ASSERT_TRUE(same(index.next(0, at), model.after(key, recno))) << key << " " << recno;
        ASSERT_TRUE(same(index.prior(0, at), model.before(key, recno))) << key << " " << recno;
        ASSERT_TRUE(same(index.seek(0, key), model.lowerBound(key, 0))) << key;
        const std::string prefix = key.substr(0, 1 + rng() % 20);
        ASSERT_TRUE(same(index.seek(0, prefix), model.lowerBound(padded(prefix, 100), 0))) << prefix;
    }
}

} // namespace

TEST(MdxBTree, RandomInsertRemoveMatchesModel) {
    TinyIndex t;
    MdxIndex& index = *t.index;
    EXPECT_EQ(index.tags().at(0).name, "K");
    EXPECT_FALSE(index.first(0));
    EXPECT_FALSE(index.last(0));
    Model model(100);
    std::mt19937 rng(7);
    const auto& pool = namePool();
    for (int step = 1; step <= 6000; ++step) {
        if (model.size() == 0 || rng() % 100 < 62) {
            const std::string key = pool[rng() % pool.size()];
            const uint32_t recno = 1 + rng() % 5000;
            index.insert(0, key, recno);
            model.insert(key, recno);
        } else if (rng() % 10 == 0) {
            // Removing what is not there changes nothing.
            const std::string key = pool[rng() % pool.size()];
            const uint32_t recno = 1 + rng() % 5000;
            if (!model.contains(key, recno)) index.remove(0, key, recno);
        } else {
            const IndexEntry e = model.nth(rng() % model.size());
            index.remove(0, e.key, e.recno);
            model.erase(e.key, e.recno);
        }
        if (step % 750 == 0) {
            SCOPED_TRACE("step " + std::to_string(step));
            compareWithModel(index, model, rng);
        }
    }
    ASSERT_GT(model.size(), 500u);

    // Everything survives a reopen from disk.
    index.flush();
    t.index.reset();
    auto reopened = MdxIndex::open(t.path, true, t.table.fields);
    ASSERT_EQ(reopened->tags().size(), 1u);
    EXPECT_EQ(reopened->tags()[0].expression, "K");
    EXPECT_EQ(reopened->tags()[0].keyLength, 100);
    EXPECT_EQ(reopened->keyExpression(0).length(), 100);
    compareWithModel(*reopened, model, rng);

    // Remove all (the root shrinks back to an empty leaf), then refill:
    // freed blocks are used again, so the file does not grow.
    const auto peak = std::filesystem::file_size(t.path);
    for (const auto& e : model.all()) reopened->remove(0, e.key, e.recno);
    reopened->verify(0);
    EXPECT_FALSE(reopened->first(0));
    EXPECT_FALSE(reopened->last(0));
    Model refilled(100);
    for (int i = 0; i < 1500; ++i) {
        const std::string key = pool[rng() % pool.size()];
        reopened->insert(0, key, uint32_t(i + 1));
        refilled.insert(key, uint32_t(i + 1));
    }
    reopened->flush();
    compareWithModel(*reopened, refilled, rng);
    EXPECT_LE(std::filesystem::file_size(t.path), peak);
}

TEST(MdxBTree, NextAndPriorFromARemovedPosition) {
    TinyIndex t;
    MdxIndex& index = *t.index;
    for (uint32_t r = 1; r <= 40; ++r) {
        std::string key(100, ' ');
        key[0] = 'K';
        key[1] = char('0' + r % 5);
        index.insert(0, key, r);
    }
    // Entries of key K2: records 2, 7, 12, ...
    const IndexEntry gone{padded("K2", 100), 17};
    index.remove(0, gone.key, gone.recno);
    auto next = index.next(0, gone);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->recno, 22u);
    auto prior = index.prior(0, gone);
    ASSERT_TRUE(prior);
    EXPECT_EQ(prior->recno, 12u);
    // A key that never existed sits between its neighbours.
    next = index.next(0, {padded("K25", 100), 0});
    ASSERT_TRUE(next);
    EXPECT_EQ(next->key, padded("K3", 100));
    EXPECT_EQ(next->recno, 3u);
    // Shorter keys count as blank-padded.
    prior = index.prior(0, {"K3", 3});
    ASSERT_TRUE(prior);
    EXPECT_EQ(prior->recno, 37u);
    EXPECT_FALSE(index.next(0, *index.last(0)));
    EXPECT_FALSE(index.prior(0, *index.first(0)));
}

TEST(MdxIndex, StudentTagsBuiltAndMaintainedAgree) {
    TempDir dir;
    FakeTable table = studentTable();
    std::mt19937 rng(3);
    const char* names[] = {"Müller", "Mueller", "Muller", "Öztürk", "Weiß", "Weiss", "Becker", "Bäcker", "Schmidt"};
    const char* first[] = {"Anna", "Jörg", "Lena", "Ömer", "Paul"};
    const char* classes[] = {"5a", "5b", "6a", "10c"};
    for (int i = 0; i < 3000; ++i) {
        std::string name = w(names[rng() % 9]) + std::to_string(rng() % 50);
        std::string vor = w(first[rng() % 5]);
        std::string id = std::to_string(36000 + rng() % 4000) + name.substr(0, 3) + vor.substr(0, 4);
        table.append({{"NAME", name}, {"VORNAME", vor}, {"KLASSE", classes[rng() % 4]},
                      {"MW", rng() % 2 ? "M" : "W"}, {"ID", id}});
    }
    const std::pair<const char*, const char*> tags[] = {
        {"KLASSE", "KLASSE+UPPER(NAME)+VORNAME"}, {"MW", "KLASSE+MW+UPPER(NAME)+VORNAME"},
        {"NAME", "UPPER(NAME)+VORNAME"}, {"ID", "ID"}};

    // Built from all records at once.
    auto built = MdxIndex::create(dir.file("BUILT.MDX"), "BUILT");
    for (const auto& [name, expr] : tags)
        built->addTag(name, KeyExpression::compile(expr, table.fields), false, table.visitor());
    // Maintained record by record.
    FakeTable empty = studentTable();
    auto kept = MdxIndex::create(dir.file("KEPT.MDX"), "KEPT");
    for (const auto& [name, expr] : tags)
        kept->addTag(name, KeyExpression::compile(expr, table.fields), false, empty.visitor());
    for (uint32_t r = 1; r <= table.records.size(); ++r)
        for (int tag = 0; tag < 4; ++tag)
            kept->insert(tag, kept->keyExpression(tag).evaluate(table.records[r - 1].data()), r);

    for (int tag = 0; tag < 4; ++tag) {
        SCOPED_TRACE(tags[tag].first);
        built->verify(tag);
        kept->verify(tag);
        const auto order = walkForward(*built, tag);
        ASSERT_EQ(order.size(), table.records.size());
        for (size_t i = 1; i < order.size(); ++i) {
            const int c = compareKeys(order[i - 1].key, order[i].key);
            ASSERT_TRUE(c < 0 || (c == 0 && order[i - 1].recno < order[i].recno));
        }
        expectSame(walkForward(*kept, tag), order);
        EXPECT_EQ(built->tagIndex(std::string(tags[tag].first)), tag);
    }
    EXPECT_EQ(built->tagIndex("klasse"), 0);
    EXPECT_EQ(built->tagIndex("GESCH"), -1);
    const auto info = built->tags();
    EXPECT_EQ(info[1].expression, "KLASSE+MW+UPPER(NAME)+VORNAME");
    EXPECT_EQ(info[3].keyLength, 15);

    // find key on ID: exact, and nearest for a prefix.
    const std::string id = built->keyExpression(3).evaluate(table.records[1234].data());
    const auto found = built->seek(3, id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->key, id);
    const auto nearest = built->seek(3, "37");
    ASSERT_TRUE(nearest);
    EXPECT_GE(compareKeys(nearest->key, "37"), 0);
    EXPECT_LT(compareKeys(built->prior(3, *nearest)->key, "37"), 0);
    EXPECT_FALSE(built->seek(3, "\xFF"));
}

TEST(MdxIndex, UniqueTagKeepsTheFirstRecordOfAKey) {
    TempDir dir;
    FakeTable table;
    table.field("KLASSE", 'C', 5);
    for (const char* k : {"5b", "5a", "5b", "6a", "5a"}) table.append({{"KLASSE", k}});
    auto index = MdxIndex::create(dir.file("U.MDX"), "U");
    index->addTag("UNIKLAS", KeyExpression::compile("UPPER(KLASSE)", table.fields), true, table.visitor());
    EXPECT_TRUE(index->tags()[0].unique);
    auto entries = walkForward(*index, 0);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].recno, 2u);  // 5A: records 2 and 5, the first wins
    EXPECT_EQ(entries[1].recno, 1u);  // 5B: records 1 and 3
    EXPECT_EQ(entries[2].recno, 4u);

    index->insert(0, "5A", 7);        // a later record with a known key stays out
    EXPECT_EQ(walkForward(*index, 0)[0].recno, 2u);

    // Without a record source a removed key is gone until the tag is rebuilt.
    index->remove(0, "5B", 1);
    EXPECT_EQ(walkForward(*index, 0).size(), 2u);
    index->insert(0, "5B", 3);

    // With one, the next record with that key takes the place.
    index->setRecordSource(table.visitor());
    table.deleted[1] = true;          // record 2 (5A) deleted
    index->remove(0, "5A", 2);
    entries = walkForward(*index, 0);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].key, "5A   ");
    EXPECT_EQ(entries[0].recno, 5u);
    index->verify(0);
}

TEST(MdxIndex, RefreshSeesChangesOfAnotherHandle) {
    TempDir dir;
    FakeTable table;
    table.field("ID", 'C', 4);
    const std::string path = dir.file("T.MDX");
    {
        auto index = MdxIndex::create(path, "T");
        index->addTag("ID", KeyExpression::compile("ID", table.fields), false, table.visitor());
    }
    auto writer = MdxIndex::open(path, true, table.fields);
    auto reader = MdxIndex::open(path, false, table.fields);
    EXPECT_FALSE(reader->first(0));
    for (uint32_t r = 1; r <= 300; ++r) writer->insert(0, std::to_string(1000 + r), r);
    writer->flush();
    reader->refresh();
    EXPECT_EQ(walkForward(*reader, 0).size(), 300u);
    writer->remove(0, "1001", 1);
    writer->flush();
    reader->refresh();
    EXPECT_EQ(reader->first(0)->key, "1002");
    // A read-only handle refuses to write.
    EXPECT_THROW(reader->insert(0, "9999", 9), DbfError);
}

TEST(MdxIndex, AddTagRefusesBadNamesAndKeepsTheFile) {
    TempDir dir;
    FakeTable table = studentTable();
    table.append({{"NAME", "A"}});
    const std::string path = dir.file("S.MDX");
    auto index = MdxIndex::create(path, "S");
    index->addTag("NAME", KeyExpression::compile("UPPER(NAME)", table.fields), false, table.visitor());
    const auto key = KeyExpression::compile("VORNAME", table.fields);
    EXPECT_THROW(index->addTag("name", key, false, table.visitor()), DbfError);
    EXPECT_THROW(index->addTag("ZU_LANGER_NAME", key, false, table.visitor()), DbfError);
    EXPECT_THROW(index->addTag("1X", key, false, table.visitor()), DbfError);
    // A record source that fails leaves the file as it was.
    const auto before = std::filesystem::file_size(path);
    EXPECT_THROW(index->addTag("VOR", key, false,
                               [](const MdxIndex::RecordVisitor&) { throw DbfError("Lesefehler"); }),
                 DbfError);
    EXPECT_EQ(index->tags().size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(path), before);
    index->addTag("VOR", key, false, table.visitor());
    EXPECT_EQ(MdxIndex::open(path, false)->tags().size(), 2u);
}

TEST(MdxIndex, RenameTableRewritesTheStoredName) {
    TempDir dir;
    const std::string path = dir.file("ALT.MDX");
    MdxIndex::create(path, "alt");
    auto headerName = [&] {
        std::ifstream in(path, std::ios::binary);
        char buf[20];
        in.read(buf, 20);
        return std::string(buf + 4, strnlen(buf + 4, 16));
    };
    EXPECT_EQ(headerName(), "ALT");
    MdxIndex::renameTable(path, "neu5a");
    EXPECT_EQ(headerName(), "NEU5A");
    EXPECT_NO_THROW(MdxIndex::open(path, false));

    // Not an index: refused, and not a byte changed.
    const std::string other = dir.file("KEIN.MDX");
    std::ofstream(other, std::ios::binary) << std::string(3000, 'x');
    EXPECT_THROW(MdxIndex::renameTable(other, "X"), DbfError);
    std::ifstream in(other, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(3000, 'x'));
}
