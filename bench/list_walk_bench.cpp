// The results list walked from first to last row at 10k, 100k and 1M rows,
// to show that the walk is linear in the number of rows:
// - ListWalkHost: the stand-in tree view's enumeration (FirstRow, then
//   NextRow per row, through the model's callback table, with the host's
//   loop check), as every draw pass and row choice does;
// - ListWalkModel: FirstRow/NextRow called straight through the callback
//   table, nothing else;
// - ListDraw: the full draw pass of `show list` (enumeration, measuring,
//   drawing every cell);
// - ListWalkBare: the same number of steps on the host's own model (the
//   objects the rows were made from), collecting them.
// The rows come from a tag list run over N objects with one tag each, made
// before the measurement.
#include "bench_support.h"

#include <vector>

namespace bench {
namespace {

namespace scene = standin::scene;

// The list of the last benchmark is kept while the next one asks for the
// same number of rows.
void EnsureRows(size_t rows) {
  static size_t built = 0;
  if (built == rows)
    return;
  OxDocument* doc = FreshDocument();
  for (size_t i = 0; i < rows; ++i) {
    OxNode* object = standin::AddObject(doc, nullptr, "O" + std::to_string(i), kObjectType);
    if (object == nullptr || standin::AddTag(object, "T" + std::to_string(i), kPluginId) == nullptr)
      Fail("cannot build the scene");
  }
  Prepare({.type = kTag, .action = kList});
  PressProcess(false);
  CheckNoBreach("list run");
  if (ListedRows() != rows)
    Fail("the list shows " + std::to_string(ListedRows()) + " rows, not " + std::to_string(rows));
  built = rows;
}

void Expect(size_t seen, size_t rows) {
  if (seen != rows)
    Fail("walked " + std::to_string(seen) + " rows of " + std::to_string(rows));
}

void ListWalkHost(benchmark::State& state) {
  const auto rows = static_cast<size_t>(state.range(0));
  EnsureRows(rows);
  standin::ui::Element& element = ResultsElement();
  for (auto _ : state) {
    StopWatch watch;
    standin::ui::Visible visible = standin::ui::WalkRows(element, SIZE_MAX);
    state.SetIterationTime(watch.Seconds());
    Expect(visible.rows.size(), rows);
  }
  CheckNoBreach("list walk");
  state.SetComplexityN(state.range(0));
}

void ListWalkModel(benchmark::State& state) {
  const auto rows = static_cast<size_t>(state.range(0));
  EnsureRows(rows);
  const standin::ui::TreeView& tree = *ResultsElement().tree;
  const OxTreeModelCallbacks& model = *tree.model;
  for (auto _ : state) {
    StopWatch watch;
    size_t seen = 0;
    for (void* row = model.firstRow(tree.self, tree.root, tree.userData); row != nullptr;
         row = model.nextRow(tree.self, tree.root, tree.userData, row))
      ++seen;
    state.SetIterationTime(watch.Seconds());
    Expect(seen, rows);
  }
  CheckNoBreach("list walk");
  state.SetComplexityN(state.range(0));
}

void ListDraw(benchmark::State& state) {
  const auto rows = static_cast<size_t>(state.range(0));
  EnsureRows(rows);
  for (auto _ : state) {
    StopWatch watch;
    std::optional<standin::ListCells> cells = standin::VisibleList();
    const double seconds = watch.Seconds();
    state.SetIterationTime(seconds);
    Expect(cells ? cells->rows.size() : 0, rows);
  }
  CheckNoBreach("list draw");
  state.SetComplexityN(state.range(0));
}

void ListWalkBare(benchmark::State& state) {
  const auto rows = static_cast<size_t>(state.range(0));
  EnsureRows(rows);
  for (auto _ : state) {
    std::vector<const scene::Node*> seen;
    StopWatch watch;
    scene::WalkObjects(scene::Active(), [&](const scene::Node* object, int) { seen.push_back(object); });
    benchmark::DoNotOptimize(seen.data());
    state.SetIterationTime(watch.Seconds());
    Expect(seen.size(), rows);
  }
  state.SetComplexityN(state.range(0));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(100000)->Arg(1000000)->Complexity(benchmark::oN);
  Timed(b);
}

} // namespace

BENCHMARK(ListWalkBare)->Apply(Sizes);
BENCHMARK(ListWalkModel)->Apply(Sizes);
BENCHMARK(ListWalkHost)->Apply(Sizes);
BENCHMARK(ListDraw)->Apply(Sizes);

} // namespace bench

BENCH_MAIN();
