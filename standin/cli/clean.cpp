// `standin clean`: per scene, one removal run through the plug-in's dialog
// (as a person would: open, choose Remove Plugin, the kind, the scope, the
// check boxes and the identifier, press Process, with the warning off), a
// re-scan of the result, and the cleaned scene written atomically.
#include "cli/commands.h"
#include "cli/support.h"
#include "core/breach.h"
#include "runtime/host.h"
#include "scene/world.h"
#include "script/script.h"
#include "ui/gui.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>

namespace standin::cli {
namespace {

namespace fs = std::filesystem;

// Element ids of the dialog.
constexpr int32_t kProcess = 1002;
constexpr int32_t kPluginId = 1005;
constexpr int32_t kPluginType = 5006;
constexpr int32_t kScope = 5007;
constexpr int32_t kAction = 5008;
constexpr int32_t kWarn = 5009;
constexpr int32_t kKeepLayerShaders = 5010;
constexpr int32_t kActionRemove = 2;

// The scopes the dialog offers per plug-in kind.
bool ScopeOffered(int32_t type, int32_t scope) {
  static const std::vector<int32_t> kScopes[] = {{0, 1, 2}, {0, 2}, {0, 1, 2}, {0}};
  return type >= 0 && type <= 3 &&
         std::find(kScopes[type].begin(), kScopes[type].end(), scope) != kScopes[type].end();
}

std::string ArgumentChecks(const CleanOptions& o) {
  if (!ScopeOffered(o.type, o.scope))
    return "--scope " + std::to_string(o.scope) + " is not offered for --type " + kKindNames[o.type] +
           " (the dialog offers " +
           (o.type == 1   ? "0 and 2"
            : o.type == 3 ? "only 0"
                          : "0, 1 and 2") +
           ")";
  if (o.keepLayerShaders && o.type != 1)
    return "--keep-layer-shaders applies to --type shader only";
  const bool many = o.scenes.size() > 1;
  if (!o.output.empty() && many)
    return "-o names one output file; with " + std::to_string(o.scenes.size()) +
           " scenes use --out-dir DIR or --in-place";
  if (o.inPlace && (!o.output.empty() || !o.outDir.empty()))
    return "--in-place writes over each scene; it does not go with -o or --out-dir";
  if (!o.dryRun && !o.inPlace && o.output.empty() && o.outDir.empty())
    return std::string("say where the cleaned scene") + (many ? "s go" : " goes") + ": " +
           (many ? "" : "-o OUT.json, ") + "--out-dir DIR or --in-place (or --dry-run to write nothing)";
  std::error_code ec;
  if (!o.outDir.empty() && fs::exists(o.outDir, ec) && !fs::is_directory(o.outDir, ec))
    return "--out-dir " + o.outDir + " is not a folder";
  // The same scene twice would clean the cleaned file and lose the original.
  for (size_t i = 0; i < o.scenes.size(); ++i)
    for (size_t j = i + 1; j < o.scenes.size(); ++j)
      if (SameFile(o.scenes[i], o.scenes[j]))
        return "the scene " + o.scenes[j] + " is named twice";
  if (o.inPlace)
    return {};
  std::map<std::string, std::string> targets; // output -> input
  for (const std::string& scene : o.scenes) {
    if (o.dryRun && o.output.empty() && o.outDir.empty())
      break;
    const std::string out =
        !o.output.empty() ? o.output : (fs::path(o.outDir) / fs::path(scene).filename()).string();
    if (SameFile(out, scene))
      return (!o.output.empty() ? "-o " : "--out-dir ") + (o.output.empty() ? o.outDir : o.output) +
             " would write over the scene " + scene + "; add --in-place to replace it (a " + scene +
             ".bak copy is kept)";
    for (const auto& [other, from] : targets)
      if (SameFile(out, other))
        return "the scenes " + from + " and " + scene + " would both be written to " + out;
    targets.emplace(out, scene);
  }
  return {};
}

struct FileOutcome {
  int status = kDone;
  size_t removed = 0;
};

std::map<std::pair<CensusKind, int32_t>, size_t> Counts() {
  std::map<std::pair<CensusKind, int32_t>, size_t> counts;
  for (const CensusEntry& entry : standin::Census())
    counts[{entry.kind, entry.typeId}] = entry.count;
  return counts;
}

bool Step(const ScriptCommand& command, const char* what, std::string& error) {
  std::string why;
  if (RunScriptCommand(command, why))
    return true;
  error = std::string("the dialog refused ") + what + ": " + why;
  return false;
}

ScriptCommand Set(int32_t id, double value) {
  ScriptCommand c;
  c.op = ScriptOp::Set;
  c.id = id;
  c.value = value;
  return c;
}

// The removal through the dialog. False with `error` when a step was refused.
bool RemoveThroughDialog(const CleanOptions& o, std::string& error) {
  ScriptCommand open;
  open.op = ScriptOp::Open;
  ScriptCommand press;
  press.op = ScriptOp::Press;
  press.id = kProcess;
  const bool done =
      Step(open, "to open", error) && Step(Set(kAction, kActionRemove), "the action Remove Plugin", error) &&
      Step(Set(kPluginType, o.type), "the plug-in type", error) &&
      Step(Set(kScope, o.scope), "the scope", error) &&
      Step(Set(kWarn, 0), "to switch the warning off", error) &&
      Step(Set(kKeepLayerShaders, o.keepLayerShaders ? 1 : 0), "the layer shader option", error) &&
      Step(Set(kPluginId, o.id), "the plug-in id", error);
  if (!done)
    return false;
  // The field could clamp the identifier into limits: then another plug-in
  // would be removed.
  for (const ElementInfo& e : OpenDialogElements())
    if (e.id == kPluginId && e.value != static_cast<double>(o.id)) {
      error = "the dialog's Plugin ID field does not take " + std::to_string(o.id);
      return false;
    }
  return Step(press, "Process", error);
}

FileOutcome CleanOne(const CleanOptions& o, const std::string& scene, bool& moduleUnusable) {
  FileOutcome outcome;
  const std::string where = "standin clean: " + OneLine(scene) + ": ";
  std::string original, error;
  if (!ReadFileBytes(scene, original, error)) {
    std::cerr << "standin clean: cannot read scene " << OneLine(scene) << ": " << error << '\n';
    outcome.status = kBadArguments;
    return outcome;
  }
  const size_t breachesBefore = BreachCount();
  Host host;
  if (!LoadSceneString(original, error)) {
    std::cerr << "standin clean: cannot read scene " << OneLine(scene) << ": " << OneLine(error) << '\n';
    outcome.status = kBadArguments;
    return outcome;
  }
  if (!host.LoadModule(o.module)) {
    std::cerr << "standin clean: " << host.Error() << '\n';
    moduleUnusable = true;
    outcome.status = kBadArguments;
    return outcome;
  }
  const CensusKind kind = CensusKindOf(o.type);
  const auto before = Counts();
  const bool removed = RemoveThroughDialog(o, error);
  CheckUndoBrackets();
  if (!removed) {
    std::cerr << where << error << "; nothing written\n";
    outcome.status = kFailed;
    return outcome;
  }
  const auto after = Counts();
  const std::string cleaned = SaveSceneString();
  host.Unload();
  if (const size_t breaches = BreachCount() - breachesBefore; breaches > 0) {
    std::cerr << where << breaches << (breaches == 1 ? " contract breach" : " contract breaches")
              << " during the removal; nothing written\n";
    outcome.status = kFailed;
    return outcome;
  }

  auto countIn = [](const auto& counts, CensusKind k, int32_t id) {
    const auto it = counts.find({k, id});
    return it == counts.end() ? size_t{0} : it->second;
  };
  const size_t had = countIn(before, kind, o.id), left = countIn(after, kind, o.id);
  outcome.removed = had - std::min(had, left);
  std::cout << OneLine(scene) << ": " << (o.dryRun ? "would remove " : "removed ") << outcome.removed
            << " of " << CountOf(had, kind) << " of plug-in " << o.id << '\n';

  // Everything that went, per kind: objects take their tags and children along.
  std::map<int32_t, size_t> perKind;
  for (const auto& [key, count] : before)
    if (const size_t now = countIn(after, key.first, key.second); now < count)
      perKind[PluginKindOf(key.first)] += count - now;
  if (!perKind.empty() && (perKind.size() > 1 || perKind.begin()->second != outcome.removed)) {
    std::cout << "  removed per kind:";
    const char* separator = " ";
    for (const auto& [pluginKind, count] : perKind) {
      std::cout << separator << CountOf(count, CensusKindOf(pluginKind));
      separator = ", ";
    }
    std::cout << '\n';
  }

  if (left == 0) {
    std::cout << "  re-scan: no " << CensusKindName(kind) << " of plug-in " << o.id << " left\n";
  } else {
    std::cout << "  re-scan: " << CountOf(left, kind) << " of plug-in " << o.id << " left";
    if (o.keepLayerShaders)
      std::cout << " (--keep-layer-shaders keeps those inside layer shaders)\n";
    else if (o.scope != 0)
      std::cout << " (outside the selection that --scope " << o.scope << " works on)\n";
    else {
      std::cout << " (the removal did not reach them)\n";
      std::cerr << where << CountOf(left, kind) << " of plug-in " << o.id << " left after the removal\n";
      outcome.status = kFailed;
    }
  }

  if (o.dryRun) {
    std::cout << "  dry run: nothing written\n";
    return outcome;
  }
  std::string target = o.inPlace ? scene : o.output;
  if (target.empty()) {
    target = (fs::path(o.outDir) / fs::path(scene).filename()).string();
    std::error_code ec;
    fs::create_directories(o.outDir, ec);
  }
  if (o.inPlace && !WriteFileAtomically(scene + ".bak", original, error)) {
    std::cerr << "standin clean: cannot write " << OneLine(scene) << ".bak: " << error
              << "; the scene is left as it was\n";
    outcome.status = kBadArguments;
    return outcome;
  }
  if (!WriteFileAtomically(target, cleaned, error)) {
    std::cerr << "standin clean: cannot write " << OneLine(target) << ": " << error << '\n';
    outcome.status = kBadArguments;
    return outcome;
  }
  std::cout << "  saved " << OneLine(target);
  if (o.inPlace)
    std::cout << " (the original is kept as " << OneLine(scene) << ".bak)";
  std::cout << '\n';
  return outcome;
}

} // namespace

int Clean(const CleanOptions& o) {
  if (const std::string problem = ArgumentChecks(o); !problem.empty()) {
    std::cerr << "standin clean: " << OneLine(problem) << '\n';
    return kBadArguments;
  }
  HostPrintsToStderr prints(!o.verbose);
  int status = kDone;
  size_t removed = 0, failed = 0;
  for (size_t i = 0; i < o.scenes.size(); ++i) {
    if (o.scenes.size() > 1)
      std::cerr << "clean: [" << i + 1 << "/" << o.scenes.size() << "] " << OneLine(o.scenes[i]) << '\n';
    bool moduleUnusable = false;
    const FileOutcome outcome = CleanOne(o, o.scenes[i], moduleUnusable);
    if (moduleUnusable)
      return kBadArguments; // every other file would fail alike
    removed += outcome.removed;
    if (outcome.status != kDone)
      ++failed;
    status = std::max(status, outcome.status);
  }
  if (o.scenes.size() > 1) {
    std::cout << "total: " << (o.dryRun ? "would remove " : "removed ") << removed << ' '
              << CensusKindName(CensusKindOf(o.type)) << (removed == 1 ? "" : "s") << " of plug-in " << o.id
              << " in " << o.scenes.size() << " files";
    if (failed > 0)
      std::cout << "; " << failed << (failed == 1 ? " file" : " files") << " failed";
    std::cout << '\n';
  }
  return status;
}

} // namespace standin::cli
