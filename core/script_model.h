// The loaded install script: one item per data line, in nine lists, one per kind of action,
// each item carrying the component masks of its section. Buffers have the sizes the setup
// has always used: paths of at most 259 characters, names and patterns of 255, texts of 4095.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/component_set.h"
#include "core/owned_list.h"
#include "core/registry_sink.h"

constexpr size_t kPathSize = 260;   // 259 characters and the terminator
constexpr size_t kNameSize = 256;   // INI section names, value names, text-line patterns
constexpr size_t kTextSize = 4096;  // shortcut descriptions and registry data after macros
constexpr size_t kDescriptionLength = 511;  // characters of a description that are used
constexpr size_t kRegDataWrittenLength = 255;  // AddRegValue data as written in the script

// Every item also keeps `lineNumber`, the 1-based script line it was read from, so that a
// checker can point at it; the setup itself never uses it.

// AddFile, UpdateFile and AppendFile.
struct FileItem {
  char source[kPathSize];       // as written, the flags taken out
  char destination[kPathSize];  // as written
  ComponentSet includeMask;
  ComponentSet excludeMask;
  std::unique_ptr<uint8_t[]> precacheData;  // the bytes read at load time, or none
  uint32_t precacheSize;
  uint32_t optional;  // 1 when an AddFile line carried "<optional>"
  uint32_t precache;  // 1 when an AddFile line carried "<precache>" (asked, not yet done)
  uint32_t lineNumber;
};

struct IniSectionItem {
  char source[kPathSize];
  char section[kNameSize];
  char file[kPathSize];
  ComponentSet includeMask;
  ComponentSet excludeMask;
  uint32_t lineNumber;
};

struct TextLineItem {
  char file[kPathSize];
  char pattern[kNameSize];
  uint32_t enable;  // 1 for an EnableTextLine section, 0 for a DisableTextLine section
  ComponentSet includeMask;
  ComponentSet excludeMask;
  uint32_t lineNumber;
};

struct ShellLinkItem {
  char link[kPathSize];
  char target[kPathSize];
  char description[kTextSize];  // at most 511 characters as read; room for macros
  char iconFile[kPathSize];
  int32_t iconIndex;  // -1 for no icon of its own; an empty field reads as 0
  ComponentSet includeMask;
  ComponentSet excludeMask;
  uint32_t lineNumber;
};

struct RegFileItem {
  char source[kPathSize];  // the whole line
  ComponentSet includeMask;
  ComponentSet excludeMask;
  uint32_t lineNumber;
};

struct RegValueItem {
  RegistryRoot root;  // always HKEY_LOCAL_MACHINE: "HKLM" is the only root a line may name
  char key[kPathSize];
  char name[kNameSize];
  uint32_t type;          // kRegSz or kRegDword
  char data[kTextSize];   // REG_SZ: the text (at most 255 characters as written); REG_DWORD: ""
  uint32_t dwordValue;    // REG_DWORD: the data read as a signed decimal number
  uint32_t dataSize;      // REG_SZ: length of data without terminator; REG_DWORD: 4
  ComponentSet includeMask;
  ComponentSet excludeMask;
  uint32_t lineNumber;
};

struct FolderItem {
  char folder[kPathSize];  // the whole line
  ComponentSet includeMask;
  ComponentSet excludeMask;
  uint32_t lineNumber;
};

// The nine lists, declared in the order in which a run takes them; `folderItems` serves only
// the uninstall. Items are appended in script order and never removed singly.
struct InstallScript {
  OwnedList<IniSectionItem> iniSectionItems;
  OwnedList<RegFileItem> regFileItems;
  OwnedList<RegValueItem> regValueItems;
  OwnedList<FileItem> updateItems;
  OwnedList<FileItem> appendItems;
  OwnedList<FileItem> fileItems;
  OwnedList<ShellLinkItem> shellLinkItems;
  OwnedList<TextLineItem> textLineItems;
  OwnedList<FolderItem> folderItems;

  // Empties all nine lists, releasing every item and precached buffer.
  void Clear();
  // The number of items a run counts for its progress: every list but `folderItems`.
  size_t RunItemCount() const;
};

// The component rule: the item runs when none of its negated components is selected and
// either all its positive components are selected or the selection lies within them.
// So an untagged item always runs, and with an empty selection every item runs (the common
// part, 0, equals the selection).
inline bool Applies(ComponentSet includeMask, ComponentSet excludeMask, ComponentSet selection) {
  const ComponentSet common = includeMask & selection;
  return (common == includeMask || common == selection) && (excludeMask & selection) == 0;
}

template <typename Item>
bool Applies(const Item& item, ComponentSet selection) {
  return Applies(item.includeMask, item.excludeMask, selection);
}

// The file name of a source as the shell finds it: the text behind the last backslash or
// colon (the whole text when it holds neither).
const char* SourceFileName(const char* source);

// The first item of `fileItems` whose source's file name equals fileName without regard to
// case, or nullptr.
FileItem* FindFileItem(const InstallScript& script, const char* fileName);
