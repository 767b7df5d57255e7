// standin: the stand-in host's command line.
//
//   standin run SCENE.json SCRIPT        run a script (SCRIPT '-' reads stdin)
//   standin census SCENE.json...         plug-in types per scene, known or missing
//   standin clean SCENE.json --id N --type KIND [--scope S] [--keep-layer-shaders] -o OUT.json
//   standin ui SCENE.json                the dialog, interactive in the terminal
//
// Every sub-command takes --module PATH (default: Orphanex.so beside this
// executable). Exit status: see cli/commands.h.
#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <map>

namespace {

// The module built beside this executable.
std::string DefaultModule() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec)
    return "Orphanex.so";
  return (self.parent_path() / "Orphanex.so").string();
}

} // namespace

int main(int argc, char** argv) {
  using namespace standin::cli;
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
  CLI::App* census = app.add_subcommand(
      "census", "For each scene: every plug-in type it uses, its kind and count, and whether the scene's "
                "registry knows it (a missing plug-in)");
  census->add_option("scenes", scenes, "Scene files (JSON)")->required();
  addModule(census);

  CleanOptions clean;
  const std::map<std::string, int32_t> kinds = {{"tag", 0}, {"shader", 1}, {"object", 2}, {"videopost", 3}};
  CLI::App* cleaner = app.add_subcommand(
      "clean",
      "Remove every instance of one plug-in through the dialog, without questions, and save the scene");
  cleaner->add_option("scene", clean.scene, "Scene file (JSON)")->required();
  cleaner->add_option("--id", clean.id, "The plug-in's identifier")->required();
  cleaner->add_option("--type", clean.type, "Kind of instance: tag, shader, object or videopost")
      ->required()
      ->transform(CLI::CheckedTransformer(kinds));
  cleaner
      ->add_option("--scope", clean.scope,
                   "0 everything, 1 the selection with children, 2 the selection only")
      ->check(CLI::IsMember({0, 1, 2}))
      ->capture_default_str();
  cleaner->add_flag("--keep-layer-shaders", clean.keepLayerShaders,
                    "Do not remove shaders inside layer shaders");
  cleaner->add_option("-o,--output", clean.output, "Where to save the cleaned scene")->required();
  addModule(cleaner);

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
    return Census(scenes);
  if (cleaner->parsed()) {
    clean.module = module;
    return Clean(clean);
  }
  return Ui(scene, module);
}
