// What the Windows-side tests of the script engine share: packed files built with the packer's
// own writer, scratch folders, an installer context whose folders point into one, a window that
// records the progress messages it is sent, and a watcher that answers the message boxes of this
// process and keeps their texts, so no test waits for a user.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstring>
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

// ---- Packed files ----

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

// An executable image (a small stand-in unless one is given) with the entries appended as the
// setup carries its payload.
inline std::string Packed(const std::vector<PackedEntry>& entries, const std::string& image = "") {
  StringSink sink;
  sink.bytes = image;
  if (image.empty()) {
    sink.bytes = "MZ";
    sink.bytes.resize(0x400, '\x90');
  }
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

// Bytes a loader or collector kept, as text.
inline std::string BytesText(const uint8_t* data, size_t size) {
  return data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

// Files in folder whose names match pattern (folder may end with its backslash).
inline int CountMatching(std::string folder, const char* pattern) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

inline uint64_t FromFiletime(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
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

// The record the run appends to Remove.cnf, as the uninstall reads it back.
inline std::string Record(const std::string& header, const std::string& line) {
  return "[" + header + "]\r\n" + line + "\r\n\r\n";
}

// ---- Scratch folders ----

// A scratch folder of its own for one test, removed again at its end.
struct Scratch {
  explicit Scratch(const char* name) : folder(MakeScratchFolder(name)) {}
  ~Scratch() { DeleteFolderTree(folder.c_str()); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::string Path(const std::string& file) const { return folder + "\\" + file; }
  std::string folder;
};

// A source folder (beside the "started executable") inside a scratch folder, for the loader
// and the profile collection; the payload archive is cleared again at the end.
struct SourceFolder {
  explicit SourceFolder(const char* name) : scratch(name) {
    CreateDirectoryA(scratch.Path("src").c_str(), nullptr);
    CopyText(context.sourceFolder, sizeof context.sourceFolder, scratch.Path("src").c_str());
  }
  ~SourceFolder() {
    payloadArchive.flags = 0;
    payloadArchive.Clear();
  }
  SourceFolder(const SourceFolder&) = delete;
  SourceFolder& operator=(const SourceFolder&) = delete;
  void Beside(const char* file, const std::string& text) {
    WriteTestFile(scratch.Path(std::string("src\\") + file), text);
  }
  Scratch scratch;
  SetupContext context;
};

// ---- A scratch installation ----

// C:\z614\run\<name> with the packed file pack.exe, and a context whose source folder is that
// folder and whose target folder is its "Target" sub-folder (not created). The archive may
// replace files, as the workers set it before a run.
class ScratchInstall {
 public:
  explicit ScratchInstall(const char* name, const std::vector<PackedEntry>& entries = {})
      : folder_(MakeFolder(name)), context_(new SetupContext) {
    CopyText(context_->sourceFolder, MAX_PATH, folder_.c_str());
    CopyText(context_->targetFolder, MAX_PATH, (folder_ + "\\Target").c_str());
    WriteTestFile(Path("pack.exe"), Packed(entries));
    // Rooted paths without a drive (PackReference) then lie on C:.
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
  ScratchInstall(const ScratchInstall&) = delete;
  ScratchInstall& operator=(const ScratchInstall&) = delete;

  SetupContext& Context() { return *context_; }
  const std::string& Folder() const { return folder_; }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
  std::string Target() const { return folder_ + "\\Target"; }
  std::string TargetPath(const std::string& name) const { return Target() + "\\" + name; }
  // The packed file as a rooted path without drive (the current directory is on C: while the
  // scratch installation lives): it survives the split at the first colon of sources that are
  // split after their macros are expanded or that take no macros at all.
  std::string PackReference(const std::string& entry) const {
    return folder_.substr(2) + "\\pack.exe:" + entry;
  }

  // Loads script text into the context's lists for the running system.
  int Parse(const std::string& text) {
    return ParseScriptText(text.data(), text.size(), QueryOsVersion(), &context_->script, nullptr);
  }

  std::string RemoveScript() const {
    std::string text;
    ReadTestFile(TargetPath("Remove.cnf"), &text);
    return text;
  }

 private:
  static std::string MakeFolder(const char* name) {
    CreateDirectoryA("C:\\z614", nullptr);
    CreateDirectoryA("C:\\z614\\run", nullptr);
    const std::string folder = std::string("C:\\z614\\run\\") + name;
    DeleteFolderTree(folder.c_str());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }

  std::string folder_;
  std::unique_ptr<SetupContext> context_;
  uint32_t previousFlags_ = 0;
  char previousDirectory_[MAX_PATH] = "";
};

// ---- Progress ----

struct ProgressMessage {
  UINT message;
  WPARAM value;      // ItemProgress and OverallProgress
  std::string text;  // ProgressText
};

inline bool operator==(const ProgressMessage& a, const ProgressMessage& b) {
  return a.message == b.message && a.value == b.value && a.text == b.text;
}

inline std::vector<ProgressMessage>& RecordedProgress() {
  static std::vector<ProgressMessage> messages;
  return messages;
}

inline LRESULT CALLBACK RecordProgress(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgProgressText) {
    RecordedProgress().push_back({message, 0, reinterpret_cast<const char*>(wParam)});
    return 0;
  }
  if (message == kMsgItemProgress || message == kMsgOverallProgress) {
    RecordedProgress().push_back({message, wParam, ""});
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden top-level window of the test's thread that stands for the progress page.
class ProgressWindow {
 public:
  ProgressWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordProgress;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Z614ProgressRecorder";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowA("Z614ProgressRecorder", "progress", WS_OVERLAPPED, 0, 0, 100, 100,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    RecordedProgress().clear();
  }
  ~ProgressWindow() { DestroyWindow(window_); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  HWND Handle() const { return window_; }
  const std::vector<ProgressMessage>& Messages() const { return RecordedProgress(); }

 private:
  HWND window_ = nullptr;
};

inline ProgressMessage Text(const std::string& text) { return {kMsgProgressText, 0, text}; }
inline ProgressMessage Item(WPARAM value) { return {kMsgItemProgress, value, ""}; }
inline ProgressMessage Overall(WPARAM value) { return {kMsgOverallProgress, value, ""}; }

// ---- Message boxes ----

struct ShownBox {
  std::string caption;
  std::string text;
  HWND owner;
};

// While it lives, a second thread finds every message box of this process, keeps its caption,
// text and owner, and presses OK.
class MessageBoxWatch {
 public:
  MessageBoxWatch() { thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr); }
  ~MessageBoxWatch() { Stop(); }
  MessageBoxWatch(const MessageBoxWatch&) = delete;
  MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

  // Ends the watch and returns the boxes that were shown, in order.
  const std::vector<ShownBox>& Stop() {
    if (thread_ != nullptr) {
      InterlockedExchange(&done_, 1);
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
    return shown_;
  }

 private:
  static std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }

  static BOOL CALLBACK Answer(HWND window, LPARAM context) {
    MessageBoxWatch* watch = reinterpret_cast<MessageBoxWatch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != GetCurrentProcessId() || lstrcmpA(className, "#32770") != 0 ||
        !IsWindowVisible(window)) {
      return TRUE;
    }
    bool known = false;
    for (HWND answered : watch->answered_) known = known || answered == window;
    if (!known) {
      watch->answered_.push_back(window);
      watch->shown_.push_back({TextOf(window), TextOf(GetDlgItem(window, 0xFFFF)),
                               GetWindow(window, GW_OWNER)});
    }
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
  }

  static DWORD WINAPI Watch(void* context) {
    MessageBoxWatch* watch = static_cast<MessageBoxWatch*>(context);
    while (InterlockedCompareExchange(&watch->done_, 0, 0) == 0) {
      EnumWindows(Answer, reinterpret_cast<LPARAM>(watch));
      Sleep(20);
    }
    return 0;
  }

  HANDLE thread_ = nullptr;
  volatile LONG done_ = 0;
  std::vector<HWND> answered_;
  std::vector<ShownBox> shown_;
};

}  // namespace script_test
