#include "print/print_metrics.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>

namespace zedora {

namespace {

QFont baseFont(const FontSpec& font)
{
    QFont f(fontFamilyFor(font.name));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::NoSubpixelAntialias));
    return f;
}

// Cell height (ascent + descent) per unit of em size.
double cellRatio(const FontSpec& font)
{
    static QHash<QString, double> ratios;
    const QString key = fontFamilyFor(font.name) + QString::number(int(font.bold) + 2 * int(font.italic));
    auto it = ratios.constFind(key);
    if (it != ratios.constEnd())
        return *it;
    QFont f = baseFont(font);
    f.setPixelSize(1000);
    const QFontMetricsF fm(f);
    double r = (fm.ascent() + fm.descent()) / 1000.0;
    if (!(r > 0.5 && r < 3.0))
        r = 1.15;
    ratios.insert(key, r);
    return r;
}

} // namespace

QString fontFamilyFor(const QString& layoutFontName)
{
    const QString n = layoutFontName.trimmed().toUpper();
    if (n.isEmpty() || n == u"ARIAL" || n == u"HELVETICA" || n == u"MS SANS SERIF")
        return QStringLiteral("Liberation Sans");
    if (n == u"TIMES NEW ROMAN" || n == u"TIMES")
        return QStringLiteral("Liberation Serif");
    if (n == u"COURIER NEW" || n == u"COURIER")
        return QStringLiteral("Liberation Mono");
    return layoutFontName.trimmed();
}

PrintMetrics::PrintMetrics() = default;

int PrintMetrics::fontHeight(int points) const
{
    return int(std::lround(points * double(factor_) / 72.0));
}

QFont PrintMetrics::font(const FontSpec& font) const
{
    return measured(font).font;
}

const PrintMetrics::Measured& PrintMetrics::measured(const FontSpec& font) const
{
    const QString key = font.name + u'|' + QString::number(font.height) + u'|'
                        + QString::number(int(font.bold) + 2 * int(font.italic));
    auto it = cache_.find(key);
    if (it != cache_.end())
        return *it;
    Measured m;
    m.font = baseFont(font);
    const double em = std::max(1, font.height) / cellRatio(font);
    m.font.setPixelSize(std::max(1, int(std::lround(em * kTextScale))));
    m.descent = QFontMetricsF(m.font).descent() / kTextScale;
    return *cache_.insert(key, m);
}

double PrintMetrics::textWidthF(const FontSpec& font, const QString& text) const
{
    if (text.isEmpty())
        return 0;
    const Measured& m = measured(font);
    return QFontMetricsF(m.font).horizontalAdvance(text) / kTextScale;
}

int PrintMetrics::textWidth(const FontSpec& font, const QString& text) const
{
    return int(std::lround(textWidthF(font, text)));
}

double PrintMetrics::descent(const FontSpec& font) const
{
    return measured(font).descent;
}

int PrintMetrics::calibrate()
{
    const QString sentence = QString::fromUtf8(kCalibrationSentence);
    int best = 300;
    int bestDiff = -1;
    for (int i = 0, f = 300; i < 11; ++i, f -= 2) {
        FontSpec font;
        font.height = int(std::lround(f * 10 / 72.0));
        const int diff = std::abs(textWidth(font, sentence) - kCalibrationWidth);
        if (bestDiff < 0 || diff < bestDiff) {
            bestDiff = diff;
            best = f;
        }
        if (diff <= 11)
            break;
    }
    factor_ = (bestDiff >= 0 && bestDiff < 200) ? best : 300;
    return factor_;
}

} // namespace zedora
