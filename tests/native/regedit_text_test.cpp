// The REGEDIT4 import: the three value kinds, continuation lines, the lines it passes over
// (named by the checker's tests), and the conditions that stop it, keeping what was written.
#include "core/regedit_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

namespace {

// Records each call as text: a value as its name, type number and then its text (REG_SZ) or
// its bytes in hex. A key named `refuseKey` cannot be created.
class RecordingSink : public RegistrySink {
 public:
  int CreateKey(RegistryRoot root, const char* subKey) override {
    calls += std::string("key ") + RegistryRootName(root) + "\\" + subKey + "|";
    return refuseKey.empty() || refuseKey != subKey;
  }
  int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) override {
    calls += "\"" + std::string(name) + "\" " + std::to_string(type);
    if (type == kRegSz) calls += " " + std::string(reinterpret_cast<const char*>(data), size);
    for (uint32_t i = 0; type != kRegSz && i < size; ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, " %02x", data[i]);
      calls += byte;
    }
    calls += "|";
    return 1;
  }
  void CloseKey() override { calls += "close|"; }
  std::string calls, refuseKey;
};

TEST(RegeditText, ValuesOfTheThreeKindsAndTheLinesPassedOver) {
  const std::pair<std::string, const char*> cases[] = {
      {"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta]\r\n\"Mode\"=dword:0000000a\r\n",
       "key HKEY_LOCAL_MACHINE\\SOFTWARE\\Xelta|\"Mode\" 4 0a 00 00 00|close|"},
      {"REGEDIT4\n[HKEY_USERS\\K]\n\"a\"=dword:1F\n\"b\"=dword:123456789\n\"c\"=dword:\n\"d\"=DWORD:1\n",
       "key HKEY_USERS\\K|\"a\" 4 1f 00 00 00|\"b\" 4 78 56 34 12|close|"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Bin\"=hex:01,ff, 0a,A0\n\"Exp\"=hex(2):41,00\n",
       "key HKEY_CURRENT_USER\\K|\"Bin\" 3 01 ff 0a a0|\"Exp\" 3 41 00|close|"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Bin\"=hex:01,02,\\\n  03,04,\\\n  05\n\"Next\"=dword:1\n",
       "key HKEY_CURRENT_USER\\K|\"Bin\" 3 01 02 03 04 05|\"Next\" 4 01 00 00 00|close|"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Bin\"=hex:01,02,\\\n  03,04\n  05,06\n",  // no backslash: it ends
       "key HKEY_CURRENT_USER\\K|\"Bin\" 3 01 02 03 04|close|"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"a\"=hex:01 02\n\"b\"=hex:01,,02\n\"c\"=hex:\n\"d\"=hex:123\n",
       "key HKEY_CURRENT_USER\\K|\"a\" 3 01|\"b\" 3 01|\"c\" 3|\"d\" 3 12|close|"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"Path\"=\"C:\\\\Apps\\\\x \\\"q\\\"\"\n\"Raw\"=\"a\\nb\"\n\"Empty\"=\"\"\n",
       "key HKEY_LOCAL_MACHINE\\K|\"Path\" 1 C:\\Apps\\x \"q\"|\"Raw\" 1 a\\nb|\"Empty\" 1 |close|"},
      {"REGEDIT4\n\"a\"=dword:1\n[HKEY_LOCAL_MACHINE\\K]\n@=\"d\"\n; x\n  \"a\"=dword:1\n\"n\"=other\n\"s\"=\"open\n",
       "key HKEY_LOCAL_MACHINE\\K|close|"},
      {"REGEDIT4\n[hkey_classes_root\\.z6p]\n[HKEY_CURRENT_CONFIG\\Sys]\n",
       "key HKEY_CLASSES_ROOT\\.z6p|close|key HKEY_CURRENT_CONFIG\\Sys|close|"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\Key\n[HKEY_LOCAL_MACHINE\\]\n",  // the last character is dropped
       "key HKEY_LOCAL_MACHINE\\Ke|close|key HKEY_LOCAL_MACHINE\\|close|"},
      {"[HKEY_LOCAL_MACHINE\\K]\n\"a\"=dword:1\n", ""},  // the first line is skipped unread
      {"REGEDIT4", ""},
      {std::string("REGEDIT4\n[HKEY_USERS\\K]\n\"a\"=\"x\"\n\0\0\x1a", 33), "key HKEY_USERS\\K|\"a\" 1 x|close|"},
  };
  for (const auto& [text, calls] : cases) {
    SCOPED_TRACE(text);
    RecordingSink sink;
    RegistryTextResult result{};
    EXPECT_EQ(ImportRegistryText(text.data(), text.size(), &sink, &result, nullptr), 1);
    EXPECT_EQ(sink.calls, calls);
    EXPECT_EQ(result.stoppedAtLine, 0u);
  }
  RecordingSink sink;
  EXPECT_EQ(ImportRegistryText(nullptr, 0, &sink, nullptr, nullptr), 1);
}

TEST(RegeditText, StopConditionsKeepWhatWasWritten) {
  std::string bigHex = "REGEDIT4\n[HKEY_USERS\\K]\n\"Big\"=hex:00";
  for (size_t i = 0; i < kRegistryHexSize; ++i) bigHex += ",00";
  const std::tuple<std::string, const char*, RegistryTextStop, uint32_t> cases[] = {
      {"REGEDIT4\n[HKEY_USERS\\A]\n\"a\"=dword:1\n[HKEY_USERS]\n[HKEY_USERS\\B]\n",
       "key HKEY_USERS\\A|\"a\" 4 01 00 00 00|close|", RegistryTextStop::kKeyWithoutBackslash, 4},
      {"REGEDIT4\n[HKLM\\A]\n[HKEY_USERS\\B]\n", "", RegistryTextStop::kUnknownRoot, 2},
      {"REGEDIT4\n[-HKEY_USERS\\A]\n", "", RegistryTextStop::kUnknownRoot, 2},  // no deletions
      {"REGEDIT4\n[HKEY_USERS\\Refused]\n\"a\"=dword:1\n", "key HKEY_USERS\\Refused|",
       RegistryTextStop::kKeyNotCreated, 2},
      {"REGEDIT4\n[\n", "", RegistryTextStop::kKeyWithoutBackslash, 2},
      {"REGEDIT4\n[HKEY_USERS\\" + std::string(5000, 'k') + "]\n", "", RegistryTextStop::kKeyTooLong, 2},
      {bigHex + "\n\"After\"=dword:2\n[HKEY_USERS]\n", "key HKEY_USERS\\K|\"After\" 4 02 00 00 00|close|",
       RegistryTextStop::kKeyWithoutBackslash, 5},  // hex beyond its buffer is not set
  };
  for (const auto& [text, calls, stop, line] : cases) {
    SCOPED_TRACE(text.substr(0, 60));
    RecordingSink sink;
    sink.refuseKey = "Refused";
    RegistryTextResult result{};
    EXPECT_EQ(ImportRegistryText(text.data(), text.size(), &sink, &result, nullptr), 0);
    EXPECT_EQ(sink.calls, calls);
    EXPECT_EQ(result.stop, stop);
    EXPECT_EQ(result.stoppedAtLine, line);
  }
}

}  // namespace
