// The move journal beside a table: any bytes as its text. Whatever it
// says, the parts it yields name only the table's own kinds of file and
// sources beside the table or in the TMP folder next to it.
#include "data/table_move_journal.h"

#include <QDir>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace zedora;

namespace {

void fail(int line)
{
    std::fprintf(stderr, "fuzz_journal: check in line %d failed\n", line);
    std::abort();
}
#define check(ok) ((ok) ? void() : fail(__LINE__))

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString dbf = QStringLiteral("/ws/ZE-2425-1/5A.DBF");
    const auto parts = readJournal(dbf, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!parts)
        return 0;
    for (const MovePart& p : *parts) {
        check(p.ext == ".DBF" || p.ext == ".DBT" || p.ext == ".MDX" || p.ext == ".INI");
        if (p.source.isEmpty())
            continue;
        const QString in = QFileInfo(p.source).absolutePath();
        check(in == QLatin1String("/ws/ZE-2425-1") || in.compare(QLatin1String("/ws/TMP"), Qt::CaseInsensitive) == 0);
        check(QDir::cleanPath(p.source) == p.source);
    }
    return 0;
}
