// The command registry. A registration is checked whole before anything is
// kept: a null object or callback table, a table shorter than the host reads
// or with a null slot, or a bad text or icon handle is a breach and the
// registration is refused. Once registered, the host owns the object and ends
// it through `destroy`, exactly once.
#include "core/breach.h"
#include "core/texts.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"
#include "scene/world.h"

#include <algorithm>

namespace standin {
namespace {

constexpr const char* kOperation = "RegisterCommand";

struct Registry {
  std::vector<RegisteredCommand> commands;
  bool refuse = false;
};

Registry& State() {
  static Registry state;
  return state;
}

bool AllSlotsSet(const OxCommandCallbacks& c) {
  return c.destroy != nullptr && c.execute != nullptr && c.unused3 != nullptr && c.unused4 != nullptr &&
         c.state != nullptr && c.unused6 != nullptr && c.restoreLayout != nullptr && c.text != nullptr &&
         c.message != nullptr;
}

bool Check(const OxCommandRegistration* r, RegisteredCommand& out) {
  if (!CheckNotNull(r, kOperation, "registration"))
    return false;
  if (r->size < sizeof(OxCommandRegistration)) {
    Breach(kOperation, "registration record of " + std::to_string(r->size) + " bytes, expected " +
                           std::to_string(sizeof(OxCommandRegistration)));
    return false;
  }
  if (!CheckNotNull(r->self, kOperation, "command object") ||
      !CheckNotNull(r->callbacks, kOperation, "callback table"))
    return false;
  if (r->callbacks->size < sizeof(OxCommandCallbacks)) {
    Breach(kOperation, "callback table of " + std::to_string(r->callbacks->size) + " bytes, expected " +
                           std::to_string(sizeof(OxCommandCallbacks)));
    return false;
  }
  if (!AllSlotsSet(*r->callbacks)) {
    Breach(kOperation, "null slot in the callback table");
    return false;
  }
  const std::string* name = TextString(r->name, kOperation);
  const std::string* help = TextString(r->help, kOperation);
  if (name == nullptr || help == nullptr)
    return false;
  if (r->icon != nullptr) {
    bool loaded = false;
    if (!runtime_detail::BitmapSize(r->icon, loaded, out.iconWidth, out.iconHeight, kOperation))
      return false;
    out.hasIcon = true;
    if (!loaded)
      out.iconWidth = out.iconHeight = 0;
  }
  out.pluginId = r->pluginId;
  out.name = *name;
  out.help = *help;
  out.infoFlags = r->infoFlags;
  out.apiVersion = r->apiVersion;
  out.callbacks = *r->callbacks;
  out.callbacks.size = sizeof(OxCommandCallbacks);
  out.self = r->self;
  return true;
}

OxBool Register(const OxCommandRegistration* registration) noexcept {
  try {
    RegisteredCommand command;
    if (!Check(registration, command))
      return 0;
    Registry& s = State();
    // Refusals a real host may give: switched on by a test, or an id taken.
    if (s.refuse || FindCommand(command.pluginId) != nullptr)
      return 0;
    s.commands.push_back(std::move(command));
    return 1;
  } catch (...) {
    return 0;
  }
}

} // namespace

const std::vector<RegisteredCommand>& Commands() {
  return State().commands;
}

const RegisteredCommand* FindCommand(int32_t pluginId) {
  const auto& all = State().commands;
  const auto it = std::find_if(all.begin(), all.end(),
                               [&](const RegisteredCommand& c) { return c.pluginId == pluginId; });
  return it == all.end() ? nullptr : &*it;
}

void RefuseRegistrations(bool refuse) {
  State().refuse = refuse;
}

// Each call works on a copy of the entry: the module may register or the
// registry may change while the call runs.
std::optional<bool> ExecuteCommand(int32_t pluginId) {
  const RegisteredCommand* found = FindCommand(pluginId);
  if (found == nullptr)
    return std::nullopt;
  const OxCommandCallbacks callbacks = found->callbacks;
  return callbacks.execute(found->self, ActiveDocument()) != 0;
}

std::optional<bool> RestoreCommand(int32_t pluginId, void* layoutData) {
  const RegisteredCommand* found = FindCommand(pluginId);
  if (found == nullptr)
    return std::nullopt;
  const OxCommandCallbacks callbacks = found->callbacks;
  return callbacks.restoreLayout(found->self, layoutData) != 0;
}

std::optional<int32_t> CommandState(int32_t pluginId) {
  const RegisteredCommand* found = FindCommand(pluginId);
  if (found == nullptr)
    return std::nullopt;
  const OxCommandCallbacks callbacks = found->callbacks;
  return callbacks.state(found->self, ActiveDocument());
}

void DestroyCommands() {
  // Taken out of the registry first, so that nothing can reach a command
  // while (or after) it is destroyed.
  while (!State().commands.empty()) {
    std::vector<RegisteredCommand> ending = std::move(State().commands);
    State().commands.clear();
    for (const RegisteredCommand& command : ending)
      command.callbacks.destroy(command.self);
  }
}

namespace runtime_detail {

void ResetCommands() {
  State() = Registry{};
}

const OxCommandArea* CommandArea() {
  static const OxCommandArea area{sizeof(OxCommandArea), Register};
  return &area;
}

} // namespace runtime_detail
} // namespace standin
