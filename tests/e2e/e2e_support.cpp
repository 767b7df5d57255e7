#include "e2e/e2e_support.h"

#include "core/breach.h"
#include "core/output.h"
#include "scene/world.h"
#include "script/script.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace e2e {
namespace fs = std::filesystem;

namespace {

int32_t ApiOf(const std::string& flavour) {
  return flavour == "mac" ? OX_API_VERSION_MAC : OX_API_VERSION_WIN;
}

// Single quotes for /bin/sh; the paths here are ours but may hold anything.
std::string ShellQuote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

} // namespace

std::vector<Flavour> BothFlavours() {
  return {{ORPHANEX_MODULE_FLAVOUR, ORPHANEX_MODULE_PATH, ApiOf(ORPHANEX_MODULE_FLAVOUR)},
          {ORPHANEX_OTHER_MODULE_FLAVOUR, ORPHANEX_OTHER_MODULE_PATH, ApiOf(ORPHANEX_OTHER_MODULE_FLAVOUR)}};
}

std::string MakePluginFolder(const TempDir& dir, const Flavour& flavour, Layout layout) {
  const fs::path built = fs::path(flavour.module).parent_path();
  const fs::path folder = dir.path() / "Orphanex";
  fs::create_directories(folder);
  const fs::path module = folder / fs::path(flavour.module).filename();
  fs::copy_file(flavour.module, module, fs::copy_options::overwrite_existing);
  if (layout == Layout::NoResources)
    return module.string();
  fs::create_directories(folder / "res");
  fs::copy_file(built / "res/strings.str", folder / "res/strings.str", fs::copy_options::overwrite_existing);
  fs::copy_file(built / "Orphanex.pdf", folder / "Orphanex.pdf", fs::copy_options::overwrite_existing);
  if (layout == Layout::Complete)
    fs::copy_file(built / "res/Orphanex32x32.png", folder / "res/Orphanex32x32.png",
                  fs::copy_options::overwrite_existing);
  else if (layout == Layout::CorruptIcon)
    dir.Write("Orphanex/res/Orphanex32x32.png", "\x89PNG\r\n\x1a\n this is not an image");
  return module.string();
}

RunResult RunCommand(const std::string& command, const std::string& cwd) {
  const fs::path io =
      fs::temp_directory_path() / ("orphanex-e2e-io-" + std::to_string(std::random_device()()));
  const std::string out = io.string() + ".out", err = io.string() + ".err";
  const std::string line =
      "cd " + ShellQuote(cwd) + " && " + command + " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int raw = std::system(line.c_str());
  RunResult result;
  result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  std::error_code ec;
  fs::remove(out, ec);
  fs::remove(err, ec);
  return result;
}

RunResult RunScript(const std::string& scene, const std::string& script, const std::string& module,
                    const std::string& cwd) {
  const std::string input = (fs::path(cwd) / ".script").string();
  std::ofstream(input, std::ios::binary) << script;
  return RunCommand(ShellQuote(ORPHANEX_STANDIN_PATH) + " run " + ShellQuote(scene) + " - --module " +
                        ShellQuote(module) + " <" + ShellQuote(input),
                    cwd);
}

std::string SceneFile(const std::string& name) {
  return (fs::path(ORPHANEX_SCENES_DIR) / name).string();
}

Session::Session() {
  standin::ResetBreaches();
  standin::SetPrintSink([this](std::string_view line) { printed.emplace_back(line); });
}

Session::~Session() {
  host.Unload();
  standin::SetPrintSink({});
}

bool Session::Start(const std::string& scene, const std::string& module,
                    const standin::LoadOptions& options) {
  if (!standin::LoadSceneFile(scene, error))
    return false;
  if (!host.LoadModule(module, options)) {
    error = host.Error();
    return false;
  }
  return true;
}

int Session::Run(const std::string& script) {
  std::ostringstream errors;
  const int status = standin::RunScript(script, "<script>", errors);
  error = errors.str();
  return status;
}

bool Session::Printed(const std::string& line) const {
  return std::find(printed.begin(), printed.end(), line) != printed.end();
}

} // namespace e2e
