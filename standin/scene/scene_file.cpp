// Scene files: one document per JSON file (format in the design notes).
//
// Reading goes through nlohmann's SAX interface with an explicit stack of
// frames, one per open JSON object or array, so that a hierarchy a million
// levels deep needs no recursion and no intermediate JSON tree. The document
// is built aside and swapped in only when the whole file was good; any error
// names the JSON path of the offending key or value and leaves the host as
// it was.
//
// Writing is iterative too (a stack of pending pieces). Layout: the top-level
// keys one a line; each node a JSON object on its own line, its tags,
// children, reflectance entries and layers as arrays with one element a line;
// indentation two spaces a level up to 40 levels (deeper levels stay at 80
// columns, so a deep chain costs linear space). Defaults are left out
// (`selected` false, empty `tags`/`children`/`layers`, no `uid`); the four
// top-level keys are always written. A shader that a reference names gets a
// `uid`: its own from the file when it had one, else the first free of
// "S1", "S2", ... in document order. A reference to nothing alive in the
// document (its shader was deleted) is written as an empty link: a `null`
// reflectance entry, a layer's `"shader": null`; reading accepts both.
#include "scene/model.h"
#include "scene/world.h"

#include <charconv>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace standin {
namespace {

using namespace scene;
using json = nlohmann::json;

// ---- reading ------------------------------------------------------------------

enum class Ctx : uint8_t {
  Root,
  PluginArr,
  Plugin,
  ObjectArr,
  Object,
  TagArr,
  Tag,
  MaterialArr,
  Material,
  Channels,
  ReflArr,
  ReflEntry,
  Shader,
  LayerArr,
  Layer,
  RenderSettings,
  VideopostArr,
  Videopost,
};

bool IsArray(Ctx ctx) {
  return ctx == Ctx::PluginArr || ctx == Ctx::ObjectArr || ctx == Ctx::TagArr || ctx == Ctx::MaterialArr ||
         ctx == Ctx::ReflArr || ctx == Ctx::LayerArr || ctx == Ctx::VideopostArr;
}

struct KeySet {
  const char* const* names;
  int count;
};

const char* const kRootKeys[] = {"plugins", "objects", "materials", "renderSettings"};
const char* const kPluginKeys[] = {"id", "type", "name"};
const char* const kObjectKeys[] = {"name", "type", "uid", "selected", "tags", "children"};
const char* const kMaterialKeys[] = {"name", "type", "uid", "selected", "channels", "reflectance"};
const char* const kShaderKeys[] = {"name", "type", "uid", "layers", "ref"}; // "ref": reflectance entries only
const char* const kLayerKeys[] = {"kind", "shader", "ref", "value"};
const char* const kRenderKeys[] = {"videoposts"};
const char* const kLeafKeys[] = {"name", "type", "uid"}; // tags, videoposts
const char* const kChannelKeys[] = {"0", "1", "2",  "3",  "4",  "5",  "6", "7",
                                    "8", "9", "10", "11", "12", "13", "14"};

// Key indices shared by the node kinds.
enum : int { kName = 0, kType = 1, kUid = 2, kSelected = 3, kLayers = 3, kRef = 4 };
enum : int { kTags = 4, kChildren = 5, kChannelsKey = 4, kReflectance = 5 };
enum : int { kLayerKind = 0, kLayerShader = 1, kLayerRef = 2, kLayerValue = 3 };
enum : int { kPluginId = 0, kPluginType = 1, kPluginName = 2 };

KeySet KeysOf(Ctx ctx) {
  switch (ctx) {
  case Ctx::Root: return {kRootKeys, 4};
  case Ctx::Plugin: return {kPluginKeys, 3};
  case Ctx::Object: return {kObjectKeys, 6};
  case Ctx::Material: return {kMaterialKeys, 6};
  case Ctx::Shader: return {kShaderKeys, 4};
  case Ctx::ReflEntry: return {kShaderKeys, 5};
  case Ctx::Layer: return {kLayerKeys, 4};
  case Ctx::RenderSettings: return {kRenderKeys, 1};
  case Ctx::Channels: return {kChannelKeys, 15};
  default: return {kLeafKeys, 3};
  }
}

struct Frame {
  Ctx ctx;
  int8_t key = -1;    // object frames: the key whose value is being read
  uint32_t seen = 0;  // object frames: keys met
  size_t count = 0;   // array frames: elements so far
  size_t current = 0; // array frames: the element being read
  Node* node = nullptr;
  Layer* layer = nullptr;
  int32_t slot = -1; // reflectance entry index
  PluginInfo plugin{0, 0, {}};
};

struct PendingRef {
  Node* material = nullptr; // reflectance entry (material, slot) ...
  int32_t slot = 0;
  Layer* layer = nullptr; // ... or layer
  std::string uid;
  std::string path;
};

class Loader : public nlohmann::json_sax<json> {
public:
  Loader() : doc_(NewEmptyDocument()) {}
  ~Loader() override { DestroyDocument(std::move(doc_)); }

