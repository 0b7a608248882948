#pragma once
// The colouring of grade cells by value: three lists of grades (";5;6;")
// with a colour each, compared on the first one or two characters.
#include <QColor>
#include <QString>
#include <array>
#include <optional>

namespace zedora {

struct Settings;

struct ColourChains {
    std::array<QString, 3> chains{QStringLiteral(";5;6;"), QStringLiteral(";4;"), QStringLiteral(";1;")};
    std::array<int, 3> colours{11107325, 15191807, 8454016}; // Windows colour values
    int compareLength = 1; // VglLaenge: 1 or 2

    // F1Kette .. F3Kette, Farbe01 .. Farbe03 and VglLaenge.
    static ColourChains fromSettings(const Settings& settings);

    // 0, 1 or 2 for the first chain holding the value; nothing for an empty
    // value or one in no chain.
    std::optional<int> chainOf(const QString& value) const;
    // The cell colour of a value; nothing when the value is not coloured.
    std::optional<QColor> colourFor(const QString& value) const;
};

} // namespace zedora
