// Runs a tool built in the same tree, as release engineers do, and keeps its output.
#pragma once
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tool_run {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// <tree>/tools/NAME/NAME, two levels above this test's folder <tree>/tests/native, unless the
// environment variable `override` names it.
inline std::string ToolPath(const char* name, const char* override) {
  if (const char* path = std::getenv(override)) return path;
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "../../tools" / name / name)
      .lexically_normal();
}

struct Run {
  int exitCode = -1;  // -1: the tool did not exit normally
  std::string out;
  std::string err;
};

// Runs `tool` with `args`, its output caught in files under `scratch`.
inline Run RunTool(const std::string& tool, const std::vector<std::string>& args,
                   const std::filesystem::path& scratch) {
  std::string command = "'" + tool + "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " >'" + (scratch / "out.txt").string() + "' 2>'" + (scratch / "err.txt").string() + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(scratch / "out.txt"), ReadFile(scratch / "err.txt")};
}

}  // namespace tool_run
