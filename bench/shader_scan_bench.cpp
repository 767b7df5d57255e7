// The material and shader scan through the boundary against the bare walk of
// the same materials: 100,000 materials, each with a shader of another
// plug-in in channel 1 and one shader of the plug-in, either directly in
// channel 0 or (every third material) two layer shaders deep in channel 6.
// The bare walk goes through every channel, the reflectance entries and the
// layers of layer shaders on the host's own model, and collects the
// (material, channel, in layer shader) of the matches.
#include "bench_support.h"

#include <vector>

namespace bench {
namespace {

namespace scene = standin::scene;

constexpr size_t kMaterials = 100000;
constexpr int32_t kLayerShaderType = OX_TYPE_LAYER_SHADER;

void EnsureScene() {
  static bool built = false;
  if (built)
    return;
  OxDocument* doc = FreshDocument();
  for (size_t i = 0; i < kMaterials; ++i) {
    const std::string n = std::to_string(i);
    OxNode* material = standin::AddMaterial(doc, "M" + n, kMaterialType);
    bool ok =
        material != nullptr && standin::SetChannelShader(material, 1, "Noise" + n, kNoiseType) != nullptr;
    if (ok && i % 3 == 2) {
      OxNode* outer = standin::SetChannelShader(material, 6, "L" + n, kLayerShaderType);
      OxNode* inner =
          outer != nullptr ? standin::AddLayerShader(outer, "Lin" + n, kLayerShaderType) : nullptr;
      ok = inner != nullptr && standin::AddLayerShader(inner, "G" + n, kPluginId) != nullptr;
    } else if (ok) {
      ok = standin::SetChannelShader(material, 0, "G" + n, kPluginId) != nullptr;
    }
    if (!ok)
      Fail("cannot build the shader scene");
  }
  built = true;
}

struct BareRow {
  const scene::Node* material;
  std::string materialName;
  int32_t channel;
  bool inLayerShader;
};

// The layers of a layer shader at any depth, with an explicit stack.
void BareLayers(const scene::Node* material, const scene::Node* layerShader, int32_t channel, int32_t type,
                std::vector<const scene::Node*>& stack, std::vector<BareRow>& rows) {
  stack.assign(1, layerShader);
  while (!stack.empty()) {
    const scene::Node* shader = stack.back();
    stack.pop_back();
    if (!shader->layers)
      continue;
    for (auto it = shader->layers->rbegin(); it != shader->layers->rend(); ++it) {
      const scene::Layer& layer = **it;
      if (layer.kind != OX_LAYER_KIND_SHADER || layer.content != scene::LayerContent::Link)
        continue;
      const scene::Node* linked =
          layer.slot.owned != nullptr ? layer.slot.owned : scene::LinkedNode(layer.slot.link, material->doc);
      if (linked == nullptr)
        continue;
      if (linked->type == type)
        rows.push_back({material, material->name, channel, true});
      else if (linked->type == kLayerShaderType)
        stack.push_back(linked);
    }
  }
}

void BareShaderRows(int32_t type, std::vector<BareRow>& rows) {
  std::vector<const scene::Node*> stack;
  auto visit = [&](const scene::Node* material, const scene::Node* shader, int32_t channel) {
    if (shader == nullptr)
      return;
    if (shader->type == type)
      rows.push_back({material, material->name, channel, false});
    else if (shader->type == kLayerShaderType)
      BareLayers(material, shader, channel, type, stack, rows);
  };
  for (const scene::Node* material = scene::Active()->materials.first; material != nullptr;
       material = material->next) {
    for (int32_t n = 0; n < 15; ++n) {
      const scene::Channel* channel = material->material->channels[static_cast<size_t>(n)].get();
      if (channel == nullptr)
        continue;
      if (n != 3) {
        visit(material, channel->shader, n);
        continue;
      }
      for (const scene::Slot& slot : material->material->reflectance)
        visit(material, slot.owned != nullptr ? slot.owned : scene::LinkedNode(slot.link, material->doc), n);
    }
  }
}

// Times the bare walk. Its rows go into storage kept from the last time,
// emptied before the clock starts: the walk is measured, not the first touch
// of fresh pages for a large array (the module's list reuses its heap too).
double TimeBare() {
  static std::vector<BareRow> rows;
  rows.clear();
  StopWatch watch;
  BareShaderRows(kPluginId, rows);
  benchmark::DoNotOptimize(rows.data());
  const double seconds = watch.Seconds();
  if (rows.size() != kMaterials)
    Fail("the bare walk found " + std::to_string(rows.size()) + " shaders");
  return seconds;
}

void ShaderBare(benchmark::State& state) {
  EnsureScene();
  for (auto _ : state)
    state.SetIterationTime(TimeBare());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMaterials));
}

// The stand-in's share for the part every material costs: the calls the list
// run makes per material whatever it holds (the fifteen channel look-ups,
// the shader and type of each channel that has one, the update, the
// message, the next material), made by the host side itself.
void ShaderHostCalls(benchmark::State& state) {
  EnsureScene();
  const auto& nodes = AreaOf<OxNodeArea>(OX_AREA_NODE);
  const auto& materials = AreaOf<OxMaterialArea>(OX_AREA_MATERIAL);
  const auto& documents = AreaOf<OxDocumentArea>(OX_AREA_DOCUMENT);
  for (auto _ : state) {
    size_t shaders = 0;
    StopWatch watch;
    for (OxNode* material = documents.firstMaterial(standin::ActiveDocument()); material != nullptr;
         material = nodes.next(material)) {
      for (int32_t n = 0; n < 15; ++n)
        if (OxChannel* channel = materials.channel(material, n))
          if (OxNode* shader = materials.channelShader(channel))
            shaders += nodes.typeId(shader) != 0 ? 1 : 0;
      materials.update(material, 1, 1);
      nodes.sendMessage(material, 5, nullptr);
    }
    state.SetIterationTime(watch.Seconds());
    if (shaders != 2 * kMaterials)
      Fail("the host calls found " + std::to_string(shaders) + " channel shaders");
  }
  CheckNoBreach("host calls");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMaterials));
}

void ShaderList(benchmark::State& state) {
  EnsureScene();
  Prepare({.type = kShader, .action = kList});
  MeasureList(state, &TimeBare, kMaterials, "shader");
}

void ShaderRemoveUndo(benchmark::State& state) {
  EnsureScene();
  Prepare({.type = kShader, .action = kRemove, .warn = true});
  MeasureRemoveUndo(state, &TimeBare, kMaterials, "shader");
}

} // namespace

BENCHMARK(ShaderBare)->Apply(Timed)->Iterations(10);
BENCHMARK(ShaderHostCalls)->Apply(Timed)->Iterations(10);
BENCHMARK(ShaderList)->Apply(Timed)->Iterations(10);
BENCHMARK(ShaderRemoveUndo)->Apply(Timed)->Iterations(10);

} // namespace bench

BENCH_MAIN();
