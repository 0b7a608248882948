#pragma once
// Numeric (N) and date (D) keys as dBase IV stores them in an .MDX tag.
//
// N: 12 bytes of packed decimal.
//   byte 0     52 + the decimal exponent, i.e. the number of digits before
//              the decimal point (123.4 -> 55; 0.05 -> 51: one zero after
//              the point before the first digit).
//   byte 1     bit 7 the sign (set: negative), bits 6..2 the number of
//              digits stored, bits 1..0 always 01.
//   bytes 2-11 up to 20 digits, two per byte, the first in the high nibble,
//              no leading zeros; unused nibbles are 0.
//   Zero is 0x34 0x01 followed by ten zero bytes.
// D: the day number (Julian day, 1 Jan 2000 = 2451545) as an IEEE double,
//    little-endian; a blank date is 0.
//
// Both compare as values, never as bytes, so that keys another writer
// encoded slightly differently (digit count, zero) still order and match.
#include <string>
#include <string_view>

namespace zedora::dbase {

constexpr int kNumericKeyLength = 12;
constexpr int kDateKeyLength = 8;

std::string numericKey(double value);
// The value of a numeric key; 0 for a key too short to hold one.
double numericKeyValue(std::string_view key);
std::string dateKey(double dayNumber);
double dateKeyValue(std::string_view key);

// Day number of a dBase date field ("YYYYMMDD"); 0 for a blank or invalid date.
double dayNumberOf(std::string_view yyyymmdd);
// "YYYYMMDD" of a day number; 8 blanks for 0 or out of range.
std::string dateTextOf(double dayNumber);

// Order of two keys of the given type ('C' with the German collation).
int compareTypedKeys(char keyType, std::string_view a, std::string_view b);

// A search key for a tag of the given type from what a user types: a
// number for N ("42", "-3,5"), a date for D ("20240131" or "31.01.2024").
// Character keys pass unchanged.
std::string searchKeyFromText(char keyType, std::string_view text);

} // namespace zedora::dbase
