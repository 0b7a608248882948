// The German key order of the engine under its language driver 0x03
// (Windows ANSI, code page 1252).
//
// Primary: every byte weighs its own code, except the umlauts, which weigh
// as their base letter (Ä = A, Ö = O, Ü = U, ä = a, ö = o, ü = u), and ß,
// which weighs as two letters s - "ss" after a lower-case letter, "SS"
// otherwise, so that it falls in with SS in upper-cased keys and with ss in
// mixed-case ones. Both keys are blank-padded to the same length first;
// the shorter weight sequence counts as blank-padded too.
// Tie-break: keys with equal primary weights compare byte by byte by code
// (MULLER < MÜLLER, STRASSE < STRAßE), so the order is total and two keys
// compare equal only when their bytes are equal.
// Mueller < Muller < Müller < Mullers: an umlaut is its base letter, not
// the base letter followed by e.
#include "dbase/collation.h"
#include "dbase/index.h"

#include <algorithm>

namespace zedora::dbase {

unsigned char upperWin1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: return 0x8A; // š
    case 0x9C: return 0x8C; // œ
    case 0x9E: return 0x8E; // ž
    case 0xFF: return 0x9F; // ÿ
    default: return c;
    }
}

void upperInPlace(std::string& text, size_t from) {
    for (size_t i = from; i < text.size(); ++i)
        text[i] = static_cast<char>(upperWin1252(static_cast<unsigned char>(text[i])));
}

namespace {

bool isLowerLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x9A || c == 0x9C || c == 0x9E;
}

// Streams the primary weights of one key, blank-padded to `length` bytes and
// then endlessly blank-padded.
class Weights {
public:
    Weights(std::string_view key, size_t length) : key_(key), length_(length) {}
    bool done() const { return pos_ >= length_ && pending_ == 0; }
    unsigned char next() {
        if (pending_ > 0) { --pending_; return pendingWeight_; }
        if (pos_ >= length_) return ' ';
        const unsigned char c = byteAt(pos_);
        const unsigned char prev = pos_ > 0 ? byteAt(pos_ - 1) : ' ';
        ++pos_;
        switch (c) {
        case 0xC4: return 'A';
        case 0xD6: return 'O';
        case 0xDC: return 'U';
        case 0xE4: return 'a';
        case 0xF6: return 'o';
        case 0xFC: return 'u';
        case 0xDF:
            pendingWeight_ = isLowerLetter(prev) ? 's' : 'S';
            pending_ = 1;
            return pendingWeight_;
        default: return c;
        }
    }
    unsigned char byteAt(size_t i) const {
        return i < key_.size() ? static_cast<unsigned char>(key_[i]) : ' ';
    }
private:
    std::string_view key_;
    size_t length_;
    size_t pos_ = 0;
    int pending_ = 0;
    unsigned char pendingWeight_ = 0;
};

} // namespace

int compareKeys(std::string_view a, std::string_view b) {
    const size_t length = std::max(a.size(), b.size());
    Weights wa(a, length), wb(b, length);
    while (!wa.done() || !wb.done()) {
        const int x = wa.next(), y = wb.next();
        if (x != y) return x < y ? -1 : 1;
    }
    for (size_t i = 0; i < length; ++i) {
        const int x = wa.byteAt(i), y = wb.byteAt(i);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

std::string collationSortKey(std::string_view key, size_t length) {
    std::string out;
    out.reserve(3 * length);
    Weights w(key, length);
    while (!w.done()) out.push_back(static_cast<char>(w.next()));
    out.resize(2 * length, ' ');  // each byte weighs at most two
    for (size_t i = 0; i < length; ++i) out.push_back(static_cast<char>(w.byteAt(i)));
    return out;
}

} // namespace zedora::dbase
