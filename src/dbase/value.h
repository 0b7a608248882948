#pragma once
// A field value independent of the field's type, for copying between tables.
#include <string>
#include <variant>

namespace zedora::dbase {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date&) const = default;
};

// monostate: empty (blank field); string: C and M fields (Windows-1252
// bytes); double: N and F; bool: L; Date: D.
using Value = std::variant<std::monostate, std::string, double, bool, Date>;

} // namespace zedora::dbase
