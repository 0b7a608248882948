// Field values of the current record: reading and setting them.
#include "dbase/table.h"

#include "dbase/table_locks.h"
#include "dbase/table_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <iterator>
#include <mutex>
#include <ostream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace zedora::dbase {

std::string_view Table::textView(int index) const
{
    const FieldDesc& f = field(index);
    std::string_view raw(buffer_.data() + f.offset, static_cast<size_t>(f.length));
    switch (f.type) {
    case 'N':
    case 'F':
        return trimBoth(raw);
    case 'D': {
        std::string_view d = trimBoth(raw);
        // GDAL writes an empty date as zeros.
        return d == "00000000" ? std::string_view() : d;
    }
    default:
        return trimRight(raw);
    }
}

std::string Table::text(int index) const
{
    if (field(index).type == 'M')
        return memo(index);
    return std::string(textView(index));
}

Value Table::value(int index) const
{
    const FieldDesc& f = field(index);
    switch (f.type) {
    case 'M':
        return memo(index);
    case 'N':
    case 'F': {
        auto v = parseNumber(textView(index));
        return v ? Value(*v) : Value();
    }
    case 'D': {
        std::string_view d = textView(index);
        if (d.size() != 8 || !allDigits(d))
            return Value();
        return Date{std::stoi(std::string(d.substr(0, 4))), std::stoi(std::string(d.substr(4, 2))),
                    std::stoi(std::string(d.substr(6, 2)))};
    }
    case 'L': {
        const char c = buffer_[static_cast<size_t>(f.offset)];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'J' || c == 'j')
            return true;
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return false;
        return Value();
    }
    default: {
        std::string_view t = textView(index);
        return t.empty() ? Value() : Value(std::string(t));
    }
    }
}

void Table::checkEditing(const char* what) const
{
    if (what == nullptr) {
        // Moving the cursor while a record is being edited would lose the edit.
        if (state_ != State::Browse)
            throw DbfError("In der Tabelle " + path_ + " wird gerade ein Datensatz bearbeitet.");
        return;
    }
    if (state_ == State::Browse)
        throw DbfError(std::string("Die Tabelle ") + path_ + " ist nicht im Bearbeitungsmodus (" + what + ").");
}

void Table::checkWritable() const
{
    if (!dbf_.writable())
        throw DbfError("Die Tabelle " + path_ + " ist schreibgeschützt.");
    if (!writeRefusal_.empty())
        throw DbfError(writeRefusal_);
    if (broken_)
        throw DbfError("Eine Änderung der Tabelle " + path_ + " ist misslungen und konnte nicht rückgängig gemacht "
                       "werden. Bitte die Tabelle schließen und neu öffnen; ihr Index wird dann neu aufgebaut.");
    if (indexSkipped_)
        throw DbfError("Die Tabelle " + path_ + " ist ohne ihren Index geöffnet und kann erst nach dem Neuaufbau des Index geändert werden.");
    for (size_t t = 0; t < keys_.size(); ++t) {
        if (!keys_[t])
            throw DbfError("Die Tabelle " + path_ + " kann nur gelesen werden: ihr Index " + tagInfos_[t].name +
                           " hat einen Schlüssel, der nicht gepflegt werden kann.");
        if (t < conditionErrors_.size() && !conditionErrors_[t].empty())
            throw DbfError("Die Tabelle " + path_ + " kann nur gelesen werden: ihr Index " + tagInfos_[t].name +
                           " hat eine Bedingung, die nicht ausgewertet werden kann (" + conditionErrors_[t] + ").");
    }
}

void Table::setText(int index, std::string_view text)
{
    checkEditing("Wert setzen");
    const FieldDesc& f = field(index);
    char* dst = buffer_.data() + f.offset;
    const size_t width = static_cast<size_t>(f.length);
    switch (f.type) {
    case 'M':
        setMemo(index, text);
        return;
    case 'C': {
        const size_t n = std::min(width, text.size());
        std::memcpy(dst, text.data(), n);
        std::memset(dst + n, ' ', width - n);
        return;
    }
    case 'N':
    case 'F': {
        std::string_view t = trimBoth(text);
        if (t.empty()) {
            std::memset(dst, ' ', width);
            return;
        }
        auto v = parseNumber(t);
        if (!v)
            throw DbfError("\"" + std::string(text) + "\" ist keine Zahl (Feld " + f.name + ", Tabelle " + path_ + ").");
        setValue(index, *v);
        return;
    }
    case 'D': {
        std::string_view t = trimBoth(text);
        if (t.empty()) {
            std::memset(dst, ' ', width);
            return;
        }
        if (t.size() != 8 || !allDigits(t))
            throw DbfError("\"" + std::string(text) + "\" ist kein Datum JJJJMMTT (Feld " + f.name + ", Tabelle " + path_ + ").");
        std::memcpy(dst, t.data(), 8);
        return;
    }
    case 'L': {
        std::string_view t = trimBoth(text);
        char c = ' ';
        if (!t.empty()) {
            const char x = t[0];
            if (std::strchr("TtYyJj", x))
                c = 'T';
            else if (std::strchr("FfNn", x))
                c = 'F';
            else if (x != '?')
                throw DbfError("\"" + std::string(text) + "\" ist kein Wahrheitswert (Feld " + f.name + ", Tabelle " + path_ + ").");
        }
        *dst = c;
        return;
    }
    }
}

void Table::setValue(int index, const Value& v)
{
    checkEditing("Wert setzen");
    const FieldDesc& f = field(index);
    if (std::holds_alternative<std::monostate>(v)) {
        if (f.type == 'M')
            setMemo(index, {});
        else
            std::memset(buffer_.data() + f.offset, ' ', static_cast<size_t>(f.length));
        return;
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        setText(index, *s);
        return;
    }
    if (const auto* b = std::get_if<bool>(&v)) {
        setText(index, *b ? "T" : "F");
        return;
    }
    if (const auto* d = std::get_if<Date>(&v)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d->year % 10000, d->month % 100, d->day % 100);
        setText(index, buf);
        return;
    }
    const double number = std::get<double>(v);
    if (f.type == 'N' || f.type == 'F') {
        char buf[64];
        int n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, number);
        if (!std::isfinite(number) || n < 0 || n > f.length)
            throw DbfError("Die Zahl " + std::string(buf) + " passt nicht in das Feld " + f.name + " der Tabelle " + path_ + ".");
        std::memcpy(buffer_.data() + f.offset, buf, static_cast<size_t>(f.length));
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", number);
    setText(index, buf);
}

} // namespace zedora::dbase
