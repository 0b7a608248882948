#pragma once
// Inside the table engine: small text and path helpers its source files share.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace zedora::dbase {

inline bool fileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

inline std::string stemOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < start)
        dot = path.size();
    return path.substr(start, dot - start);
}

inline std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

inline std::string_view trimRight(std::string_view s)
{
    // Wide fields are mostly blank: skip eight blanks at a time.
    constexpr uint64_t blanks = 0x2020202020202020ull;
    size_t n = s.size();
    while (n >= 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + n - 8, 8);
        if (word != blanks)
            break;
        n -= 8;
    }
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0'))
        --n;
    return s.substr(0, n);
}

inline std::string_view trimBoth(std::string_view s)
{
    s = trimRight(s);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

inline uint32_t le32(const char* p)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(p[0])) | static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(p[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(p[3])) << 24;
}

inline std::optional<double> parseNumber(std::string_view s)
{
    s = trimBoth(s);
    if (s.empty())
        return std::nullopt;
    if (s.front() == '+')
        s.remove_prefix(1);
    std::string tmp(s);
    for (char& c : tmp)
        if (c == ',')
            c = '.';
    double v = 0;
    auto [end, ec] = std::from_chars(tmp.data(), tmp.data() + tmp.size(), v);
    if (ec != std::errc() || end != tmp.data() + tmp.size())
        return std::nullopt;
    return v;
}

inline bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace zedora::dbase
