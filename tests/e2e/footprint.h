// The machine's footprint: what a setup run leaves behind, as the difference between two
// snapshots of the registry and the files of the test prefix. A scenario compares that
// difference with the list of what the run should have made, so anything else a run changed
// shows up as a line no one expected.
#pragma once
#include <map>
#include <string>
#include <vector>

struct MachineSnapshot {
  // "HKLM\Software\Xelta\Z614" for a key; "HKLM\Software\Xelta\Z614\Installation|TargetFolder"
  // for a value, mapped to its type and data ("REG_SZ:C:\...", "REG_DWORD:29", "REG_BINARY:0a0b").
  std::map<std::string, std::string> registry;
  // "C:\Program Files\Xelta\Xelta Z614\Z614UI.exe" mapped to its size and last write time;
  // folders end with a backslash.
  std::map<std::string, std::string> files;
};

// Reads the registry trees and the drive the setup can touch. Subtrees that Wine or the test
// harness change on their own are left out (listed in footprint.cpp).
MachineSnapshot TakeSnapshot();

// One line per difference, sorted: "+ NAME" for something new (a value with " = DATA"),
// "- NAME" for something gone, "~ NAME" for a file rewritten or a value changed (" = NEW").
std::vector<std::string> Difference(const MachineSnapshot& before, const MachineSnapshot& after);

// A line of a difference with what depends on the moment or the build in general form: the
// temporary copies' names, and the Diagnostics checksums (held against the files instead).
std::string Normalized(const std::string& line);
// Every file the Diagnostics key of `now` names has the checksum recorded for it.
void ExpectDiagnosticsMatchFiles(const MachineSnapshot& now);
// `actual` against the reviewed footprint `name` of this Windows version in Z614_FOOTPRINT_DIR;
// what the run made is written beside its pictures for review.
void ExpectReviewedFootprint(const std::vector<std::string>& actual, const std::string& name);
// Difference(before, now) normalized, each temporary copy told once, against the reviewed
// footprint `name`, and the Diagnostics checksums against the files.
void ExpectFootprint(const MachineSnapshot& before, const std::string& name);
