// The school server's answer as the import takes it: any bytes as rows of
// tab-separated values, converted from UTF-8, shaped into students,
// post-processed and given their salutations. Every student comes from
// a group of rows, every cell stays within its length, the conversion
// leaves only characters the ANSI code page holds.
#include "base/ansi_text.h"
#include "core/settings.h"
#include "exchange/import_table.h"
#include "exchange/server_rows.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace zedora;

namespace {

void fail(int line)
{
    std::fprintf(stderr, "fuzz_import_rows: check in line %d failed\n", line);
    std::abort();
}
#define check(ok) ((ok) ? void() : fail(__LINE__))

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    AnsiConversion conversion;
    RawTable raw;
    for (const QByteArray& line : bytes.split('\n')) {
        QStringList values;
        for (const QByteArray& cell : line.split('\t')) {
            const QString text = conversion.convert(cell);
            check(fromAnsi(toAnsi(text)) == text);
            values << text;
        }
        raw.rows.push_back(values);
    }
    Settings settings;
    ImportTable table;
    shapeServerRows(raw, settings, table);
    check(table.studentCount() <= static_cast<int>(raw.rows.size()));
    postProcess(table, settings, true);
    for (int r = 1; r < table.rowCount(); ++r) {
        ImportRow row = table.row(r);
        wrapSalutations(row);
        wrapSalutations(row);
        check(row[ImportColumn::ANR1].size() <= 100 && row[ImportColumn::ANR2].size() <= 100);
        for (const QString& cell : table.row(r))
            check(cell.size() <= kImportCellLength);
        check(row[ImportColumn::ZedoraID].size() <= 15);
    }
    duplicateStudents(table);
    rowsWithoutBirthDate(table);
    importClasses(table);
    return 0;
}
