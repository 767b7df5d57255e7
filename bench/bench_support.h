// What every benchmark program shares: the one stand-in host of the process
// with the module loaded, the dialog driven as a person drives it, a stop
// watch for manual timing, and the checks that a measured run did what it
// should (no breach, the expected rows and nodes).
#pragma once

#include "core/breach.h"
#include "core/output.h"
#include "host/ox_abi.h"
#include "runtime/host.h"
#include "runtime/runtime.h"
#include "scene/model.h"
#include "scene/world.h"
#include "ui/gui.h"
#include "ui/ui_state.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace bench {

constexpr int32_t kCommandId = 1066888;
constexpr int32_t kIdProcess = 1002;
constexpr int32_t kIdPluginId = 1005;
constexpr int32_t kIdType = 5006;
constexpr int32_t kIdScope = 5007;
constexpr int32_t kIdAction = 5008;
constexpr int32_t kIdWarn = 5009;
constexpr int32_t kIdKeep = 5010;

enum Kind : int32_t { kTag = 0, kShader = 1, kObject = 2, kVideoPost = 3 };
enum Action : int32_t { kIdentify = 0, kList = 1, kRemove = 2 };

// The plug-in whose instances the scenes carry, and a type nobody looks for.
constexpr int32_t kPluginId = 1033333;
constexpr int32_t kObjectType = 5100;
constexpr int32_t kMaterialType = 5703;
constexpr int32_t kNoiseType = 1011116;

// Stops the program: a benchmark that measured a broken run is worthless.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "bench: %s\n", what.c_str());
  std::exit(1);
}

// The host of this process, loaded on first use and kept to the end. The
// host prints message boxes and answers; they are counted, not shown.
inline size_t& PrintedLines() {
  static size_t lines = 0;
  return lines;
}

// Owned here rather than by a function-local static: the host must go
// before the subsystems' own statics, so main() ends it (BENCH_MAIN).
inline std::unique_ptr<standin::Host>& HostSlot() {
  static std::unique_ptr<standin::Host> host;
  return host;
}

inline standin::Host& TheHost() {
  std::unique_ptr<standin::Host>& host = HostSlot();
  if (!host) {
    host = std::make_unique<standin::Host>();
    standin::SetPrintSink([](std::string_view) { ++PrintedLines(); });
    if (!host->LoadModule(ORPHANEX_MODULE_PATH))
      Fail("cannot load " + std::string(ORPHANEX_MODULE_PATH) + ": " + host->Error());
    if (!standin::ExecuteCommand(kCommandId).value_or(false))
      Fail("command " + std::to_string(kCommandId) + " did not open the dialog");
    standin::ResetBreaches();
  }
  return *host;
}

// One of the host's area tables, as the module gets it.
template <class Area> const Area& AreaOf(int index) {
  return *static_cast<const Area*>(TheHost().Tables().areas[index]);
}

inline void EndHost() {
  std::unique_ptr<standin::Host>& host = HostSlot();
  if (!host)
    return;
  host->Unload();
  host.reset();
  standin::SetPrintSink({});
}

inline void CheckNoBreach(const char* where) {
  if (standin::BreachCount() != 0)
    Fail(std::string(where) + ": the module broke the host's contract (" +
         std::to_string(standin::BreachCount()) + " breach(es))");
}

// A fresh, empty active document; the previous ones are closed.
inline OxDocument* FreshDocument() {
  TheHost();
  standin::CloseAllDocuments();
  standin::NewDocument();
  return standin::ActiveDocument();
}

// ---- the dialog ---------------------------------------------------------------

inline double ElementValue(int32_t id) {
  for (const standin::ElementInfo& element : standin::OpenDialogElements())
    if (element.id == id && element.kind != OX_ELEM_STATIC)
      return element.value;
  Fail("the dialog has no element " + std::to_string(id));
}

inline void SetElement(int32_t id, double value) {
  const standin::UiOutcome outcome = standin::SetElement(id, value);
  if (!outcome.ok)
    Fail("set " + std::to_string(id) + " " + std::to_string(value) + ": " + outcome.reason);
}

inline void SetIfChanged(int32_t id, double value) {
  if (ElementValue(id) != value)
    SetElement(id, value);
}

struct Options {
  int32_t type = kTag;
  int32_t action = kList;
  double id = kPluginId;
  int32_t scope = 0;
  bool warn = false;
  bool keep = false;
};

// Sets the dialog's options as a person would (type and scope while the
// action lets them change), without pressing anything.
inline void Prepare(const Options& run) {
  TheHost();
  if (!standin::HasOpenDialog() && !standin::ExecuteCommand(kCommandId).value_or(false))
    Fail("the dialog does not open");
  if ((ElementValue(kIdType) != run.type || ElementValue(kIdScope) != run.scope) &&
      ElementValue(kIdAction) == static_cast<double>(kIdentify))
    SetElement(kIdAction, kList);
  SetIfChanged(kIdType, run.type);
  SetIfChanged(kIdScope, run.scope);
  SetIfChanged(kIdAction, run.action);
  SetIfChanged(kIdPluginId, run.id);
  if (run.action == kRemove) {
    SetIfChanged(kIdWarn, run.warn ? 1 : 0);
    SetIfChanged(kIdKeep, run.keep ? 1 : 0);
  }
  CheckNoBreach("setting the dialog");
}

