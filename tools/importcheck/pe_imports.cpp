#include "tools/importcheck/pe_imports.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

struct Section {
  uint32_t rva, virtualSize, fileOffset, fileSize;
};

// The bytes of an image, addressed by offset in the file or by relative virtual address.
class ImageView {
 public:
  explicit ImageView(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  bool Read32(size_t offset, uint32_t* value) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 4) return false;
    *value = bytes_[offset] | bytes_[offset + 1] << 8 | bytes_[offset + 2] << 16 |
             static_cast<uint32_t>(bytes_[offset + 3]) << 24;
    return true;
  }
  uint32_t Get16(size_t offset) const {
    return offset + 2 <= bytes_.size() ? bytes_[offset] | bytes_[offset + 1] << 8 : 0;
  }
  uint32_t Get32(size_t offset) const {
    uint32_t value = 0;
    return Read32(offset, &value) ? value : 0;
  }
  uint64_t GetThunk(size_t offset, bool wide) const {
    return wide ? Get32(offset) | static_cast<uint64_t>(Get32(offset + 4)) << 32 : Get32(offset);
  }

  // The file offset of rva, or 0 when no section's file data holds it.
  size_t OffsetOf(uint64_t rva) const {
    for (const Section& s : sections)
      if (rva >= s.rva && rva - s.rva < std::min(s.virtualSize, s.fileSize)) return s.fileOffset + (rva - s.rva);
    return 0;
  }
  // A NUL-terminated text of letters, digits and "_.-@?$" at rva; "" when there is none.
  std::string NameAt(uint64_t rva) const {
    size_t offset = OffsetOf(rva);
    std::string name;
    for (; offset != 0 && offset < bytes_.size() && bytes_[offset] != 0; ++offset) {
      const char c = static_cast<char>(bytes_[offset]);
      if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr("_.-@?$", c)) return "";
      name += c;
    }
    return offset < bytes_.size() ? name : "";
  }

  std::vector<Section> sections;

 private:
  const std::vector<uint8_t>& bytes_;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The functions of one import name table, in order; false when an entry cannot be read.
bool ReadNameTable(const ImageView& image, uint32_t tableRva, bool wide, std::vector<std::string>* names) {
  const uint64_t ordinalFlag = wide ? 1ull << 63 : 1ull << 31;
  for (size_t offset = image.OffsetOf(tableRva); offset != 0; offset += wide ? 8 : 4) {
    const uint64_t thunk = image.GetThunk(offset, wide);
    if (thunk == 0) return !names->empty();
    std::string name = (thunk & ordinalFlag) ? "#" + std::to_string(thunk & 0xFFFF)
                                             : image.NameAt((thunk & 0x7FFFFFFF) + 2);
    if (name.empty()) return false;
    names->push_back(name);
  }
  return false;
}

void AddImports(const std::string& library, const std::vector<std::string>& names, bool runTime,
                ImageImports* result) {
  for (const std::string& name : names) result->imports.push_back({Lower(library), name, runTime});
}

// GNU ld leaves the delay-import directory of the header empty, so the descriptors dlltool's
// delay-import libraries put into the image are found by their shape: attributes 1 (addresses
// as RVAs), a library name ending in ".dll", a module slot, an address table and a name table
// of readable entries, no bound or unload tables and no time stamp.
void ScanDelayImports(const ImageView& image, bool wide, ImageImports* result) {
  for (const Section& s : image.sections) {
    for (uint32_t at = 0; at + 32 <= std::min(s.virtualSize, s.fileSize); at += 4) {
      const size_t offset = s.fileOffset + at;
      if (image.Get32(offset) != 1 || image.Get32(offset + 20) != 0 || image.Get32(offset + 24) != 0 ||
          image.Get32(offset + 28) != 0)
        continue;
      const std::string library = image.NameAt(image.Get32(offset + 4));
      const uint32_t moduleRva = image.Get32(offset + 8), tableRva = image.Get32(offset + 16);
      if (library.size() < 5 || Lower(library.substr(library.size() - 4)) != ".dll" || moduleRva == 0 ||
          image.Get32(offset + 12) == 0)
        continue;
      std::vector<std::string> names;
      if (ReadNameTable(image, tableRva, wide, &names)) AddImports(library, names, true, result);
    }
  }
}

}  // namespace

bool IsWindowsImage(const std::vector<uint8_t>& bytes) {
  ImageView image(bytes);
  return image.Get16(0) == 0x5A4D && image.Get32(image.Get32(0x3C)) == 0x00004550;
}

int ReadImageImports(const std::vector<uint8_t>& bytes, ImageImports* result, std::string* error) {
  *result = ImageImports();
  if (!IsWindowsImage(bytes)) return *error = "not a Windows image", 0;
  ImageView image(bytes);
  const size_t fileHeader = image.Get32(0x3C) + 4;
  const size_t optional = fileHeader + 20;
  const uint32_t magic = image.Get16(optional);
  if (magic != 0x10B && magic != 0x20B) return *error = "unknown optional header", 0;
  const bool wide = magic == 0x20B;
  result->header = {image.Get16(optional + 40), image.Get16(optional + 42), image.Get16(optional + 48),
                    image.Get16(optional + 50)};
  const size_t sectionTable = optional + image.Get16(fileHeader + 16);
  for (uint32_t i = 0; i < image.Get16(fileHeader + 2); ++i) {
    const size_t at = sectionTable + 40 * i;
    image.sections.push_back({image.Get32(at + 12), image.Get32(at + 8), image.Get32(at + 20), image.Get32(at + 16)});
  }
  const size_t directories = optional + (wide ? 112 : 96);
  const uint32_t importRva = image.Get32(directories + 8);
  for (size_t d = importRva ? image.OffsetOf(importRva) : 0; d != 0 && image.Get32(d + 12) != 0; d += 20) {
    const std::string library = image.NameAt(image.Get32(d + 12));
    std::vector<std::string> names;
    const uint32_t table = image.Get32(d) ? image.Get32(d) : image.Get32(d + 16);
    if (library.empty() || !ReadNameTable(image, table, wide, &names))
      return *error = "unreadable import descriptor", 0;
    AddImports(library, names, false, result);
  }
  ScanDelayImports(image, wide, result);
  return 1;
}
