#include "base/ansi_text.h"

#include <array>

namespace zedora {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned positions, which
// are kept as the C1 control of the same value so that no byte is lost.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t decodeByte(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F) {
        const char16_t c = kHigh[b - 0x80];
        return c ? c : char16_t(b);
    }
    return char16_t(b);
}

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c || (kHigh[i] == 0 && c == 0x80 + i))
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

QString fromAnsi(std::string_view bytes)
{
    QString out;
    out.resize(qsizetype(bytes.size()));
    QChar* d = out.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        d[i] = QChar(decodeByte(static_cast<unsigned char>(bytes[i])));
    return out;
}

QString fromAnsi(const QByteArray& bytes)
{
    return fromAnsi(std::string_view(bytes.constData(), size_t(bytes.size())));
}

QByteArray toAnsi(const QString& text)
{
    QByteArray out;
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeChar(text.at(i).unicode());
    return out;
}

std::string toAnsiStd(const QString& text)
{
    const QByteArray b = toAnsi(text);
    return std::string(b.constData(), size_t(b.size()));
}

QString upperAscii(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 32);
    }
    return out;
}

} // namespace zedora
