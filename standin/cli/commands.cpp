#include "cli/commands.h"

#include "core/breach.h"
#include "core/output.h"
#include "runtime/host.h"
#include "runtime/runtime.h"
#include "scene/world.h"
#include "script/script.h"
#include "ui/gui.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace standin::cli {
namespace {

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

bool LoadScene(const std::string& scene, const char* command) {
  std::string error;
  if (LoadSceneFile(scene, error))
    return true;
  std::cerr << "standin" << command << ": cannot read scene " << scene << ": " << error << '\n';
  return false;
}

bool LoadModule(Host& host, const std::string& module, const char* command) {
  if (host.LoadModule(module))
    return true;
  std::cerr << "standin" << command << ": " << host.Error() << '\n';
  return false;
}

// A run that ended without a failed line still fails on a breach.
int WithBreaches(int status) {
  const size_t breaches = BreachCount();
  if (breaches == 0 || status != kDone)
    return status;
  std::cerr << "standin: " << breaches << (breaches == 1 ? " contract breach" : " contract breaches")
            << " reported\n";
  return kFailed;
}

// What the host prints goes to stderr while stdout carries a command's results.
class PrintsToStderr {
public:
  PrintsToStderr() {
    SetPrintSink([](std::string_view line) { std::cerr << line << '\n'; });
  }
  ~PrintsToStderr() { SetPrintSink({}); }
  PrintsToStderr(const PrintsToStderr&) = delete;
  PrintsToStderr& operator=(const PrintsToStderr&) = delete;
};

CensusKind KindOf(int32_t type) {
  static constexpr CensusKind kKinds[] = {CensusKind::Tag, CensusKind::Shader, CensusKind::Object,
                                          CensusKind::Videopost};
  return kKinds[type];
}

size_t CountOf(int32_t id, CensusKind kind) {
  for (const CensusEntry& entry : standin::Census())
    if (entry.typeId == id && entry.kind == kind)
      return entry.count;
  return 0;
}

// Element ids of the dialog, as the script language uses them.
constexpr int32_t kProcess = 1002;
constexpr int32_t kPluginId = 1005;
constexpr int32_t kPluginType = 5006;
constexpr int32_t kScope = 5007;
constexpr int32_t kAction = 5008;
constexpr int32_t kWarn = 5009;
constexpr int32_t kKeepLayerShaders = 5010;
constexpr int32_t kActionRemove = 2;

} // namespace

int Run(const std::string& scene, const std::string& script, const std::string& module) {
  std::string text;
  if (!ReadScript(script, text)) {
    std::cerr << "standin run: cannot read script " << script << '\n';
    return kBadArguments;
  }
  Host host;
  if (!LoadScene(scene, " run") || !LoadModule(host, module, " run"))
    return kBadArguments;
  const int status = RunScript(text, script == "-" ? "<stdin>" : script, std::cerr);
  host.Unload();
  return WithBreaches(status);
}

int Census(const std::vector<std::string>& scenes) {
  int status = kDone;
  size_t done = 0;
  for (const std::string& scene : scenes) {
    ++done;
    if (scenes.size() > 1)
      std::cerr << "census: [" << done << "/" << scenes.size() << "] " << scene << '\n';
    Host host; // an empty host per file: each scene brings its own registry
    if (!LoadScene(scene, " census")) {
      status = kBadArguments;
      continue;
    }
    const std::vector<CensusEntry> entries = standin::Census();
    std::cout << scene << '\n';
    std::string missing;
    for (const CensusEntry& entry : entries) {
      std::cout << "  " << std::left << std::setw(10) << CensusKindName(entry.kind) << std::right
                << std::setw(11) << entry.typeId << std::setw(8) << entry.count << "  "
                << (entry.known ? "known" : "missing") << '\n';
      if (!entry.known)
        missing += (missing.empty() ? "" : ", ") + std::to_string(entry.typeId) + " (" +
                   CensusKindName(entry.kind) + ")";
    }
    std::cout << "  missing plug-ins: " << (missing.empty() ? "none" : missing) << '\n';
  }
  return status;
}

