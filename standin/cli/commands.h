// The sub-commands of `standin`, each answering the exit status:
// 0 done, 1 a script line failed, a run left work undone or the validator
// reported a breach, 2 bad arguments, an unreadable scene, an unwritable
// output or an unusable module.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin::cli {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadArguments = 2;

int Run(const std::string& scene, const std::string& script, const std::string& module);

enum class CensusFormat { Text, Json, Csv };
int Census(const std::vector<std::string>& scenes, CensusFormat format);

struct CleanOptions {
  std::vector<std::string> scenes;
  std::string output; // -o: one scene only
  std::string outDir; // --out-dir: same file names there
  bool inPlace = false;
  bool dryRun = false;
  bool verbose = false;
  std::string module;
  int32_t id = 0;
  int32_t type = 0; // plug-in kind: 0 tag, 1 shader, 2 object, 3 videopost
  int32_t scope = 0;
  bool keepLayerShaders = false;
};
int Clean(const CleanOptions& options);

struct UiOptions {
  std::string scene;
  std::string module;
  bool lineMode = false; // the plain line mode even in a terminal
};
int Ui(const UiOptions& options);

} // namespace standin::cli
