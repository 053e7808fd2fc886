#include "tools/cnfcheck/registry_check.h"

#include <algorithm>
#include <cstdio>

#include "core/bounded_string.h"
#include "core/registry_sink.h"
#include "tools/cnfcheck/zero_byte_check.h"

namespace {

// Records what the import writes; every key can be created, as on a machine with rights.
class RecordingSink : public RegistrySink {
 public:
  explicit RecordingSink(std::vector<RegistryOp>* ops) : ops_(ops) {}
  int CreateKey(RegistryRoot root, const char* subKey) override {
    root_ = RegistryRootName(root);
    key_ = subKey;
    return 1;
  }
  int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) override {
    ops_->push_back(RegistryOp{root_, key_, name, type, std::vector<uint8_t>(data, data + size)});
    return 1;
  }
  void CloseKey() override {}

 private:
  std::vector<RegistryOp>* ops_;
  std::string root_;
  std::string key_;
};

class NoteCollector : public RegistryTextListener {
 public:
  explicit NoteCollector(WarningList* warnings) : warnings_(warnings) {}
  void OnNote(uint32_t lineNumber, RegistryTextNote note) override {
    warnings_->push_back(CheckWarning{lineNumber, RegistryTextNoteName(note), Describe(note)});
  }

 private:
  static const char* Describe(RegistryTextNote note) {
    switch (note) {
      case RegistryTextNote::kIgnoredLine:
        return "neither a key nor a named value: the line is ignored";
      case RegistryTextNote::kValueWithoutKey:
        return "a value ahead of any key: not written";
      case RegistryTextNote::kUnreadableValue:
        return "the value cannot be read (closing quote, \"=\", data form or a name over 255 characters): not written";
      case RegistryTextNote::kNoDwordDigits:
        return "not \"dword:\" with hexadecimal digits: not written";
      case RegistryTextNote::kHexTooLong:
        return "more than 4096 bytes: the value is not written";
      case RegistryTextNote::kLineCut:
        return "a line longer than 4095 characters: the value is not written";
      case RegistryTextNote::kKeyWithoutBracket:
        return "the key line does not end in \"]\": its last character is dropped, so another key is written";
      case RegistryTextNote::kDwordTooLong:
        return "more than 8 hexadecimal digits: only the first 8 are read, so another number is written";
      case RegistryTextNote::kLineSwallowed:
        return "read as the continuation of the hex value above (its last line ends in \"\\\"), which it does "
               "not go on: the key or value on this line is lost";
    }
    return "";
  }
  WarningList* warnings_;
};

const char* DescribeStop(RegistryTextStop stop) {
  switch (stop) {
    case RegistryTextStop::kNone: return "";
    case RegistryTextStop::kKeyWithoutBackslash: return "a key without a backslash";
    case RegistryTextStop::kUnknownRoot: return "a key under an unknown root";
    case RegistryTextStop::kKeyNotCreated: return "a key that cannot be created";
    case RegistryTextStop::kKeyTooLong: return "a key line longer than 4095 characters";
  }
  return "";
}

// The first line is skipped unread; a text that does not begin with the header loses a line
// its author may have meant, and a profile beside the setup is not even collected.
bool BeginsWithHeader(const char* text, size_t size) {
  static const char kHeader[] = "REGEDIT4";
  if (size < sizeof kHeader - 1) return false;
  std::string start(text, sizeof kHeader - 1);
  return EqualsNoCase(start.c_str(), kHeader);
}

}  // namespace

void CheckRegistryText(const char* text, size_t size, RegistryReport* report) {
  report->ops.clear();
  report->warnings.clear();
  RecordingSink sink(&report->ops);
  NoteCollector notes(&report->warnings);
  RegistryTextResult result{};
  ImportRegistryText(text, size, &sink, &result, &notes);
  // The import drops the control bytes at the end of the text, zero bytes among them.
  size_t read = size;
  while (read > 0 && static_cast<unsigned char>(text[read - 1]) < 0x20) --read;
  CheckZeroBytes(text, read, &report->warnings);
  report->stop = result.stop;
  report->stoppedAtLine = result.stoppedAtLine;
  if (size > 0 && !BeginsWithHeader(text, size))
    report->warnings.push_back(CheckWarning{1, "no-header",
                                            "the text does not begin with REGEDIT4: its first line is skipped unread, "
                                            "and a profile beside the setup is not even collected"});
  if (result.stop != RegistryTextStop::kNone)
    report->warnings.push_back(CheckWarning{result.stoppedAtLine, RegistryTextStopName(result.stop),
                                            std::string("the import stops at ") + DescribeStop(result.stop) +
                                                ": nothing behind it is written"});
  std::stable_sort(report->warnings.begin(), report->warnings.end(),
                   [](const CheckWarning& a, const CheckWarning& b) { return a.line < b.line; });
}

const char* RegistryTypeName(uint32_t type) {
  switch (type) {
    case kRegSz: return "REG_SZ";
    case kRegDword: return "REG_DWORD";
    case kRegBinary: return "REG_BINARY";
  }
  return "REG_NONE";
}

std::string FormatRegistryData(const RegistryOp& op) {
  if (op.type == kRegSz) return std::string(op.data.begin(), op.data.end());
  if (op.type == kRegDword && op.data.size() == 4) {
    const uint32_t value = op.data[0] | (op.data[1] << 8) | (op.data[2] << 16) |
                           (static_cast<uint32_t>(op.data[3]) << 24);
    return std::to_string(value);
  }
  std::string hex;
  for (size_t i = 0; i < op.data.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02x", op.data[i]);
    if (i) hex += ",";
    hex += pair;
  }
  return hex;
}
