#pragma once
// Perl's XBase (libdbd-xbase-perl) as the other dBase reader of the engine
// tests: it walks a tag of our .MDX, and our cursor walks it the same way.
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace xbase_perl {

using zedora::test::TempDir;
using zedora::test::writeBytes;

inline bool haveTool(const std::string& check)
{
    return std::system((check + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string hex(std::string_view bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

inline std::string runPerl(const TempDir& dir, const std::string& script, const std::string& args)
{
    const std::string file = dir.file("script.pl");
    writeBytes(file, script);
    const std::string out = dir.file("perl.txt");
    const int rc = std::system(("/usr/bin/perl " + file + " " + args + " > " + out + " 2>&1").c_str());
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(rc, 0) << text.str();
    return text.str();
}

// Every entry of a tag as Perl's XBase::Index reads it: hex key, record number.
inline std::string perlWalk(const TempDir& dir, const std::string& mdx, const std::string& tag)
{
    return runPerl(dir,
                   "use XBase::Index;\n"
                   "my ($file, $tag) = @ARGV;\n"
                   "my $idx = XBase::Index->new($file, tag => $tag) or die XBase::Index->errstr;\n"
                   "$idx->prepare_select;\n"
                   "while (my ($key, $val) = $idx->fetch) { print unpack('H*', $key), \"\\t$val\\n\"; }\n",
                   mdx + " " + tag);
}

// The same walk through our cursor, deleted records aside.
inline std::string ourWalk(zedora::dbase::Table& t, const std::string& tag, int keyLength)
{
    t.selectTag(tag);
    std::string out;
    for (t.first(); !t.eof(); t.next()) {
        std::string key = t.currentKey();
        key.resize(size_t(keyLength), ' ');
        out += hex(key) + "\t" + std::to_string(t.recno()) + "\n";
    }
    return out;
}

} // namespace xbase_perl
