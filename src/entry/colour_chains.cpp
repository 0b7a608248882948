#include "entry/colour_chains.h"

#include "core/settings.h"

namespace zedora {

ColourChains ColourChains::fromSettings(const Settings& s)
{
    ColourChains c;
    c.chains = {s.F1Kette, s.F2Kette, s.F3Kette};
    c.colours = {s.Farbe01, s.Farbe02, s.Farbe03};
    c.compareLength = s.VglLaenge;
    return c;
}

std::optional<int> ColourChains::chainOf(const QString& value) const
{
    const QString head = value.left(qMax(1, compareLength)).trimmed();
    if (head.isEmpty())
        return std::nullopt;
    const QString framed = QLatin1Char(';') + head + QLatin1Char(';');
    for (int i = 0; i < 3; ++i)
        if (chains[size_t(i)].contains(framed))
            return i;
    return std::nullopt;
}

std::optional<QColor> ColourChains::colourFor(const QString& value) const
{
    const auto chain = chainOf(value);
    if (!chain)
        return std::nullopt;
    return windowsColour(colours[size_t(*chain)]);
}

} // namespace zedora
