// The .DBT reader: any bytes as the memo file of a valid table.
#include "dbase/table.h"
#include "fuzz_file.h"

#include <cstring>

using namespace zedora::dbase;

namespace {

// A dBase IV table with one character and two memo fields; its records
// point at blocks 1 to 6 and one far beyond.
std::string validTable()
{
    std::string h(32, '\0');
    h[0] = '\x8B';
    h[4] = 4;
    const uint16_t headerLength = 32 + 3 * 32 + 1, recordLength = 1 + 4 + 10 + 10;
    std::memcpy(&h[8], &headerLength, 2);
    std::memcpy(&h[10], &recordLength, 2);
    h[29] = 3;
    auto field = [](const char* name, char type, int length) {
        std::string f(32, '\0');
        std::memcpy(&f[0], name, std::strlen(name));
        f[11] = type;
        f[16] = static_cast<char>(length);
        return f;
    };
    h += field("NR", 'C', 4) + field("TB1", 'M', 10) + field("TB2", 'M', 10) + "\x0D";
    h += " 1            1         2";
    h += " 2            3         4";
    h += " 3            5          ";
    h += " 4            6    999999";
    h += "\x1A";
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string dir = zedora::fuzz::scratchDir();
    const std::string dbf = dir + "/M.DBF";
    static const std::string table = validTable();
    zedora::fuzz::writeFile(dbf, table.data(), table.size());
    zedora::fuzz::writeFile(dir + "/M.DBT", data, size);
    try {
        auto t = Table::open(dbf);
        for (t->first(); !t->eof(); t->next()) {
            for (int i = 1; i <= 2; ++i) {
                try {
                    (void)t->memo(i);
                } catch (const DbfError&) {
                }
            }
        }
        // Checking the memo references walks every memo's extent.
        try {
            (void)t->findProblems();
        } catch (const DbfError&) {
        }
        // Rewriting memos in a damaged file must fail cleanly or succeed.
        t->first();
        t->edit();
        t->setMemo(1, "neu");
        t->setMemo(2, std::string(700, 'x'));
        t->post();
        (void)t->memo(1);
        (void)t->memo(2);
    } catch (const DbfError&) {
    }
    return 0;
}
