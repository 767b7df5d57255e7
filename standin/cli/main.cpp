// standin: the stand-in host's command line.
//
//   standin run SCENE.json SCRIPT [--module PATH]   (SCRIPT '-' reads stdin)
//   standin census SCENE.json... / clean ... / ui SCENE.json
//
// Exit status: 0 the script ran to its end, 1 a script line failed or the
// validator reported a breach, 2 bad arguments, an unreadable scene or
// script, or a module that cannot be loaded.
#include "core/breach.h"
#include "runtime/host.h"
#include "scene/world.h"
#include "script/script.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

constexpr int kBadArguments = 2;

// The module built beside this executable.
std::string DefaultModule() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec)
    return "Orphanex.so";
  return (self.parent_path() / "Orphanex.so").string();
}

bool ReadAll(std::istream& in, std::string& text) {
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad())
    return false;
  text = std::move(buffer).str();
  return true;
}

bool ReadScript(const std::string& path, std::string& text) {
  if (path == "-")
    return ReadAll(std::cin, text);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    return false;
  std::ifstream in(path, std::ios::binary);
  return in && ReadAll(in, text);
}

int Run(const std::string& scene, const std::string& script, const std::string& module) {
  std::string text;
  if (!ReadScript(script, text)) {
    std::cerr << "standin: cannot read script " << script << '\n';
    return kBadArguments;
  }
  standin::Host host;
  std::string error;
  if (!standin::LoadSceneFile(scene, error)) {
    std::cerr << "standin: cannot read scene " << scene << ": " << error << '\n';
    return kBadArguments;
  }
  if (!host.LoadModule(module)) {
    std::cerr << "standin: " << host.Error() << '\n';
    return kBadArguments;
  }
  int status = standin::RunScript(text, script == "-" ? "<stdin>" : script, std::cerr);
  host.Unload();
  if (const size_t breaches = standin::BreachCount(); breaches > 0 && status == 0) {
    std::cerr << "standin: " << breaches << (breaches == 1 ? " contract breach" : " contract breaches")
              << " reported\n";
    status = 1;
  }
  return status;
}

int NotYet(const char* name) {
  std::cerr << "standin " << name << ": not yet available\n";
  return kBadArguments;
}

} // namespace

int main(int argc, char** argv) {
  CLI::App app{"The stand-in host for the Orphanex plug-in module: loads the module and drives it "
               "through scripts, as a person would inside the host application."};
  app.require_subcommand(1);
  std::string module = DefaultModule();
  auto addModule = [&](CLI::App* command) {
    command->add_option("--module", module, "The module to load (default: the one beside standin)")
        ->capture_default_str();
  };

  std::string scene, script;
  CLI::App* run = app.add_subcommand("run", "Run a script against a scene");
  run->add_option("scene", scene, "Scene file (JSON)")->required();
  run->add_option("script", script, "Script file, or - for standard input")->required();
  addModule(run);

  std::vector<std::string> scenes;
  CLI::App* census = app.add_subcommand("census", "List the plug-in types each scene uses");
  census->add_option("scenes", scenes, "Scene files (JSON)")->required();
  addModule(census);

  CLI::App* clean = app.add_subcommand("clean", "Remove the instances of one plug-in and save the scene");
  clean->allow_extras();
  addModule(clean);

  CLI::App* ui = app.add_subcommand("ui", "Use the dialog interactively in the terminal");
  ui->add_option("scene", scene, "Scene file (JSON)")->required();
  addModule(ui);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
      return app.exit(e);
    std::cerr << "standin: " << e.what() << '\n';
    return kBadArguments;
  }

  if (run->parsed())
    return Run(scene, script, module);
  if (census->parsed())
    return NotYet("census");
  if (clean->parsed())
    return NotYet("clean");
  return NotYet("ui");
}
