#pragma once
// Text widths for every layout decision (wrapping, fill dots, width cuts,
// end marks) come from here, measured as the printer and the PDF file draw
// them, so the preview, the PDF and the paper break lines alike. Also the
// font height factor with its calibration.
#include "print/surface.h"

#include <QFont>
#include <QHash>
#include <QString>


namespace zedora {

// The font family that stands for a layout's font name: the metric-compatible
// Liberation fonts for Arial, Times New Roman and Courier New.
QString fontFamilyFor(const QString& layoutFontName);

class PrintMetrics {
public:
    PrintMetrics();

    // Logical units per inch used for font sizes; nominally 300.
    int fontFactor() const { return factor_; }
    void setFontFactor(int factor) { factor_ = factor; }
    // Cell height in tenths of a millimetre of a font size in points.
    int fontHeight(int points) const;

    // Width in tenths of a millimetre, rounded.
    int textWidth(const FontSpec& font, const QString& text) const;
    double textWidthF(const FontSpec& font, const QString& text) const;
    // From the bottom of the text cell up to the base line.
    double descent(const FontSpec& font) const;

    // The one font that both measures and draws the text of font. Its pixel
    // size is kTextScale times the em size in tenths of a millimetre, so a
    // surface draws it with its mapping scaled down by kTextScale. Font
    // engines round pixel sizes to whole numbers; measuring and drawing with
    // this same font keeps that rounding from widening the drawn text.
    QFont font(const FontSpec& font) const;
    static constexpr double kTextScale = 64.0;

    // Tries the factors 300, 298, ... (at most 11) on the test sentence and
    // keeps the one closest to 164.4 mm; 300 when none comes within 20 mm.
    int calibrate();

private:
    struct Measured {
        QFont font;   // kTextScale times the size, for precise advances
        double descent = 0;
    };
    const Measured& measured(const FontSpec& font) const;

    int factor_ = 300;
    mutable QHash<QString, Measured> cache_;
};

// The sentence and width (tenths of a mm) the calibration aims at.
inline constexpr const char* kCalibrationSentence =
    "Fiona äußert sich in Unterrichtssituationen immer sachangemessen und mit einem altersentsprechenden";
inline constexpr int kCalibrationWidth = 1644;

} // namespace zedora
