#pragma once
// The index tags of each kind of table the program keeps, in the order they
// are added to the production index.
#include "dbase/table.h"

#include <vector>

namespace zedora::dbase {

// Student files: KLASSE, MW, NAME, ID.
const std::vector<TagSpec>& studentTags();
// Text-block files: ID.
const std::vector<TagSpec>& textBlockTags();
// Files written in the Sibank format: the seven tags of that format.
const std::vector<TagSpec>& sibankTags();

} // namespace zedora::dbase
