#include "core/macros.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/bounded_string.h"

namespace {

// The shipped string table's texts for the macro strings, and a count of loads.
class FakeStrings : public StringTextSource {
 public:
  int LoadText(uint32_t id, char* buffer, size_t capacity) override {
    loads.push_back(id);
    auto it = texts.find(id);
    if (it == texts.end()) return 0;
    CopyText(buffer, capacity, it->second.c_str());
    return static_cast<int>(std::strlen(buffer));
  }
  std::map<uint32_t, std::string> texts = {
      {95, "Z614"}, {74, "Xelta Z614"}, {75, "Readme"}, {76, "Xelta Z614 Uninstall"},
      {78, "Allows you to establish network connections, manage profiles, configure settings, "
           "view network status, and more."},
      {79, "Provides last minute information on the Xelta Z614."}};
  std::vector<uint32_t> loads;
};

MacroFolders Folders() {
  MacroFolders f{};
  f.sourceFolder = "D:\\Setup";
  f.targetFolder = "C:\\Apps";
  f.windowsFolder = "C:\\WINDOWS";
  f.systemFolder = "C:\\WINDOWS\\system32";
  f.startMenuFolder = "C:\\All\\Start Menu";
  f.startupFolder = "C:\\User\\Startup";
  f.desktopFolder = "C:\\User\\Desktop";
  f.programsFolder = "C:\\User\\Programs";
  f.commonProgramsFolder = "C:\\All\\Programs";
  f.tempFolder = "C:\\TEMP\\";
  f.appDataFolder = "C:\\All\\AppData";
  f.commonDocuments = "C:\\All\\Documents";
  return f;
}

std::string Expand(const char* text, size_t capacity, FakeStrings* strings, int* fits = nullptr,
                   const MacroFolders& folders = Folders()) {
  std::vector<char> buffer(capacity);
  CopyText(buffer.data(), capacity, text);
  const int result = ExpandMacros(buffer.data(), capacity, folders, strings);
  if (fits) *fits = result;
  return buffer.data();
}

TEST(Macros, ExpandFoldersAndStringsOncePerField) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"%TARGETFOLDER%\\%Zx14%UI.exe", "C:\\Apps\\Z614UI.exe"},
      {"%TARGETFOLDER%\\a;%TARGETFOLDER%\\b", "C:\\Apps\\a;%TARGETFOLDER%\\b"},
      {"%TEMPFOLDER%\\x.tmp", "C:\\TEMP\\\\x.tmp"},
      {"%targetfolder%\\x", "%targetfolder%\\x"},
      {"%zx14%.inf", "%zx14%.inf"},
      {"%Zx14%%Zx14%", "Z614%Zx14%"},
      {"%SOURCEFOLDER%|%WINDOWSFOLDER%|%SYSTEMFOLDER%|%STARTMENUFOLDER%",
       "D:\\Setup|C:\\WINDOWS|C:\\WINDOWS\\system32|C:\\All\\Start Menu"},
      {"%STARTUPFOLDER%|%DESKTOPFOLDER%|%PROGRAMSFOLDER%|%COMMONPROGRAMSFOLDER%",
       "C:\\User\\Startup|C:\\User\\Desktop|C:\\User\\Programs|C:\\All\\Programs"},
      {"%APPDATAFOLDER%|%COMMONDOCUMENTS%", "C:\\All\\AppData|C:\\All\\Documents"},
      {"%COMMONPROGRAMSFOLDER%\\Xelta\\Xelta %Zx14%\\%LINK_README%.lnk",
       "C:\\All\\Programs\\Xelta\\Xelta Z614\\Readme.lnk"},
      {"%LINK_UNINSTALL%", "Xelta Z614 Uninstall"},
      {"50% off %", "50% off %"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FakeStrings strings;
    int fits = 0;
    EXPECT_EQ(Expand(c.text, 260, &strings, &fits), c.expected);
    EXPECT_EQ(fits, 1);
  }
}

TEST(Macros, AnEmptyFolderLeavesItsBackslash) {
  MacroFolders folders = Folders();
  folders.targetFolder = "";
  EXPECT_EQ(Expand("%TARGETFOLDER%\\ReadMe.txt", 260, nullptr, nullptr, folders), "\\ReadMe.txt");
  folders.targetFolder = nullptr;
  EXPECT_EQ(Expand("%TARGETFOLDER%\\ReadMe.txt", 260, nullptr, nullptr, folders), "\\ReadMe.txt");
}

