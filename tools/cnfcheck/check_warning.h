// One thing the setup would do silently with a line that its author may not expect.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CheckWarning {
  uint32_t line;        // 1-based line of the checked text
  std::string code;     // a short stable name ("field-too-long", "missing-entry")
  std::string message;  // one sentence: what is wrong and what the setup does with it
};

using WarningList = std::vector<CheckWarning>;
