// The key scan every registry clean-up uses: walk the subkeys or the values of one key and
// delete those a test picks out.
#pragma once
#include <windows.h>

// Names in a scan are read into buffers of 259 characters; a value's data into 259 bytes.
constexpr DWORD kScanNameSize = 259;
constexpr DWORD kScanDataSize = 259;

// Room for the key's path, "\" and a subkey's name.
constexpr size_t kScanPathSize = 2 * MAX_PATH;

enum class ScanItems { kSubkeys, kValues };

// What the test sees of one item.
struct ScanItem {
  const char* name;  // the subkey's or the value's name
  const char* path;  // subkeys: the scanned key, "\" and the name; values: the scanned key
  const char* data;  // values: the data as read, zero-terminated; subkeys: ""
};

// Returns true when the item is to be deleted. A value the test cannot read is a miss.
using ScanTest = bool (*)(const ScanItem& item, const void* context);

// Scans the subkeys or the values of root\keyPath (skipped when the key does not open) and
// deletes each item the test picks out: a subkey with its whole tree, a value alone. Returns
// the number of items deleted.
int ScanKey(HKEY root, const char* keyPath, ScanItems items, ScanTest test, const void* context);

// The tests the clean-ups scan with. Texts are compared by containment without regard to case.
struct ScanMatch {
  const char* subkey;     // the value is read from this subkey of the item; nullptr: the item
  const char* valueName;  // nullptr: the item's name is tested instead of a value
  const char* text;       // the text the name or the value must contain
};

// Subkeys: the name, or the value valueName of the item (or of its subkey), contains the text.
bool SubkeyMatches(const ScanItem& item, const void* match);
