// The host itself: assembles the area tables from every subsystem, loads the
// module (dlopen), drives its entry actions, and unloads it. One Host at a
// time; constructing and destroying one bring every subsystem back to empty
// (host texts and the breach count aside: a run reads the count after its
// host is gone).
#pragma once

#include "host/ox_abi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace standin {

// One call of the entry point: `action` with `code` as its first argument
// where the action takes one (6: the message code).
struct EntryStep {
  int32_t action = 0;
  intptr_t code = 0;
};

struct EntryAnswer {
  EntryStep step;
  int32_t answer = 0;
};

struct LoadOptions {
  int32_t apiVersion = OX_API_VERSION_WIN;
  bool nullModulePath = false;
  // Entry actions on load (1 is handed the tables and the module path) and on
  // unload (after the registered commands are destroyed). A refusal (-3) at
  // action 1 ends the load: the module is then not used.
  std::vector<EntryStep> startSteps = {{OX_ACTION_INIT, 0}, {OX_ACTION_MESSAGE, 1}, {OX_ACTION_START, 0}};
  std::vector<EntryStep> endSteps = {{OX_ACTION_END, 0}};
  // Lets a test change the tables before the module sees them.
  std::function<void(OxHostTables&)> adjustTables;
};

class Host {
public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The host that exists now, or null.
  static Host* Current();

  // Loads the module and runs the start steps. False with a one-line error
  // (`Error()`) when the library, one of its symbols or its module info is
  // unusable, or when the module refused the host at action 1.
  bool LoadModule(const std::string& path, const LoadOptions& options = {});
  // Destroys the registered commands, runs the end steps, reports blocks the
  // module left in the host allocator, closes the library. Safe to repeat.
  void Unload();

  bool Loaded() const { return library_ != nullptr; }
  // True when the module accepted the host (not refused at action 1).
  bool Accepted() const { return accepted_; }
  const std::string& Error() const { return error_; }
  const std::string& ModuleId() const { return moduleId_; }
  int32_t ModuleApiVersion() const { return moduleApiVersion_; }
  const std::string& ModulePath() const { return modulePath_; }
  const OxHostTables& Tables() const { return tables_; }
  const std::vector<EntryAnswer>& Answers() const { return answers_; }
  // The answer of the last step with this action, or `fallback`.
  int32_t AnswerOf(int32_t action, int32_t fallback = INT32_MIN) const;

  // Calls the entry point directly (recorded with the answers). Answers
  // INT32_MIN when no module is loaded.
  int32_t CallEntry(int32_t action, void* p1 = nullptr, void* p2 = nullptr, void* p3 = nullptr);
  // The module's yield delegate, when it exported a usable one.
  const OxCpuYieldDelegate* YieldDelegate() const { return yield_; }

private:
  void BuildTables(const LoadOptions& options);
  int32_t RunStep(const EntryStep& step, const LoadOptions& options);
  void CloseLibrary();

  void* library_ = nullptr;
  OxEntryPoint entry_ = nullptr;
  const OxCpuYieldDelegate* yield_ = nullptr;
  bool accepted_ = false;
  std::string error_;
  std::string moduleId_;
  int32_t moduleApiVersion_ = 0;
  std::string modulePath_;
  OxHostTables tables_{};
  std::vector<EntryAnswer> answers_;
  std::vector<EntryStep> endSteps_;
};

} // namespace standin
