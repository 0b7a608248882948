#include "textblocks/block_expansion.h"

#include "textblocks/text_block_file.h"
#include "base/ansi_text.h"
#include "base/interaction.h"

namespace zedora {

QString blockIdBeforeCaret(const QString& line)
{
    qsizetype start = line.size();
    while (start > 0 && line.size() - start < kBlockIdCapacity && line[start - 1] != u' ')
        --start;
    return upperAscii(line.mid(start));
}

std::optional<Expansion> expandBlockId(const QString& lineBeforeCaret, TextBlockFile& blocks,
                                       const FillPlaceholders& fill, Interaction& ui)
{
    const QString id = blockIdBeforeCaret(lineBeforeCaret);
    const std::optional<TextBlock> block = id.isEmpty() ? std::nullopt : blocks.find(id);
    if (!block) {
        if (id.isEmpty())
            ui.info(QStringLiteral("Bitte Textbaustein-ID eingeben!"));
        else
            ui.info(QStringLiteral("\"") + id + QStringLiteral("\" in Textbausteindatei nicht gefunden!"));
        return std::nullopt;
    }
    if (block->isTopic()) {
        ui.info(QStringLiteral("\"") + id + QStringLiteral("\" ist eine Kommentarzeile!"));
        return std::nullopt;
    }
    const QString body = fill ? fill(block->text) : block->text;
    return Expansion{body + u' ', int(id.size())};
}

} // namespace zedora