TEST(Macros, StringsAreLoadedOnlyWhenTheirNameOccursInAnyCase) {
  FakeStrings strings;
  Expand("C:\\plain\\path.txt", 260, &strings);
  EXPECT_TRUE(strings.loads.empty());
  Expand("%TARGETFOLDER%\\x", 260, &strings);
  EXPECT_TRUE(strings.loads.empty());
  Expand("%link_readme% %LINK_UI%", 260, &strings);
  EXPECT_EQ(strings.loads, (std::vector<uint32_t>{74, 75}));  // in table order, lower case loads too
}

TEST(Macros, FolderValuesAreInsertedBeforeStringsAreSearched) {
  MacroFolders folders = Folders();
  folders.targetFolder = "C:\\%Zx14%";
  FakeStrings strings;
  EXPECT_EQ(Expand("%TARGETFOLDER%\\a", 260, &strings, nullptr, folders), "C:\\Z614\\a");
  // A string macro before the folder value in the text is still the first occurrence.
  EXPECT_EQ(Expand("%Zx14%-%TARGETFOLDER%", 260, &strings, nullptr, folders), "Z614-C:\\%Zx14%");
  // A folder value that names a later folder macro is expanded by it; an earlier one is not.
  folders.targetFolder = "%TEMPFOLDER%|%SOURCEFOLDER%";
  EXPECT_EQ(Expand("%TARGETFOLDER%", 260, &strings, nullptr, folders), "C:\\TEMP\\|%SOURCEFOLDER%");
}

TEST(Macros, AMissingStringIsInsertedEmptyAndLongTextsAreCutTo254) {
  FakeStrings strings;
  EXPECT_EQ(Expand("[%LINK_SMS%]", 260, &strings), "[]");
  strings.texts[95] = std::string(400, 'z');
  EXPECT_EQ(Expand("%Zx14%", 4096, &strings), std::string(254, 'z'));
}

TEST(Macros, AResultBeyondTheBufferIsRefusedAndTheTextKept) {
  FakeStrings strings;
  MacroFolders folders = Folders();
  const std::string folder(250, 'f');
  folders.targetFolder = folder.c_str();
  int fits = -1;
  // 250 + "\\" + 8 = 259 characters: fits a path buffer exactly.
  EXPECT_EQ(Expand("%TARGETFOLDER%\\12345678", 260, &strings, &fits, folders), folder + "\\12345678");
  EXPECT_EQ(fits, 1);
  const char* tooLong = "%TARGETFOLDER%\\123456789";
  EXPECT_EQ(Expand(tooLong, 260, &strings, &fits, folders), tooLong);
  EXPECT_EQ(fits, 0);
  // A late refusal puts back the replacements already made.
  folders.targetFolder = "C:\\Apps";
  const std::string description = "%TARGETFOLDER% %LINKDESC_UI%";
  EXPECT_EQ(Expand(description.c_str(), 64, &strings, &fits, folders), description);
  EXPECT_EQ(fits, 0);
  EXPECT_EQ(Expand(description.c_str(), 4096, &strings, &fits, folders), "C:\\Apps " + strings.texts[78]);
  EXPECT_EQ(fits, 1);
}

class FaultList : public MacroFaultSink {
 public:
  void OnMacroFault(MacroFault fault, const char* name) override {
    static const char* const kNames[] = {"unknown", "case", "repeated"};
    faults.push_back(std::string(kNames[static_cast<int>(fault)]) + ":" + name);
  }
  std::vector<std::string> faults;
};

TEST(Macros, TheCheckNamesWordsThatWillNotExpand) {
  struct Case {
    const char* text;
    std::vector<std::string> faults;
  } cases[] = {
      {"%TARGETFOLDER%\\%Zx14%UI.exe", {}},
      {"%TARGETFOLDR%\\x", {"unknown:%TARGETFOLDR%"}},
      {"%ZX14%.inf", {"case:%ZX14%"}},
      {"%TEMPFOLDER%a%TEMPFOLDER%", {"repeated:%TEMPFOLDER%"}},
      {"50% of %TARGETFOLDER%", {}},
      {"C:\\100%\\%Zx14%", {}},
      {"%%", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FaultList list;
    EXPECT_EQ(CheckMacroNames(c.text, &list), static_cast<int>(c.faults.size()));
    EXPECT_EQ(list.faults, c.faults);
  }
}

}  // namespace
