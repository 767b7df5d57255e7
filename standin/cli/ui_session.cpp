#include "cli/ui_session.h"

#include "core/breach.h"
#include "core/output.h"
#include "scene/world.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <sstream>

namespace standin::cli::ui {
namespace {

struct Marker {
  size_t at = 0;     // where " #ID" starts in the raw line
  size_t length = 0; // of " #ID"
  size_t control = 0;
};

// Where `id`'s marker " #ID" is in `line` (not followed by another digit),
// from `from` on.
size_t FindMarker(const std::string& line, int32_t id, size_t from) {
  const std::string marker = " #" + std::to_string(id);
  for (size_t at = line.find(marker, from); at != std::string::npos; at = line.find(marker, at + 1)) {
    const size_t after = at + marker.size();
    if (after == line.size() || line[after] < '0' || line[after] > '9')
      return at;
  }
  return std::string::npos;
}

// The length of the control's own text just before its marker, as the
// host's dialog drawing writes it.
size_t BodyLength(const Control& c, const std::string& line, size_t marker) {
  switch (c.kind) {
  case ControlKind::Checkbox: return 4 + c.label.size();
  case ControlKind::Button: return 2 + c.label.size();
  case ControlKind::Dropdown: return 4 + EntryText(c).size();
  case ControlKind::Menu: return c.label.size();
  case ControlKind::List: return 4; // "List"
  case ControlKind::Number: {
    const size_t open = line.rfind('[', marker);
    return open == std::string::npos ? 0 : marker - open;
  }
  }
  return 0;
}

} // namespace

std::string FormatValue(double value) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
    return std::to_string(static_cast<long long>(value));
  std::ostringstream out;
  out << value;
  return out.str();
}

std::string EntryText(const Control& control) {
  for (const auto& [id, text] : control.entries)
    if (id == control.value)
      return text;
  return "?";
}

std::string ScriptFor(const Control& c, double value) {
  switch (c.kind) {
  case ControlKind::Menu: return "menu " + std::to_string(c.id);
  case ControlKind::Button: return "press " + std::to_string(c.id);
  case ControlKind::List: return "choose " + FormatValue(value);
  default: return "set " + std::to_string(c.id) + " " + FormatValue(value);
  }
}

Snapshot TakeSnapshot() {
  Snapshot s;
  if (!HasOpenDialog())
    return s;
  s.open = true;
  s.title = OpenDialogTitle();
  const std::vector<std::string> raw = DialogLines(true);
  const std::optional<ListCells> list = VisibleList();
  if (list) {
    s.hasList = true;
    s.list = *list;
  }

  // The controls, each labelled by the static text added just before it.
  std::vector<Control> controls;
  std::string label;
  for (const ElementInfo& e : OpenDialogElements()) {
    if (e.kind == OX_ELEM_STATIC) {
      label = e.text;
      continue;
    }
    Control c;
    c.id = e.id;
    c.enabled = e.enabled;
    c.value = e.value;
    c.entries = e.entries;
    switch (e.kind) {
    case OX_ELEM_DROPDOWN: c.kind = ControlKind::Dropdown; break;
    case OX_ELEM_CHECKBOX: c.kind = ControlKind::Checkbox; break;
    case OX_ELEM_NUMBER: c.kind = ControlKind::Number; break;
    case OX_ELEM_BUTTON: c.kind = ControlKind::Button; break;
    case OX_ELEM_CUSTOM: c.kind = ControlKind::List; break;
    default: label.clear(); continue;
    }
    if (c.kind == ControlKind::List && !s.hasList) {
      label.clear();
      continue; // a custom element that is not a list has nothing to use
    }
    const bool ownText = c.kind == ControlKind::Checkbox || c.kind == ControlKind::Button;
    c.label = ownText ? e.text : c.kind == ControlKind::List ? "List" : label.empty() ? e.text : label;
    label.clear();
    controls.push_back(std::move(c));
  }
  for (const auto& [id, text] : OpenDialogMenu()) {
    Control c;
    c.kind = ControlKind::Menu;
    c.id = id;
    c.label = text;
    controls.push_back(std::move(c));
  }

  // Find every control's marker, line by line; drop the list's rows.
  std::vector<bool> placed(controls.size(), false);
  size_t skip = 0;
  for (size_t i = (!s.title.empty() && !raw.empty() && raw[0] == s.title) ? 1 : 0; i < raw.size(); ++i) {
    if (skip > 0) {
      --skip;
      continue;
    }
    const std::string& line = raw[i];
    std::vector<Marker> markers;
    for (size_t k = 0; k < controls.size(); ++k) {
      if (placed[k])
        continue;
      const size_t at = FindMarker(line, controls[k].id, 0);
      if (at == std::string::npos)
        continue;
      bool taken = false;
      for (const Marker& m : markers)
        taken = taken || m.at == at;
      if (taken)
        continue;
      markers.push_back({at, 2 + std::to_string(controls[k].id).size(), k});
      placed[k] = true;
    }
    std::sort(markers.begin(), markers.end(), [](const Marker& a, const Marker& b) { return a.at < b.at; });
    std::string stripped;
    size_t from = 0;
    for (const Marker& m : markers) {
      Control& c = controls[m.control];
      stripped += line.substr(from, m.at - from);
      from = m.at + m.length;
      c.line = s.lines.size();
      c.end = stripped.size();
      c.begin = c.end - std::min(c.end, BodyLength(c, line, m.at));
      if (c.kind == ControlKind::List) {
        s.listLine = s.lines.size();
        skip = s.list.rows.size() + 1; // its header and rows
      }
    }
    stripped += line.substr(from);
    s.lines.push_back(std::move(stripped));
    s.idLines.push_back(line);
  }
  for (size_t k = 0; k < controls.size(); ++k)
    if (placed[k])
      s.controls.push_back(std::move(controls[k]));
  std::stable_sort(s.controls.begin(), s.controls.end(), [](const Control& a, const Control& b) {
    return a.line != b.line ? a.line < b.line : a.begin < b.begin;
  });
  return s;
}

std::string Perform(const ScriptCommand& command) {
  if (command.op != ScriptOp::Expect)
    MarkBlock();
  const size_t before = BreachCount();
  std::string error;
  bool ok;
  try {
    ok = RunScriptCommand(command, error);
  } catch (const std::exception& e) {
    ok = false;
    error = std::string("host error: ") + e.what();
  }
  CheckUndoBrackets();
  if (ok && BreachCount() != before) {
    const size_t n = BreachCount() - before;
    ok = false;
    error = std::to_string(n) + (n == 1 ? " contract breach" : " contract breaches") + " by the module";
  }
  return ok ? std::string() : error.empty() ? std::string("refused") : error;
}

} // namespace standin::cli::ui
