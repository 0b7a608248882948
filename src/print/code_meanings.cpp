#include "print/code_meanings.h"

#include "base/ansi_text.h"
#include "entry/abbreviation_tables.h"

namespace zedora {

std::optional<QString> AbbreviationMeanings::gradeMeaning(const QString& value, int which) const
{
    const QString v = value.trimmed();
    if (v.isEmpty() || !tables_.grades.isDefined(upperAscii(v)))
        return std::nullopt;
    return tables_.grades.meaning(v, which).trimmed();
}

std::optional<QString> AbbreviationMeanings::graduationMeaning(const QString& code) const
{
    const QString c = upperAscii(code.trimmed());
    if (c.isEmpty())
        return std::nullopt;
    for (const GraduationCode& g : tables_.graduation.entries()) {
        if (upperAscii(g.code.trimmed()) == c)
            return g.longName.trimmed();
    }
    return std::nullopt;
}

} // namespace zedora
