// Starts a program as the user would and follows every process it starts, the way a debugger
// does: the command line each process was given, and how it ended. Scenarios use it to see the
// temporary copy the setup launches without any switch in the product.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TreeProcess {
  DWORD id = 0;
  std::string commandLine;
  DWORD exitCode = STILL_ACTIVE;
};

class ProcessTree {
 public:
  // Called between debug events (about every 50 ms) while the tree runs, e.g. to answer a
  // message box. Returning false stops following the tree.
  using Tick = std::function<bool()>;

  // Runs commandLine and follows its tree until every process ended or timeoutMs passed.
  // Returns true when all ended in time.
  bool Run(const std::string& commandLine, DWORD timeoutMs, const Tick& tick = nullptr);

  const std::vector<TreeProcess>& Processes() const { return processes_; }
  bool Contains(DWORD processId) const;

 private:
  std::vector<TreeProcess> processes_;
};

// The command line of a running process, read from its process parameters.
std::string ReadProcessCommandLine(HANDLE process);
