#include "dbase/tag_sets.h"

namespace zedora::dbase {

const std::vector<TagSpec>& studentTags()
{
    static const std::vector<TagSpec> tags = {
        {"KLASSE", "KLASSE+UPPER(NAME)+VORNAME", false},
        {"MW", "KLASSE+MW+UPPER(NAME)+VORNAME", false},
        {"NAME", "UPPER(NAME)+VORNAME", false},
        {"ID", "ID", false},
    };
    return tags;
}

const std::vector<TagSpec>& textBlockTags()
{
    static const std::vector<TagSpec> tags = {
        {"ID", "ID", false},
    };
    return tags;
}

const std::vector<TagSpec>& sibankTags()
{
    static const std::vector<TagSpec> tags = {
        {"GESCH", "UPPER(KLASSE)+GESCHLECHT+UPPER(left(NAME,10))+left(VORNAME,10)", false},
        {"UNIKLAS", "UPPER(KLASSE)", true},
        {"SGL", "upper(sgl+klasse)+upper(left(name,10))", false},
        {"INDIV", "dtos(GEBOREN)+upper(left(NAME,10))+left(VORNAME,5)", false},
        {"KLASSE", "upper(KLASSE)+upper(left(NAME,10))+left(VORNAME,10)", false},
        {"NAME", "upper(left(NAME,12))+left(VORNAME,10)", false},
        {"SGLKLAS", "SGL+KLASSE", true},
    };
    return tags;
}

} // namespace zedora::dbase
