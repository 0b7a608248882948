#pragma once
// Edits of the layout editor's grids that need no window: inserting,
// duplicating and deleting rows, sorting by a column, the closing check and
// the global change (shift and rescale in bulk). Messages go through ui.
#include "print/layout_editor_io.h"

#include <QString>
#include <optional>

namespace zedora {

class Interaction;

// Rows from `row` downwards move down by one; `row` keeps its group and is
// emptied from "Aktiv" on. False (and nothing moved) when the last row holds
// an element, which would otherwise be dropped.
bool insertRow(LayoutGrid& grid, int row, Interaction& ui);
// The same, but `row` keeps its content, so it appears twice.
bool duplicateRow(LayoutGrid& grid, int row, Interaction& ui);
// Asks first; Yes moves the rows below up and empties the last row.
bool deleteRow(LayoutGrid& grid, int row, Interaction& ui);
// Moves a row to another place (drag); the "Nr." column stays in order.
void moveRow(LayoutGrid& grid, int from, int to);

// Sorts the rows by one column: x and y as numbers, others as text without
// regard to case; blank cells go last. "Nr." stays in order.
void sortRows(LayoutGrid& grid, int column);

// The error of the closing check, empty when the editor may close: an
// active entry must not refer to a text block.
QString textBlockInEntryError(const LayoutEditorData& data);

enum class ShiftScope { CurrentColumn, AllElementsVertical };

// Whether the global change works on this column of the kind.
bool isNumericColumn(ElementKind kind, const QString& caption);
// The value the global change starts from, or the error text.
std::optional<int> globalChangeStart(const LayoutGrid& grid, int row, int column, Interaction& ui);
// The sentence the dialog shows while its boxes change.
QString globalChangeDescription(const QString& lower, const QString& upper, const QString& amount,
                                ShiftScope scope);
// Applies a change without asking; returns the number of changed cells.
// Values never go below 0, where the reader would drop the element.
int applyGlobalChange(LayoutEditorData& data, ElementKind kind, int column, int lower, int upper, int amount,
                      ShiftScope scope);
// "&Starten": checks the boxes, asks, applies and reports. Returns the count
// when anything was applied; nullopt when the dialog closes without change,
// and also after the bad-amount message (then `stay` is set).
std::optional<int> runGlobalChange(LayoutEditorData& data, ElementKind kind, int column, const QString& lower,
                                   const QString& upper, const QString& amount, ShiftScope scope,
                                   Interaction& ui, bool* stay = nullptr);

} // namespace zedora