  std::string error;

  // Resolves references and hands the document over; null on error.
  std::unique_ptr<Document> Finish(std::vector<PluginInfo>& plugins) {
    if (!sawRoot_) {
      error = "(top level): expected an object";
      return nullptr;
    }
    for (const PendingRef& ref : refs_) {
      auto it = uids_.find(ref.uid);
      if (it == uids_.end()) {
        error = ref.path + ": no node has uid \"" + ref.uid + "\"";
        return nullptr;
      }
      if (it->second->kind != NodeKind::Shader) {
        error = ref.path + ": uid \"" + ref.uid + "\" does not name a shader";
        return nullptr;
      }
      Slot& slot = ref.layer != nullptr ? ref.layer->slot : ref.material->material->reflectance[ref.slot];
      slot.link = it->second->identity;
    }
    if (!sawRenderSettings_)
      AttachRenderSettings();
    for (auto& [uid, node] : uids_)
      SetUid(node, uid);
    WalkObjects(doc_.get(), [this](Node* node, int) {
      if (node->selected)
        doc_->activeObject = node;
    });
    for (Node* node = doc_->materials.first; node != nullptr; node = node->next)
      if (node->selected)
        doc_->activeMaterial = node;
    plugins = std::move(plugins_);
    return std::move(doc_);
  }

  bool null() override { return Value(Kind::Null); }
  bool boolean(bool value) override {
    boolean_ = value;
    return Value(Kind::Bool);
  }
  bool number_integer(number_integer_t value) override {
    integer_ = value;
    return Value(Kind::Integer);
  }
  bool number_unsigned(number_unsigned_t value) override {
    integer_ = value > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(value);
    return Value(Kind::Integer);
  }
  bool number_float(number_float_t, const string_t&) override { return Value(Kind::Float); }
  bool string(string_t& value) override {
    string_ = std::move(value);
    return Value(Kind::String);
  }
  bool binary(binary_t&) override { return Value(Kind::Other); }
  bool start_object(std::size_t) override { return Value(Kind::Object); }
  bool start_array(std::size_t) override { return Value(Kind::Array); }
  bool end_array() override { return Pop(); }
  bool end_object() override { return EndObject() && Pop(); }

