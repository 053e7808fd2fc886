// Checks of section headers whose tags, each valid, together select nothing: a section that
// no supported system loads, and a component named both plainly and negated.
#pragma once
#include <cstddef>

#include "tools/cnfcheck/check_warning.h"

// Walks the headers of a script text (any bytes) as the loader finds them.
void CheckSectionHeaders(const char* text, size_t size, WarningList* warnings);
