// Macro expansion of script fields with the installer context's folders and the setup's
// string table (the expansion rules are core/macros.h).
#pragma once
#include <cstddef>

#include "core/macros.h"

class SetupContext;

// The string table of the running executable as a text source for ExpandMacros.
class StringTableTexts : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override;
};

// The twelve folder values of context, as the macros name them.
MacroFolders ContextMacroFolders(const SetupContext& context);

// Expands the macros in the text in buffer (capacity bytes) with context's folders and the
// string table. Returns 1 when the result fit; 0 when it would not, the buffer then holding
// the text as it was: the caller leaves the field's action undone, since a cut path would
// name another file.
int ExpandContextMacros(const SetupContext& context, char* buffer, size_t capacity);
