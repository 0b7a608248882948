// The table engine on a student file of 10,000 records: full read, appends
// and a post with the four student tags, building the tags, a find-key on
// ID, memos read through a shared open, the change probe, and the same full
// read through shapelib for comparison; numeric and date tags built and sought.
#include "dbase/table.h"
#include "dbase/tag_sets.h"
#include "student_schema.h"

#include <benchmark/benchmark.h>
#include <shapefil.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <random>

using namespace zedora::dbase;
namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 10000;

const fs::path& workDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("zedora-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void removeTable(const fs::path& dbf) {
    for (const char* ext : {".DBF", ".DBT", ".MDX"}) fs::remove(fs::path(dbf).replace_extension(ext));
}

std::string studentId(int i) { return std::to_string(36000 + i % 5000) + "MUS" + "SCHUE" + std::to_string(i % 100); }

// Appends `count` realistic student records to an open table.
void appendStudents(Table& t, int count) {
    std::mt19937 rng(1);
    const char* surnames[] = {"M\xFCller", "Schmidt", "Wei\xDF", "\xD6zt\xFCrk", "Becker", "Hoffmann", "Sch\xE4" "fer"};
    const char* firstNames[] = {"Anna", "J\xF6rg", "Lena", "Paul", "Mia", "Ben", "Sophie"};
    const char* grades[] = {"1", "2", "3", "4", "5", "6", "1-", "2+"};
    const int name = t.fieldIndex("NAME"), vorname = t.fieldIndex("VORNAME"), klasse = t.fieldIndex("KLASSE");
    const int mw = t.fieldIndex("MW"), id = t.fieldIndex("ID"), de = t.fieldIndex("DE");
    const int tb1 = t.fieldIndex("TB1"), ort = t.fieldIndex("ORT");
    for (int i = 0; i < count; ++i) {
        t.append();
        t.setText(name, std::string(surnames[rng() % 7]) + std::to_string(rng() % 1000));
        t.setText(vorname, firstNames[rng() % 7]);
        t.setText(klasse, std::to_string(5 + rng() % 6) + char('a' + rng() % 4));
        t.setText(mw, rng() % 2 ? "M" : "W");
        t.setText("GEBOREN", "01.02.2012");
        t.setText(ort, "Musterstadt");
        t.setText(id, studentId(i));
        for (int g = 0; g < 29; ++g) t.setText(de + g, grades[rng() % 8]);
        if (i % 4 == 0) t.setMemo(tb1, "Anna arbeitet im Unterricht stets aufmerksam mit.");
        t.post();
    }
}

// The 10,000-record table with its four tags, made once.
const std::string& studentFile() {
    static const std::string path = [] {
        const fs::path p = workDir() / "KLASSE.DBF";
        removeTable(p);
        Table::create(p.string(), zedora::bench::studentFields());
        {
            auto t = Table::open(p.string(), OpenMode::Exclusive);
            for (const TagSpec& tag : studentTags()) t->addIndexTag(tag.name, tag.expression, tag.unique);
            appendStudents(*t, kRecords);
        }
        return p.string();
    }();
    return path;
}

