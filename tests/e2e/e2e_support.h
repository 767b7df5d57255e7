// The plug-in end to end: the built module of either flavour, copied into a
// plug-in folder of its own, loaded by the `standin` executable or by the
// stand-in in-process, and driven through scripts as a person drives it.
#pragma once

#include "host/ox_abi.h"
#include "runtime/host.h"
#include "support/files.h"

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

struct Flavour {
  const char* name; // "win" or "mac"
  const char* module;
  int32_t api; // the API version the flavour declares
};
inline void PrintTo(const Flavour& flavour, std::ostream* os) {
  *os << flavour.name;
}
// The configured flavour first, then the other one.
std::vector<Flavour> BothFlavours();

// Scratch folders are named orphanex-e2e-N.
class TempDir : public test_support::TempDir {
public:
  TempDir() : test_support::TempDir("orphanex-e2e-") {}
};

using test_support::ReadFile;

// What the plug-in folder holds beside the module file.
enum class Layout {
  Complete,    // res/strings.str, res/Orphanex32x32.png, Orphanex.pdf
  NoResources, // the module file alone
  NoIcon,      // res/strings.str and the help file, no icon
  CorruptIcon, // the icon file is not a PNG
};

// Copies `flavour`'s built module into `<dir>/Orphanex/` with the files of
// `layout`, taken from the module's build folder. Answers the module's path.
std::string MakePluginFolder(const TempDir& dir, const Flavour& flavour, Layout layout);

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `standin run SCENE - --module MODULE` in `cwd` with `script` on its
// standard input (so its lines are labelled `<stdin>:N`).
RunResult RunScript(const std::string& scene, const std::string& script, const std::string& module,
                    const std::string& cwd);

// Runs a shell command line in `cwd`, capturing both streams.
RunResult RunCommand(const std::string& command, const std::string& cwd);

std::string SceneFile(const std::string& name); // tests/scenes/NAME

// The stand-in in-process: a fresh host (every subsystem empty) whose printed
// lines are collected. Start loads the scene, then the module, as the
// command line does.
class Session {
public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // False with `error` set when the scene or the module cannot be loaded.
  bool Start(const std::string& scene, const std::string& module, const standin::LoadOptions& options = {});
  // Runs script lines as `standin run` does; answers its exit status (0 or 1).
  int Run(const std::string& script);
  bool Printed(const std::string& line) const;

  standin::Host host;
  std::vector<std::string> printed;
  std::string error;
};

} // namespace e2e
