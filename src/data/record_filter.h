#pragma once
// The record filter of the entry table: which records stay visible while
// it is on.
#include <QString>
#include <optional>

namespace zedora {

// value: the filter field's text; nothing when the field is null (empty),
// readable false when the value could not be read at all.
// An empty filter text shows the records whose field is empty; any other
// text shows the records whose value contains it (letter case counts).
bool recordFilterAccepts(const QString& filterText, const std::optional<QString>& value,
                         bool readable = true);

} // namespace zedora
