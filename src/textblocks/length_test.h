#pragma once
// How many printed lines of the report form's text area a memo fills,
// counted with the renderer's own text preparation, word wrap and printer
// metrics, so the count is always the number of lines that print.
#include "print/layout_model.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <optional>

namespace zedora {

class PrintMetrics;

// The last TEXTBLOCK element (100 to 122) whose content names the field as
// a placeholder; nothing when none does.
std::optional<int> findLengthReference(const TDruckLayout& layout, const QString& fieldName);

struct LengthResult {
    int line = 1;          // the line being written
    int maxLines = 1;
    int lastLineWidth = 0; // tenths of a millimetre
    QString message;
    QColor background;
    QColor foreground;
};

// Widths already measured, by text, for one element's font: while a memo
// is typed, only the line being written needs measuring again.
using WidthCache = QHash<QString, double>;

// Counts the lines of memoText in element nr of layout. An "Z" alignment
// of the element is kept as "L" from then on. cache (optional) must belong
// to the element's font.
LengthResult checkLength(TDruckLayout& layout, int nr, const QString& fieldName, const QString& memoText,
                         const PrintMetrics& metrics, WidthCache* cache = nullptr);

inline constexpr const char* kLengthTestImpossible =
    "Prüfung nicht möglich, weil Textblock im aktuellen Layout nicht vorkommt!";

} // namespace zedora