  bool key(string_t& name) override {
    Frame& f = stack_.back();
    const KeySet keys = KeysOf(f.ctx);
    int index = -1;
    for (int i = 0; i < keys.count; ++i)
      if (name == keys.names[i])
        index = i;
    if (index < 0)
      return Fail(Path().empty() ? Printable(name) : Path() + "." + Printable(name),
                  f.ctx == Ctx::Channels ? "channel index must be 0 to 14" : "unknown key");
    f.key = int8_t(index);
    if (f.seen & (1u << index))
      return Fail(Path(), "duplicate key");
    f.seen |= 1u << index;
    if (f.ctx == Ctx::ReflEntry) {
      const bool isRef = index == kRef;
      if ((isRef && f.seen != (1u << kRef)) || (!isRef && (f.seen & (1u << kRef))))
        return Fail(Path(), "a reference entry has no other keys");
    }
    if (f.ctx == Ctx::Layer && index != kLayerKind) {
      const uint32_t contents = f.seen & ((1u << kLayerShader) | (1u << kLayerRef) | (1u << kLayerValue));
      if (contents & (contents - 1))
        return Fail(Path(), "a layer holds only one of shader, ref and value");
    }
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override {
    std::string what = ex.what();
    if (auto close = what.find("] "); what.rfind("[json.exception", 0) == 0 && close != std::string::npos)
      what.erase(0, close + 2);
    error = PathOrTop() + ": invalid JSON: " + what;
    return false;
  }

private:
  enum class Kind { Null, Bool, Integer, Float, String, Object, Array, Other };

  bool Fail(const std::string& path, const std::string& message) {
    error = (path.empty() ? "(top level)" : path) + ": " + message;
    return false;
  }

  static std::string Printable(const std::string& key) {
    std::string out;
    for (char c : key)
      out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return out;
  }

  std::string Path() const {
    std::string path;
    for (const Frame& f : stack_) {
      if (IsArray(f.ctx)) {
        if (f.count > 0)
          path += "[" + std::to_string(f.current) + "]";
      } else if (f.key >= 0) {
        if (!path.empty())
          path += '.';
        path += KeysOf(f.ctx).names[f.key];
      }
    }
    return path;
  }

  std::string PathOrTop() const {
    std::string path = Path();
    return path.empty() ? "(top level)" : path;
  }

  bool Expect(Kind got, Kind want, const char* what) {
    return got == want ? true : Fail(Path(), std::string("expected ") + what);
  }

  bool Int(Kind got, int64_t low, int64_t high, int32_t& out) {
    if (got != Kind::Integer)
      return Fail(Path(), "expected an integer");
    if (integer_ < low || integer_ > high)
      return Fail(Path(), "expected an integer from " + std::to_string(low) + " to " + std::to_string(high));
    out = int32_t(integer_);
    return true;
  }

  Node* Make(NodeKind kind) {
    Node* node = NewNode(kind, {}, 0);
    node->doc = doc_.get();
    return node;
  }

  Node* AppendTo(NodeList& list, NodeKind kind, Node* parent) {
    Node* node = Make(kind);
    node->held = Held::List;
    node->parent = parent;
    ListAppend(list, node);
    return node;
  }

  Node* Hold(Node* owner, Held held, int32_t slot) {
    Node* node = Make(NodeKind::Shader);
    node->held = held;
    node->parent = owner;
    node->slot = slot;
    return node;
  }

  void AttachRenderSettings() {
    Node* settings = Make(NodeKind::RenderSettings);
    settings->name = "Render Settings";
    settings->held = Held::Document;
    doc_->renderSettings = settings;
  }

  void Push(Ctx ctx, Node* node) {
    Frame f{ctx};
    f.node = node;
    stack_.push_back(std::move(f));
  }

  bool Pop() {
    stack_.pop_back();
    if (!stack_.empty() && !IsArray(stack_.back().ctx))
      stack_.back().key = -1;
    return true;
  }

  bool Value(Kind kind) {
    if (stack_.empty()) {
      if (kind != Kind::Object)
        return Fail("", "expected an object");
      sawRoot_ = true;
      Push(Ctx::Root, nullptr);
      return true;
    }
    Frame& f = stack_.back();
    if (IsArray(f.ctx)) {
      f.current = f.count++;
      return Element(f, kind);
    }
    const bool ok = Member(f, kind);
    // A scalar ends its key; a container keeps it until it is closed.
    if (ok && kind != Kind::Object && kind != Kind::Array)
      stack_.back().key = -1;
    return ok;
  }

  bool Element(Frame& f, Kind kind) {
    Node* parent = f.node;
    switch (f.ctx) {
    case Ctx::PluginArr:
      if (!Expect(kind, Kind::Object, "an object"))
        return false;
      Push(Ctx::Plugin, nullptr);
      return true;
    case Ctx::ObjectArr:
      if (!Expect(kind, Kind::Object, "an object"))
        return false;
      Push(Ctx::Object,
           AppendTo(parent != nullptr ? parent->children : doc_->objects, NodeKind::Object, parent));
      return true;
    case Ctx::TagArr:
      if (!Expect(kind, Kind::Object, "an object"))
        return false;
      Push(Ctx::Tag, AppendTo(parent->tags, NodeKind::Tag, parent));
      return true;
    case Ctx::MaterialArr:
      if (!Expect(kind, Kind::Object, "an object"))
        return false;
      Push(Ctx::Material, AppendTo(doc_->materials, NodeKind::Material, nullptr));
      return true;
    case Ctx::VideopostArr:
      if (!Expect(kind, Kind::Object, "an object"))
        return false;
      Push(Ctx::Videopost, AppendTo(parent->children, NodeKind::Videopost, parent));
      return true;
    case Ctx::LayerArr: {
      if (!Expect(kind, Kind::Object, "an object"))
        return false;
      auto& layers = LayersOf(parent);
      auto layer = std::make_unique<Layer>();
      layer->layerShader = parent;
      layer->handle = Layers().Add<OxLayer>(layer.get());
      Layer* raw = layer.get();
      layers.push_back(std::move(layer));
      Push(Ctx::Layer, parent);
      stack_.back().layer = raw;
      return true;
    }
    case Ctx::ReflArr: {
      if (kind != Kind::Null && kind != Kind::Object)
        return Fail(Path(), "expected an object or null");
      auto& entries = parent->material->reflectance;
      entries.emplace_back();
      if (kind == Kind::Object) {
        Push(Ctx::ReflEntry, nullptr);
        stack_.back().slot = int32_t(entries.size() - 1);
      }
      return true;
    }
    default: return false;
    }
  }

  // The material of the reflectance entry being read: the frame below it.
  Node* ReflMaterial() const { return stack_[stack_.size() - 2].node; }

  bool NodeKey(Frame& f, Kind kind) {
    Node* node = f.node;
    switch (f.key) {
    case kName:
      if (!Expect(kind, Kind::String, "a string"))
        return false;
      node->name = std::move(string_);
      return true;
    case kType: return Int(kind, 0, INT32_MAX, node->type);
    case kUid: {
      if (!Expect(kind, Kind::String, "a string"))
        return false;
      auto [it, fresh] = uids_.emplace(string_, node);
      if (!fresh)
        return Fail(Path(), "duplicate uid \"" + string_ + "\"");
      return true;
    }
    default: return false;
    }
  }

  bool Member(Frame& f, Kind kind) {
    switch (f.ctx) {
    case Ctx::Root:
      switch (f.key) {
      case 0:
        if (!Expect(kind, Kind::Array, "an array"))
          return false;
        Push(Ctx::PluginArr, nullptr);
        return true;
      case 1:
        if (!Expect(kind, Kind::Array, "an array"))
          return false;
        Push(Ctx::ObjectArr, nullptr);
        return true;
      case 2:
        if (!Expect(kind, Kind::Array, "an array"))
          return false;
        Push(Ctx::MaterialArr, nullptr);
        return true;
      default:
        sawRenderSettings_ = true;
        if (kind == Kind::Null)
          return true;
        if (kind != Kind::Object)
          return Fail(Path(), "expected an object or null");
        AttachRenderSettings();
        Push(Ctx::RenderSettings, doc_->renderSettings);
        return true;
      }
    case Ctx::Plugin:
      switch (f.key) {
      case kPluginId: return Int(kind, 0, INT32_MAX, f.plugin.id);
      case kPluginType: return Int(kind, 0, 38, f.plugin.type);
      default:
        if (!Expect(kind, Kind::String, "a string"))
          return false;
        f.plugin.name = std::move(string_);
        return true;
      }
    case Ctx::Object:
    case Ctx::Material:
      if (f.key == kSelected) {
        if (kind != Kind::Bool)
          return Fail(Path(), "expected true or false");
        f.node->selected = boolean_;
        return true;
      }
      if (f.ctx == Ctx::Object && (f.key == kTags || f.key == kChildren)) {
        if (!Expect(kind, Kind::Array, "an array"))
          return false;
        Push(f.key == kTags ? Ctx::TagArr : Ctx::ObjectArr, f.node);
        return true;
      }
      if (f.ctx == Ctx::Material && f.key == kChannelsKey) {
        if (!Expect(kind, Kind::Object, "an object"))
          return false;
        Push(Ctx::Channels, f.node);
        return true;
      }
      if (f.ctx == Ctx::Material && f.key == kReflectance) {
        if (!Expect(kind, Kind::Array, "an array"))
          return false;
        EnsureChannel(f.node, 3);
        Push(Ctx::ReflArr, f.node);
        return true;
      }
      return NodeKey(f, kind);
    case Ctx::Tag:
    case Ctx::Videopost: return NodeKey(f, kind);
    case Ctx::Channels: {
      if (kind != Kind::Null && kind != Kind::Object)
        return Fail(Path(), "expected an object or null");
      Channel* channel = EnsureChannel(f.node, f.key);
      if (kind == Kind::Object) {
        channel->shader = Hold(f.node, Held::Channel, f.key);
        Push(Ctx::Shader, channel->shader);
      }
      return true;
    }
    case Ctx::ReflEntry:
      if (f.key == kRef) {
        if (!Expect(kind, Kind::String, "a string"))
          return false;
        refs_.push_back({ReflMaterial(), f.slot, nullptr, string_, Path()});
        return true;
      }
      if (f.node == nullptr) {
        Node* material = ReflMaterial();
        f.node = Hold(material, Held::Reflectance, f.slot);
        Slot& slot = material->material->reflectance[f.slot];
        slot.owned = f.node;
        slot.link = f.node->identity;
      }
      [[fallthrough]];
    case Ctx::Shader:
      if (f.key == kLayers) {
        if (!Expect(kind, Kind::Array, "an array"))
          return false;
        LayersOf(f.node);
        Push(Ctx::LayerArr, f.node);
        return true;
      }
      return NodeKey(f, kind);
    case Ctx::Layer: {
      Layer* layer = f.layer;
      switch (f.key) {
      case kLayerKind: return Int(kind, INT32_MIN, INT32_MAX, layer->kind);
      case kLayerValue:
        layer->content = LayerContent::Value;
        return Int(kind, INT32_MIN, INT32_MAX, layer->value);
      case kLayerRef:
        if (!Expect(kind, Kind::String, "a string"))
          return false;
        layer->content = LayerContent::Link;
        refs_.push_back({nullptr, 0, layer, string_, Path()});
        return true;
      default: {
        if (kind != Kind::Null && kind != Kind::Object)
          return Fail(Path(), "expected an object or null");
        layer->content = LayerContent::Link;
        if (kind == Kind::Object) {
          const auto& layers = *f.node->layers;
          int32_t index = 0;
          while (layers[index].get() != layer)
            ++index;
          layer->slot.owned = Hold(f.node, Held::Layer, index);
          layer->slot.link = layer->slot.owned->identity;
          Push(Ctx::Shader, layer->slot.owned);
        }
        return true;
      }
      }
    }
    case Ctx::RenderSettings:
      if (!Expect(kind, Kind::Array, "an array"))
        return false;
      Push(Ctx::VideopostArr, f.node);
      return true;
    default: return false;
    }
  }

  bool Require(const Frame& f, std::initializer_list<int> keys) {
    for (int key : keys)
      if (!(f.seen & (1u << key)))
        return Fail(Path(), std::string("missing key \"") + KeysOf(f.ctx).names[key] + "\"");
    return true;
  }

  bool EndObject() {
    Frame& f = stack_.back();
    f.key = -1;
    switch (f.ctx) {
    case Ctx::Plugin: {
      if (!Require(f, {kPluginId, kPluginType, kPluginName}))
        return false;
      const int64_t pair = (int64_t(f.plugin.id) << 8) | f.plugin.type;
      if (!pluginPairs_.insert(pair).second)
        return Fail(Path(), "duplicate plug-in " + std::to_string(f.plugin.id) + " of type " +
                                std::to_string(f.plugin.type));
      plugins_.push_back(std::move(f.plugin));
      return true;
    }
    case Ctx::Object:
    case Ctx::Tag:
    case Ctx::Material:
    case Ctx::Videopost: return Require(f, {kName, kType});
    case Ctx::ReflEntry:
      if (f.seen & (1u << kRef))
        return true;
      [[fallthrough]];
    case Ctx::Shader:
      if (!Require(f, {kName, kType}))
        return false;
      if (f.node->type == OX_TYPE_LAYER_SHADER)
        LayersOf(f.node);
      else if (f.seen & (1u << kLayers)) {
        f.key = kLayers;
        return Fail(Path(), "only a layer shader (type 1011123) has layers");
      }
      return true;
    case Ctx::Layer: {
      if (!Require(f, {kLayerKind}))
        return false;
      if (f.layer->kind != OX_LAYER_KIND_SHADER) {
        for (int key : {kLayerShader, kLayerRef, kLayerValue})
          if (f.seen & (1u << key)) {
            f.key = int8_t(key);
            return Fail(Path(), "only a layer of kind 2 holds a shader, ref or value");
          }
      }
      return true;
    }
    default: return true;
    }
  }

  std::unique_ptr<Document> doc_;
  std::vector<Frame> stack_;
  std::vector<PendingRef> refs_;
  std::unordered_map<std::string, Node*> uids_;
  std::vector<PluginInfo> plugins_;
  std::unordered_set<int64_t> pluginPairs_;
  bool sawRoot_ = false;
  bool sawRenderSettings_ = false;
  bool boolean_ = false;
  int64_t integer_ = 0;
  std::string string_;
};

// ---- writing ------------------------------------------------------------------

constexpr int kMaxIndent = 40;

class Saver {
public:
  explicit Saver(const Document* doc) : doc_(doc) {}

