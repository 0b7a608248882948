#pragma once
// The calculated averages D1 to D3 of a student record: the mean of the
// grades named in the lists DS1 to DS3, with the course-level correction.
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace zedora {

struct Settings;

// A record's value of a field (by upper-case name); empty for a field the
// file does not have.
using FieldValueLookup = std::function<QString(const QString& field)>;

struct AverageDefinitions {
    std::array<QString, 3> lists{QStringLiteral("#DE#EN#MA#")}; // DS1 .. DS3, "#DE#EN#MA#"
    // Course correction switched on for EN (KE), MA (KM), DE (KD), NOTEX (KX).
    bool KE = true;
    bool KM = true;
    bool KD = false;
    bool KX = false;

    static AverageDefinitions fromSettings(const Settings& settings);
};

// The average over the grades in list, rounded to 4 decimals (halves to
// even); nothing when no grade counts or the average is 0.
std::optional<double> computeAverage(const QString& list, const AverageDefinitions& defs,
                                     const FieldValueLookup& value);
// D1, D2, D3.
std::array<std::optional<double>, 3> computeAverages(const AverageDefinitions& defs,
                                                     const FieldValueLookup& value);

// Display format "0.00" (halves away from zero) with the decimal separator
// of the German locale the program works in; empty for no value.
QString formatAverage(const std::optional<double>& average, QChar decimalSeparator = u',');

} // namespace zedora
