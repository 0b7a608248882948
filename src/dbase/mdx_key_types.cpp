#include "dbase/mdx_key_types.h"

#include "dbase/error.h"
#include "dbase/index.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zedora::dbase {

namespace {

constexpr int kBcdBias = 52;
constexpr int kMaxDigits = 20;

struct Decimal {
    int sign = 0;        // -1, 0, 1
    int exponent = 0;    // digits before the decimal point
    std::string digits;  // no leading zeros, trailing zeros stripped
};

Decimal decode(std::string_view key) {
    Decimal d;
    if (key.size() < size_t(kNumericKeyLength)) return d;
    const auto* b = reinterpret_cast<const unsigned char*>(key.data());
    const int count = std::min((b[1] >> 2) & 0x1F, kMaxDigits);
    for (int i = 0; i < count; ++i) {
        const unsigned char byte = b[2 + i / 2];
        const int digit = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
        d.digits.push_back(char('0' + std::min(digit, 9)));
    }
    // A writer may store leading zeros; they only shift the exponent.
    size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
    d.digits.erase(0, lead);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) return d;
    d.exponent = int(b[0]) - kBcdBias - int(lead);
    d.sign = (b[1] & 0x80) ? -1 : 1;
    return d;
}

int compareMagnitude(const Decimal& a, const Decimal& b) {
    if (a.exponent != b.exponent) return a.exponent < b.exponent ? -1 : 1;
    const size_t n = std::max(a.digits.size(), b.digits.size());
    for (size_t i = 0; i < n; ++i) {
        const char x = i < a.digits.size() ? a.digits[i] : '0';
        const char y = i < b.digits.size() ? b.digits[i] : '0';
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

uint64_t bitsOf(std::string_view key) {
    uint64_t bits = 0;
    for (int i = kDateKeyLength - 1; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(key[size_t(i)]);
    return bits;
}

std::string trimmed(std::string_view text) {
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

} // namespace

std::string numericKey(double value) {
    std::string key(size_t(kNumericKeyLength), '\0');
    key[0] = char(kBcdBias);
    key[1] = char(0x01);
    if (!std::isfinite(value) || value == 0) return key;
    // 15 significant digits: what a double holds exactly in decimal.
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
    std::string digits;
    digits.push_back(text[0]);
    for (const char* p = text + 2; *p >= '0' && *p <= '9'; ++p) digits.push_back(*p);
    const int exponent = std::atoi(std::strchr(text, 'e') + 1) + 1;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    // Digits before the decimal point are all stored, as dBase does for whole numbers.
    if (exponent > int(digits.size())) digits.resize(size_t(std::min(exponent, kMaxDigits)), '0');
    if (digits.size() > size_t(kMaxDigits)) digits.resize(size_t(kMaxDigits));
    key[0] = char(kBcdBias + exponent);
    key[1] = char((value < 0 ? 0x80 : 0) | (int(digits.size()) << 2) | 0x01);
    for (size_t i = 0; i < digits.size(); ++i) {
        const int digit = digits[i] - '0';
        key[2 + i / 2] = char(static_cast<unsigned char>(key[2 + i / 2]) | (i % 2 == 0 ? digit << 4 : digit));
    }
    return key;
}

double numericKeyValue(std::string_view key) {
    const Decimal d = decode(key);
    if (d.sign == 0) return 0;
    const std::string text = (d.sign < 0 ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exponent);
    return std::strtod(text.c_str(), nullptr);
}

std::string dateKey(double dayNumber) {
    uint64_t bits = 0;
    std::memcpy(&bits, &dayNumber, sizeof bits);
    std::string key(size_t(kDateKeyLength), '\0');
    for (int i = 0; i < kDateKeyLength; ++i) key[size_t(i)] = char((bits >> (8 * i)) & 0xFF);
    return key;
}

double dateKeyValue(std::string_view key) {
    if (key.size() < size_t(kDateKeyLength)) return 0;
    const uint64_t bits = bitsOf(key);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double dayNumberOf(std::string_view text) {
    if (text.size() < 8) return 0;
    int parts[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    size_t at = 0;
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < widths[p]; ++i, ++at) {
            if (text[at] < '0' || text[at] > '9') return 0;
            parts[p] = parts[p] * 10 + (text[at] - '0');
        }
    const int year = parts[0], month = parts[1], day = parts[2];
    static const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > lengths[month - 1]) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return 0;
    const long a = (14 - month) / 12;
    const long y = year + 4800 - a;
    const long m = month + 12 * a - 3;
    return double(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045);
}

std::string dateTextOf(double dayNumber) {
    if (!(dayNumber >= 1721426 && dayNumber <= 5373484)) return std::string(8, ' ');
    const long j = long(dayNumber);
    const long f = j + 1401 + (((4 * j + 274277) / 146097) * 3) / 4 - 38;
    const long e = 4 * f + 3;
    const long g = (e % 1461) / 4;
    const long h = 5 * g + 2;
    const long day = (h % 153) / 5 + 1;
    const long month = ((h / 153 + 2) % 12) + 1;
    const long year = e / 1461 - 4716 + (12 + 2 - month) / 12;
    char out[64];
    std::snprintf(out, sizeof out, "%04ld%02ld%02ld", year, month, day);
    return std::string(out, 8);
}

int compareTypedKeys(char keyType, std::string_view a, std::string_view b) {
    if (keyType == 'N') {
        const Decimal x = decode(a), y = decode(b);
        if (x.sign != y.sign) return x.sign < y.sign ? -1 : 1;
        if (x.sign == 0) return 0;
        const int c = compareMagnitude(x, y);
        return x.sign > 0 ? c : -c;
    }
    if (keyType == 'D') {
        const double x = dateKeyValue(a), y = dateKeyValue(b);
        if (x < y) return -1;
        if (x > y) return 1;
        if (x == y) return 0;
        // NaN from a damaged file: a fixed place before every number.
        const bool nx = std::isnan(x), ny = std::isnan(y);
        return nx == ny ? 0 : (nx ? -1 : 1);
    }
    return compareKeys(a, b);
}

std::string searchKeyFromText(char keyType, std::string_view text) {
    if (keyType == 'N') {
        std::string t = trimmed(text);
        for (char& c : t)
            if (c == ',') c = '.';
        if (t.empty()) return numericKey(0);
        char* end = nullptr;
        const double value = std::strtod(t.c_str(), &end);
        if (end == t.c_str() || *end != '\0' || !std::isfinite(value))
            throw DbfError("\"" + std::string(text) + "\" ist keine Zahl.");
        return numericKey(value);
    }
    if (keyType == 'D') {
        const std::string t = trimmed(text);
        if (t.empty()) return dateKey(0);
        std::string iso = t;
        if (t.size() == 10 && t[2] == '.' && t[5] == '.')
            iso = t.substr(6, 4) + t.substr(3, 2) + t.substr(0, 2);
        const double day = iso.size() == 8 ? dayNumberOf(iso) : 0;
        if (day == 0) throw DbfError("\"" + std::string(text) + "\" ist kein Datum.");
        return dateKey(day);
    }
    return std::string(text);
}

} // namespace zedora::dbase
