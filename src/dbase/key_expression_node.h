#pragma once
// What one node of a compiled key expression or tag condition computes from
// a raw record: text, a number, a day number or a truth value. Only the
// parser in key_expression.cpp builds nodes.
#include "dbase/collation.h"
#include "dbase/index.h"
#include "dbase/mdx_key_types.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace zedora::dbase {

struct KeyExpression::Node {
    enum Kind {
        Field, Upper, Left, Dtos, Concat, Sum, Str, Val, Dtoc, Substr, Rtrim, Ltrim, Literal, Number,
        Compare, And, Or, Not, Constant, Deleted
    } kind = Field;
    enum Op { Equal, Exact, NotEqual, Less, Greater, LessEqual, GreaterEqual, Contained };
    char type = 'C';   // result type: 'C', 'N', 'D' or 'L' (logical)
    int length = 0;    // result length in bytes (character results: the longest)
    int offset = 0;    // Field: offset in the record
    int count = 0;     // Left, Substr: characters kept; Str: width
    int start = 0;     // Substr: first character, 0-based; Str: decimals; Constant: the value
    Op op = Equal;     // Compare
    std::string text;  // Literal
    double value = 0;  // Number
    std::vector<std::shared_ptr<const Node>> children;

    // Character results; trimmed values may be shorter than `length`.
    void evaluate(const char* record, std::string& out) const {
        switch (kind) {
        case Field:
            out.append(record + offset, static_cast<size_t>(length));
            break;
        case Dtos:  // a date field holds YYYYMMDD already
            children[0]->evaluate(record, out);
            break;
        case Upper: {
            const size_t from = out.size();
            children[0]->evaluate(record, out);
            upperInPlace(out, from);
            break;
        }
        case Left:
        case Substr: {
            const size_t from = out.size();
            children[0]->evaluate(record, out);
            const size_t have = out.size() - from;
            const size_t first = std::min(have, static_cast<size_t>(start));
            out.erase(from, first);
            out.resize(std::min(out.size(), from + static_cast<size_t>(count)));
            break;
        }
        case Rtrim: {
            children[0]->evaluate(record, out);
            while (!out.empty() && out.back() == ' ') out.pop_back();
            break;
        }
        case Ltrim: {
            const size_t from = out.size();
            children[0]->evaluate(record, out);
            size_t blanks = 0;
            while (from + blanks < out.size() && out[from + blanks] == ' ') ++blanks;
            out.erase(from, blanks);
            break;
        }
        case Str:
            out += formatNumber(children[0]->number(record), count, start);
            break;
        case Dtoc: {
            // dBase's default date format (SET DATE AMERICAN): MM/DD/YY.
            std::string t;
            children[0]->evaluate(record, t);
            t.resize(8, ' ');
            out += t.find_first_not_of(' ') == std::string::npos ? std::string("  /  /  ") : t.substr(4, 2) + "/" + t.substr(6, 2) + "/" + t.substr(2, 2);
            break;
        }
        case Concat:
            for (const auto& child : children) child->evaluate(record, out);
            break;
        case Literal:
            out += text;
            break;
        default:
            break;  // numbers and logical values are never asked for text
        }
    }

    bool truth(const char* record) const {
        switch (kind) {
        case Field: {
            const char c = record[offset];
            return c == 'T' || c == 't' || c == 'Y' || c == 'y';
        }
        case Constant: return start != 0;
        case Deleted: return record[0] == '*';
        case Not: return !children[0]->truth(record);
        case And:
            for (const auto& child : children)
                if (!child->truth(record)) return false;
            return true;
        case Or:
            for (const auto& child : children)
                if (child->truth(record)) return true;
            return false;
        case Compare: return compare(record);
        default: return false;
        }
    }

    bool compare(const char* record) const {
        const Node& a = *children[0];
        const Node& b = *children[1];
        int order = 0;
        switch (a.type) {
        case 'C': {
            std::string left, right;
            a.evaluate(record, left);
            b.evaluate(record, right);
            if (op == Contained) return right.find(left) != std::string::npos;  // left occurs in right
            // SET EXACT OFF: the left side counts only as far as the right one reaches.
            if (op != Exact && right.size() < left.size()) left.resize(right.size());
            order = compareKeys(left, right);
            break;
        }
        case 'N': {
            const double x = a.number(record), y = b.number(record);
            order = x < y ? -1 : x > y ? 1 : 0;
            break;
        }
        case 'D': {
            const double x = a.day(record), y = b.day(record);
            order = x < y ? -1 : x > y ? 1 : 0;
            break;
        }
        default:
            order = a.truth(record) == b.truth(record) ? 0 : 1;
            break;
        }
        switch (op) {
        case Equal:
        case Exact: return order == 0;
        case NotEqual: return order != 0;
        case Less: return order < 0;
        case Greater: return order > 0;
        case LessEqual: return order <= 0;
        case GreaterEqual: return order >= 0;
        case Contained: return false;
        }
        return false;
    }

    double number(const char* record) const {
        switch (kind) {
        case Field: return parseNumber(std::string_view(record + offset, static_cast<size_t>(length)));
        case Number: return value;
        case Sum: {
            double total = 0;
            for (const auto& child : children) total += child->number(record);
            return total;
        }
        case Val: {
            std::string text;
            children[0]->evaluate(record, text);
            return parseNumber(text);
        }
        default: return 0;
        }
    }

    // Day number of a date result; 0 for a blank date.
    double day(const char* record) const {
        if (kind == Field) return dayNumberOf(std::string_view(record + offset, static_cast<size_t>(length)));
        return 0;
    }

    // dBase reads the leading number of a text and ignores the rest.
    static double parseNumber(std::string_view text) {
        std::string t(text);
        for (char& c : t)
            if (c == ',') c = '.';
        const double value = std::strtod(t.c_str(), nullptr);
        return std::isfinite(value) ? value : 0;
    }

    // STR(): right-aligned in `width`, rounded to `decimals`; asterisks
    // when it does not fit.
    static std::string formatNumber(double value, int width, int decimals) {
        // dBase rounds halves away from zero; printf would round them to even.
        const double scale = std::pow(10.0, decimals);
        const double rounded = std::round(value * scale) / scale;
        char text[400];
        const int n = std::snprintf(text, sizeof text, "%*.*f", width, decimals, rounded);
        if (n < 0 || n > width) return std::string(static_cast<size_t>(width), '*');
        return std::string(text, static_cast<size_t>(n));
    }
};

} // namespace zedora::dbase