void BM_ReadEveryField(benchmark::State& state) {
    auto t = Table::open(studentFile());
    size_t bytes = 0;
    for (auto _ : state) {
        for (t->first(); !t->eof(); t->next())
            for (int f = 0; f < t->fieldCount(); ++f) bytes += t->text(f).size();
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReadEveryField)->Unit(benchmark::kMillisecond);

// The same read through shapelib (memo fields give their block numbers there).
void BM_ReadEveryFieldShapelib(benchmark::State& state) {
    DBFHandle dbf = DBFOpen(studentFile().c_str(), "rb");
    if (!dbf) { state.SkipWithError("shapelib cannot open the table"); return; }
    const int records = DBFGetRecordCount(dbf), fields = DBFGetFieldCount(dbf);
    size_t bytes = 0;
    for (auto _ : state) {
        for (int r = 0; r < records; ++r)
            for (int f = 0; f < fields; ++f) bytes += std::strlen(DBFReadStringAttribute(dbf, r, f));
    }
    DBFClose(dbf);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_ReadEveryFieldShapelib)->Unit(benchmark::kMillisecond);

void BM_AppendWithFourTags(benchmark::State& state) {
    const fs::path p = workDir() / "APPEND.DBF";
    for (auto _ : state) {
        state.PauseTiming();
        removeTable(p);
        Table::create(p.string(), zedora::bench::studentFields());
        auto t = Table::open(p.string(), OpenMode::Exclusive);
        for (const TagSpec& tag : studentTags()) t->addIndexTag(tag.name, tag.expression, tag.unique);
        state.ResumeTiming();
        appendStudents(*t, kRecords);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_AppendWithFourTags)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildFourTags(benchmark::State& state) {
    const fs::path source = studentFile();
    const fs::path p = workDir() / "BUILD.DBF";
    for (auto _ : state) {
        state.PauseTiming();
        removeTable(p);
        fs::copy_file(source, p);
        fs::copy_file(fs::path(source).replace_extension(".DBT"), fs::path(p).replace_extension(".DBT"));
        Table::clearProductionIndexFlag(p.string());
        auto t = Table::open(p.string(), OpenMode::Exclusive);
        state.ResumeTiming();
        for (const TagSpec& tag : studentTags()) t->addIndexTag(tag.name, tag.expression, tag.unique);
    }
}
BENCHMARK(BM_BuildFourTags)->Unit(benchmark::kMillisecond);

void BM_FindKeyId(benchmark::State& state) {
    auto t = Table::open(studentFile());
    t->selectTag("ID");
    int i = 0;
    for (auto _ : state) {
        const bool found = t->findKey(studentId(i));
        benchmark::DoNotOptimize(found);
        i = (i + 7919) % kRecords;
    }
}
BENCHMARK(BM_FindKeyId)->Unit(benchmark::kMicrosecond);

// A table of 10,000 records with a number and a date, as other programs'
// files have them, without index: the numeric and date tags are built on it.
const std::string& typedFile() {
    static const std::string path = [] {
        const fs::path p = workDir() / "TYPED.DBF";
        removeTable(p);
        Table::create(p.string(), {{"NAME", 'C', 20, 0, 0}, {"NR", 'N', 8, 2, 0}, {"TAG", 'D', 8, 0, 0}});
        auto t = Table::open(p.string(), OpenMode::Exclusive);
        std::mt19937 rng(3);
        for (int i = 0; i < kRecords; ++i) {
            t->append();
            t->setText("NAME", "Name" + std::to_string(i));
            t->setText("NR", std::to_string(int(rng() % 19999) - 9999) + "." + std::to_string(rng() % 100));
            char day[16];
            std::snprintf(day, sizeof day, "%04d%02d%02d", 1990 + int(rng() % 30), 1 + int(rng() % 12), 1 + int(rng() % 28));
            t->setText("TAG", day);
            t->post();
        }
        return p.string();
    }();
    return path;
}

void buildTypedTag(benchmark::State& state, const char* name, const char* expression, const char* condition = "") {
    const fs::path p = workDir() / "TYPEDB.DBF";
    for (auto _ : state) {
        state.PauseTiming();
        removeTable(p);
        fs::copy_file(typedFile(), p);
        auto t = Table::open(p.string(), OpenMode::Exclusive);
        state.ResumeTiming();
        t->addIndexTag(name, expression, false, condition);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
void BM_BuildNumericTag(benchmark::State& state) { buildTypedTag(state, "NR", "NR"); }
BENCHMARK(BM_BuildNumericTag)->Unit(benchmark::kMillisecond);
void BM_BuildDateTag(benchmark::State& state) { buildTypedTag(state, "TAG", "TAG"); }
BENCHMARK(BM_BuildDateTag)->Unit(benchmark::kMillisecond);
// A condition is evaluated once per record before the key.
void BM_BuildFilteredTag(benchmark::State& state) {
    buildTypedTag(state, "NRNEU", "NR", "NR > 0 .AND. DTOS(TAG) >= '2000' .AND. NAME # 'Name9'");
}
BENCHMARK(BM_BuildFilteredTag)->Unit(benchmark::kMillisecond);

// findKey on the numeric and the date tag, the key given as text.
void seekTyped(benchmark::State& state, const char* tag, const std::vector<std::string>& keys) {
    const fs::path p = workDir() / "TYPEDS.DBF";
    static bool made = false;
    if (!made) {
        removeTable(p);
        fs::copy_file(typedFile(), p);
        auto t = Table::open(p.string(), OpenMode::Exclusive);
        t->addIndexTag("NR", "NR", false);
        t->addIndexTag("TAG", "TAG", false);
        made = true;
    }
    auto t = Table::open(p.string());
    t->selectTag(tag);
    size_t i = 0, found = 0;
    for (auto _ : state) {
        found += t->findKey(keys[i]) ? 1 : 0;
        i = (i + 1) % keys.size();
    }
    if (found == 0) state.SkipWithError("no key was found");
}
void BM_SeekNumericTag(benchmark::State& state) {
    std::vector<std::string> keys;
    auto t = Table::open(typedFile());
    int n = 0;
    for (t->first(); !t->eof() && keys.size() < 500; t->next())
        if (n++ % 17 == 0) keys.push_back(t->text("NR"));
    t.reset();
    seekTyped(state, "NR", keys);
}
BENCHMARK(BM_SeekNumericTag)->Unit(benchmark::kMicrosecond);
void BM_SeekDateTag(benchmark::State& state) {
    std::vector<std::string> keys;
    auto t = Table::open(typedFile());
    int n = 0;
    for (t->first(); !t->eof() && keys.size() < 500; t->next())
        if (n++ % 17 == 0) keys.push_back(t->text("TAG"));
    t.reset();
    seekTyped(state, "TAG", keys);
}
BENCHMARK(BM_SeekDateTag)->Unit(benchmark::kMicrosecond);

void BM_PostWithFourTags(benchmark::State& state) {
    auto t = Table::open(studentFile());
    t->selectTag("KLASSE");
    t->first();
    t->moveBy(kRecords / 2);
    const int name = t->fieldIndex("NAME");
    int i = 0;
    for (auto _ : state) {
        t->edit();
        t->setText(name, i++ % 2 ? "Neumann" : "Altmann");  // moves the record in three tags
        t->post();
    }
}
BENCHMARK(BM_PostWithFourTags)->Unit(benchmark::kMicrosecond);

// Every memo in tag order through a shared open: each read looks at the
// memo file afresh, as another computer may have written it.
void BM_ReadMemosShared(benchmark::State& state) {
    auto t = Table::open(studentFile());
    t->selectTag("KLASSE");
    const int tb1 = t->fieldIndex("TB1");
    size_t bytes = 0;
    for (auto _ : state) {
        for (t->first(); !t->eof(); t->next()) bytes += t->memo(tb1).size();
    }
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_ReadMemosShared)->Unit(benchmark::kMillisecond);

// The probe a window polls to learn of other computers' saves.
void BM_ChangeProbe(benchmark::State& state) {
    auto t = Table::open(studentFile());
    for (auto _ : state) benchmark::DoNotOptimize(t->changedSinceLastLook());
}
BENCHMARK(BM_ChangeProbe)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(workDir(), ec);
    return 0;
}
