// dBase key expressions: field names, '+', UPPER(), LEFT(), SUBSTR(),
// TRIM()/RTRIM(), LTRIM(), DTOS(), DTOC(), STR(), VAL(), any letter case.
#include "dbase/collation.h"
#include "dbase/index.h"
#include "dbase/mdx_key_types.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zedora::dbase {

struct KeyExpression::Node {
    enum Kind { Field, Upper, Left, Dtos, Concat, Sum, Str, Val, Dtoc, Substr, Rtrim, Ltrim } kind = Field;
    char type = 'C';   // result type: 'C', 'N' or 'D'
    int length = 0;    // result length in bytes (character results: the longest)
    int offset = 0;    // Field: offset in the record
    int count = 0;     // Left, Substr: characters kept; Str: width
    int start = 0;     // Substr: first character, 0-based; Str: decimals
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
        case Sum:
        case Val:
            break;  // numeric; never asked for text
        }
    }

    double number(const char* record) const {
        switch (kind) {
        case Field: return parseNumber(std::string_view(record + offset, static_cast<size_t>(length)));
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

namespace {

using NodePtr = std::shared_ptr<KeyExpression::Node>;

class Parser {
public:
    Parser(std::string_view text, const std::vector<FieldDesc>& fields) : text_(text), fields_(fields) {}

    NodePtr parseAll() {
        NodePtr node = parseSum();
        skipBlanks();
        if (pos_ < text_.size()) fail("unerwartetes Zeichen '" + std::string(1, text_[pos_]) + "'");
        return node;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw DbfError("Fehler im Schlüsselausdruck \"" + std::string(text_) + "\": " + what);
    }

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }

    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) { ++pos_; return true; }
        return false;
    }

    void expect(char c) {
        if (!take(c)) fail(std::string("'") + c + "' erwartet");
    }

    std::string identifier() {
        skipBlanks();
        const size_t start = pos_;
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        if (start == pos_ || std::isdigit(static_cast<unsigned char>(text_[start])))
            fail(pos_ < text_.size() ? "Feldname oder Funktion erwartet"
                                     : "Ausdruck endet unerwartet");
        std::string name(text_.substr(start, pos_ - start));
        for (char& c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return name;
    }

    int number() {
        skipBlanks();
        int value = 0;
        const char* begin = text_.data() + pos_;
        const auto [end, ec] = std::from_chars(begin, text_.data() + text_.size(), value);
        if (ec != std::errc() || end == begin || value < 0) fail("ganze Zahl erwartet");
        pos_ += static_cast<size_t>(end - begin);
        return value;
    }

    NodePtr parseSum() {
        NodePtr first = parseTerm();
        if (!take('+')) return first;
        auto sum = std::make_shared<KeyExpression::Node>();
        sum->children.push_back(first);
        do {
            sum->children.push_back(parseTerm());
        } while (take('+'));
        sum->type = first->type;
        for (const auto& child : sum->children)
            if (child->type != sum->type || sum->type == 'D')
                fail("+ verbindet nur Zeichen mit Zeichen oder Zahlen mit Zahlen, kein Datum");
        if (sum->type == 'N') {
            sum->kind = KeyExpression::Node::Sum;
        } else {
            sum->kind = KeyExpression::Node::Concat;
            for (const auto& child : sum->children) sum->length += child->length;
        }
        return sum;
    }

    NodePtr require(NodePtr node, char type, const char* what) {
        if (node->type != type) {
            const char* name = type == 'C' ? "Zeichenwerte" : type == 'N' ? "eine Zahl" : "ein Datum";
            fail(std::string(what) + " verlangt " + name);
        }
        return node;
    }

    NodePtr requireChar(NodePtr node, const char* what) { return require(std::move(node), 'C', what); }

    NodePtr parseTerm() {
        if (take('(')) {
            NodePtr inner = parseSum();
            expect(')');
            return inner;
        }
        const std::string name = identifier();
        if (take('(')) return parseFunction(name);
        return fieldNode(name);
    }

    NodePtr parseFunction(const std::string& name) {
        using N = KeyExpression::Node;
        auto node = std::make_shared<N>();
        if (name == "UPPER") {
            node->kind = N::Upper;
            node->children.push_back(requireChar(parseSum(), "UPPER"));
            node->length = node->children[0]->length;
        } else if (name == "LEFT" || name == "SUBSTR") {
            node->kind = name == "LEFT" ? N::Left : N::Substr;
            node->children.push_back(requireChar(parseSum(), name.c_str()));
            const int have = node->children[0]->length;
            expect(',');
            if (node->kind == N::Substr) {
                const int first = number();
                if (first < 1) fail("SUBSTR beginnt beim ersten Zeichen (1)");
                node->start = std::min(first - 1, have);
                node->count = have - node->start;
                if (take(',')) node->count = std::min(number(), node->count);
            } else {
                node->count = std::min(number(), have);
            }
            node->length = node->count;
        } else if (name == "TRIM" || name == "RTRIM" || name == "LTRIM") {
            node->kind = name == "LTRIM" ? N::Ltrim : N::Rtrim;
            node->children.push_back(requireChar(parseSum(), name.c_str()));
            node->length = node->children[0]->length;
        } else if (name == "DTOS" || name == "DTOC") {
            node->kind = name == "DTOS" ? N::Dtos : N::Dtoc;
            NodePtr arg = parseSum();
            if (arg->type != 'D') fail(name + " verlangt ein Datumsfeld");
            node->children.push_back(arg);
            node->length = 8;
        } else if (name == "STR") {
            node->kind = N::Str;
            node->children.push_back(require(parseSum(), 'N', "STR"));
            node->count = 10;
            if (take(',')) node->count = number();
            if (take(',')) node->start = number();
            if (node->count < 1 || node->count > 100) fail("STR: Breite 1 bis 100");
            node->start = std::min(node->start, std::max(node->count - 2, 0));
            node->length = node->count;
        } else if (name == "VAL") {
            node->kind = N::Val;
            node->type = 'N';
            node->children.push_back(requireChar(parseSum(), "VAL"));
        } else {
            fail("unbekannte Funktion " + name + "()");
        }
        expect(')');
        return node;
    }

    NodePtr fieldNode(const std::string& name) {
        for (const FieldDesc& field : fields_) {
            if (field.name != name) continue;
            if (field.type != 'C' && field.type != 'D' && field.type != 'N' && field.type != 'F')
                fail("Feld " + name + " vom Typ " + field.type + " ist in Schlüsseln nicht möglich");
            if (field.type == 'D' && field.length != 8) fail("Datumsfeld " + name + " hat nicht die Breite 8");
            auto node = std::make_shared<KeyExpression::Node>();
            node->kind = KeyExpression::Node::Field;
            node->type = field.type == 'F' ? 'N' : field.type;
            node->offset = field.offset;
            node->length = field.length;
            return node;
        }
        fail("unbekanntes Feld " + name);
    }

    std::string_view text_;
    const std::vector<FieldDesc>& fields_;
    size_t pos_ = 0;
};

} // namespace

