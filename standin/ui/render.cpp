// `show dialog`: the open dialog's window as lines of text (format in gui.h).
#include "ui/ui_state.h"

#include <algorithm>

namespace standin {

using namespace ui;

namespace {

struct Cell {
  std::string body;
  std::string suffix;
  bool isStatic = false;
};

Cell Render(const Element& e, bool withIds) {
  Cell cell;
  switch (e.kind) {
  case OX_ELEM_STATIC:
    cell.body = e.text;
    cell.isStatic = true;
    break;
  case OX_ELEM_CHECKBOX: cell.body = std::string(e.value != 0 ? "[x] " : "[ ] ") + e.text; break;
  case OX_ELEM_BUTTON: cell.body = "[" + e.text + "]"; break;
  case OX_ELEM_NUMBER: cell.body = "[" + FormatNumber(e.value, e.format) + "]"; break;
  case OX_ELEM_DROPDOWN: {
    auto it = std::find_if(e.entries.begin(), e.entries.end(),
                           [&e](const auto& entry) { return entry.first == e.value; });
    cell.body = "[" + (it != e.entries.end() ? it->second : std::string("?")) + " v]";
    break;
  }
  default: cell.body = "<custom " + std::to_string(e.customType) + ">"; break;
  }
  if (withIds && !cell.isStatic)
    cell.suffix += " #" + std::to_string(e.id);
  if (!e.enabled)
    cell.suffix += " (disabled)";
  return cell;
}

void RenderMenu(const std::vector<MenuItem>& items, bool withIds, std::string& out, const char* separator) {
  bool first = true;
  for (const MenuItem& item : items) {
    if (!first)
      out += separator;
    first = false;
    out += item.text;
    if (item.submenu) {
      out += " [";
      RenderMenu(item.children, withIds, out, " | ");
      out += "]";
    } else if (withIds) {
      out += " #" + std::to_string(item.id);
    }
  }
}

struct Frame {
  const Group* group;
  size_t next = 0;
  std::string indent;
  std::vector<Cell> pending;
  int32_t column = 0;
};

void Flush(Frame& f, std::vector<std::string>& lines) {
  std::string line;
  bool label = false; // the previous cell labels this one
  for (size_t i = 0; i < f.pending.size(); ++i) {
    const Cell& cell = f.pending[i];
    if (cell.body.empty() && cell.suffix.empty())
      continue;
    if (!line.empty())
      line += label ? " " : "  ";
    line += cell.body;
    label = cell.isStatic && i + 1 < f.pending.size() && !f.pending[i + 1].isStatic;
    if (label)
      line += ":";
    line += cell.suffix;
  }
  if (!line.empty())
    lines.push_back(f.indent + line);
  f.pending.clear();
}

} // namespace

std::vector<std::string> DialogLines(bool withIds) {
  std::vector<std::string> lines;
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return lines;
  Window* w = d->window.get();
  if (!w->title.empty())
    lines.push_back(w->title);
  if (!w->menu.empty()) {
    std::string menu = "Menu: ";
    RenderMenu(w->menu, withIds, menu, "  ");
    lines.push_back(menu);
  }
  std::vector<Frame> stack;
  stack.push_back({w->groups[0].get(), 0, std::string(), {}, 0});
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next >= f.group->items.size()) {
      Flush(f, lines);
      stack.pop_back();
      continue;
    }
    const LayoutItem item = f.group->items[f.next++];
    const int32_t columns = std::max(f.group->columns, 1);
    const bool block = item.group != nullptr || item.element->tree != nullptr;
    if (!block) {
      f.pending.push_back(Render(*item.element, withIds));
    } else {
      Flush(f, lines);
    }
    if (++f.column == columns) {
      Flush(f, lines);
      f.column = 0;
    }
    if (item.group != nullptr) {
      const Group* g = item.group;
      std::string indent = f.indent;
      if (!g->title.empty()) {
        lines.push_back(indent + g->title);
        indent += "  ";
      }
      stack.push_back({g, 0, std::move(indent), {}, 0}); // `f` is not used after this
    } else if (item.element->tree != nullptr) {
      const Element& e = *item.element;
      std::string label = f.indent + "List";
      if (withIds)
        label += " #" + std::to_string(e.id);
      label += ":";
      if (!e.enabled)
        label += " (disabled)";
      lines.push_back(label);
      const std::string indent = f.indent + "  ";
      // Drawing calls the model, which could even close the window.
      for (const std::string& line : ListLinesOf(*item.element))
        lines.push_back(line.empty() ? line : indent + line);
      if (item.element->dead)
        break;
    }
  }
  return lines;
}

} // namespace standin