  std::string Save() {
    AssignUids();
    out_ += "{\n  \"plugins\": [";
    bool first = true;
    for (const Node* plugin : Registry()) {
      out_ += first ? "\n" : ",\n";
      first = false;
      Indent(2);
      out_ += "{\"id\": " + std::to_string(plugin->pluginId) + ", \"type\": " + std::to_string(plugin->type) +
              ", \"name\": ";
      Str(plugin->name);
      out_ += '}';
    }
    Close(first, 1);
    out_ += ",\n  \"objects\": [";
    first = true;
    for (const Node* object = doc_->objects.first; object != nullptr; object = object->next) {
      out_ += first ? "\n" : ",\n";
      first = false;
      Run({Task::Object, 2, object, {}});
    }
    Close(first, 1);
    out_ += ",\n  \"materials\": [";
    first = true;
    for (const Node* material = doc_->materials.first; material != nullptr; material = material->next) {
      out_ += first ? "\n" : ",\n";
      first = false;
      Run({Task::Material, 2, material, {}});
    }
    Close(first, 1);
    out_ += ",\n  \"renderSettings\": ";
    if (doc_->renderSettings == nullptr) {
      out_ += "null";
    } else {
      out_ += "{\"videoposts\": [";
      first = true;
      for (const Node* vp = doc_->renderSettings->children.first; vp != nullptr; vp = vp->next) {
        out_ += first ? "\n" : ",\n";
        first = false;
        Indent(2);
        Leaf(vp);
      }
      Close(first, 1);
      out_ += '}';
    }
    out_ += "\n}\n";
    return std::move(out_);
  }

private:
  struct Task {
    enum Kind : uint8_t { Text, Object, Material, Shader, InlineShader, Layer } kind;
    int level = 0;
    const void* item = nullptr;
    std::string text;
  };

