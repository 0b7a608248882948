#include "print/table_print_records.h"

#include "base/ansi_text.h"
#include "data/student_schema.h"
#include "dbase/table.h"

namespace zedora {

namespace {

int averageIndex(const QString& upper)
{
    if (upper == u"D1") return 0;
    if (upper == u"D2") return 1;
    if (upper == u"D3") return 2;
    return -1;
}

} // namespace

TablePrintRecords::TablePrintRecords(dbase::Table& table, AverageDefinitions averages)
    : table_(table), averages_(std::move(averages))
{
}

bool TablePrintRecords::hasField(const QString& name) const
{
    const QString upper = upperAscii(name);
    return averageIndex(upper) >= 0 || table_.findField(toAnsiStd(upper)) >= 0;
}

QString TablePrintRecords::value(const QString& name) const
{
    const QString upper = upperAscii(name);
    if (table_.isEmpty())
        return {};
    const int avg = averageIndex(upper);
    if (avg >= 0 && table_.findField(toAnsiStd(upper)) < 0) {
        const auto lookup = [this](const QString& f) { return value(f); };
        const std::optional<double> v = computeAverage(averages_.lists[std::size_t(avg)], averages_, lookup);
        return v ? QString::number(*v, 'f', 4) : QString();
    }
    const int index = table_.findField(toAnsiStd(upper));
    if (index < 0)
        return {};
    try {
        return fromAnsi(table_.text(index));
    } catch (const std::exception&) {
        return {};
    }
}

int TablePrintRecords::fieldClass(const QString& name) const
{
    const int kind = fieldKind(name);
    return kind < 0 ? 0 : kind;
}

bool TablePrintRecords::first()
{
    table_.first();
    return !table_.eof() && !table_.isEmpty();
}

bool TablePrintRecords::next()
{
    const auto mark = table_.bookmark();
    if (table_.next())
        return true;
    if (mark != 0)
        table_.gotoBookmark(mark);
    return false;
}

bool TablePrintRecords::findId(const QString& id)
{
    const std::string tag = table_.currentTag();
    const std::string wanted = toAnsiStd(id.trimmed());
    bool found = false;
    try {
        table_.selectTag("ID");
        found = table_.findKey(wanted);
    } catch (const std::exception&) {
        // Without the ID index: look through the file.
        found = false;
        try {
            table_.selectTag("");
            const int f = table_.findField("ID");
            for (table_.first(); f >= 0 && !table_.eof() && !table_.isEmpty();) {
                if (table_.text(f) == wanted) {
                    found = true;
                    break;
                }
                if (!table_.next())
                    break;
            }
        } catch (const std::exception&) {
            found = false;
        }
    }
    const auto mark = table_.bookmark();
    try {
        table_.selectTag(tag);
        if (found && mark != 0)
            table_.gotoBookmark(mark);
    } catch (const std::exception&) {
    }
    return found;
}

std::uint64_t TablePrintRecords::position() const
{
    return table_.bookmark();
}

void TablePrintRecords::restore(std::uint64_t position)
{
    if (position == 0)
        return;
    try {
        table_.gotoBookmark(dbase::Table::Bookmark(position));
    } catch (const std::exception&) {
        table_.first();
    }
}

} // namespace zedora
