// Running the `standin` executable from a test: arguments through the shell,
// standard input from a string, and what it wrote and answered.
#pragma once

#include <string>

namespace standin::test {

class CliDir {
public:
  CliDir();
  ~CliDir();
  CliDir(const CliDir&) = delete;
  CliDir& operator=(const CliDir&) = delete;
  const std::string& path() const { return path_; }
  std::string Write(const std::string& name, const std::string& content) const;

private:
  std::string path_;
};

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// `args` go through /bin/sh unquoted: keep them free of shell characters.
CliResult RunStandin(const std::string& args, const std::string& input, const CliDir& dir);

std::string ReadFile(const std::string& path);

} // namespace standin::test
