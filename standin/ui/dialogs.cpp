// Area DIALOG: dialogs, their windows and elements, and the script
// operations that act on the open dialog as a person would.
#include "core/breach.h"
#include "core/texts.h"
#include "ui/ui_state.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace standin {

using namespace ui;

namespace {

// A struct as the writer knows it: fields beyond its `size` read as zero.
template <class T> T ReadSized(const T* in) {
  T out{};
  std::memcpy(&out, in, std::min<size_t>(in->size, sizeof(T)));
  return out;
}

Dialog* GetDialog(const OxDialog* handle, const char* op) {
  State& s = S();
  Dialog* d = s.dialogs.Get(handle);
  if (d == nullptr)
    Breach(op, handle == nullptr          ? "null dialog handle"
               : s.dialogs.IsKind(handle) ? "stale dialog handle (destroyed)"
                                          : "not a dialog handle");
  return d;
}

bool HasValue(const Element& e) {
  return e.kind == OX_ELEM_CHECKBOX || e.kind == OX_ELEM_DROPDOWN || e.kind == OX_ELEM_NUMBER;
}
bool IsDropDown(const Element& e) {
  return e.kind == OX_ELEM_DROPDOWN;
}

std::vector<MenuItem>& MenuList(Window& w) {
  std::vector<MenuItem>* list = &w.menu;
  for (size_t index : w.menuPath)
    list = &(*list)[index].children;
  return *list;
}

Element* NewElement(Window& w, const OxElementDesc& desc, const std::string& text) {
  auto e = std::make_unique<Element>();
  e->kind = desc.kind;
  e->id = desc.id;
  e->flags = desc.flags;
  e->width = desc.width;
  e->height = desc.height;
  e->extra = desc.extra;
  e->customType = desc.customType;
  e->text = text;
  Element* raw = e.get();
  w.elements.push_back(std::move(e));
  w.Current()->items.push_back({raw, nullptr});
  return raw;
}

OxDialog* Create(const OxDialogCallbacks* callbacks, void* self) noexcept {
  static constexpr const char* op = "DialogCreate";
  if (callbacks == nullptr) {
    Breach(op, "null callback table");
    return nullptr;
  }
  if (callbacks->size < offsetof(OxDialogCallbacks, message) + sizeof(callbacks->message) ||
      callbacks->message == nullptr) {
    Breach(op, "callback table without a message function");
    return nullptr;
  }
  Collect();
  State& s = S();
  auto d = std::make_unique<Dialog>();
  d->callbacks = callbacks;
  d->self = self;
  d->handle = s.dialogs.Add<OxDialog>(d.get());
  s.dialogList.push_back(std::move(d));
  return s.dialogList.back()->handle;
}

void Destroy(OxDialog* handle) noexcept {
  Dialog* d = GetDialog(handle, "DialogDestroy");
  if (d == nullptr)
    return;
  // No messages: the module object is on its way out.
  if (d->window)
    KillWindow(*d);
  d->state = WindowState::Closed;
  d->dead = true;
  State& s = S();
  s.dialogs.Remove(handle);
  auto it =
      std::find_if(s.dialogList.begin(), s.dialogList.end(), [d](const auto& p) { return p.get() == d; });
  s.deadDialogs.push_back(std::move(*it));
  s.dialogList.erase(it);
  Collect();
}

OxBool AddElement(OxDialog* handle, const OxElementDesc* in, OxElement** out) noexcept {
  static constexpr const char* op = "DialogAddElement";
  Dialog* d = GetDialog(handle, op);
  if (d == nullptr)
    return 0;
  if (in == nullptr) {
    Breach(op, "null element descriptor");
    return 0;
  }
  if (in->size < offsetof(OxElementDesc, id) + sizeof(in->id)) {
    Breach(op, "element descriptor too short");
    return 0;
  }
  const OxElementDesc desc = ReadSized(in);
  if (out != nullptr)
    *out = nullptr;
  if (desc.kind == OX_ELEM_IS_OPEN)
    return d->state == WindowState::Building || d->state == WindowState::Open ||
           d->state == WindowState::Closing;
  if (!d->window) {
    Breach(op, "the dialog has no window (add elements while it is built or open)");
    return 0;
  }
  const std::string* text = TextString(desc.text, op);
  if (text == nullptr)
    return 0;
  Window& w = *d->window;
  switch (desc.kind) {
  case OX_ELEM_TITLE: w.title = *text; return 1;
  case OX_ELEM_MENU_CLEAR:
    w.menu.clear();
    w.menuPath.clear();
    return 1;
  case OX_ELEM_SUBMENU_BEGIN: {
    std::vector<MenuItem>& list = MenuList(w);
    list.push_back({true, desc.id, *text, {}});
    w.menuPath.push_back(list.size() - 1);
    return 1;
  }
  case OX_ELEM_SUBMENU_END:
    if (w.menuPath.empty()) {
      Breach(op, "sub-menu end without an open sub-menu");
      return 0;
    }
    w.menuPath.pop_back();
    return 1;
  case OX_ELEM_MENU_ENTRY: MenuList(w).push_back({false, desc.id, *text, {}}); return 1;
  case OX_ELEM_MENU_DONE:
    if (!w.menuPath.empty()) {
      Breach(op, "menu done with " + std::to_string(w.menuPath.size()) + " sub-menu(s) still open");
      return 0;
    }
    return 1;
  case OX_ELEM_DROPDOWN_ENTRY:
  case OX_ELEM_DROPDOWN_CLEAR: {
    Element* drop = FindElement(w, desc.id, IsDropDown);
    if (drop == nullptr) {
      Breach(op, "no drop-down with id " + std::to_string(desc.id));
      return 0;
    }
    if (desc.kind == OX_ELEM_DROPDOWN_CLEAR) {
      drop->entries.clear();
      return 1;
    }
    for (const auto& entry : drop->entries)
      if (entry.first == desc.extra) {
        Breach(op, "drop-down " + std::to_string(desc.id) + " already has an entry with id " +
                       std::to_string(desc.extra));
        return 0;
      }
    drop->entries.emplace_back(desc.extra, *text);
    return 1;
  }
  case OX_ELEM_CHECKBOX:
  case OX_ELEM_STATIC:
  case OX_ELEM_BUTTON:
  case OX_ELEM_NUMBER:
  case OX_ELEM_DROPDOWN: NewElement(w, desc, *text); return 1;
  case OX_ELEM_CUSTOM: {
    std::vector<ContainerEntry> settings;
    if (desc.settings != nullptr) {
      const Container* c = S().containers.Get(desc.settings);
      if (c == nullptr) {
        Breach(op, "stale or foreign settings container");
        return 0;
      }
      settings = c->entries;
    }
    Element* e = NewElement(w, desc, *text);
    e->settings = std::move(settings);
    if (desc.customType == OX_LIBRARY_TREEVIEW)
      e->tree = std::make_unique<TreeView>();
    e->handle = S().elements.Add<OxElement>(e);
    if (out != nullptr)
      *out = e->handle;
    return 1;
  }
  default: Breach(op, "unknown element kind " + std::to_string(desc.kind)); return 0;
  }
}

Window* LayoutWindow(OxDialog* handle, const char* op) {
  Dialog* d = GetDialog(handle, op);
  if (d == nullptr)
    return nullptr;
  if (!d->window)
    Breach(op, "the dialog has no window (lay out while it is built or open)");
  return d->window.get();
}

OxBool GroupBegin(OxDialog* handle, int32_t id, int32_t flags, int32_t columns, int32_t rows,
                  const OxText* title, int32_t groupFlags, int32_t width, int32_t height) noexcept {
  static constexpr const char* op = "DialogGroupBegin";
  Window* w = LayoutWindow(handle, op);
  if (w == nullptr)
    return 0;
  const std::string* text = TextString(title, op);
  if (text == nullptr)
    return 0;
  auto g = std::make_unique<Group>();
  g->id = id;
  g->flags = flags;
  g->columns = columns;
  g->rows = rows;
  g->title = *text;
  g->groupFlags = groupFlags;
  g->width = width;
  g->height = height;
  Group* raw = g.get();
  w->Current()->items.push_back({nullptr, raw});
  w->groups.push_back(std::move(g));
  w->groupStack.push_back(raw);
  return 1;
}

OxBool GroupEnd(OxDialog* handle) noexcept {
  Window* w = LayoutWindow(handle, "DialogGroupEnd");
  if (w == nullptr)
    return 0;
  if (w->groupStack.empty()) {
    Breach("DialogGroupEnd", "no open group");
    return 0;
  }
  w->groupStack.pop_back();
  return 1;
}

OxBool GroupBorder(OxDialog* handle, uint32_t style) noexcept {
  Window* w = LayoutWindow(handle, "DialogGroupBorder");
  if (w == nullptr)
    return 0;
  w->Current()->hasBorder = true;
  w->Current()->border = style;
  return 1;
}

OxBool GroupSpacing(OxDialog* handle, int32_t left, int32_t top, int32_t right, int32_t bottom) noexcept {
  Window* w = LayoutWindow(handle, "DialogGroupSpacing");
  if (w == nullptr)
    return 0;
  Group* g = w->Current();
  g->hasSpacing = true;
  g->spacing[0] = left;
  g->spacing[1] = top;
  g->spacing[2] = right;
  g->spacing[3] = bottom;
  return 1;
}

// The element with a value, or null (no breach: unknown ids answer false).
Element* ValueElement(OxDialog* handle, int32_t id, const void* out, const char* op, bool* bad) {
  *bad = false;
  Dialog* d = GetDialog(handle, op);
  if (d == nullptr || !CheckNotNull(out, op, "value pointer")) {
    *bad = true;
    return nullptr;
  }
  return d->window ? FindElement(*d->window, id, HasValue) : nullptr;
}

OxBool GetInt(OxDialog* handle, int32_t id, int32_t* out) noexcept {
  bool bad;
  Element* e = ValueElement(handle, id, out, "DialogGetInt", &bad);
  if (e == nullptr)
    return 0;
  const double v = std::trunc(e->value);
  if (std::isnan(v))
    *out = 0;
  else if (v <= std::numeric_limits<int32_t>::min())
    *out = std::numeric_limits<int32_t>::min();
  else if (v >= std::numeric_limits<int32_t>::max())
    *out = std::numeric_limits<int32_t>::max();
  else
    *out = static_cast<int32_t>(v);
  return 1;
}

OxBool GetNumber(OxDialog* handle, int32_t id, double* out) noexcept {
  bool bad;
  Element* e = ValueElement(handle, id, out, "DialogGetNumber", &bad);
  if (e == nullptr)
    return 0;
  *out = e->value;
  return 1;
}

OxBool SetValue(OxDialog* handle, int32_t id, const OxDialogValue* in) noexcept {
  static constexpr const char* op = "DialogSetValue";
  bool bad;
  Element* e = ValueElement(handle, id, in, op, &bad);
  if (bad)
    return 0;
  if (in->size < offsetof(OxDialogValue, value) + sizeof(in->value)) {
    Breach(op, "value struct too short");
    return 0;
  }
  const OxDialogValue v = ReadSized(in);
  if (v.kind != OX_DLGVALUE_INT && v.kind != OX_DLGVALUE_FLOAT) {
    Breach(op, "unknown value kind " + std::to_string(v.kind));
    return 0;
  }
  if (std::isnan(v.value) || std::isnan(v.min) || std::isnan(v.max)) {
    Breach(op, "value or limit is not a number");
    return 0;
  }
  const bool hasLimits = in->size >= offsetof(OxDialogValue, max) + sizeof(in->max);
  if (hasLimits && v.min > v.max) {
    Breach(op, "lower limit above upper limit");
    return 0;
  }
  if (e == nullptr)
    return 0;
  double value = v.kind == OX_DLGVALUE_INT ? std::trunc(v.value) : v.value;
  if (hasLimits)
    value = std::clamp(value, v.min, v.max);
  if (e->kind == OX_ELEM_CHECKBOX)
    value = value != 0 ? 1 : 0;
  e->value = value;
  e->hasLimits = hasLimits;
  e->min = v.min;
  e->max = v.max;
  e->step = v.step;
  e->format = v.format;
  return 1;
}

OxBool Enable(OxDialog* handle, int32_t id, OxBool enabled) noexcept {
  Dialog* d = GetDialog(handle, "DialogEnable");
  if (d == nullptr || !d->window)
    return 0;
  bool any = false;
  for (const auto& e : d->window->elements)
    if (e->id == id) {
      e->enabled = enabled != 0;
      any = true;
    }
  return any;
}

// Builds the window: create layout, then initialise values. A refusal of
// either closes it again.
bool OpenWindow(Dialog* d, int32_t pluginId) {
  State& s = S();
  if (d->state == WindowState::Open) {
    d->openedAt = ++s.serial; // brought to the front
    return true;
  }
  if (d->state != WindowState::Closed)
    return false; // being built or closed right now
  Collect();
  d->state = WindowState::Building;
  d->window = std::make_unique<Window>();
  d->openedAt = ++s.serial;
  d->pluginId = pluginId;
  auto refuse = [d] {
    if (d->dead)
      return false;
    if (d->window)
      KillWindow(*d);
    d->state = WindowState::Closed;
    Send(*d, OX_DLGMSG_DESTROYED, 0, nullptr);
    return false;
  };
  const int32_t laidOut = Send(*d, OX_DLGMSG_CREATE_LAYOUT, 0, nullptr);
  if (d->dead || !d->window)
    return false;
  if (!d->window->groupStack.empty())
    Breach("DialogOpen",
           "the layout left " + std::to_string(d->window->groupStack.size()) + " group(s) open");
  if (!d->window->menuPath.empty())
    Breach("DialogOpen",
           "the layout left " + std::to_string(d->window->menuPath.size()) + " sub-menu(s) open");
  if (laidOut == 0)
    return refuse();
  const int32_t initialised = Send(*d, OX_DLGMSG_INIT_VALUES, 0, nullptr);
  if (d->dead || !d->window)
    return false;
  if (initialised == 0)
    return refuse();
  d->state = WindowState::Open;
  return true;
}

bool CloseWindow(Dialog* d) {
  if (d->state != WindowState::Open)
    return false;
  d->state = WindowState::Closing;
  const int32_t refused = Send(*d, OX_DLGMSG_ASK_CLOSE, 0, nullptr);
  if (d->dead)
    return true; // destroyed while asked: the window is gone
  if (refused != 0) {
    d->state = WindowState::Open;
    return false;
  }
  KillWindow(*d);
  d->state = WindowState::Closed;
  Send(*d, OX_DLGMSG_DESTROYED, 0, nullptr);
  return true;
}

OxBool Open(OxDialog* handle, int32_t type, int32_t pluginId, int32_t, int32_t, int32_t, int32_t,
            int32_t) noexcept {
  Dialog* d = GetDialog(handle, "DialogOpen");
  if (d == nullptr)
    return 0;
  if (type != OX_DIALOG_NONMODAL) {
    Breach("DialogOpen",
           "dialog type " + std::to_string(type) + " (this host opens only non-modal, type 20)");
    return 0;
  }
  return OpenWindow(d, pluginId);
}

OxBool Restore(OxDialog* handle, int32_t pluginId, int32_t, void*) noexcept {
  Dialog* d = GetDialog(handle, "DialogRestore");
  return d != nullptr && OpenWindow(d, pluginId);
}

OxBool CloseDialog(OxDialog* handle) noexcept {
  Dialog* d = GetDialog(handle, "DialogClose");
  return d != nullptr && CloseWindow(d);
}

const OxDialogArea kArea{
    sizeof(OxDialogArea), Create, Destroy,   AddElement, GroupBegin, GroupEnd, GroupBorder,
    GroupSpacing,         GetInt, GetNumber, SetValue,   Enable,     Open,     Restore,
    CloseDialog};

std::string Describe(const Element& e) {
  std::string what = "element " + std::to_string(e.id);
  if (!e.text.empty())
    what += " \"" + e.text + "\"";
  return what;
}

const char* KindName(int32_t kind) {
  switch (kind) {
  case OX_ELEM_CHECKBOX: return "a check box";
  case OX_ELEM_STATIC: return "a static text";
  case OX_ELEM_BUTTON: return "a button";
  case OX_ELEM_NUMBER: return "a number field";
  case OX_ELEM_DROPDOWN: return "a drop-down";
  case OX_ELEM_CUSTOM: return "a custom element";
  default: return "an element";
  }
}

} // namespace

