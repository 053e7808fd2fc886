// The components as the Install and maintenance summaries list them: one line each, in the order drivers,
// user interface, administrator page, help, short messaging, smart card.
#pragma once
#include <cstddef>

#include "core/component_set.h"

// Appends "\t" + name + "\r\n" to text (capacity bytes) for every component of set, in the
// summaries' order. With indentAdmin the administrator page stands five blanks further in, under
// the user interface.
void AppendComponentLines(char* text, size_t capacity, ComponentSet set, bool indentAdmin);

// Appends string `id` to text (capacity bytes).
void AppendString(char* text, size_t capacity, unsigned id);

// A summary section of one value: string `label`, the value on its own indented line, then a
// blank line.
void AppendSummaryValue(char* text, size_t capacity, unsigned label, const char* value);

// A summary section of components: string `label`, then the set's lines (AppendComponentLines).
void AppendSummaryComponents(char* text, size_t capacity, unsigned label, ComponentSet set,
                             bool indentAdmin);
