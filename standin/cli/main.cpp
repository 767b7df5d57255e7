// standin: the stand-in host's command line.
//
//   standin run SCENE.json SCRIPT       run a script (SCRIPT '-' reads stdin)
//   standin ui SCENE.json               the dialog, interactive in the terminal
//   standin census SCENE.json...        plug-in types per scene, known or missing
//   standin clean SCENE.json... --id N --type KIND (-o OUT | --out-dir DIR | --in-place | --dry-run)
//
// Every sub-command takes --module PATH (default: Orphanex.so beside this
// executable). Exit status: see cli/commands.h.
#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <exception>
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

// One line: CLI11's messages can span several.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n')
      c = ' ';
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text;
}

constexpr const char* kExitStatus =
    "Exit status: 0 done; 1 a script line failed, work was left undone, or the module broke the\n"
    "host's rules (a breach); 2 bad arguments, an unreadable scene, an unwritable output or an\n"
    "unusable module.";

} // namespace

int main(int argc, char** argv) {
  using namespace standin::cli;
  CLI::App app{"standin: the stand-in host for the Orphanex plug-in module. It loads the module and lets\n"
               "you use the plug-in's dialog from a script, interactively, or in bulk over scene files."};
  app.require_subcommand(1);
  app.footer(std::string(
                 "Start with:  standin census examples/studio.json   then   standin ui examples/studio.json\n"
                 "'standin SUB-COMMAND --help' shows each sub-command's options and examples.\n\n") +
             kExitStatus);
  std::string module = DefaultModule();
  auto addModule = [&](CLI::App* command) {
    command->add_option("--module", module, "The plug-in module to load (default: the one beside standin)")
        ->type_name("PATH")
        ->capture_default_str();
  };

  // ---- run ----------------------------------------------------------------------
  std::string scene, script;
  CLI::App* run = app.add_subcommand("run", "Run a script of dialog commands against a scene");
  run->add_option("scene", scene, "Scene file (JSON)")->type_name("SCENE.json")->required();
  run->add_option("script", script, "Script file, or - for standard input")->type_name("SCRIPT")->required();
  addModule(run);
  run->footer(
      "One command a line; # starts a comment:\n"
      "  open | close | set ID VALUE | press ID | menu ID | answer yes|no | choose N | undo | redo\n"
      "  select object PATH | select material NAME | deselect all | document new | document activate N\n"
      "  show dialog|list|scene|selection | save FILE | expect TEXT\n"
      "What the host prints goes to stdout. The first line that fails stops the run with\n"
      "'FILE:LINE: reason' on stderr; a script that does not parse runs nothing.\n"
      "\n"
      "Examples:\n"
      "  standin run examples/studio.json examples/walkthrough.script\n"
      "  printf 'open\\nset 1005 1057311\\npress 1002\\nshow list\\n' | standin run examples/studio.json -\n"
      "\n" +
      std::string(kExitStatus));

  // ---- ui -------------------------------------------------------------------------
  UiOptions uiOptions;
  CLI::App* ui = app.add_subcommand("ui", "Use the plug-in's dialog interactively in the terminal");
  ui->add_option("scene", uiOptions.scene, "Scene file (JSON)")->type_name("SCENE.json")->required();
  ui->add_flag("--line", uiOptions.lineMode, "Plain line mode even in a terminal");
  addModule(ui);
  ui->footer("In a terminal the dialog is drawn full screen, the focused control marked with '>':\n"
             "  Tab / Shift-Tab move   Left/Right change a choice   Enter or Space use the focused control\n"
             "  0-9 type the plug-in id   u undo   r redo   s save   v view the scene   : a script command\n"
             "  ? every key   q quit (asks when the scene has unsaved changes)\n"
             "Message boxes wait for Enter (questions: y or n). The status line names the script line that\n"
             "does what the focused control does. When standard input is not a terminal, or with --line,\n"
             "it reads one script command a line ('help' lists them, 'ids' shows the controls).\n"
             "\n"
             "Examples:\n"
             "  standin ui examples/studio.json\n"
             "  printf 'set 1005 1057311\\npress 1002\\nquit\\n' | standin ui examples/studio.json\n"
             "\n" +
             std::string(kExitStatus));

  // ---- census ---------------------------------------------------------------------
  std::vector<std::string> scenes;
  CensusFormat format = CensusFormat::Text;
  const std::map<std::string, CensusFormat> formats = {
      {"text", CensusFormat::Text}, {"json", CensusFormat::Json}, {"csv", CensusFormat::Csv}};
  CLI::App* census =
      app.add_subcommand("census", "List the plug-in types in scenes, the missing plug-ins first");
  census->add_option("scenes", scenes, "Scene files (JSON)")->type_name("SCENE.json")->required();
  census->add_option("--format", format, "Output: text (default), json or csv")
      ->type_name("text|json|csv")
      ->transform(CLI::CheckedTransformer(formats).description(""));
  addModule(census);
  census->footer(
      "For each scene: every type id of a tag, shader, object or videopost in it, its kind, how many\n"
      "there are, and whether the scene's plug-in registry knows it. UNKNOWN ids - plug-ins that are not\n"
      "installed - come first: those are the ids to clean. With several scenes a total per id follows,\n"
      "and a progress line per scene goes to stderr. A scene that cannot be read is named on stderr and\n"
      "the others go on. The module is not loaded.\n"
      "\n"
      "Formats (json and csv are stable):\n"
      "  json  {\"format\": \"standin-census/1\",\n"
      "         \"files\": [{\"file\", \"loaded\": true, \"types\": [{\"kind\", \"id\", \"count\", "
      "\"known\", "
      "\"name\"}]}\n"
      "                  | {\"file\", \"loaded\": false, \"error\"}],\n"
      "         \"totals\": [{\"kind\", \"id\", \"count\", \"files\", \"known\", \"unknownIn\", \"name\"}]}\n"
      "  csv   header record,file,kind,id,count,known,files,name; record 'type' per scene and type,\n"
      "        'total' per type over the scenes read (file empty); known true|false; CRLF line ends.\n"
      "  Order: unknown first, then tag, shader, object, videopost, then by id. 'name' is the registry's\n"
      "  name (null/empty when no registry knows it). A total is known when every scene's registry\n"
      "  knows it; unknownIn counts the scenes whose registry does not.\n"
      "\n"
      "Examples:\n"
      "  standin census examples/studio.json\n"
      "  standin census --format csv scenes/*.json > census.csv\n"
      "\n"
      "Exit status: 0 every scene was read, 2 otherwise (or bad arguments).");

  // ---- clean ----------------------------------------------------------------------
  CleanOptions clean;
  const std::map<std::string, int32_t> kinds = {{"tag", 0}, {"shader", 1}, {"object", 2}, {"videopost", 3}};
  CLI::App* cleaner = app.add_subcommand("clean", "Remove every instance of one plug-in from scenes");
  cleaner->add_option("scenes", clean.scenes, "Scene files (JSON)")->type_name("SCENE.json")->required();
  cleaner->add_option("--id", clean.id, "The plug-in's identifier (see 'standin census')")
      ->type_name("N")
      ->required();
  cleaner->add_option("--type", clean.type, "Kind of instance")
      ->type_name("tag|shader|object|videopost")
      ->required()
      ->transform(CLI::CheckedTransformer(kinds).description(""));
  cleaner
      ->add_option("--scope", clean.scope,
                   "0 the whole scene (default), 1 the selected objects and their children, 2 the selected "
                   "objects (or materials) only")
      ->type_name("0|1|2")
      ->check(CLI::IsMember({0, 1, 2}).description(""));
  cleaner->add_flag("--keep-layer-shaders", clean.keepLayerShaders,
                    "Shaders: keep those inside layer shaders (the dialog's check box)");
  CLI::Option* output =
      cleaner->add_option("-o,--output", clean.output, "Write the cleaned scene to OUT (one scene)")
          ->type_name("OUT.json");
  cleaner->add_option("--out-dir", clean.outDir, "Write each cleaned scene under its own name into DIR")
      ->type_name("DIR")
      ->excludes(output);
  cleaner->add_flag("--in-place", clean.inPlace, "Replace each scene, keeping the original as SCENE.bak");
  cleaner->add_flag("-n,--dry-run", clean.dryRun, "Report what would be removed; write nothing");
  cleaner->add_flag("-v,--verbose", clean.verbose,
                    "Show all the host prints, not only the module's messages");
  addModule(cleaner);
  cleaner->footer(
      "Per scene: one removal run through the plug-in's own dialog (Remove Plugin, the warning off),\n"
      "a report of what was removed per kind, and a re-scan that says whether any instance of the\n"
      "id is left (and why: --keep-layer-shaders, --scope). Outputs are written to a temporary\n"
      "file and renamed, so none is ever half-written; an input is never overwritten without\n"
      "--in-place. A scene that cannot be read is named on stderr and skipped; the others go on.\n"
      "\n"
      "Examples:\n"
      "  standin clean examples/studio.json --id 1057311 --type tag -o studio-clean.json\n"
      "  standin clean examples/studio.json --id 1060007 --type shader --keep-layer-shaders -n\n"
      "  standin clean scenes/*.json --id 1036221 --type videopost --out-dir cleaned/\n"
      "  standin clean shot010.json --id 1049012 --type object --scope 2 --in-place\n"
      "\n" +
      std::string(kExitStatus));

  try {
    try {
      app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
      if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
        return app.exit(e);
      std::string name;
      for (const CLI::App* sub : {run, ui, census, cleaner})
        if (sub->parsed())
          name = " " + sub->get_name();
      std::cerr << "standin" << name << ": " << OneLine(e.what()) << " (see standin" << name << " --help)\n";
      return kBadArguments;
    }
    if (run->parsed())
      return Run(scene, script, module);
    if (census->parsed())
      return Census(scenes, format);
    if (cleaner->parsed()) {
      clean.module = module;
      return Clean(clean);
    }
    uiOptions.module = module;
    return Ui(uiOptions);
  } catch (const std::exception& e) {
    std::cerr << "standin: " << OneLine(e.what()) << '\n';
    return kBadArguments;
  }
}