namespace ui {

int32_t Send(Dialog& dialog, int32_t message, int32_t a, void* data) {
  if (dialog.dead)
    return 0;
  ModuleCall call;
  return dialog.callbacks->message(dialog.self, message, a, data);
}

void KillWindow(Dialog& dialog) {
  if (!dialog.window)
    return;
  State& s = S();
  for (const auto& e : dialog.window->elements) {
    e->dead = true;
    if (e->handle != nullptr)
      s.elements.Remove(e->handle);
  }
  s.deadWindows.push_back(std::move(dialog.window));
  Collect();
}

const OxDialogArea* DialogArea() {
  return &kArea;
}

} // namespace ui

bool HasOpenDialog() {
  return OpenDialog() != nullptr;
}

UiOutcome SetElement(int32_t id, double value) {
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return UiOutcome::Fail("no dialog is open");
  Element* e = FindElement(*d->window, id, HasValue);
  if (e == nullptr) {
    Element* other = FindElement(*d->window, id, nullptr);
    if (other == nullptr)
      return UiOutcome::Fail("the dialog has no element " + std::to_string(id));
    return UiOutcome::Fail("element " + std::to_string(id) + " is " + KindName(other->kind) +
                           (other->kind == OX_ELEM_BUTTON ? "; use press" : " and holds no value"));
  }
  if (!e->enabled)
    return UiOutcome::Fail(Describe(*e) + " is disabled");
  if (std::isnan(value))
    return UiOutcome::Fail("not a number");
  switch (e->kind) {
  case OX_ELEM_DROPDOWN: {
    const bool known = std::any_of(e->entries.begin(), e->entries.end(),
                                   [value](const auto& entry) { return entry.first == value; });
    if (!known) {
      std::string ids;
      for (const auto& entry : e->entries)
        ids += (ids.empty() ? "" : ", ") + std::to_string(entry.first);
      return UiOutcome::Fail("drop-down " + std::to_string(id) + " has no entry " + FormatNumber(value, 0) +
                             " (entries: " + (ids.empty() ? "none" : ids) + ")");
    }
    e->value = value;
    break;
  }
  case OX_ELEM_CHECKBOX:
    if (value != 0 && value != 1)
      return UiOutcome::Fail("check box " + std::to_string(id) + " takes 0 or 1");
    e->value = value;
    break;
  default: e->value = e->hasLimits ? std::clamp(value, e->min, e->max) : value; break;
  }
  Send(*d, OX_DLGMSG_COMMAND, id, nullptr);
  return {};
}

