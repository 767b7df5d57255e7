// The ui subsystem's state, its area tables and inspection.
#include "ui/gui.h"

#include "ui/ui_state.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace standin {

namespace ui {

Window::Window() {
  groups.push_back(std::make_unique<Group>());
}

State& S() {
  static State state;
  return state;
}

void Collect() {
  State& s = S();
  if (s.depth != 0)
    return;
  s.deadWindows.clear();
  s.deadDialogs.clear();
}

Dialog* OpenDialog() {
  Dialog* best = nullptr;
  for (const auto& d : S().dialogList)
    if (!d->dead && d->state == WindowState::Open && (best == nullptr || d->openedAt > best->openedAt))
      best = d.get();
  return best;
}

Element* FindElement(Window& window, int32_t id, bool (*accept)(const Element&)) {
  for (const auto& e : window.elements)
    if (e->id == id && (accept == nullptr || accept(*e)))
      return e.get();
  return nullptr;
}

Element* FindTree(Window& window) {
  for (const auto& e : window.elements)
    if (e->tree)
      return e.get();
  return nullptr;
}

std::string FormatNumber(double value, int32_t) {
  if (std::isnan(value))
    return "nan";
  if (std::isinf(value))
    return value < 0 ? "-inf" : "inf";
  char buffer[64];
  if (value == std::trunc(value) && std::fabs(value) < 1e21) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
  }
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

} // namespace ui

using namespace ui;

void FillUiAreas(OxHostTables& tables) {
  tables.areas[OX_AREA_DIALOG] = DialogArea();
  tables.areas[OX_AREA_GUI] = GuiArea();
  tables.areas[OX_AREA_ELEMENT] = ElementArea();
  tables.areas[OX_AREA_DRAW] = DrawArea();
  tables.areas[OX_AREA_CONTAINER] = ContainerArea();
}

void ResetUi() {
  State& s = S();
  for (const auto& d : s.dialogList) {
    if (d->window)
      KillWindow(*d);
    s.dialogs.Remove(d->handle);
  }
  s.dialogList.clear();
  for (const auto& c : s.containerList)
    s.containers.Remove(c->handle);
  s.containerList.clear();
  std::vector<OxArea*> areas;
  s.areas.ForEach([&](Area* a) { areas.push_back(a->handle); });
  for (OxArea* a : areas)
    s.areas.Remove(a);
  if (s.depth == 0) {
    s.deadWindows.clear();
    s.deadDialogs.clear();
  }
  s.answers.clear();
  s.provider = nullptr;
  s.pauseCalls = 0;
  s.lastDrawing = TreeDrawing();
}

std::vector<ElementInfo> OpenDialogElements() {
  std::vector<ElementInfo> out;
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return out;
  for (const auto& e : d->window->elements) {
    ElementInfo info;
    info.kind = e->kind;
    info.id = e->id;
    info.text = e->text;
    info.enabled = e->enabled;
    info.value = e->value;
    info.hasLimits = e->hasLimits;
    info.min = e->min;
    info.max = e->max;
    info.step = e->step;
    info.format = e->format;
    info.entries = e->entries;
    info.customType = e->customType;
    out.push_back(std::move(info));
  }
  return out;
}

std::vector<std::pair<int32_t, std::string>> OpenDialogMenu() {
  std::vector<std::pair<int32_t, std::string>> out;
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return out;
  // Depth first without recursion: a stack of (list, next index).
  std::vector<std::pair<const std::vector<MenuItem>*, size_t>> stack{{&d->window->menu, 0}};
  while (!stack.empty()) {
    auto& [list, index] = stack.back();
    if (index >= list->size()) {
      stack.pop_back();
      continue;
    }
    const MenuItem& item = (*list)[index++];
    if (item.submenu)
      stack.push_back({&item.children, 0});
    else
      out.emplace_back(item.id, item.text);
  }
  return out;
}

std::string OpenDialogTitle() {
  Dialog* d = OpenDialog();
  return d == nullptr ? std::string() : d->window->title;
}

size_t LiveDialogs() {
  return S().dialogs.live();
}
size_t LiveElements() {
  return S().elements.live();
}
size_t LiveContainers() {
  return S().containers.live();
}
size_t LiveAreas() {
  return S().areas.live();
}
int32_t PauseCalls() {
  return S().pauseCalls;
}

std::optional<std::vector<ContainerEntry>> ContainerEntries(const OxContainer* container) {
  const Container* c = S().containers.Get(container);
  if (c == nullptr)
    return std::nullopt;
  return c->entries;
}

const TreeDrawing& LastTreeDrawing() {
  return S().lastDrawing;
}

} // namespace standin
