#include "entry/storable_text.h"

#include "base/ansi_text.h"

namespace zedora {
namespace {

bool storable(QChar c)
{
    const QString one(c);
    return fromAnsi(toAnsi(one)) == one;
}

} // namespace

bool isStorable(const QString& text)
{
    return fromAnsi(toAnsi(text)) == text;
}

QString storablePart(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (storable(c))
            out += c;
    return out;
}

QString unstorableCharactersText()
{
    return QString::fromUtf8("Eingabe nicht übernommen: Das Zeichen ist im Zeichensatz der "
                             "Zedora-Dateien (Windows-1252) nicht enthalten.");
}

} // namespace zedora
