#include "cli_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace standin::test {

CliDir::CliDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = base / ("standin-cli-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("no temporary folder");
}

CliDir::~CliDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string CliDir::Write(const std::string& name, const std::string& content) const {
  const std::filesystem::path file = std::filesystem::path(path_) / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
  return file.string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

CliResult RunStandin(const std::string& args, const std::string& input, const CliDir& dir) {
  const std::string in = dir.Write(".stdin", input);
  const std::string out = dir.path() + "/.stdout", err = dir.path() + "/.stderr";
  const std::string command =
      std::string(ORPHANEX_STANDIN_PATH) + " " + args + " <" + in + " >" + out + " 2>" + err;
  const int raw = std::system(command.c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

} // namespace standin::test
