#pragma once
// The meanings printed for grade and graduation codes, taken from the
// abbreviation tables the program has loaded.
#include "print/placeholders.h"

namespace zedora {

struct AbbreviationTables;

class AbbreviationMeanings : public CodeMeanings {
public:
    explicit AbbreviationMeanings(const AbbreviationTables& tables) : tables_(tables) {}
    std::optional<QString> gradeMeaning(const QString& value, int which) const override;
    std::optional<QString> graduationMeaning(const QString& code) const override;

private:
    const AbbreviationTables& tables_;
};

} // namespace zedora
