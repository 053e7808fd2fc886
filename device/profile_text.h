// One preloaded profile text: a REGEDIT4 text from an archive entry or a file
// beside the started executable, kept whole in memory until the script run applies it.
#pragma once
#include <cstdint>
#include <memory>

struct ProfileText {
  char name[260] = "";               // the archive entry name, or the full path of the file
  std::unique_ptr<uint8_t[]> data;   // the whole text as read, not terminated
  uint32_t size = 0;                 // bytes in data (0 when the entry could not be loaded)
};
