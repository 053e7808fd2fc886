// One thing the setup would do silently with a line that its author may not expect, and the
// list that collects them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct CheckWarning {
  uint32_t line;        // 1-based line of the checked text
  std::string code;     // a short stable name ("field-too-long", "missing-entry")
  std::string message;  // one sentence: what is wrong and what the setup does with it
};

// Identical warnings (same code and message) beyond this many are counted, not kept.
constexpr size_t kShownRepeats = 10;

// A warning said more often than kShownRepeats times: the first ones are kept, the rest
// counted here, so a text of millions of alike faults costs neither memory nor screens.
struct RepeatedWarning {
  std::string code;
  std::string message;
  size_t more;  // the occurrences beyond the kept ones
};

// The warnings of one check: the kept ones in a vector (sorted by the caller), the repeats
// beyond the limit as counts, in the order they were first seen.
class WarningList {
 public:
  void push_back(CheckWarning warning);
  void clear();

  using const_iterator = std::vector<CheckWarning>::const_iterator;
  const_iterator begin() const { return kept_.begin(); }
  const_iterator end() const { return kept_.end(); }
  std::vector<CheckWarning>::iterator begin() { return kept_.begin(); }
  std::vector<CheckWarning>::iterator end() { return kept_.end(); }
  const CheckWarning& operator[](size_t i) const { return kept_[i]; }
  size_t size() const { return kept_.size(); }
  bool empty() const { return kept_.empty(); }

  // Every warning given, the counted repeats included.
  size_t Total() const { return total_; }
  // The warnings that were cut short, with how many were not kept.
  std::vector<RepeatedWarning> Repeats() const;

 private:
  std::vector<CheckWarning> kept_;
  std::unordered_map<std::string, size_t> seen_;  // code, '\n', message -> times given
  std::vector<std::string> overflowed_;           // the keys beyond the limit, in order
  size_t total_ = 0;
};