UiOutcome Press(int32_t id) {
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return UiOutcome::Fail("no dialog is open");
  Element* e = FindElement(*d->window, id, [](const Element& x) { return x.kind == OX_ELEM_BUTTON; });
  if (e == nullptr) {
    Element* other = FindElement(*d->window, id, nullptr);
    if (other == nullptr)
      return UiOutcome::Fail("the dialog has no element " + std::to_string(id));
    return UiOutcome::Fail("element " + std::to_string(id) + " is " + KindName(other->kind) +
                           ", not a button");
  }
  if (!e->enabled)
    return UiOutcome::Fail(Describe(*e) + " is disabled");
  Send(*d, OX_DLGMSG_COMMAND, id, nullptr);
  return {};
}

UiOutcome Menu(int32_t id) {
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return UiOutcome::Fail("no dialog is open");
  const auto entries = OpenDialogMenu();
  if (std::none_of(entries.begin(), entries.end(), [id](const auto& m) { return m.first == id; }))
    return UiOutcome::Fail("the dialog's menu has no entry " + std::to_string(id));
  Send(*d, OX_DLGMSG_COMMAND, id, nullptr);
  return {};
}

UiOutcome Close() {
  Collect();
  Dialog* d = OpenDialog();
  if (d == nullptr)
    return UiOutcome::Fail("no dialog is open");
  if (!CloseWindow(d))
    return UiOutcome::Fail("the dialog refused to close");
  return {};
}

void BroadcastCoreMessage(int32_t id) {
  Collect();
  std::vector<OxDialog*> open;
  for (const auto& d : S().dialogList)
    if (d->state == WindowState::Open)
      open.push_back(d->handle);
  for (OxDialog* handle : open) {
    Dialog* d = S().dialogs.Get(handle);
    if (d != nullptr && d->state == WindowState::Open)
      Send(*d, OX_DLGMSG_CORE_MESSAGE, id, nullptr);
  }
}

} // namespace standin
