// The .DBF reader: any bytes as a table, beside a valid memo file.
#include "dbase/table.h"
#include "fuzz_file.h"

#include <cstring>

using namespace zedora::dbase;

namespace {

// A dBase IV memo file with texts in blocks 1 to 3.
std::string validMemo()
{
    std::string dbt(512, '\0');
    dbt[0] = 4;
    dbt[20] = 0;
    dbt[21] = 2;
    for (const char* text : {"eins", "zwei\r\nZeilen", "drei"}) {
        std::string block(512, '\0');
        block[0] = block[1] = '\xFF';
        block[2] = 8;
        const uint32_t length = static_cast<uint32_t>(std::strlen(text) + 8);
        std::memcpy(&block[4], &length, 4);
        std::memcpy(&block[8], text, std::strlen(text));
        dbt += block;
    }
    return dbt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string dir = zedora::fuzz::scratchDir();
    const std::string dbf = dir + "/T.DBF";
    static const std::string memo = validMemo();
    zedora::fuzz::writeFile(dbf, data, size);
    zedora::fuzz::writeFile(dir + "/T.DBT", memo.data(), memo.size());
    try {
        auto t = Table::open(dbf);
        for (t->first(); !t->eof(); t->next()) {
            for (int i = 0; i < t->fieldCount(); ++i) {
                try {
                    (void)t->text(i);
                    (void)t->value(i);
                } catch (const DbfError&) {
                }
            }
        }
        t->last();
        t->prior();
        try {
            (void)t->findProblems();
        } catch (const DbfError&) {
        }
        // Writing to a table that opened must work or fail cleanly.
        t->append();
        for (int i = 0; i < t->fieldCount(); ++i) {
            try {
                t->setText(i, "12");
            } catch (const DbfError&) {
            }
        }
        t->post();
    } catch (const DbfError&) {
    }
    return 0;
}
