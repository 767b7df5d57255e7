// The sub-commands of `standin`, each answering the exit status:
// 0 done, 1 a script line failed or the validator reported a breach,
// 2 bad arguments, an unreadable or unwritable file, or an unusable module.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin::cli {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadArguments = 2;

int Run(const std::string& scene, const std::string& script, const std::string& module);

int Census(const std::vector<std::string>& scenes);

struct CleanOptions {
  std::string scene;
  std::string output;
  std::string module;
  int32_t id = 0;
  int32_t type = 0; // plug-in kind: 0 tag, 1 shader, 2 object, 3 videopost
  int32_t scope = 0;
  bool keepLayerShaders = false;
};
int Clean(const CleanOptions& options);

int Ui(const std::string& scene, const std::string& module);

} // namespace standin::cli
