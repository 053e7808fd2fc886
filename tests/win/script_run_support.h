// What the Windows-side tests of the script engine share: payloads packed with the packer's own
// writer, a scratch installation with its context, a window that records the progress messages
// it is sent, and a watcher that answers this process's message boxes, so no test waits.
#pragma once
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/os_version.h"
#include "core/archive_format.h"
#include "core/bounded_string.h"
#include "core/crc32.h"
#include "core/script_parser.h"
#include "sys/setup_context.h"
#include "tests/win/sys_test_support.h"
#include "wizard/wizard_messages.h"

namespace script_test {

struct PackedEntry {
  std::string name;
  std::string data;
};

// 2003-05-01 10:00 UTC and a day later: the times every entry carries.
constexpr uint64_t kCreated = 126962424000000000ull;
constexpr uint64_t kWritten = kCreated + 864000000000ull;

class StringSink : public ByteSink {
 public:
  std::string bytes;
  int Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return 1;
  }
};

// An executable image (a small stand-in unless one is given) with the entries appended.
inline std::string Packed(const std::vector<PackedEntry>& entries, const std::string& image = "") {
  StringSink sink;
  sink.bytes = image.empty() ? std::string("MZ") + std::string(0x3FE, '\x90') : image;
  ArchiveWriter writer(sink, sink.bytes.size());
  writer.Begin();
  for (const PackedEntry& e : entries) {
    writer.BeginEntry(e.name.c_str(), kCreated, kWritten);
    writer.WriteEntryData(e.data.data(), e.data.size());
    writer.EndEntry();
  }
  writer.Finish();
  return sink.bytes;
}

inline std::string ReadText(const std::string& path) {
  std::string text;
  ReadTestFile(path, &text);
  return text;
}

inline std::string BytesText(const uint8_t* data, size_t size) {
  return data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

// Files in folder (which ends with its backslash) whose names match pattern.
inline int CountMatching(const std::string& folder, const char* pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

inline std::string Crc32Text(const std::string& bytes) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(Crc32(bytes.data(), bytes.size())));
  return text;
}

// A string value's text. Values are written without terminator; Wine's registry adds one, as
// the registry of the 9x family does, so one trailing zero is not part of the text.
inline std::string StringData(const RegistryValue& value) {
  std::string text = value.data;
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

constexpr char kDiagnosticsKey[] = "Software\\Xelta\\Z614\\Diagnostics";

// One record of Remove.cnf as the run appends it.
inline std::string Record(const std::string& header, const std::string& line) {
  return "[" + header + "]\r\n" + line + "\r\n\r\n";
}

// A scratch folder with the packed file pack.exe, and a context whose source folder is that
// folder and whose target folder is its "Target" sub-folder (not created). While it lives the
// current directory is C:\ and the archive may replace files, as the workers set it.
class ScratchInstall {
 public:
  explicit ScratchInstall(const char* name, const std::vector<PackedEntry>& entries = {})
      : folder_(MakeScratchFolder(name)), context_(new SetupContext) {
    CopyText(context_->sourceFolder, MAX_PATH, folder_.c_str());
    CopyText(context_->targetFolder, MAX_PATH, Target().c_str());
    WriteTestFile(Path("pack.exe"), Packed(entries));
    GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
    SetCurrentDirectoryA("C:\\");
    previousFlags_ = payloadArchive.flags;
    payloadArchive.flags |= OverwriteExisting;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDiagnosticsKey);
  }
  ~ScratchInstall() {
    payloadArchive.flags = previousFlags_;
    payloadArchive.Clear();
    SetCurrentDirectoryA(previousDirectory_);
    DeleteFolderTree(folder_.c_str());
  }
  SetupContext& Context() { return *context_; }
  const std::string& Folder() const { return folder_; }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
  std::string Target() const { return folder_ + "\\Target"; }
  std::string TargetPath(const std::string& name) const { return Target() + "\\" + name; }
  // The packed file as a rooted path without drive: it survives the split at the first colon
  // of sources that are split after their macros are expanded.
  std::string PackReference(const std::string& entry) const {
    return folder_.substr(2) + "\\pack.exe:" + entry;
  }
  // Loads script text into the context's lists for the running system.
  int Parse(const std::string& text) {
    return ParseScriptText(text.data(), text.size(), QueryOsVersion(), &context_->script, nullptr);
  }
  std::string RemoveScript() const { return ReadText(TargetPath("Remove.cnf")); }

 private:
  std::string folder_;
  std::unique_ptr<SetupContext> context_;
  uint32_t previousFlags_ = 0;
  char previousDirectory_[MAX_PATH] = "";
};

// ---- Progress and message boxes ----

// The progress messages a window is sent, as "text: ...", "item N" and "overall N".
inline std::string Text(const std::string& text) { return "text: " + text; }
inline std::string Item(WPARAM value) { return "item " + std::to_string(value); }
inline std::string Overall(WPARAM value) { return "overall " + std::to_string(value); }

// A hidden window of the test's thread that stands for the progress page.
class ProgressWindow {
 public:
  ProgressWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Record;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Z614ProgressRecorder";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowA("Z614ProgressRecorder", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    Messages().clear();
  }
  ~ProgressWindow() { DestroyWindow(window_); }
  HWND Handle() const { return window_; }
  static std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
  }

 private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgProgressText) {
      Messages().push_back(Text(reinterpret_cast<const char*>(wParam)));
    } else if (message == kMsgItemProgress) {
      Messages().push_back(Item(wParam));
    } else if (message == kMsgOverallProgress) {
      Messages().push_back(Overall(wParam));
    } else {
      return DefWindowProcA(window, message, wParam, lParam);
    }
    return 0;
  }
  HWND window_ = nullptr;
};

struct ShownBox {
  std::string caption;
  std::string text;
  HWND owner;
};

// While it lives, every message box the test's thread shows is kept (caption, text, owner)
// and answered with OK, so no test waits for a user.
class MessageBoxWatch {
 public:
  MessageBoxWatch() : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
    Shown().clear();
  }
  ~MessageBoxWatch() { UnhookWindowsHookEx(hook_); }
  static std::vector<ShownBox>& Shown() {
    static std::vector<ShownBox> shown;
    return shown;
  }

 private:
  static std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[16] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
        lstrcmpA(className, "#32770") == 0) {
      Shown().push_back({TextOf(box), TextOf(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER)});
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
};

}  // namespace script_test
