// Another MDX reader, Perl's XBase::Index (Debian libdbd-xbase-perl), walks
// the trees we write and must see every entry in our order.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace dbindex_test;

namespace {

bool perlXBaseAvailable() {
    return std::system("/usr/bin/perl -MXBase::Index -e 1 >/dev/null 2>&1") == 0;
}

std::string hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) { out.push_back(digits[c >> 4]); out.push_back(digits[c & 15]); }
    return out;
}

std::vector<std::string> perlWalk(const TempDir& dir, const std::string& mdx, const std::string& tag) {
    const std::string script = dir.file("walk.pl");
    std::ofstream(script) << "use XBase::Index;\n"
                             "my ($file, $tag) = @ARGV;\n"
                             "my $idx = XBase::Index->new($file, tag => $tag) or die XBase::Index->errstr;\n"
                             "$idx->prepare_select;\n"
                             "while (my ($key, $val) = $idx->fetch) { print unpack('H*', $key), \"\\t$val\\n\"; }\n";
    const std::string out = dir.file("walk.txt");
    const std::string command = "/usr/bin/perl " + script + " " + mdx + " " + tag + " > " + out + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> lines;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace

TEST(MdxInterop, PerlXBaseReadsOurTrees) {
    if (!perlXBaseAvailable()) GTEST_SKIP() << "libdbd-xbase-perl is not installed";
    TempDir dir;
    FakeTable table = studentTable();
    std::mt19937 rng(5);
    const char* names[] = {"Müller", "Öztürk", "Weiß", "Becker", "Schmidt", "Ärger"};
    for (int i = 0; i < 2500; ++i)
        table.append({{"NAME", w(names[rng() % 6]) + std::to_string(rng() % 700)},
                      {"VORNAME", "Vor" + std::to_string(i)}, {"ID", std::to_string(30000 + rng() % 9000)}});
    const std::string path = dir.file("INTEROP.MDX");
    auto index = MdxIndex::create(path, "INTEROP");
    index->addTag("NAME", KeyExpression::compile("UPPER(NAME)+VORNAME", table.fields), false, table.visitor());
    index->addTag("ID", KeyExpression::compile("ID", table.fields), false, table.visitor());
    // Some maintenance after the build, so that split and shrunk nodes are read too.
    for (uint32_t r = 1; r <= 600; ++r) {
        for (int tag = 0; tag < 2; ++tag) index->remove(tag, index->keyExpression(tag).evaluate(table.records[r - 1].data()), r);
        table.records[r - 1].replace(1, 30, std::string(30, ' ').replace(0, 5, "NEU" + std::to_string(r % 90)));
        for (int tag = 0; tag < 2; ++tag) index->insert(tag, index->keyExpression(tag).evaluate(table.records[r - 1].data()), r);
    }
    index->flush();

    for (int tag = 0; tag < 2; ++tag) {
        const std::string name = index->tags()[size_t(tag)].name;
        SCOPED_TRACE(name);
        std::vector<std::string> ours;
        for (const auto& e : walkForward(*index, tag)) ours.push_back(hex(e.key) + "\t" + std::to_string(e.recno));
        ASSERT_EQ(ours.size(), 2500u);
        const auto theirs = perlWalk(dir, path, name);
        ASSERT_EQ(theirs.size(), ours.size()) << (theirs.empty() ? "" : theirs.front());
        for (size_t i = 0; i < ours.size(); ++i) ASSERT_EQ(theirs[i], ours[i]) << "entry " << i;
    }
}
