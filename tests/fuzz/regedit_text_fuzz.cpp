// Feeds arbitrary bytes to the registry text import through a sink that checks what it is
// given: a key is open for every value, sizes fit their types, names are terminated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/regedit_text.h"

namespace {

class CheckingSink : public RegistrySink {
 public:
  int CreateKey(RegistryRoot, const char* subKey) override {
    if (open_) std::abort();
    open_ = std::strlen(subKey) % 7 != 3;  // refuse some keys to reach the stop
    return open_;
  }
  int SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) override {
    if (!open_ || std::strlen(name) > 255) std::abort();
    if (type == kRegDword && size != 4) std::abort();
    if (type == kRegBinary && size > kRegistryHexSize) std::abort();
    unsigned sum = 0;
    for (uint32_t i = 0; i < size; ++i) sum += data[i];  // every byte must be readable
    return static_cast<int>(sum | 1u);
  }
  void CloseKey() override {
    if (!open_) std::abort();
    open_ = false;
  }
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckingSink sink;
  RegistryTextResult result{};
  ImportRegistryText(reinterpret_cast<const char*>(data), size, &sink, &result, nullptr);
  if (sink.open()) std::abort();  // every key is closed at the end
  return 0;
}