  void Indent(int level) { out_.append(size_t(2 * std::min(level, kMaxIndent)), ' '); }
  std::string IndentText(int level) const {
    return std::string(size_t(2 * std::min(level, kMaxIndent)), ' ');
  }

  void Close(bool empty, int level) {
    if (!empty) {
      out_ += '\n';
      Indent(level);
    }
    out_ += ']';
  }

  void Str(const std::string& text) {
    out_ += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
  }

  // `{"name": .., "type": ..[, "uid": ..]` without the closing brace.
  void Head(const Node* node) {
    out_ += "{\"name\": ";
    Str(node->name);
    out_ += ", \"type\": " + std::to_string(node->type);
    if (const std::string* uid = SavedUid(node)) {
      out_ += ", \"uid\": ";
      Str(*uid);
    }
  }

  void Leaf(const Node* node) {
    Head(node);
    out_ += '}';
  }

  const std::string* SavedUid(const Node* node) const {
    if (node->hasUid)
      return UidOf(node->identity);
    auto it = synthesized_.find(node->identity);
    return it == synthesized_.end() ? nullptr : &it->second;
  }

  // The shader a reference slot names, when it is alive in this document.
  const Node* RefTarget(const Slot& slot) const {
    const Node* target = LinkedNode(slot.link, doc_);
    return target != nullptr && target->kind == NodeKind::Shader ? target : nullptr;
  }

