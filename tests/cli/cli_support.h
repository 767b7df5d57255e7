// Running the `standin` executable from a test: its arguments as a vector (no
// shell), standard input from a string, and what it wrote and answered; a
// scratch folder; the module installed in it as a user would have it.
#pragma once

#include "support/files.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace standin::test {

class CliDir {
public:
  CliDir() : dir_("standin-cli-"), path_(dir_.path().string()) {}
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& content) const {
    return dir_.Write(name, content);
  }
  // Every file below the folder (relative paths), the runner's own files aside.
  std::set<std::string> Files() const;
  // The module with its resources, as installed: answers the module's path.
  std::string InstallModule() const;

private:
  test_support::TempDir dir_;
  std::string path_;
};

struct CliResult {
  int status = -1; // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
};

// The argument vector that starts the `standin` executable with `args`.
class StandinArgv {
public:
  explicit StandinArgv(const std::vector<std::string>& args);
  StandinArgv(const StandinArgv&) = delete;
  StandinArgv& operator=(const StandinArgv&) = delete;
  // Null-terminated, as execv and posix_spawn take it.
  char** data() { return pointers_.data(); }

private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

CliResult RunStandin(const std::vector<std::string>& args, const CliDir& dir, const std::string& input = "");

using test_support::ReadFile;
size_t Lines(const std::string& text);

// A scene file (JSON) of `depth` nested objects "N" (type 5140) above one
// object "Leaf" carrying one tag "T" (type 1057311).
std::string DeepChainScene(size_t depth);

// The bundled examples.
std::string Example(const std::string& name);

} // namespace standin::test
