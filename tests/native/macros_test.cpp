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

// The shipped string table's texts for the macro strings, and the ids loaded.
class FakeStrings : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override {
    loads.push_back(id);
    if (texts.count(id) == 0) return 0;
    CopyText(buffer, capacity, texts[id].c_str());
    return static_cast<int>(std::strlen(buffer));
  }
  std::map<uint32_t, std::string> texts = {
      {95, "Z614"}, {74, "Xelta Z614"}, {75, "Readme"}, {76, "Xelta Z614 Uninstall"}, {78, std::string(60, 'u')}};
  std::vector<uint32_t> loads;
};

const MacroFolders kFolders = {"D:\\Setup",        "C:\\Apps",        "C:\\WINDOWS",    "C:\\WINDOWS\\system32",
                               "C:\\All\\Start",   "C:\\U\\Startup",  "C:\\U\\Desktop", "C:\\U\\Programs",
                               "C:\\All\\Programs", "C:\\TEMP\\",     "C:\\All\\Data",  "C:\\All\\Documents"};

std::string Expand(const std::string& text, size_t capacity = 260, const MacroFolders& folders = kFolders,
                   int* fits = nullptr, FakeStrings* strings = nullptr) {
  FakeStrings own;
  std::vector<char> buffer(capacity);
  CopyText(buffer.data(), capacity, text.c_str());
  const int result = ExpandMacros(buffer.data(), capacity, folders, strings ? strings : &own);
  if (fits) *fits = result;
  return buffer.data();
}

TEST(Macros, ExpandFoldersAndStringsOncePerFieldInTheirExactCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"%TARGETFOLDER%\\a;%TARGETFOLDER%\\b", "C:\\Apps\\a;%TARGETFOLDER%\\b"},
      {"%TEMPFOLDER%\\x.tmp", "C:\\TEMP\\\\x.tmp"},
      {"%targetfolder%\\%zx14%", "%targetfolder%\\%zx14%"},
      {"%Zx14%%Zx14%", "Z614%Zx14%"},
      {"%SOURCEFOLDER%|%WINDOWSFOLDER%|%SYSTEMFOLDER%|%STARTMENUFOLDER%",
       "D:\\Setup|C:\\WINDOWS|C:\\WINDOWS\\system32|C:\\All\\Start"},
      {"%STARTUPFOLDER%|%DESKTOPFOLDER%|%PROGRAMSFOLDER%|%COMMONPROGRAMSFOLDER%",
       "C:\\U\\Startup|C:\\U\\Desktop|C:\\U\\Programs|C:\\All\\Programs"},
      {"%APPDATAFOLDER%|%COMMONDOCUMENTS%|%LINK_UNINSTALL%", "C:\\All\\Data|C:\\All\\Documents|Xelta Z614 Uninstall"},
      {"%COMMONPROGRAMSFOLDER%\\Xelta %Zx14%\\%LINK_README%.lnk", "C:\\All\\Programs\\Xelta Z614\\Readme.lnk"},
      {"[%LINK_SMS%] 50% off %", "[] 50% off %"},  // a text the table lacks is inserted empty
  };
  for (const auto& [text, expected] : cases) {
    int fits = 0;
    EXPECT_EQ(Expand(text, 260, kFolders, &fits), expected) << text;
    EXPECT_EQ(fits, 1) << text;
  }
  MacroFolders empty = kFolders;
  empty.targetFolder = nullptr;
  EXPECT_EQ(Expand("%TARGETFOLDER%\\ReadMe.txt", 260, empty), "\\ReadMe.txt");
}

TEST(Macros, FolderValuesGoInBeforeStringsAreSearchedAndStringsLoadOnlyWhenNamed) {
  MacroFolders folders = kFolders;
  folders.targetFolder = "C:\\%Zx14%";
  EXPECT_EQ(Expand("%TARGETFOLDER%\\a", 260, folders), "C:\\Z614\\a");
  EXPECT_EQ(Expand("%Zx14%-%TARGETFOLDER%", 260, folders), "Z614-C:\\%Zx14%");  // the first occurrence
  // A folder value naming a later folder macro is expanded by it; an earlier one is not.
  folders.targetFolder = "%TEMPFOLDER%|%SOURCEFOLDER%";
  EXPECT_EQ(Expand("%TARGETFOLDER%", 260, folders), "C:\\TEMP\\|%SOURCEFOLDER%");
  FakeStrings strings;
  Expand("%TARGETFOLDER%\\x", 260, kFolders, nullptr, &strings);
  EXPECT_TRUE(strings.loads.empty());
  Expand("%link_readme% %LINK_UI%", 260, kFolders, nullptr, &strings);
  EXPECT_EQ(strings.loads, (std::vector<uint32_t>{74, 75}));  // in table order, on a name in any case
  strings.texts[95] = std::string(400, 'z');
  EXPECT_EQ(Expand("%Zx14%", 4096, kFolders, nullptr, &strings), std::string(254, 'z'));
}

TEST(Macros, AResultBeyondTheBufferIsRefusedAndTheTextKept) {
  MacroFolders folders = kFolders;
  const std::string folder(250, 'f');
  folders.targetFolder = folder.c_str();
  int fits = -1;
  EXPECT_EQ(Expand("%TARGETFOLDER%\\12345678", 260, folders, &fits), folder + "\\12345678");  // 259 characters
  EXPECT_EQ(fits, 1);
  EXPECT_EQ(Expand("%TARGETFOLDER%\\123456789", 260, folders, &fits), "%TARGETFOLDER%\\123456789");
  EXPECT_EQ(fits, 0);
  // A late refusal puts back the replacements already made.
  EXPECT_EQ(Expand("%TARGETFOLDER% %LINKDESC_UI%", 64, kFolders, &fits), "%TARGETFOLDER% %LINKDESC_UI%");
  EXPECT_EQ(fits, 0);
}

}  // namespace