  template <class F> void ForEachSlot(F&& visit) const {
    for (Node* material = doc_->materials.first; material != nullptr; material = material->next)
      ForEachInSubtree(material, [&](Node* node) {
        if (node->material)
          for (const Slot& slot : node->material->reflectance)
            visit(slot);
        if (node->layers)
          for (const auto& layer : *node->layers)
            if (layer->content == LayerContent::Link)
              visit(layer->slot);
      });
  }

  void AssignUids() {
    std::unordered_set<uint32_t> named;
    ForEachSlot([&](const Slot& slot) {
      if (slot.owned == nullptr)
        if (const Node* target = RefTarget(slot); target != nullptr && !target->hasUid)
          named.insert(target->identity);
    });
    if (named.empty())
      return;
    std::unordered_set<std::string> used;
    auto collect = [&](Node* node) {
      if (node->hasUid)
        if (const std::string* uid = UidOf(node->identity))
          used.insert(*uid);
    };
    for (Node* object = doc_->objects.first; object != nullptr; object = object->next)
      ForEachInSubtree(object, collect);
    for (Node* material = doc_->materials.first; material != nullptr; material = material->next)
      ForEachInSubtree(material, collect);
    if (doc_->renderSettings != nullptr)
      ForEachInSubtree(doc_->renderSettings, collect);
    int next = 1;
    for (Node* material = doc_->materials.first; material != nullptr; material = material->next)
      ForEachInSubtree(material, [&](Node* node) {
        if (named.count(node->identity) == 0 || synthesized_.count(node->identity) != 0)
          return;
        std::string uid;
        do
          uid = "S" + std::to_string(next++);
        while (used.count(uid) != 0);
        synthesized_[node->identity] = uid;
      });
  }

