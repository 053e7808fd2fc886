#include "core/registry_sink.h"

const char* RegistryRootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kLocalMachine: return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::kClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegistryRoot::kCurrentUser: return "HKEY_CURRENT_USER";
    case RegistryRoot::kUsers: return "HKEY_USERS";
    case RegistryRoot::kCurrentConfig: return "HKEY_CURRENT_CONFIG";
  }
  return "";
}
