#include "script/registry_import.h"

#include <windows.h>

#include <cstdint>

#include "core/regedit_text.h"
#include "core/registry_sink.h"
#include "sys/file_io.h"
#include "core/bounded_string.h"
#include "sys/registry_log.h"

namespace {

HKEY PredefinedKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::kUsers: return HKEY_USERS;
    case RegistryRoot::kCurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return nullptr;
}

// The real registry behind the core's import: one open key at a time, closed before the next
// is created and at the end, whatever path the import takes.
class WindowsRegistrySink : public RegistrySink {
 public:
  WindowsRegistrySink() = default;
  WindowsRegistrySink(const WindowsRegistrySink&) = delete;
  WindowsRegistrySink& operator=(const WindowsRegistrySink&) = delete;
  ~WindowsRegistrySink() override { CloseKey(); }

  int CreateKey(RegistryRoot root, const char* subKey) override {
    CloseKey();
    const HKEY parent = PredefinedKey(root);
    if (parent == nullptr) return 0;
    char keyClass[] = "key";
    DWORD disposition = 0;
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, subKey, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
      return 0;
    }
    LogKeyCreated(parent, subKey, disposition);
    key_ = key;
    root_ = parent;
    CopyText(path_, sizeof path_, subKey);
    return 1;
  }

  int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) override {
    if (key_ == nullptr) return 0;
    if (RegSetValueExA(key_, name, 0, type, data, size) != ERROR_SUCCESS) return 0;
    LogValueSet(root_, path_, name, type, data, size);
    return 1;
  }

  void CloseKey() override {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
  // The open key's root and path, for the log; a longer path is shown cut.
  HKEY root_ = nullptr;
  char path_[512] = "";
};

}  // namespace

void ImportRegistryText(const char* text, size_t size) {
  if (text == nullptr || size == 0) return;
  WindowsRegistrySink sink;
  ImportRegistryText(text, size, &sink, nullptr, nullptr);
}

void ImportRegistryFile(const char* path) {
  char* text = nullptr;
  size_t size = 0;
  if (!ReadWholeFile(path, &text, &size) || text == nullptr) return;
  ImportRegistryText(text, size);
  ReleaseFileBuffer(text);
}
