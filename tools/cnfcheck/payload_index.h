// The entries a payload holds, read from the payload folder before packing or from the
// archive appended to a packed setup executable, so that a script's archive references can be
// checked against what the setup will find.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct PayloadEntry {
  std::string name;
  uint64_t size;
};

class PayloadIndex {
 public:
  // Reads the regular files of a folder (the packer packs exactly those) or the directory of
  // a packed executable. Returns 0 with a message naming the path when neither can be read.
  int Load(const std::string& path, std::string* error);

  void Add(const std::string& name, uint64_t size);

  // The entry whose name equals name without regard to case, as the setup's lookup finds it
  // (the first of several); nullptr when there is none. A hash lookup: a script of many lines
  // against a payload of many entries costs time in proportion to the lines alone.
  const PayloadEntry* Find(const char* name) const;

  // Whether an entry's name matches the pattern as the shell matches file names.
  bool AnyMatches(const char* pattern) const;

  size_t Count() const { return entries_.size(); }

 private:
  int LoadFolder(const std::string& path, std::string* error);
  int LoadPackedFile(const std::string& path, std::string* error);

  std::vector<PayloadEntry> entries_;
  std::unordered_map<std::string, size_t> byName_;  // the name in upper case -> first entry
};
