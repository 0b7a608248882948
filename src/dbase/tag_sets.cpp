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
        {"GESCH", "UPPER(KLASSE)+GESCHLECHT+UPPER(LEFT(NAME,10))+LEFT(VORNAME,10)", false},
        {"UNIKLAS", "UPPER(KLASSE)", true},
        {"SGL", "UPPER(SGL+KLASSE)+UPPER(LEFT(NAME,10))", false},
        {"INDIV", "DTOS(GEBOREN)+UPPER(LEFT(NAME,10))+LEFT(VORNAME,5)", false},
        {"KLASSE", "UPPER(KLASSE)+UPPER(LEFT(NAME,10))+LEFT(VORNAME,10)", false},
        {"NAME", "UPPER(LEFT(NAME,12))+LEFT(VORNAME,10)", false},
        {"SGLKLAS", "SGL+KLASSE", true},
    };
    return tags;
}

} // namespace zedora::dbase