  void Run(Task first) {
    std::vector<Task> stack;
    stack.push_back(std::move(first));
    std::vector<Task> pieces;
    while (!stack.empty()) {
      Task task = std::move(stack.back());
      stack.pop_back();
      pieces.clear();
      switch (task.kind) {
      case Task::Text: out_ += task.text; break;
      case Task::Object: ExpandObject(static_cast<const Node*>(task.item), task.level, pieces); break;
      case Task::Material: ExpandMaterial(static_cast<const Node*>(task.item), task.level, pieces); break;
      case Task::Shader:
        Indent(task.level);
        ExpandShader(static_cast<const Node*>(task.item), task.level, pieces);
        break;
      case Task::InlineShader: ExpandShader(static_cast<const Node*>(task.item), task.level, pieces); break;
      case Task::Layer: ExpandLayer(static_cast<const scene::Layer*>(task.item), task.level, pieces); break;
      }
      for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        stack.push_back(std::move(*it));
    }
  }

  void ExpandObject(const Node* object, int level, std::vector<Task>& pieces) {
    Indent(level);
    Head(object);
    if (object->selected)
      out_ += ", \"selected\": true";
    if (object->tags.first != nullptr) {
      out_ += ", \"tags\": [";
      for (const Node* tag = object->tags.first; tag != nullptr; tag = tag->next) {
        out_ += tag->prev == nullptr ? "\n" : ",\n";
        Indent(level + 1);
        Leaf(tag);
      }
      Close(false, level);
    }
    if (object->children.first == nullptr) {
      out_ += '}';
      return;
    }
    out_ += ", \"children\": [\n";
    for (const Node* child = object->children.first; child != nullptr; child = child->next) {
      if (child->prev != nullptr)
        pieces.push_back({Task::Text, 0, nullptr, ",\n"});
      pieces.push_back({Task::Object, level + 1, child, {}});
    }
    pieces.push_back({Task::Text, 0, nullptr, "\n" + IndentText(level) + "]}"});
  }

