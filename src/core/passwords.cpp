#include "core/passwords.h"

#include "base/ansi_text.h"

namespace zedora {
namespace {

// A position-dependent mask keeps equal letters from looking equal in the file.
constexpr unsigned char kMask[] = {0x5A, 0x3C, 0x96, 0x21, 0xE7, 0x4B, 0xD2, 0x18, 0xA5, 0x6F};
constexpr int kMaskLength = sizeof(kMask);

unsigned char maskAt(int i) { return kMask[i % kMaskLength] ^ static_cast<unsigned char>(i * 7); }

} // namespace

QString scramblePassword(const QString& plain)
{
    const QByteArray bytes = toAnsi(plain.trimmed());
    QString out;
    for (int i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]) ^ maskAt(i);
        out += QChar('A' + (b >> 4));
        out += QChar('a' + (b & 0x0F));
    }
    return out;
}

QString unscramblePassword(const QString& stored)
{
    const QString s = stored.trimmed();
    if (s.size() % 2 != 0)
        return {};
    QByteArray bytes;
    for (int i = 0; i < s.size() / 2; ++i) {
        const int hi = s.at(2 * i).unicode() - 'A';
        const int lo = s.at(2 * i + 1).unicode() - 'a';
        if (hi < 0 || hi > 15 || lo < 0 || lo > 15)
            return {};
        bytes += char(((hi << 4) | lo) ^ maskAt(i));
    }
    return fromAnsi(bytes);
}

} // namespace zedora
