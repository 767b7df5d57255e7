#include "cli_support.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace standin::test {

namespace fs = std::filesystem;

namespace {
const std::set<std::string> kRunnerFiles = {".stdin", ".stdout", ".stderr"};
}

std::set<std::string> CliDir::Files() const {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(path_)) {
    const std::string name = fs::relative(entry.path(), path_).string();
    if (!entry.is_directory() && kRunnerFiles.count(name) == 0)
      files.insert(name);
  }
  return files;
}

std::string CliDir::InstallModule() const {
  const fs::path folder = fs::path(path_) / "plugins" / "Orphanex";
  fs::create_directories(folder);
  fs::copy_file(ORPHANEX_MODULE_PATH, folder / "Orphanex.so", fs::copy_options::overwrite_existing);
  fs::copy(std::string(ORPHANEX_SOURCE_DIR) + "/res", folder / "res",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  return (folder / "Orphanex.so").string();
}

size_t Lines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string DeepChainScene(size_t depth) {
  std::string deep = "{\"objects\": [";
  for (size_t i = 0; i < depth; ++i)
    deep += "{\"name\":\"N\",\"type\":5140,\"children\":[";
  deep += "{\"name\":\"Leaf\",\"type\":5140,\"tags\":[{\"name\":\"T\",\"type\":1057311}]}";
  for (size_t i = 0; i < depth; ++i)
    deep += "]}";
  deep += "]}";
  return deep;
}

std::string Example(const std::string& name) {
  return std::string(ORPHANEX_SOURCE_DIR) + "/examples/" + name;
}

StandinArgv::StandinArgv(const std::vector<std::string>& args) : strings_{ORPHANEX_STANDIN_PATH} {
  strings_.insert(strings_.end(), args.begin(), args.end());
  for (std::string& arg : strings_)
    pointers_.push_back(arg.data());
  pointers_.push_back(nullptr);
}

CliResult RunStandin(const std::vector<std::string>& args, const CliDir& dir, const std::string& input) {
  const std::string in = dir.Write(".stdin", input);
  const std::string out = dir / ".stdout", err = dir / ".stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  StandinArgv argv(args);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, ORPHANEX_STANDIN_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  CliResult result;
  if (spawned != 0)
    return result;
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

} // namespace standin::test
