// Scratch packed files, a scratch source folder and the progress window for the Windows-side
// tests of the script engine's loading side (load_script_test, uninstall_script_test,
// registry_import_test, profile_collection_test).
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/archive_format.h"
#include "tests/win/sys_test_support.h"
#include "wizard/wizard_messages.h"

namespace script_test {

class StringSink : public ByteSink {
 public:
  std::string bytes;
  int Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return 1;
  }
};

// A small executable image with an archive of the given (name, data) entries appended.
inline std::string Packed(const std::vector<std::pair<std::string, std::string>>& entries) {
  StringSink sink;
  sink.bytes = "MZ";
  sink.bytes.resize(0x400, '\x90');
  ArchiveWriter writer(sink, sink.bytes.size());
  writer.Begin();
  for (const auto& entry : entries) {
    writer.BeginEntry(entry.first.c_str(), 126962424000000000ull, 126963288000000000ull);
    writer.WriteEntryData(entry.second.data(), entry.second.size());
    writer.EndEntry();
  }
  writer.Finish();
  return sink.bytes;
}

// A scratch folder of its own for one test, removed again at its end.
struct Scratch {
  explicit Scratch(const char* name) : folder(MakeScratchFolder(name)) {}
  ~Scratch() { DeleteFolderTree(folder.c_str()); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::string Path(const std::string& file) const { return folder + "\\" + file; }
  std::string folder;
};

inline std::string Text(const uint8_t* data, size_t size) {
  return data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

// Files in folder whose names match pattern.
inline int CountMatching(const std::string& folder, const char* pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count; while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

// A top-level window of this thread that records the three progress messages a worker sends:
// "text:<text>", "item:<n>", "overall:<n>".
class ProgressWindow {
 public:
  ProgressWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Z614TestProgress";
    RegisterClassA(&windowClass);  // a second registration fails harmlessly
    window_ = CreateWindowA("Z614TestProgress", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ProgressWindow() { DestroyWindow(window_); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  HWND Handle() const { return window_; }
  std::vector<std::string> messages;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == kMsgProgressText) {
        self->messages.push_back(std::string("text:") + reinterpret_cast<const char*>(wParam));
        return 0;
      }
      if (message == kMsgItemProgress) {
        self->messages.push_back("item:" + std::to_string(wParam));
        return 0;
      }
      if (message == kMsgOverallProgress) {
        self->messages.push_back("overall:" + std::to_string(wParam));
        return 0;
      }
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

}  // namespace script_test
