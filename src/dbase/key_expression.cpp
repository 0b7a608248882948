// dBase key expressions: field names, literals, '+', UPPER(), LEFT(),
// SUBSTR(), TRIM()/RTRIM(), LTRIM(), DTOS(), DTOC(), STR(), VAL(), any letter
// case; and the FOR conditions of tags built from them with comparisons,
// .AND., .OR., .NOT., logical fields and DELETED().
#include "dbase/key_expression_node.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zedora::dbase {

namespace {

using NodePtr = std::shared_ptr<KeyExpression::Node>;

class Parser {
public:
    Parser(std::string_view text, const std::vector<FieldDesc>& fields, const char* what)
        : text_(text), fields_(fields), what_(what) {}

    NodePtr parseAll() {
        NodePtr node = parseOr();
        skipBlanks();
        if (pos_ < text_.size()) fail("unerwartetes Zeichen '" + std::string(1, text_[pos_]) + "'");
        return node;
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw DbfError("Fehler " + std::string(what_) + " \"" + std::string(text_) + "\": " + what);
    }

private:
    using N = KeyExpression::Node;

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }

    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) { ++pos_; return true; }
        return false;
    }

    // A dotted word such as .AND., in any letter case.
    bool takeWord(std::string_view word) {
        skipBlanks();
        if (text_.size() - pos_ < word.size()) return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(text_[pos_ + i])) != word[i]) return false;
        pos_ += word.size();
        return true;
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

    NodePtr logical(N::Kind kind, std::vector<NodePtr> children) {
        for (const auto& child : children)
            if (child->type != 'L') fail(".AND., .OR. und .NOT. verbinden nur Bedingungen");
        auto node = std::make_shared<N>();
        node->kind = kind;
        node->type = 'L';
        node->children.assign(children.begin(), children.end());
        return node;
    }

    NodePtr parseOr() {
        std::vector<NodePtr> parts{parseAnd()};
        while (takeWord(".OR.")) parts.push_back(parseAnd());
        return parts.size() == 1 ? parts[0] : logical(N::Or, std::move(parts));
    }

    NodePtr parseAnd() {
        std::vector<NodePtr> parts{parseNot()};
        while (takeWord(".AND.")) parts.push_back(parseNot());
        return parts.size() == 1 ? parts[0] : logical(N::And, std::move(parts));
    }

    NodePtr parseNot() {
        if (takeWord(".NOT.")) return logical(N::Not, {parseNot()});
        skipBlanks();
        if (pos_ + 1 < text_.size() && text_[pos_] == '!' && text_[pos_ + 1] != '=') {
            ++pos_;
            return logical(N::Not, {parseNot()});
        }
        return parseComparison();
    }

    bool takeOperator(N::Op& op) {
        static const std::pair<std::string_view, N::Op> operators[] = {
            {"==", N::Exact}, {"<>", N::NotEqual}, {"!=", N::NotEqual}, {"<=", N::LessEqual},
            {">=", N::GreaterEqual}, {"=", N::Equal}, {"#", N::NotEqual}, {"<", N::Less},
            {">", N::Greater}, {"$", N::Contained}};
        skipBlanks();
        for (const auto& [token, which] : operators) {
            if (text_.substr(pos_, token.size()) == token) {
                pos_ += token.size();
                op = which;
                return true;
            }
        }
        return false;
    }

    NodePtr parseComparison() {
        NodePtr left = parseSum();
        N::Op op = N::Equal;
        if (!takeOperator(op)) return left;
        NodePtr right = parseSum();
        if (left->type != right->type) fail("Vergleich verlangt Werte gleicher Art");
        if (left->type == 'L' && op != N::Equal && op != N::Exact && op != N::NotEqual)
            fail("logische Werte lassen sich nur auf Gleichheit vergleichen");
        if (op == N::Contained && left->type != 'C') fail("$ verlangt Zeichenwerte");
        auto node = std::make_shared<N>();
        node->kind = N::Compare;
        node->type = 'L';
        node->op = op;
        node->children = {left, right};
        return node;
    }

    NodePtr parseSum() {
        NodePtr first = parseTerm();
        if (!take('+')) return first;
        auto sum = std::make_shared<N>();
        sum->children.push_back(first);
        do {
            sum->children.push_back(parseTerm());
        } while (take('+'));
        sum->type = first->type;
        for (const auto& child : sum->children)
            if (child->type != sum->type || sum->type == 'D' || sum->type == 'L')
                fail("+ verbindet nur Zeichen mit Zeichen oder Zahlen mit Zahlen, kein Datum");
        if (sum->type == 'N') {
            sum->kind = N::Sum;
        } else {
            sum->kind = N::Concat;
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

    NodePtr stringLiteral(char quote) {
        const size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos) fail("Zeichenkette ohne Ende");
        auto node = std::make_shared<N>();
        node->kind = N::Literal;
        node->text = std::string(text_.substr(pos_, end - pos_));
        node->length = static_cast<int>(node->text.size());
        pos_ = end + 1;
        return node;
    }

    NodePtr numberLiteral() {
        const size_t start = pos_;
        if (text_[pos_] == '-') ++pos_;
        while (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.'))
            ++pos_;
        const std::string digits(text_.substr(start, pos_ - start));
        char* end = nullptr;
        const double value = std::strtod(digits.c_str(), &end);
        if (end != digits.c_str() + digits.size() || !std::isfinite(value)) fail("ungültige Zahl " + digits);
        auto node = std::make_shared<N>();
        node->kind = N::Number;
        node->type = 'N';
        node->value = value;
        return node;
    }

    NodePtr constant(bool value) {
        auto node = std::make_shared<N>();
        node->kind = N::Constant;
        node->type = 'L';
        node->start = value ? 1 : 0;
        return node;
    }

    NodePtr parseTerm() {
        if (take('(')) {
            NodePtr inner = parseOr();
            expect(')');
            return inner;
        }
        skipBlanks();
        if (pos_ < text_.size()) {
            const char c = text_[pos_];
            const char after = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
            if (c == '"' || c == '\'') {
                ++pos_;
                return stringLiteral(c);
            }
            if (std::isdigit(static_cast<unsigned char>(c)) ||
                ((c == '.' || c == '-') && std::isdigit(static_cast<unsigned char>(after))) ||
                (c == '-' && after == '.'))
                return numberLiteral();
            if (takeWord(".T.") || takeWord(".Y.")) return constant(true);
            if (takeWord(".F.") || takeWord(".N.")) return constant(false);
        }
        const std::string name = identifier();
        if (take('(')) return parseFunction(name);
        return fieldNode(name);
    }

    NodePtr parseFunction(const std::string& name) {
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
        } else if (name == "DELETED") {
            node->kind = N::Deleted;
            node->type = 'L';
        } else {
            fail("unbekannte Funktion " + name + "()");
        }
        expect(')');
        return node;
    }

    NodePtr fieldNode(const std::string& name) {
        for (const FieldDesc& field : fields_) {
            if (field.name != name) continue;
            if (field.type != 'C' && field.type != 'D' && field.type != 'N' && field.type != 'F' && field.type != 'L')
                fail("Feld " + name + " vom Typ " + field.type + " ist in Schlüsseln nicht möglich");
            if (field.type == 'D' && field.length != 8) fail("Datumsfeld " + name + " hat nicht die Breite 8");
            auto node = std::make_shared<N>();
            node->kind = N::Field;
            node->type = field.type == 'F' ? 'N' : field.type;
            node->offset = field.offset;
            node->length = field.length;
            return node;
        }
        fail("unbekanntes Feld " + name);
    }

    std::string_view text_;
    const std::vector<FieldDesc>& fields_;
    const char* what_;
    size_t pos_ = 0;
};

} // namespace

KeyExpression KeyExpression::compile(std::string_view text, const std::vector<FieldDesc>& fields) {
    Parser parser(text, fields, "im Schlüsselausdruck");
    NodePtr root = parser.parseAll();
    if (root->type == 'L') parser.fail("ein Schlüssel kann keine Bedingung sein");
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

KeyExpression KeyExpression::compileCondition(std::string_view text, const std::vector<FieldDesc>& fields) {
    Parser parser(text, fields, "in der Bedingung");
    NodePtr root = parser.parseAll();
    if (root->type != 'L') parser.fail("das Ergebnis ist kein logischer Wert");
    KeyExpression result;
    result.text_ = std::string(text);
    result.type_ = 'L';
    result.length_ = 1;
    result.root_ = std::move(root);
    return result;
}

const std::string& KeyExpression::text() const { return text_; }
char KeyExpression::type() const { return type_; }
int KeyExpression::length() const { return length_; }

bool KeyExpression::matches(const char* record) const {
    return root_ && type_ == 'L' && root_->truth(record);
}

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
