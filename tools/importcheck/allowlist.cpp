#include "tools/importcheck/allowlist.h"

#include <cctype>
#include <sstream>

int ParseImportAllowlist(const std::string& text, ImportAllowlist* list, std::string* error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream fields(line);
    std::string library, function, documentation;
    if (!(fields >> library) || library[0] == '#') continue;
    std::getline(fields >> function >> std::ws, documentation);
    if (function.empty() || documentation.empty()) {
      *error = "line " + std::to_string(number) + ": an entry is LIBRARY FUNCTION and where it is documented";
      return 0;
    }
    for (char& c : library) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (function == "[static]") {
      list->staticLibraries.insert(library);
    } else if (function == "[run-time]") {
      list->runTimeLibraries.insert(library);
    } else {
      list->functions.insert({library, function});
    }
  }
  return 1;
}
