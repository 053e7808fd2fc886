// A growable array of owned element pointers, the list shape the setup uses for command-line
// arguments, script items and profile texts. Removing an element releases it (and whatever
// it owns) and moves the later pointers down; clearing releases every element.
#pragma once
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

template <typename T>
class OwnedList {
 public:
  size_t Count() const { return items_.size(); }
  T* At(size_t index) const { return index < items_.size() ? items_[index].get() : nullptr; }
  T* Append(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
  }
  void RemoveAt(size_t index) {
    if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  void Clear() {
    items_.clear();
    items_.shrink_to_fit();
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
};
