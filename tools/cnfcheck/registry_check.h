// The registry-text check: what the setup's import would write for a REGEDIT4 text
// ("GeneralSettings.reg", AddRegFile sources, the "*.NWP" and "*.NWK" profiles), where it
// would stop, and the lines it would pass over.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/regedit_text.h"
#include "tools/cnfcheck/check_warning.h"

struct RegistryOp {
  std::string root;  // "HKEY_LOCAL_MACHINE"
  std::string key;
  std::string name;
  uint32_t type;     // kRegSz, kRegDword or kRegBinary
  std::vector<uint8_t> data;
};

struct RegistryReport {
  std::vector<RegistryOp> ops;  // in the order the import writes them
  RegistryTextStop stop;
  uint32_t stoppedAtLine;       // 0 when the import read the whole text
  WarningList warnings;         // passed-over lines and the stop, in line order
};

void CheckRegistryText(const char* text, size_t size, RegistryReport* report);

// "REG_SZ", "REG_DWORD", "REG_BINARY".
const char* RegistryTypeName(uint32_t type);
// The value's data as the checker prints it: REG_SZ the text, REG_DWORD the number in
// decimal, REG_BINARY the bytes as REGEDIT4 writes them ("0a,ff").
std::string FormatRegistryData(const RegistryOp& op);
