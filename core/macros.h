// Macro expansion in script fields: words between percent signs replaced by the machine's
// folders and by texts of the setup's string table.
//
// Order of replacement (each macro replaced once, at its first occurrence):
//   1-12  folder macros, matched exactly: "%SOURCEFOLDER%" "%TARGETFOLDER%" "%WINDOWSFOLDER%"
//         "%SYSTEMFOLDER%" "%STARTMENUFOLDER%" "%STARTUPFOLDER%" "%DESKTOPFOLDER%"
//         "%PROGRAMSFOLDER%" "%COMMONPROGRAMSFOLDER%" "%TEMPFOLDER%" "%APPDATAFOLDER%"
//         "%COMMONDOCUMENTS%"
//   13-27 string macros: the text is loaded only when the name occurs without regard to case,
//         then the first exact occurrence is replaced: "%Zx14%" (95) "%LINK_UI%" (74) ...
//         "%LINKDESC_SMSHELP%" (92); see the table in macros.cpp.
// Folder values are inserted before string macros are searched, so string macros inside a
// folder value are replaced too. A macro written in another letter case stays as it is.
#pragma once
#include <cstddef>
#include <cstdint>

// The twelve folder values, as the installer context resolved them (fallbacks applied, no
// trailing backslash except on the temp folder). A null pointer counts as an empty value.
struct MacroFolders {
  const char* sourceFolder;
  const char* targetFolder;
  const char* windowsFolder;
  const char* systemFolder;
  const char* startMenuFolder;
  const char* startupFolder;
  const char* desktopFolder;
  const char* programsFolder;
  const char* commonProgramsFolder;
  const char* tempFolder;
  const char* appDataFolder;
  const char* commonDocuments;
};

// Texts of the setup's string table by number, as LoadStringA gives them: at most
// capacity - 1 characters and a terminator; returns the number of characters, 0 on failure.
class StringTextSource {
 public:
  virtual ~StringTextSource() = default;
  virtual int LoadText(uint32_t id, char* buffer, size_t capacity) = 0;
};

// A string-table text is loaded into a buffer of 255 bytes, so at most 254 characters of it
// are inserted.
constexpr size_t kStringTextSize = 255;

constexpr size_t kMacroCount = 27;

struct MacroEntry {
  const char* name;    // with its percent signs
  int folderIndex;     // 0-11 in MacroFolders order for folder macros, -1 for string macros
  uint32_t stringId;   // string-table number of string macros, 0 for folder macros
};

// The 27 macros in the order of replacement.
const MacroEntry* MacroTable();

// Expands the macros in the zero-terminated text in buffer (capacity bytes: 260 for paths,
// 4096 for descriptions and registry data). Returns 1 when every replacement fit.
// A result that would not fit is refused as a whole: the function returns 0 and puts the
// buffer back as it was before the call (texts of up to 4095 characters; all the setup's
// fields are), and the caller must then not act on the field: a cut path would name another
// file. strings may be null (no string macro is then replaced).
int ExpandMacros(char* buffer, size_t capacity, const MacroFolders& folders,
                 StringTextSource* strings);

// For the script checker: what in a field's text will not expand as its author may expect.
enum class MacroFault : uint32_t {
  kUnknown,    // %NAME% that is no macro
  kWrongCase,  // a macro name in another letter case: it stays in the text
  kRepeated,   // the second occurrence of a macro: only the first is replaced
};

class MacroFaultSink {
 public:
  virtual ~MacroFaultSink() = default;
  // name is the word with its percent signs (valid during the call only).
  virtual void OnMacroFault(MacroFault fault, const char* name) = 0;
};

// Reports every %NAME% word (NAME of letters, digits and "_") of text that will not expand
// as written. Returns the number of faults.
int CheckMacroNames(const char* text, MacroFaultSink* sink);
