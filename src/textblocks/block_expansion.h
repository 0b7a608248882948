#pragma once
// Ctrl+T: the block ID typed before the caret is replaced by the block's
// text, its placeholders filled in for the current student.
#include <QString>
#include <functional>
#include <optional>

namespace zedora {

class Interaction;
class TextBlockFile;

// The ID before the caret: the non-blank characters read backwards until a
// blank, the start of the line or four characters, in upper case.
QString blockIdBeforeCaret(const QString& lineBeforeCaret);

struct Expansion {
    QString text;      // the block text to insert, ending in one blank
    int idLength = 0;  // characters before the caret it replaces
};

using FillPlaceholders = std::function<QString(const QString&)>;

// Nothing (after showing why) for an empty or unknown ID or a heading block.
std::optional<Expansion> expandBlockId(const QString& lineBeforeCaret, TextBlockFile& blocks,
                                       const FillPlaceholders& fill, Interaction& ui);

} // namespace zedora
