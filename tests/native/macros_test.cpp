// Macro expansion: folders first, then string-table texts, each name replaced once per field
// with its exact case, and a result beyond the buffer refused with the field left as it was.
#include "core/macros.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/bounded_string.h"

namespace {

// The shipped string table's texts for some macro strings.
class FakeStrings : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override {
    if (texts.count(id) == 0) return 0;
    CopyText(buffer, capacity, texts[id].c_str());
    return static_cast<int>(std::strlen(buffer));
  }
  std::map<uint32_t, std::string> texts = {
      {95, "Z614"}, {75, "Readme"}, {76, "Xelta Z614 Uninstall"}, {78, std::string(60, 'u')}};
};

const MacroFolders kFolders = {"D:\\Setup",        "C:\\Apps",        "C:\\WINDOWS",    "C:\\WINDOWS\\system32",
                               "C:\\All\\Start",   "C:\\U\\Startup",  "C:\\U\\Desktop", "C:\\U\\Programs",
                               "C:\\All\\Programs", "C:\\TEMP\\",     "C:\\All\\Data",  "C:\\All\\Documents"};

// "fits:field" after expanding `text` in a buffer of `capacity`.
std::string Expand(const std::string& text, size_t capacity = 260, const MacroFolders& folders = kFolders,
                   FakeStrings strings = FakeStrings()) {
  std::vector<char> buffer(capacity);
  CopyText(buffer.data(), capacity, text.c_str());
  const int fits = ExpandMacros(buffer.data(), capacity, folders, &strings);
  return std::to_string(fits) + ":" + buffer.data();
}

TEST(Macros, ExpandFoldersAndStringsOncePerFieldInTheirExactCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"%TARGETFOLDER%\\a;%TARGETFOLDER%\\b", "1:C:\\Apps\\a;%TARGETFOLDER%\\b"},
      {"%TEMPFOLDER%\\x.tmp", "1:C:\\TEMP\\\\x.tmp"},
      {"%targetfolder%\\%zx14%", "1:%targetfolder%\\%zx14%"},
      {"%Zx14%%Zx14%", "1:Z614%Zx14%"},
      {"%SOURCEFOLDER%|%WINDOWSFOLDER%|%SYSTEMFOLDER%|%STARTMENUFOLDER%",
       "1:D:\\Setup|C:\\WINDOWS|C:\\WINDOWS\\system32|C:\\All\\Start"},
      {"%STARTUPFOLDER%|%DESKTOPFOLDER%|%PROGRAMSFOLDER%|%COMMONPROGRAMSFOLDER%",
       "1:C:\\U\\Startup|C:\\U\\Desktop|C:\\U\\Programs|C:\\All\\Programs"},
      {"%APPDATAFOLDER%|%COMMONDOCUMENTS%|%LINK_UNINSTALL%", "1:C:\\All\\Data|C:\\All\\Documents|Xelta Z614 Uninstall"},
      {"%COMMONPROGRAMSFOLDER%\\Xelta %Zx14%\\%LINK_README%.lnk", "1:C:\\All\\Programs\\Xelta Z614\\Readme.lnk"},
      {"[%LINK_SMS%] 50% off %", "1:[] 50% off %"},  // a text the table lacks is inserted empty
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Expand(text), expected) << text;
  MacroFolders empty = kFolders;
  empty.targetFolder = nullptr;
  EXPECT_EQ(Expand("%TARGETFOLDER%\\ReadMe.txt", 260, empty), "1:\\ReadMe.txt");
  FakeStrings longText;
  longText.texts[95] = std::string(400, 'z');
  EXPECT_EQ(Expand("%Zx14%", 4096, kFolders, longText), "1:" + std::string(254, 'z'));
}

TEST(Macros, FolderValuesGoInBeforeStringsAreSearched) {
  MacroFolders folders = kFolders;
  folders.targetFolder = "C:\\%Zx14%";
  EXPECT_EQ(Expand("%TARGETFOLDER%\\a", 260, folders), "1:C:\\Z614\\a");
  EXPECT_EQ(Expand("%Zx14%-%TARGETFOLDER%", 260, folders), "1:Z614-C:\\%Zx14%");  // the first occurrence
  // A folder value naming a later folder macro is expanded by it; an earlier one is not.
  folders.targetFolder = "%TEMPFOLDER%|%SOURCEFOLDER%";
  EXPECT_EQ(Expand("%TARGETFOLDER%", 260, folders), "1:C:\\TEMP\\|%SOURCEFOLDER%");
}

TEST(Macros, AResultBeyondTheBufferIsRefusedAndTheTextKept) {
  MacroFolders folders = kFolders;
  const std::string folder(250, 'f');
  folders.targetFolder = folder.c_str();
  EXPECT_EQ(Expand("%TARGETFOLDER%\\12345678", 260, folders), "1:" + folder + "\\12345678");  // 259 characters
  EXPECT_EQ(Expand("%TARGETFOLDER%\\123456789", 260, folders), "0:%TARGETFOLDER%\\123456789");
  // A late refusal puts back the replacements already made.
  EXPECT_EQ(Expand("%TARGETFOLDER% %LINKDESC_UI%", 64), "0:%TARGETFOLDER% %LINKDESC_UI%");
}

}  // namespace
