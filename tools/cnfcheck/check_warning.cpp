#include "tools/cnfcheck/check_warning.h"

#include <utility>

void WarningList::push_back(CheckWarning warning) {
  ++total_;
  const size_t times = ++seen_[warning.code + '\n' + warning.message];
  if (times <= kShownRepeats) {
    kept_.push_back(std::move(warning));
  } else if (times == kShownRepeats + 1) {
    overflowed_.push_back(warning.code + '\n' + warning.message);
  }
}

void WarningList::clear() {
  kept_.clear();
  seen_.clear();
  overflowed_.clear();
  total_ = 0;
}

std::vector<RepeatedWarning> WarningList::Repeats() const {
  std::vector<RepeatedWarning> repeats;
  for (const std::string& key : overflowed_) {
    const size_t split = key.find('\n');
    repeats.push_back(RepeatedWarning{key.substr(0, split), key.substr(split + 1), seen_.at(key) - kShownRepeats});
  }
  return repeats;
}