int Clean(const CleanOptions& o) {
  // The scopes the dialog offers for each plug-in type.
  static const std::vector<int32_t> kScopes[] = {{0, 1, 2}, {0, 2}, {0, 1, 2}, {0}};
  if (o.type < 0 || o.type > 3 ||
      std::find(kScopes[o.type].begin(), kScopes[o.type].end(), o.scope) == kScopes[o.type].end()) {
    std::cerr << "standin clean: --scope " << o.scope << " is not offered for this --type\n";
    return kBadArguments;
  }
  PrintsToStderr quiet;
  Host host;
  if (!LoadScene(o.scene, " clean") || !LoadModule(host, o.module, " clean"))
    return kBadArguments;
  const CensusKind kind = KindOf(o.type);
  const size_t before = CountOf(o.id, kind);

  // The same path a person takes: open the dialog, choose, press Process.
  std::string error;
  auto step = [&](std::string line) {
    std::optional<ScriptCommand> command;
    if (!ParseScriptLine(line, command, error) || !command || !RunScriptCommand(*command, error)) {
      error = line + ": " + error;
      return false;
    }
    return true;
  };
  const std::vector<std::string> steps = {
      "open",
      "set " + std::to_string(kAction) + " " + std::to_string(kActionRemove),
      "set " + std::to_string(kPluginType) + " " + std::to_string(o.type),
      "set " + std::to_string(kScope) + " " + std::to_string(o.scope),
      "set " + std::to_string(kWarn) + " 0",
      "set " + std::to_string(kKeepLayerShaders) + " " + (o.keepLayerShaders ? "1" : "0"),
      "set " + std::to_string(kPluginId) + " " + std::to_string(o.id),
      "press " + std::to_string(kProcess),
  };
  for (const std::string& line : steps) {
    const bool ok = step(line);
    CheckUndoBrackets();
    if (!ok) {
      std::cerr << "standin clean: " << error << '\n';
      return kFailed;
    }
  }
  const size_t after = CountOf(o.id, kind);
  std::string why;
  if (!SaveSceneFile(o.output, why)) {
    std::cerr << "standin clean: cannot write " << o.output << ": " << why << '\n';
    return kBadArguments;
  }
  host.Unload();
  std::cout << "removed " << (before - std::min(before, after)) << " of " << before << ' '
            << CensusKindName(kind) << (before == 1 ? "" : "s") << " of plug-in " << o.id;
  if (after > 0)
    std::cout << " (" << after << " left)";
  std::cout << "; saved " << o.output << '\n';
  return WithBreaches(kDone);
}

int Ui(const std::string& scene, const std::string& module) {
  Host host;
  if (!LoadScene(scene, " ui") || !LoadModule(host, module, " ui"))
    return kBadArguments;
  const bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
  // Questions are put to the person at once instead of being queued.
  SetAnswerProvider([](std::string_view text) {
    std::cout << "? " << text << " [y/N] " << std::flush;
    std::string reply;
    std::getline(std::cin, reply);
    return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
  });
  auto draw = [&] {
    if (terminal)
      std::cout << "\033[H\033[2J";
    if (!HasOpenDialog()) {
      std::cout << "(the dialog is closed: 'open' opens it, 'quit' ends)\n";
      return;
    }
    for (const std::string& line : DialogLines())
      std::cout << line << '\n';
  };
  auto help = [] {
    std::cout << "Commands: the script language (open, set ID VALUE, press ID, menu ID, choose N, close,\n"
                 "undo, redo, select object PATH, select material NAME, deselect all, document new,\n"
                 "document activate N, show dialog|list|scene|selection, save FILE),\n"
                 "plus: ids (the dialog's element ids and entries), help, quit.\n";
  };
  auto ids = [] {
    // A field's label is the static text added just before it.
    std::string label;
    for (const ElementInfo& e : OpenDialogElements()) {
      if (e.kind == OX_ELEM_STATIC) {
        label = e.text;
        continue;
      }
      const std::string name = e.kind == OX_ELEM_CUSTOM ? "results list" : !e.text.empty() ? e.text : label;
      label.clear();
      std::cout << std::setw(6) << e.id << "  " << name << (e.enabled ? "" : " (disabled)");
      if (e.kind != OX_ELEM_BUTTON && e.kind != OX_ELEM_CUSTOM)
        std::cout << " = " << e.value;
      for (const auto& [entry, text] : e.entries)
        std::cout << "  [" << entry << ": " << text << "]";
      std::cout << '\n';
    }
    for (const auto& [id, text] : OpenDialogMenu())
      std::cout << std::setw(6) << id << "  menu: " << text << '\n';
  };

  std::string error;
  std::optional<ScriptCommand> command;
  if (ParseScriptLine("open", command, error) && command)
    RunScriptCommand(*command, error);
  draw();
  help();
  std::string line;
  while (true) {
    std::cout << "> " << std::flush;
    if (!std::getline(std::cin, line))
      break;
    std::string_view word = line;
    while (!word.empty() && (word.front() == ' ' || word.front() == '\t'))
      word.remove_prefix(1);
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t' || word.back() == '\r'))
      word.remove_suffix(1);
    if (word == "quit" || word == "exit")
      break;
    if (word == "help") {
      help();
      continue;
    }
    if (word == "ids") {
      ids();
      continue;
    }
    MarkBlock();
    const bool ok = ParseScriptLine(line, command, error) && (!command || RunScriptCommand(*command, error));
    CheckUndoBrackets();
    if (!ok) {
      std::cout << "error: " << error << '\n';
      continue;
    }
    if (command && command->op != ScriptOp::ShowDialog && command->op != ScriptOp::ShowList &&
        command->op != ScriptOp::ShowScene && command->op != ScriptOp::ShowSelection &&
        command->op != ScriptOp::Expect) {
      draw();
    }
  }
  SetAnswerProvider({});
  host.Unload();
  return WithBreaches(kDone);
}

} // namespace standin::cli
