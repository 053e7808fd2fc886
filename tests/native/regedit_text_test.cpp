#include "core/regedit_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Records what an import writes, one text per call, and can refuse a key.
class RecordingSink : public RegistrySink {
 public:
  int CreateKey(RegistryRoot root, const char* subKey) override {
    calls.push_back(std::string("key ") + RegistryRootName(root) + "\\" + subKey);
    return refuseKey.empty() || refuseKey != subKey;
  }
  int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) override {
    std::string text = "set \"" + std::string(name) + "\" ";
    if (type == kRegSz) {
      text += "sz " + std::string(reinterpret_cast<const char*>(data), size);
    } else if (type == kRegDword) {
      char number[16];
      std::snprintf(number, sizeof number, "%08x", data[0] | data[1] << 8 | data[2] << 16 |
                                                      static_cast<uint32_t>(data[3]) << 24);
      text += std::string("dword ") + number + (size == 4 ? "" : " bad size");
    } else {
      text += "hex";
      for (uint32_t i = 0; i < size; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%s%02x", i ? "," : ":", data[i]);
        text += byte;
      }
    }
    calls.push_back(text);
    return 1;
  }
  void CloseKey() override { calls.push_back("close"); }

  std::vector<std::string> calls;
  std::string refuseKey;
};

struct Imported {
  std::vector<std::string> calls;
  int readToEnd;
  RegistryTextStop stop;
  uint32_t stoppedAtLine;
};

Imported Import(const std::string& text, const std::string& refuseKey = "") {
  RecordingSink sink;
  sink.refuseKey = refuseKey;
  RegistryTextResult result{};
  const int ok = ImportRegistryText(text.data(), text.size(), &sink, &result, nullptr);
  return {sink.calls, ok, result.stop, result.stoppedAtLine};
}

using Calls = std::vector<std::string>;

