#include "script/context_macros.h"

#include <windows.h>

#include "core/bounded_string.h"
#include "sys/module_instance.h"
#include "sys/setup_context.h"

int StringTableTexts::LoadText(uint32_t id, char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  char text[kTextBufferSize];
  if (::LoadText(id, text) == 0) {
    buffer[0] = '\0';
    return 0;
  }
  CopyText(buffer, capacity, text);
  return lstrlenA(buffer);
}

MacroFolders ContextMacroFolders(const SetupContext& context) {
  MacroFolders folders;
  folders.sourceFolder = context.sourceFolder;
  folders.targetFolder = context.targetFolder;
  folders.windowsFolder = context.windowsFolder;
  folders.systemFolder = context.systemFolder;
  folders.startMenuFolder = context.startMenuFolder;
  folders.startupFolder = context.startupFolder;
  folders.desktopFolder = context.desktopFolder;
  folders.programsFolder = context.programsFolder;
  folders.commonProgramsFolder = context.commonProgramsFolder;
  folders.tempFolder = context.tempFolder;
  folders.appDataFolder = context.appDataFolder;
  folders.commonDocuments = context.commonDocumentsFolder;
  return folders;
}

int ExpandContextMacros(const SetupContext& context, char* buffer, size_t capacity) {
  StringTableTexts strings;
  return ExpandMacros(buffer, capacity, ContextMacroFolders(context), &strings);
}
