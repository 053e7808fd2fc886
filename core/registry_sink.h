// The registry as the platform-independent core writes to it: the five predefined roots and
// the value types it sets, and a small sink that the Win32 layer implements with the real
// registry calls (and tests and the script checker with a recorder).
#pragma once
#include <cstdint>

enum class RegistryRoot : uint32_t {
  kLocalMachine,
  kClassesRoot,
  kCurrentUser,
  kUsers,
  kCurrentConfig,
};

// The root's full name as registry texts write it ("HKEY_LOCAL_MACHINE").
const char* RegistryRootName(RegistryRoot root);

// The registry's own type codes.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

class RegistrySink {
 public:
  virtual ~RegistrySink() = default;
  // Creates or opens root\subKey (RegCreateKeyExA with class "key", non-volatile,
  // KEY_ALL_ACCESS) as the one open key. Returns non-zero on success.
  virtual int CreateKey(RegistryRoot root, const char* subKey) = 0;
  // Sets a value under the open key: size bytes of data (REG_DWORD: 4 bytes, little-endian as
  // the registry stores them; REG_SZ: the text without its terminator). Returns non-zero on
  // success; the callers ignore the result as the setup does.
  virtual int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) = 0;
  // Closes the open key.
  virtual void CloseKey() = 0;
};