TEST(RegeditText, ValuesOfTheThreeKinds) {
  struct Case {
    const char* what;
    std::string text;
    Calls calls;
  } cases[] = {
      {"dword", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta]\r\n\"Mode\"=dword:0000000a\r\n",
       {"key HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta", "set \"Mode\" dword 0000000a", "close"}},
      {"dword of fewer and more digits", "REGEDIT4\n[HKEY_USERS\\K]\n\"a\"=dword:1F\n\"b\"=dword:123456789\n",
       {"key HKEY_USERS\\K", "set \"a\" dword 0000001f", "set \"b\" dword 12345678", "close"}},
      {"dword without a digit", "REGEDIT4\n[HKEY_USERS\\K]\n\"a\"=dword:\n\"b\"=dword:x1\n\"c\"=DWORD:1\n",
       {"key HKEY_USERS\\K", "close"}},
      {"hex on one line", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Bin\"=hex:01,ff, 0a,A0\n",
       {"key HKEY_CURRENT_USER\\K", "set \"Bin\" hex:01,ff,0a,a0", "close"}},
      {"hex over continuation lines",
       "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Bin\"=hex:01,02,\\\n  03,04,\\\n  05\n\"Next\"=dword:1\n",
       {"key HKEY_CURRENT_USER\\K", "set \"Bin\" hex:01,02,03,04,05", "set \"Next\" dword 00000001",
        "close"}},
      {"a continuation line without backslash ends the value",
       "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Bin\"=hex:01,02,\\\n  03,04\n  05,06\n",
       {"key HKEY_CURRENT_USER\\K", "set \"Bin\" hex:01,02,03,04", "close"}},
      {"hex with another type in parentheses", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Exp\"=hex(2):41,00\n",
       {"key HKEY_CURRENT_USER\\K", "set \"Exp\" hex:41,00", "close"}},
      {"hex reading stops at a missing comma or number",
       "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"a\"=hex:01 02\n\"b\"=hex:01,,02\n\"c\"=hex:\n\"d\"=hex:123\n",
       {"key HKEY_CURRENT_USER\\K", "set \"a\" hex:01", "set \"b\" hex:01", "set \"c\" hex",
        "set \"d\" hex:12", "close"}},
      {"strings with escapes", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"Path\"=\"C:\\\\Apps\\\\x \\\"q\\\"\"\n\"Raw\"=\"a\\nb\"\n\"Empty\"=\"\"\n",
       {"key HKEY_LOCAL_MACHINE\\K", "set \"Path\" sz C:\\Apps\\x \"q\"", "set \"Raw\" sz a\\nb",
        "set \"Empty\" sz ", "close"}},
      {"ignored lines", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n@=\"default\"\n; note\n  \"a\"=dword:1\n\"open=dword:1\n\"n\"dword:1\n\"n\"=other\n\"s\"=\"unclosed\n",
       {"key HKEY_LOCAL_MACHINE\\K", "close"}},
      {"values before any key", "REGEDIT4\n\"a\"=dword:1\n[HKEY_LOCAL_MACHINE\\K]\n",
       {"key HKEY_LOCAL_MACHINE\\K", "close"}},
      {"roots in any case and each key closed before the next",
       "REGEDIT4\n[hkey_classes_root\\.z6p]\n[HKEY_CURRENT_CONFIG\\Sys]\n",
       {"key HKEY_CLASSES_ROOT\\.z6p", "close", "key HKEY_CURRENT_CONFIG\\Sys", "close"}},
      {"the last character of a key line is dropped whatever it is",
       "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Key\n[HKEY_LOCAL_MACHINE\\]\n",
       {"key HKEY_LOCAL_MACHINE\\Ke", "close", "key HKEY_LOCAL_MACHINE\\", "close"}},
      {"the first line is skipped unread", "[HKEY_LOCAL_MACHINE\\K]\n\"a\"=dword:1\n", {}},
      {"one line only", "REGEDIT4", {}},
      {"trailing control bytes", std::string("REGEDIT4\n[HKEY_USERS\\K]\n\"a\"=\"x\"\n\0\0\x1a", 33),
       {"key HKEY_USERS\\K", "set \"a\" sz x", "close"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Imported imported = Import(c.text);
    EXPECT_EQ(imported.calls, c.calls);
    EXPECT_EQ(imported.readToEnd, 1);
    EXPECT_EQ(imported.stoppedAtLine, 0u);
  }
}

TEST(RegeditText, StopConditionsKeepWhatWasWritten) {
  struct Case {
    const char* what;
    std::string text;
    std::string refuseKey;
    Calls calls;
    RegistryTextStop stop;
    uint32_t line;
  } cases[] = {
      {"key without backslash", "REGEDIT4\n[HKEY_USERS\\A]\n\"a\"=dword:1\n[HKEY_USERS]\n[HKEY_USERS\\B]\n", "",
       {"key HKEY_USERS\\A", "set \"a\" dword 00000001", "close"}, RegistryTextStop::kKeyWithoutBackslash, 4},
      {"unknown root", "REGEDIT4\n[HKLM\\A]\n[HKEY_USERS\\B]\n", "", {}, RegistryTextStop::kUnknownRoot, 2},
      {"deletion form", "REGEDIT4\n[-HKEY_USERS\\A]\n", "", {}, RegistryTextStop::kUnknownRoot, 2},
      {"key that cannot be created", "REGEDIT4\n[HKEY_USERS\\A]\n\"a\"=dword:1\n", "A",
       {"key HKEY_USERS\\A"}, RegistryTextStop::kKeyNotCreated, 2},
      {"lone bracket", "REGEDIT4\n[\n", "", {}, RegistryTextStop::kKeyWithoutBackslash, 2},
      {"key line beyond the buffer", "REGEDIT4\n[HKEY_USERS\\" + std::string(5000, 'k') + "]\n", "", {},
       RegistryTextStop::kKeyTooLong, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Imported imported = Import(c.text, c.refuseKey);
    EXPECT_EQ(imported.calls, c.calls);
    EXPECT_EQ(imported.readToEnd, 0);
    EXPECT_EQ(imported.stop, c.stop);
    EXPECT_EQ(imported.stoppedAtLine, c.line);
  }
}

TEST(RegeditText, HexBeyondItsBufferIsNotSet) {
  std::string text = "REGEDIT4\n[HKEY_USERS\\K]\n\"Big\"=hex:";
  for (size_t i = 0; i < kRegistryHexSize + 1; ++i) text += i ? ",00" : "00";
  text += "\n\"After\"=dword:2\n";
  const Imported imported = Import(text);
  EXPECT_EQ(imported.calls, (Calls{"key HKEY_USERS\\K", "set \"After\" dword 00000002", "close"}));
}

class NoteList : public RegistryTextListener {
 public:
  void OnNote(uint32_t line, RegistryTextNote note) override {
    notes.push_back(std::to_string(line) + ":" + RegistryTextNoteName(note));
  }
  std::vector<std::string> notes;
};

TEST(RegeditText, PassedOverLinesAreNamedWithTheirNumbers) {
  const std::string text =
      "REGEDIT4\n\"early\"=dword:1\n[HKEY_USERS\\K]\n@=\"d\"\n\"a\"=dword:\n\"b\"=\"open\n\"c\"=hex:01,\\\n 02\n";
  NoteList notes;
  RecordingSink sink;
  EXPECT_EQ(ImportRegistryText(text.data(), text.size(), &sink, nullptr, &notes), 1);
  EXPECT_EQ(notes.notes, (std::vector<std::string>{"2:value-without-key", "4:ignored-line",
                                                   "5:no-dword-digits", "6:unreadable-value"}));
  EXPECT_EQ(ImportRegistryText(nullptr, 0, &sink, nullptr, nullptr), 1);
  EXPECT_EQ(ImportRegistryText("\r\n\0", 3, &sink, nullptr, nullptr), 1);
}

}  // namespace