  void ExpandMaterial(const Node* material, int level, std::vector<Task>& pieces) {
    Indent(level);
    Head(material);
    if (material->selected)
      out_ += ", \"selected\": true";
    const MaterialData& data = *material->material;
    const bool hasReflectance = !data.reflectance.empty();
    std::string text;
    bool firstChannel = true;
    for (int i = 0; i < 15; ++i) {
      const Channel* channel = data.channels[i].get();
      if (channel == nullptr || (i == 3 && hasReflectance && channel->shader == nullptr))
        continue;
      text += firstChannel ? ", \"channels\": {" : ", ";
      firstChannel = false;
      text += "\"" + std::to_string(i) + "\": ";
      if (channel->shader == nullptr) {
        text += "null";
      } else {
        pieces.push_back({Task::Text, 0, nullptr, std::move(text)});
        text.clear();
        pieces.push_back({Task::InlineShader, level, channel->shader, {}});
      }
    }
    if (!firstChannel)
      text += '}';
    if (hasReflectance) {
      text += ", \"reflectance\": [\n";
      bool first = true;
      for (const Slot& slot : data.reflectance) {
        if (!first)
          text += ",\n";
        first = false;
        if (slot.owned != nullptr) {
          pieces.push_back({Task::Text, 0, nullptr, std::move(text)});
          text.clear();
          pieces.push_back({Task::Shader, level + 1, slot.owned, {}});
          continue;
        }
        text += IndentText(level + 1);
        const Node* target = RefTarget(slot);
        const std::string* uid = target != nullptr ? SavedUid(target) : nullptr;
        if (uid != nullptr)
          text += "{\"ref\": " + json(*uid).dump(-1, ' ', false, json::error_handler_t::replace) + "}";
        else
          text += "null";
      }
      text += "\n" + IndentText(level) + "]";
    }
    text += '}';
    pieces.push_back({Task::Text, 0, nullptr, std::move(text)});
  }

  void ExpandShader(const Node* shader, int level, std::vector<Task>& pieces) {
    Head(shader);
    if (!shader->layers || shader->layers->empty()) {
      out_ += '}';
      return;
    }
    out_ += ", \"layers\": [\n";
    bool first = true;
    for (const auto& layer : *shader->layers) {
      if (!first)
        pieces.push_back({Task::Text, 0, nullptr, ",\n"});
      first = false;
      pieces.push_back({Task::Layer, level + 1, layer.get(), {}});
    }
    pieces.push_back({Task::Text, 0, nullptr, "\n" + IndentText(level) + "]}"});
  }

  void ExpandLayer(const scene::Layer* layer, int level, std::vector<Task>& pieces) {
    Indent(level);
    out_ += "{\"kind\": " + std::to_string(layer->kind);
    switch (layer->content) {
    case LayerContent::Nothing: break;
    case LayerContent::Value: out_ += ", \"value\": " + std::to_string(layer->value); break;
    case LayerContent::Link:
      if (layer->slot.owned != nullptr) {
        out_ += ", \"shader\": ";
        pieces.push_back({Task::InlineShader, level, layer->slot.owned, {}});
        pieces.push_back({Task::Text, 0, nullptr, "}"});
        return;
      }
      if (const Node* target = RefTarget(layer->slot); target != nullptr && SavedUid(target) != nullptr) {
        out_ += ", \"ref\": ";
        Str(*SavedUid(target));
      } else {
        out_ += ", \"shader\": null";
      }
      break;
    }
    out_ += '}';
  }

  const Document* doc_;
  std::string out_;
  std::unordered_map<uint32_t, std::string> synthesized_;
};

bool Load(std::string_view text, std::string& error) {
  std::unique_ptr<Document> doc;
  std::vector<PluginInfo> plugins;
  {
    Loader loader;
    const bool parsed = json::sax_parse(text.begin(), text.end(), &loader, json::input_format_t::json, true);
    if (parsed)
      doc = loader.Finish(plugins);
    if (!doc) {
      error = loader.error.empty() ? "(top level): invalid JSON" : loader.error;
      return false;
    }
  }
  ReplaceRegistry(plugins);
  DocumentList().push_back(std::move(doc));
  Active() = DocumentList().back().get();
  return true;
}

} // namespace

bool LoadSceneString(std::string_view json, std::string& error) {
  return Load(json, error);
}

bool LoadSceneFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "the file cannot be opened";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return Load(buffer.str(), error);
}

std::string SaveSceneString(OxDocument* handle) {
  const Document* doc = handle != nullptr ? Documents().Get(handle) : Active();
  if (doc == nullptr)
    return {};
  return Saver(doc).Save();
}

bool SaveSceneFile(const std::string& path, std::string& error, OxDocument* handle) {
  const Document* doc = handle != nullptr ? Documents().Get(handle) : Active();
  if (doc == nullptr) {
    error = "no document to save";
    return false;
  }
  const std::string text = Saver(doc).Save();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

} // namespace standin
