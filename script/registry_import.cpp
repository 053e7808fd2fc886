#include "script/registry_import.h"

#include <windows.h>

#include <cstdint>

#include "core/regedit_text.h"
#include "core/registry_sink.h"
#include "sys/file_io.h"

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
    key_ = key;
    return 1;
  }

  int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) override {
    if (key_ == nullptr) return 0;
    return RegSetValueExA(key_, name, 0, type, data, size) == ERROR_SUCCESS ? 1 : 0;
  }

  void CloseKey() override {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
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
