// dBase key expressions: field names, '+', UPPER(), LEFT(expr, n), DTOS(date).
#include "dbase/collation.h"
#include "dbase/index.h"

#include <cctype>
#include <charconv>

namespace zedora::dbase {

struct KeyExpression::Node {
    enum Kind { Field, Upper, Left, Dtos, Concat } kind = Field;
    char type = 'C';   // result type: 'C' or 'D'
    int length = 0;    // result length in bytes
    int offset = 0;    // Field: offset in the record
    int count = 0;     // Left: characters kept
    std::vector<std::shared_ptr<const Node>> children;

    void evaluate(const char* record, std::string& out) const {
        switch (kind) {
        case Field:
            out.append(record + offset, static_cast<size_t>(length));
            break;
        case Dtos:
            children[0]->evaluate(record, out);
            break;
        case Upper: {
            const size_t from = out.size();
            children[0]->evaluate(record, out);
            upperInPlace(out, from);
            break;
        }
        case Left: {
            const size_t from = out.size();
            children[0]->evaluate(record, out);
            out.resize(from + static_cast<size_t>(length));
            break;
        }
        case Concat:
            for (const auto& child : children) child->evaluate(record, out);
            break;
        }
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
        auto concat = std::make_shared<KeyExpression::Node>();
        concat->kind = KeyExpression::Node::Concat;
        concat->children.push_back(requireChar(first, "+"));
        do {
            concat->children.push_back(requireChar(parseTerm(), "+"));
        } while (take('+'));
        for (const auto& child : concat->children) concat->length += child->length;
        return concat;
    }

    NodePtr requireChar(NodePtr node, const char* what) {
        if (node->type != 'C') fail(std::string(what) + " verlangt Zeichenwerte, kein Datum");
        return node;
    }

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
        auto node = std::make_shared<KeyExpression::Node>();
        if (name == "UPPER") {
            node->kind = KeyExpression::Node::Upper;
            node->children.push_back(requireChar(parseSum(), "UPPER"));
            node->length = node->children[0]->length;
        } else if (name == "LEFT") {
            node->kind = KeyExpression::Node::Left;
            node->children.push_back(requireChar(parseSum(), "LEFT"));
            expect(',');
            node->count = number();
            node->length = std::min(node->count, node->children[0]->length);
        } else if (name == "DTOS") {
            node->kind = KeyExpression::Node::Dtos;
            NodePtr arg = parseSum();
            if (arg->type != 'D') fail("DTOS verlangt ein Datumsfeld");
            node->children.push_back(arg);
            node->length = 8;
        } else {
            fail("unbekannte Funktion " + name + "()");
        }
        expect(')');
        return node;
    }

    NodePtr fieldNode(const std::string& name) {
        for (const FieldDesc& field : fields_) {
            if (field.name != name) continue;
            if (field.type != 'C' && field.type != 'D')
                fail("Feld " + name + " vom Typ " + field.type + " ist in Schlüsseln nicht möglich");
            if (field.type == 'D' && field.length != 8) fail("Datumsfeld " + name + " hat nicht die Breite 8");
            auto node = std::make_shared<KeyExpression::Node>();
            node->kind = KeyExpression::Node::Field;
            node->type = field.type;
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
    if (root->type != 'C')
        throw DbfError(quoted + ": nur Zeichenschlüssel sind möglich (Datum mit DTOS() umwandeln)");
    if (root->length < 1 || root->length > 100)
        throw DbfError(quoted + ": der Schlüssel muss 1 bis 100 Zeichen lang sein, nicht " +
                       std::to_string(root->length));
    KeyExpression result;
    result.text_ = std::string(text);
    result.type_ = 'C';
    result.length_ = root->length;
    result.root_ = std::move(root);
    return result;
}

const std::string& KeyExpression::text() const { return text_; }
char KeyExpression::type() const { return type_; }
int KeyExpression::length() const { return length_; }

std::string KeyExpression::evaluate(const char* record) const {
    std::string out;
    out.reserve(static_cast<size_t>(length_));
    if (root_) root_->evaluate(record, out);
    out.resize(static_cast<size_t>(length_), ' ');
    return out;
}

} // namespace zedora::dbase
