#include "core/script_model.h"

#include "core/bounded_string.h"

void InstallScript::Clear() {
  iniSectionItems.Clear();
  regFileItems.Clear();
  regValueItems.Clear();
  updateItems.Clear();
  appendItems.Clear();
  fileItems.Clear();
  shellLinkItems.Clear();
  textLineItems.Clear();
  folderItems.Clear();
}

size_t InstallScript::RunItemCount() const {
  return iniSectionItems.Count() + regFileItems.Count() + regValueItems.Count() +
         updateItems.Count() + appendItems.Count() + fileItems.Count() + shellLinkItems.Count() +
         textLineItems.Count();
}

const char* SourceFileName(const char* source) {
  const char* name = source;
  for (const char* p = source; *p; ++p)
    if (*p == '\\' || *p == ':') name = p + 1;
  return name;
}

FileItem* FindFileItem(const InstallScript& script, const char* fileName) {
  for (size_t i = 0; i < script.fileItems.Count(); ++i) {
    FileItem* item = script.fileItems.At(i);
    if (EqualsNoCase(SourceFileName(item->source), fileName)) return item;
  }
  return nullptr;
}