// Presses "Process"; with `answerYes` the warning question gets Yes.
inline void PressProcess(bool answerYes) {
  standin::ClearAnswers();
  if (answerYes)
    standin::QueueAnswer(true);
  const standin::UiOutcome pressed = standin::Press(kIdProcess);
  if (!pressed.ok)
    Fail("press Process: " + pressed.reason);
  if (answerYes && standin::QueuedAnswers() != 0)
    Fail("the warning question was not asked");
}

// Empties the list the way the dialog does when the scope is chosen (again),
// so that a measured run does not pay for destroying the last run's rows.
inline void EmptyResults() {
  SetElement(kIdScope, ElementValue(kIdScope));
}

// The open dialog's results list element.
inline standin::ui::Element& ResultsElement() {
  standin::ui::Dialog* dialog = standin::ui::OpenDialog();
  standin::ui::Element* element = dialog != nullptr ? standin::ui::FindTree(*dialog->window) : nullptr;
  if (element == nullptr || element->tree == nullptr)
    Fail("the open dialog has no results list");
  return *element;
}

// The rows the list shows, enumerated as the host's tree view does.
inline size_t ListedRows() {
  return standin::ui::WalkRows(ResultsElement(), SIZE_MAX).rows.size();
}

// ---- timing ---------------------------------------------------------------------

// Every benchmark times its own region (scene building and checks stay out).
inline void Timed(benchmark::internal::Benchmark* b) {
  b->UseManualTime()->Unit(benchmark::kMillisecond);
}

class StopWatch {
public:
  StopWatch() : start_(std::chrono::steady_clock::now()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

private:
  std::chrono::steady_clock::time_point start_;
};

// Paired measurement: the module's time per iteration is the benchmark's
// (manual) time; the bare traversal of the same scene, timed right before it
// under the same load, is reported beside it with the ratio.
struct Pair {
  double module = 0;
  double bare = 0;
  void Report(benchmark::State& state, double target) const {
    const double n = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = bare / n * 1e3;
    state.counters["ratio"] = bare > 0 ? module / bare : 0;
    state.counters["target"] = target;
  }
};

// "Process" with the prepared list options, each time after emptying the
// list, paired with `timeBare`; the list must end with `rows` rows.
inline void MeasureList(benchmark::State& state, double (*timeBare)(), size_t rows, const std::string& noun) {
  Pair pair;
  for (auto _ : state) {
    EmptyResults();
    pair.bare += timeBare();
    StopWatch watch;
    PressProcess(false);
    const double seconds = watch.Seconds();
    state.SetIterationTime(seconds);
    pair.module += seconds;
    CheckNoBreach((noun + " list run").c_str());
  }
  if (ListedRows() != rows)
    Fail("the list shows " + std::to_string(ListedRows()) + " rows");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * rows));
  pair.Report(state, 2.0);
}

// "Process" with the prepared removal options, the warning answered Yes,
// then one undo; paired with `timeBare`. The removal must take `removed`
// nodes and the undo bring all of them back.
inline void MeasureRemoveUndo(benchmark::State& state, double (*timeBare)(), size_t removed,
                              const std::string& noun) {
  const size_t nodes = standin::LiveNodeCount();
  Pair pair;
  double removing = 0;
  double undoing = 0;
  for (auto _ : state) {
    pair.bare += timeBare();
    StopWatch remove;
    PressProcess(true);
    const double took = remove.Seconds();
    if (standin::LiveNodeCount() != nodes - removed)
      Fail("the removal left " + std::to_string(standin::LiveNodeCount()) + " nodes of " +
           std::to_string(nodes));
    StopWatch undo;
    const bool undone = standin::Undo();
    const double restored = undo.Seconds();
    if (!undone || standin::LiveNodeCount() != nodes)
      Fail("one undo did not bring the " + noun + "s back");
    CheckNoBreach((noun + " removal").c_str());
    state.SetIterationTime(took + restored);
    pair.module += took + restored;
    removing += took;
    undoing += restored;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["remove_ms"] = removing / n * 1e3;
  state.counters["undo_ms"] = undoing / n * 1e3;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * removed));
  pair.Report(state, 4.0);
}

} // namespace bench

// BENCHMARK_MAIN, and the host ended before static destruction begins.
#define BENCH_MAIN()                                                                                         \
  int main(int argc, char** argv) {                                                                          \
    benchmark::Initialize(&argc, argv);                                                                      \
    if (benchmark::ReportUnrecognizedArguments(argc, argv))                                                  \
      return 1;                                                                                              \
    benchmark::RunSpecifiedBenchmarks();                                                                     \
    benchmark::Shutdown();                                                                                   \
    bench::EndHost();                                                                                        \
    return 0;                                                                                                \
  }                                                                                                          \
  int main(int, char**)
