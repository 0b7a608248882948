#pragma once
// Moved to core/; kept only until every caller includes it from there.
#include "core/passwords.h"
