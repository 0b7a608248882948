#pragma once
// The blocks of a text building block file as the global change offers
// them: the ID padded to four characters, ">" and the block text.
#include <QString>
#include <QStringList>

namespace zedora {

QStringList blockChoices(const QString& blockFilePath);

} // namespace zedora