KeyExpression KeyExpression::compile(std::string_view text, const std::vector<FieldDesc>& fields) {
    Parser parser(text, fields);
    NodePtr root = parser.parseAll();
    const std::string quoted = "Schlüsselausdruck \"" + std::string(text) + "\"";
    // Numbers and dates are stored in a fixed binary form, whatever their field width.
    const int length = root->type == 'N' ? kNumericKeyLength : root->type == 'D' ? kDateKeyLength : root->length;
    if (length < 1 || length > 100)
        throw DbfError(quoted + ": der Schlüssel muss 1 bis 100 Zeichen lang sein, nicht " +
                       std::to_string(length));
    KeyExpression result;
    result.text_ = std::string(text);
    result.type_ = root->type;
    result.length_ = length;
    result.root_ = std::move(root);
    return result;
}

const std::string& KeyExpression::text() const { return text_; }
char KeyExpression::type() const { return type_; }
int KeyExpression::length() const { return length_; }

std::string KeyExpression::evaluate(const char* record) const {
    if (root_ && type_ == 'N') return numericKey(root_->number(record));
    if (root_ && type_ == 'D') return dateKey(root_->day(record));
    std::string out;
    out.reserve(static_cast<size_t>(length_));
    if (root_) root_->evaluate(record, out);
    out.resize(static_cast<size_t>(length_), ' ');
    return out;
}

} // namespace zedora::dbase
