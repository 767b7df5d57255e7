// The tag scan through the boundary against the bare walk of the same scene:
// a million objects with one tag of the plug-in each, flat and as a chain a
// million levels deep. The list run is "Process" with "Generate List"; the
// removal is "Process" with "Remove Plugin", the warning answered Yes, then
// one undo in the host. The bare walk visits every object and its tags on
// the host's own model and collects the (object, tag) names of the matches.
#include "bench_support.h"

#include <vector>

namespace bench {
namespace {

constexpr size_t kObjects = 1000000;

enum Shape : int { kFlat, kChain };

// The scene of the last benchmark is kept while the next one uses the same
// shape (removal plus undo leaves it as it was).
void EnsureScene(Shape shape) {
  static int built = -1;
  if (built == shape)
    return;
  OxDocument* doc = FreshDocument();
  OxNode* parent = nullptr;
  for (size_t i = 0; i < kObjects; ++i) {
    OxNode* object =
        standin::AddObject(doc, shape == kChain ? parent : nullptr, "O" + std::to_string(i), kObjectType);
    if (object == nullptr || standin::AddTag(object, "T" + std::to_string(i), kPluginId) == nullptr)
      Fail("cannot build the tag scene");
    parent = object;
  }
  built = shape;
}

struct BareRow {
  const standin::scene::Node* object;
  std::string objectName;
  std::string tagName;
};

void BareTagRows(int32_t type, std::vector<BareRow>& rows) {
  standin::scene::WalkObjects(standin::scene::Active(), [&](const standin::scene::Node* object, int) {
    for (const standin::scene::Node* tag = object->tags.first; tag != nullptr; tag = tag->next)
      if (tag->type == type)
        rows.push_back({object, object->name, tag->name});
  });
}

// Times the bare walk. Its rows go into storage kept from the last time,
// emptied before the clock starts: the walk is measured, not the first touch
// of fresh pages for a large array (the module's list reuses its heap too).
double TimeBare() {
  static std::vector<BareRow> rows;
  rows.clear();
  StopWatch watch;
  BareTagRows(kPluginId, rows);
  benchmark::DoNotOptimize(rows.data());
  const double seconds = watch.Seconds();
  if (rows.size() != kObjects)
    Fail("the bare walk found " + std::to_string(rows.size()) + " tags");
  return seconds;
}

void TagBare(benchmark::State& state, Shape shape) {
  EnsureScene(shape);
  for (auto _ : state)
    state.SetIterationTime(TimeBare());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kObjects));
}

// The floor: the host's own walk that only counts objects, tags and matches.
void TagBareCount(benchmark::State& state, Shape shape) {
  EnsureScene(shape);
  for (auto _ : state) {
    StopWatch watch;
    const standin::BareWalkCounts counts = standin::BareWalk(standin::ActiveDocument(), kPluginId);
    state.SetIterationTime(watch.Seconds());
    if (counts.tagsOfType != kObjects)
      Fail("the counting walk found " + std::to_string(counts.tagsOfType) + " tags");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kObjects));
}

// The stand-in's share: the host calls the list run makes through the
// boundary (tags of the type, two names and a link per match, first child and
// next sibling per object), made by the host side itself without the module.
struct HostRow {
  OxText* objectName;
  OxText* tagName;
  OxLink* object;
};

void TagHostCalls(benchmark::State& state, Shape shape) {
  EnsureScene(shape);
  const auto& nodes = AreaOf<OxNodeArea>(OX_AREA_NODE);
  const auto& objects = AreaOf<OxObjectArea>(OX_AREA_OBJECT);
  const auto& links = AreaOf<OxLinkArea>(OX_AREA_LINK);
  const auto& texts = AreaOf<OxTextArea>(OX_AREA_TEXT);
  const auto& documents = AreaOf<OxDocumentArea>(OX_AREA_DOCUMENT);
  std::vector<HostRow> rows;
  std::vector<OxNode*> runs;
  for (auto _ : state) {
    rows.clear();
    StopWatch watch;
    runs.assign(1, documents.firstObject(standin::ActiveDocument()));
    while (!runs.empty()) {
      OxNode* object = runs.back();
      if (object == nullptr) {
        runs.pop_back();
        if (!runs.empty())
          runs.back() = nodes.next(runs.back());
        continue;
      }
      int32_t count = 0;
      OxNode* const* tags = objects.tagsOfType(object, kPluginId, &count);
      for (int32_t i = 0; i < count; ++i)
        rows.push_back({nodes.name(object), nodes.name(tags[i]), links.create(object)});
      if (OxNode* child = nodes.firstChild(object))
        runs.push_back(child);
      else
        runs.back() = nodes.next(object);
    }
    state.SetIterationTime(watch.Seconds());
    if (rows.size() != kObjects)
      Fail("the host calls found " + std::to_string(rows.size()) + " tags");
    for (const HostRow& row : rows) {
      texts.release(row.objectName);
      texts.release(row.tagName);
      links.release(row.object);
    }
  }
  CheckNoBreach("host calls");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kObjects));
}

void TagList(benchmark::State& state, Shape shape) {
  EnsureScene(shape);
  Prepare({.type = kTag, .action = kList});
  MeasureList(state, &TimeBare, kObjects, "tag");
}

void TagRemoveUndo(benchmark::State& state, Shape shape) {
  EnsureScene(shape);
  Prepare({.type = kTag, .action = kRemove, .warn = true});
  MeasureRemoveUndo(state, &TimeBare, kObjects, "tag");
}

} // namespace

BENCHMARK_CAPTURE(TagBareCount, flat, kFlat)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagBare, flat, kFlat)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagHostCalls, flat, kFlat)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagList, flat, kFlat)->Apply(Timed)->Iterations(5);
BENCHMARK_CAPTURE(TagRemoveUndo, flat, kFlat)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagBareCount, chain, kChain)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagBare, chain, kChain)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagHostCalls, chain, kChain)->Apply(Timed)->Iterations(3);
BENCHMARK_CAPTURE(TagList, chain, kChain)->Apply(Timed)->Iterations(5);
BENCHMARK_CAPTURE(TagRemoveUndo, chain, kChain)->Apply(Timed)->Iterations(3);

} // namespace bench

BENCH_MAIN();
